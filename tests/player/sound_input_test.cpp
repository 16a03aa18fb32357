// The system's sound inputs as the player reaches them, on real PulseAudio
// servers: a null sink's monitor is listed and read while sound is played
// into it, and only while it is chosen; it is read again when it goes away
// and comes back, and when the sound server itself restarts. Runs on the
// server that scripts/test starts (VIZMO_SOUND_SERVER) or, without one, on
// a server of its own; skipped only when pulseaudio is not installed.
#include "components/sound_input/pulse_inputs.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <mutex>
#include <optional>

namespace vizmo::sound_input {
namespace {

QProcessEnvironment serverEnvironment(const QString& server)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PULSE_SERVER"), server);
    return env;
}

// pactl's output, or nothing when it fails.
std::optional<QString> pactl(const QString& server, const QStringList& args)
{
    QProcess p;
    p.setProcessEnvironment(serverEnvironment(server));
    p.start(QStringLiteral("pactl"), args);
    if (!p.waitForFinished(5000) || p.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// What the inputs hand over, from their own thread.
struct Heard {
    std::mutex lock;
    int pieces = 0;
    double loudest = 0;  // RMS of the loudest piece
    int rate = 0, channels = 0;
    bool inThePast = true;

    SoundInputs::PieceSink sink()
    {
        return [this](const SoundPiece& p) {
            double sum = 0;
            for (float s : p.samples)
                sum += double(s) * s;
            const std::lock_guard guard(lock);
            ++pieces;
            loudest = std::max(loudest, p.samples.empty() ? 0.0 : std::sqrt(sum / double(p.samples.size())));
            rate = p.rate, channels = p.channels;
            inThePast = inThePast && p.heardAt <= std::chrono::steady_clock::now();
        };
    }
    void clear()
    {
        const std::lock_guard guard(lock);
        pieces = 0, loudest = 0;
    }
    double loudestSoFar()
    {
        const std::lock_guard guard(lock);
        return loudest;
    }
};

// A tone played into a sink for as long as it lives.
class Tone {
public:
    Tone(const QString& server, const QString& sink)
    {
        process_.setProcessEnvironment(serverEnvironment(server));
        process_.start(QStringLiteral("pacat"), {QStringLiteral("--playback"), QStringLiteral("-d"), sink,
                                                 QStringLiteral("--format=float32le"), QStringLiteral("--rate=48000"),
                                                 QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=20")});
        process_.waitForStarted(3000);
        QByteArray second(48000 * 4, 0);
        auto* s = reinterpret_cast<float*>(second.data());
        for (int i = 0; i < 48000; ++i)
            s[i] = 0.3f * float(std::sin(2 * 3.14159265 * 440.0 * i / 48000));
        for (int i = 0; i < 5; ++i)
            process_.write(second);  // five seconds, more than any wait below
    }
    ~Tone()
    {
        process_.kill();
        process_.waitForFinished(2000);
    }

private:
    QProcess process_;
};

bool hasInput(const SoundInputs& inputs, const QByteArray& id)
{
    const auto devices = inputs.devices();
    return std::any_of(devices.begin(), devices.end(), [&](const InputDevice& d) { return d.id == id; });
}

// A sound server of this test's own, stopped and started again.
class OwnServer {
public:
    OwnServer() : address_(QStringLiteral("unix:%1/pulse/native").arg(dir_.path())) {}
    ~OwnServer() { stop(); }

    bool start()
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("pulseaudio"),
                {QStringLiteral("--daemonize=yes"), QStringLiteral("-n"), QStringLiteral("--exit-idle-time=-1"),
                 QStringLiteral("--disallow-exit"), QStringLiteral("--use-pid-file=yes"),
                 QStringLiteral("--log-target=file:%1/pulseaudio.log").arg(dir_.path()),
                 QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1"),
                 QStringLiteral("--load=module-null-sink sink_name=own norewinds=1")});
        return p.waitForFinished(10000) && p.exitCode() == 0 &&
               QTest::qWaitFor([&] { return pactl(address_, {QStringLiteral("info")}).has_value(); }, 5000);
    }
    void stop()
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("pulseaudio"), {QStringLiteral("--kill")});
        p.waitForFinished(5000);
        [[maybe_unused]] const bool gone =
            QTest::qWaitFor([&] { return !pactl(address_, {QStringLiteral("info")}).has_value(); }, 5000);
    }
    const QString& address() const { return address_; }

private:
    QTemporaryDir dir_;
    QString address_;
};

// The server scripts/test starts, or one of the test's own.
class SharedServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pacat")).isEmpty())
            GTEST_SKIP() << "pacat is not installed";
        server = qEnvironmentVariable("VIZMO_SOUND_SERVER");
        if (server.isEmpty()) {
            if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty())
                GTEST_SKIP() << "no sound server, and pulseaudio is not installed to start one";
            own.emplace();
            ASSERT_TRUE(own->start());
            server = own->address();
        }
        ASSERT_TRUE(loadInput());
    }
    void TearDown() override
    {
        if (!module.isEmpty())
            pactl(server, {QStringLiteral("unload-module"), module});
    }
    bool loadInput()
    {
        const auto index = pactl(server, {QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                                          QStringLiteral("sink_name=vizmo_listen_test"),
                                          QStringLiteral("sink_properties=device.description=Listening_test")});
        module = index.value_or(QString());
        return index.has_value();
    }
    int ourRecordings()
    {
        const QString outputs = pactl(server, {QStringLiteral("list"), QStringLiteral("source-outputs")}).value_or(QString());
        return int(outputs.count(QStringLiteral("Vizmo4")));
    }

    std::optional<OwnServer> own;
    QString server;
    QString module;
    const QByteArray input = "vizmo_listen_test.monitor";
};

