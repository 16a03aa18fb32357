// The sound itself, as a listener hears it: both engines played through a
// private PulseAudio server's null sink and recorded from its monitor.
// Needs the server that scripts/test starts (VIZMO_SOUND_SERVER and
// VIZMO_SOUND_SINK); skipped without it.
#include "components/speech/kvtts_component.h"
#include "event_recorder.h"
#include "monitor_recorder.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

using namespace vizmo;
using namespace vizmo::dispatch;
using speech::KVTTSComponent;
namespace id = speech::id;

namespace {

// Speech at volume 100 measures an RMS in the thousands; the null sink's
// silence is exactly 0. The thresholds sit far from both.
constexpr double kHeard = 300;
constexpr double kSilent = 5;
// Sound already handed to the server when Stop or Pause comes is dropped at
// once, but the monitor reports it a few tens of milliseconds late.
constexpr int kSettleMs = 300;

const QString kLongText = QStringLiteral(
    "This sentence is long enough to be still speaking while the test listens, "
    "and it goes on for several seconds more, so that every check finds sound where sound should be. "
    "Then it ends at last.");

// From the first to the last sample of `pcm` louder than `threshold`, in milliseconds.
double audibleMs(const QByteArray& pcm, int rate, int threshold)
{
    const auto* s = reinterpret_cast<const std::int16_t*>(pcm.constData());
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < pcm.size() / 2; ++i) {
        if (std::abs(s[i]) > threshold) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    return first < 0 ? 0 : double(last - first) * 1000.0 / rate;
}

class SpeechSound : public ::testing::TestWithParam<const char*> {
protected:
    static void SetUpTestSuite()
    {
        // Before anything asks Qt for an audio device: it connects once per process.
        const QByteArray server = qgetenv("VIZMO_SOUND_SERVER");
        if (!server.isEmpty())
            qputenv("PULSE_SERVER", server);
    }

    void SetUp() override
    {
        const QString server = qEnvironmentVariable("VIZMO_SOUND_SERVER");
        const QString sink = qEnvironmentVariable("VIZMO_SOUND_SINK");
        if (server.isEmpty() || sink.isEmpty())
            GTEST_SKIP() << "no sound server (scripts/test starts one when pulseaudio is installed)";
        if (QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty())
            GTEST_SKIP() << "parec is not installed";
        if (QMediaDevices::defaultAudioOutput().isNull())
            GTEST_SKIP() << "Qt finds no audio output on " << server.toStdString();
        ASSERT_TRUE(recorder.start(server, sink));
        component.setEventSink(&events);
        QObject::connect(&component.speaker(), &speech::Speaker::wordReached, [this] { ++words; });
        ASSERT_TRUE(component.put(id::Interface, Str(QString::fromLatin1(GetParam()))).ok());
    }

    void say(const QString& text)
    {
        ASSERT_TRUE(component.put(id::Text, Str(text)).ok());
        ASSERT_TRUE(component.call(id::Play).ok());
        ASSERT_FALSE(component.speaker().output().isSilent()) << "the sound went to the silent clock";
    }
    bool waitForWords(int count) { return QTest::qWaitFor([&] { return words >= count; }, 10000); }

    speech::testing::MonitorRecorder recorder;
    KVTTSComponent component;
    speech::testing::EventRecorder events;
    int words = 0;
};

}  // namespace

TEST_P(SpeechSound, SpeechIsHeardAndStopSilencesIt)
{
    EXPECT_LT(recorder.rmsOfNext(200), kSilent) << "the sink is not quiet before Play";
    say(kLongText);
    ASSERT_TRUE(waitForWords(2));
    EXPECT_GT(recorder.rmsOfNext(700), kHeard);
    ASSERT_TRUE(component.call(id::Stop).ok());
    QTest::qWait(kSettleMs);
    EXPECT_LT(recorder.rmsOfNext(400), kSilent);
    EXPECT_EQ(events.count(QStringLiteral("EOF")), 0);
}

TEST_P(SpeechSound, VolumeZeroIsSilentWhileWordsGoOnAndVolumeReturnsAtOnce)
{
    ASSERT_TRUE(component.put(id::Volume, I4(0)).ok());
    say(kLongText);
    ASSERT_TRUE(waitForWords(2));
    QTest::qWait(kSettleMs);
    const int wordsBefore = words;
    EXPECT_LT(recorder.rmsOfNext(500), kSilent);
    EXPECT_GT(words, wordsBefore) << "the speech went on, silently";
    ASSERT_TRUE(component.put(id::Volume, I4(100)).ok());
    QTest::qWait(kSettleMs);
    EXPECT_GT(recorder.rmsOfNext(500), kHeard) << "the new volume is heard within a device buffer";
}

