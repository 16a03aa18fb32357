// The PCM output's clock, pause, stop and gain, on the silent clock so the
// results do not depend on a sound server (the device path shares the queue).
#include "components/audio/pcm_output.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

using vizmo::audio::PcmOutput;

namespace {

QAudioFormat monoFormat(int rate)
{
    QAudioFormat format;
    format.setSampleRate(rate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

std::vector<std::int16_t> tone(int samples, std::int16_t level)
{
    std::vector<std::int16_t> out(static_cast<std::size_t>(samples));
    for (int i = 0; i < samples; ++i)
        out[std::size_t(i)] = (i / 20) % 2 ? level : std::int16_t(-level);
    return out;
}

class PcmOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        output.setSilentForced(true);
        ASSERT_TRUE(output.start(monoFormat(16000)));
    }
    PcmOutput output;
};

}  // namespace

TEST_F(PcmOutputTest, RefusesFormatsOtherThan16Bit)
{
    QAudioFormat format = monoFormat(16000);
    format.setSampleFormat(QAudioFormat::Float);
    EXPECT_FALSE(output.start(format));
}

TEST_F(PcmOutputTest, PlaysInRealTimeAndDrainsOnce)
{
    QSignalSpy drained(&output, &PcmOutput::drained);
    const auto samples = tone(16000 / 5, 1000);  // 200 ms
    QElapsedTimer wall;
    wall.start();
    output.write(samples);
    output.finish();
    ASSERT_TRUE(drained.wait(3000));
    const qint64 elapsedMs = wall.elapsed();
    EXPECT_GE(elapsedMs, 180);  // the silent clock does not run ahead of real time
    EXPECT_EQ(output.state(), PcmOutput::State::Idle);
    QTest::qWait(50);
    EXPECT_EQ(drained.count(), 1);
}

TEST_F(PcmOutputTest, PauseFreezesTheClockAndResumeContinues)
{
    output.write(tone(16000, 1000));  // 1 s
    QTest::qWait(120);
    output.pause();
    const qint64 held = output.positionUs();
    EXPECT_GT(held, 50'000);
    QTest::qWait(150);
    EXPECT_EQ(output.positionUs(), held);
    output.resume();
    QTest::qWait(100);
    EXPECT_GT(output.positionUs(), held + 40'000);
}

TEST_F(PcmOutputTest, StopDropsEverythingAndNeverDrains)
{
    QSignalSpy drained(&output, &PcmOutput::drained);
    QSignalSpy handed(&output, &PcmOutput::pcmHandedOver);
    output.write(tone(16000, 1000));
    output.finish();
    QTest::qWait(50);
    output.stop();
    const int handedAtStop = handed.count();
    QTest::qWait(200);
    EXPECT_EQ(handed.count(), handedAtStop);
    EXPECT_EQ(drained.count(), 0);
    EXPECT_EQ(output.positionUs(), 0);
}

TEST_F(PcmOutputTest, ClockWaitsWhenDataRunsOut)
{
    output.write(tone(1600, 1000));  // 100 ms
    QTest::qWait(300);
    const qint64 dry = output.positionUs();
    EXPECT_LE(dry, 100'000);
    output.write(tone(1600, 1000));
    QTest::qWait(50);
    // The second piece starts where the first ended, not 200 ms later.
    EXPECT_LE(output.positionUs(), 200'000);
    EXPECT_GT(output.positionUs(), 100'000);
}

TEST_F(PcmOutputTest, GainScalesWhatLeavesTheQueue)
{
    QSignalSpy handed(&output, &PcmOutput::pcmHandedOver);
    output.setGain(0.0);
    output.write(tone(1600, 12000));
    output.finish();
    QSignalSpy drained(&output, &PcmOutput::drained);
    ASSERT_TRUE(drained.wait(2000));
    qint64 bytes = 0;
    for (const auto& call : handed) {
        const QByteArray piece = call.at(0).toByteArray();
        bytes += piece.size();
        const auto* s = reinterpret_cast<const std::int16_t*>(piece.constData());
        for (qsizetype i = 0; i < piece.size() / 2; ++i)
            ASSERT_EQ(s[i], 0);
    }
    EXPECT_EQ(bytes, 3200);
}

TEST_F(PcmOutputTest, DrainsNeverBeforeTheEndIsHeard)
{
    QElapsedTimer wall;
    qint64 drainedAtUs = -1;
    QObject::connect(&output, &PcmOutput::drained, [&] { drainedAtUs = wall.nsecsElapsed() / 1000; });
    auto waitForDrain = [&] { return QTest::qWaitFor([&] { return drainedAtUs >= 0; }, 3000); };

    // A long pause in the last buffer is not taken for a stuck device. It
    // comes as soon as the last sample is handed over, when the wait for the
    // device to play it has begun and 40 ms (the silent clock's buffer) are
    // still to be heard.
    const auto samples = tone(16000 * 3 / 10, 1000);  // 300 ms
    qint64 handed = 0, left = -1;
    const auto pauser = QObject::connect(&output, &PcmOutput::pcmHandedOver, &output, [&](const QByteArray& pcm, qint64) {
        handed += pcm.size();
        if (handed == qint64(samples.size() * sizeof(std::int16_t))) {
            QMetaObject::invokeMethod(&output, [&] {
                output.pause();
                left = 300'000 - output.positionUs();
            }, Qt::QueuedConnection);
        }
    });
    output.write(samples);
    output.finish();
    ASSERT_TRUE(QTest::qWaitFor([&] { return left >= 0; }, 3000));
    QObject::disconnect(pauser);
    QTest::qWait(1200);
    wall.start();
    output.resume();
    ASSERT_TRUE(waitForDrain());
    EXPECT_GE(drainedAtUs, left);  // no slack: the silent clock has not run longer than the wall since resume()
    // A busy machine may hold the feed timer for a few hundred milliseconds;
    // a stuck device's grace is a second.
    EXPECT_LT(drainedAtUs, left + 600'000) << "what was left is heard at once, not after a stuck device's grace";

    // A Stop in the tail leaves nothing behind for the next stream.
    ASSERT_TRUE(output.start(monoFormat(16000)));
    output.write(tone(1600, 1000));
    output.finish();
    QTest::qWait(90);
    output.stop();
    QTest::qWait(1200);
    ASSERT_TRUE(output.start(monoFormat(16000)));
    drainedAtUs = -1;
    wall.start();
    output.write(tone(8000, 1000));  // 500 ms
    output.finish();
    ASSERT_TRUE(waitForDrain());
    EXPECT_GE(drainedAtUs, 490'000);
}