TEST_F(SharedServer, AMonitorIsListedAndReadOnlyWhileItIsChosen)
{
    PulseInputs inputs(server.toUtf8());
    ASSERT_TRUE(QTest::qWaitFor([&] { return hasInput(inputs, input); }, 3000));
    const auto devices = inputs.devices();
    const auto it = std::find_if(devices.begin(), devices.end(), [&](const InputDevice& d) { return d.id == input; });
    EXPECT_EQ(it->description, QStringLiteral("Monitor of Listening_test"));
    EXPECT_TRUE(it->monitor);
    EXPECT_EQ(ourRecordings(), 0) << "nothing is open before an input is chosen";

    Heard heard;
    inputs.listen(input, heard.sink());
    ASSERT_TRUE(QTest::qWaitFor([&] { return inputs.reading(); }, 3000));
    EXPECT_EQ(ourRecordings(), 1);
    const Tone tone(server, QStringLiteral("vizmo_listen_test"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard.loudestSoFar() > 0.1; }, 3000)) << "the tone is heard";
    {
        const std::lock_guard guard(heard.lock);
        EXPECT_EQ(heard.rate, 44100) << "the input's own rate";
        EXPECT_EQ(heard.channels, 2) << "and channels";
        EXPECT_TRUE(heard.inThePast);
    }
    inputs.listen({}, {});
    EXPECT_FALSE(inputs.reading());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ourRecordings() == 0; }, 3000)) << "closed once nothing is chosen";
}

TEST_F(SharedServer, AnInputThatGoesAwayIsReadAgainWhenItComesBack)
{
    PulseInputs inputs(server.toUtf8());
    ASSERT_TRUE(QTest::qWaitFor([&] { return hasInput(inputs, input); }, 3000));
    Heard heard;
    inputs.listen(input, heard.sink());
    ASSERT_TRUE(QTest::qWaitFor([&] { return inputs.reading(); }, 3000));

    // Unplugged.
    ASSERT_TRUE(pactl(server, {QStringLiteral("unload-module"), module}));
    module.clear();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !inputs.reading(); }, 3000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !hasInput(inputs, input); }, 3000));

    // Plugged in again: read again without being chosen again.
    heard.clear();
    ASSERT_TRUE(loadInput());
    EXPECT_TRUE(QTest::qWaitFor([&] { return inputs.reading(); }, 4000));
    const Tone tone(server, QStringLiteral("vizmo_listen_test"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return heard.loudestSoFar() > 0.1; }, 3000));
}

TEST(OwnSoundServer, ListeningGoesOnWhenTheServerRestarts)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty())
        GTEST_SKIP() << "pulseaudio is not installed";
    OwnServer server;
    ASSERT_TRUE(server.start());
    PulseInputs inputs(server.address().toUtf8());
    ASSERT_TRUE(QTest::qWaitFor([&] { return hasInput(inputs, "own.monitor"); }, 3000));
    Heard heard;
    inputs.listen("own.monitor", heard.sink());
    ASSERT_TRUE(QTest::qWaitFor([&] { return inputs.reading(); }, 3000));

    server.stop();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !inputs.reading(); }, 3000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return inputs.devices().empty(); }, 3000)) << "no server, no inputs";

    heard.clear();
    ASSERT_TRUE(server.start());
    EXPECT_TRUE(QTest::qWaitFor([&] { return hasInput(inputs, "own.monitor"); }, 5000)) << "found again";
    EXPECT_TRUE(QTest::qWaitFor([&] { return inputs.reading(); }, 5000)) << "and read again, still chosen";
    const Tone tone(server.address(), QStringLiteral("own"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return heard.loudestSoFar() > 0.1; }, 3000));
}

}  // namespace
}  // namespace vizmo::sound_input