TEST_P(SpeechSound, PauseHoldsTheSoundAndPlayGoesOnWithoutLosingOrRepeatingAny)
{
    QByteArray handed;
    QObject::connect(&component.speaker().output(), &audio::PcmOutput::pcmHandedOver,
                     [&](const QByteArray& pcm, qint64) { handed.append(pcm); });
    const std::int64_t from = recorder.mark();
    say(kLongText);
    ASSERT_TRUE(waitForWords(2));
    ASSERT_TRUE(component.call(id::Pause).ok());
    QTest::qWait(kSettleMs);
    const int wordsAtPause = words;
    EXPECT_LT(recorder.rmsOfNext(500), kSilent);
    EXPECT_EQ(words, wordsAtPause);
    ASSERT_TRUE(component.put(id::Text, Str(kLongText)).ok());  // as "Play" sends it
    ASSERT_TRUE(component.call(id::Play).ok());
    QTest::qWait(kSettleMs);
    EXPECT_GT(recorder.rmsOfNext(500), kHeard);
    EXPECT_GT(words, wordsAtPause);

    // Heard, less the pause, as long as it was made: nothing lost or played twice.
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.count(QStringLiteral("EOF")) == 1; }, 20000));
    QTest::qWait(kSettleMs);
    const std::int64_t to = recorder.mark();
    const double heardMs = recorder.audibleMs(from, to, 300) - recorder.longestQuietMs(from, to, 0);
    EXPECT_NEAR(heardMs, audibleMs(handed, component.speaker().sampleRate(), 300), 40.0);
}

TEST_P(SpeechSound, ASentenceIsHeardWholeBeforeEof)
{
    // What the sink played, from first to last audible sample, lasts as long as
    // what was synthesised: no lost start, no cut tail.
    QByteArray handed;
    QObject::connect(&component.speaker().output(), &audio::PcmOutput::pcmHandedOver,
                     [&](const QByteArray& pcm, qint64) { handed.append(pcm); });
    const std::int64_t from = recorder.mark();
    say(QStringLiteral("Good morning, and welcome to the demonstration."));
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.count(QStringLiteral("EOF")) == 1; }, 15000));
    QTest::qWait(kSettleMs);
    const std::int64_t to = recorder.mark();

    const double synthesisedMs = audibleMs(handed, component.speaker().sampleRate(), 300);
    ASSERT_GT(synthesisedMs, 0);
    EXPECT_NEAR(recorder.audibleMs(from, to, 300), synthesisedMs, 40.0);
    EXPECT_GT(recorder.rms(from, to), kHeard / 3);
}

TEST_P(SpeechSound, AShortSoundAfterStopIsHeardWholeBeforeItDrains)
{
    // Stop closes the device that still holds speech and opens it again; a
    // sound shorter than the device's buffer must then play at once, not wait
    // for more data to fill it.
    say(kLongText);
    ASSERT_TRUE(waitForWords(1));
    ASSERT_TRUE(component.call(id::Stop).ok());
    QTest::qWait(kSettleMs);

    audio::PcmOutput& output = component.speaker().output();
    QAudioFormat format;
    format.setSampleRate(22050);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    std::vector<std::int16_t> tone(22050 / 10);  // 100 ms
    for (std::size_t i = 0; i < tone.size(); ++i)
        tone[i] = std::int16_t(8000 * std::sin(double(i) * 0.1));
    bool drained = false;
    QObject::connect(&output, &audio::PcmOutput::drained, [&] { drained = true; });
    const std::int64_t from = recorder.mark();
    ASSERT_TRUE(output.start(format));
    ASSERT_FALSE(output.isSilent());
    output.write(tone);
    output.finish();
    ASSERT_TRUE(QTest::qWaitFor([&] { return drained; }, 5000));
    QTest::qWait(kSettleMs);
    EXPECT_NEAR(recorder.audibleMs(from, recorder.mark(), 1000), 100.0, 20.0);
}

INSTANTIATE_TEST_SUITE_P(BothEngines, SpeechSound, ::testing::Values("Microsoft SAPI 4.1", "Microsoft SAPI 5.0"),
                         [](const auto& info) { return info.index == 0 ? std::string("Espeak") : std::string("Flite"); });
