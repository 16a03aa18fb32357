// Finding a recorded voice's phones from its transcript: the warp itself,
// a voice of another engine lined up through eSpeak NG, and the tool's
// command line on files it cannot use.
#include "components/player/content/script.h"
#include "components/speech/engine_thread.h"
#include "components/speech/viseme_tables.h"
#include "tools/make_speech_script/nasal_releases.h"
#include "tools/make_speech_script/stop_closures.h"
#include "tools/make_speech_script/synthesis.h"
#include "tools/make_speech_script/time_warp.h"
#include "tools/make_speech_script/transcript_alignment.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>

using namespace vizmo::speech;

namespace {

// A random smooth sequence of three dimensions, each of spread 2.3.
Features randomSmooth(std::size_t n, std::mt19937& random)
{
    std::normal_distribution<float> noise;
    Features a(n, 3);
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t d = 0; d < 3; ++d)
            a.frame(i)[d] = (i ? 0.9f * a.frame(i - 1)[d] : 0.f) + noise(random);
    }
    return a;
}

TEST(TimeWarp, RecoversAKnownWarpInLinearMemory)
{
    // A random smooth sequence, and a copy of it played at a varying speed
    // (a long stretch held too, as a speaker's pause is): long enough that
    // the path is found coarse to fine within a band.
    std::mt19937 random(7);
    const std::size_t n = 2000;
    const Features a = randomSmooth(n, random);
    std::vector<double> source;  // the frame of a each frame of b shows
    for (double t = 0; t < double(n - 1);)
        source.push_back(t), t += (t > 800 && t < 801) ? 0.005 : 0.6 + 0.5 * std::sin(t / 150);
    Features b(source.size(), 3);
    for (std::size_t j = 0; j < source.size(); ++j)
        std::copy_n(a.frame(std::size_t(std::lround(source[j]))), 3, b.frame(j));

    const auto path = warpPath(b, a);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front().a + path.front().b, 0u);
    EXPECT_EQ(path.back().a, b.frames() - 1);
    EXPECT_EQ(path.back().b, a.frames() - 1);
    double worst = 0;
    for (std::size_t k = 0; k < path.size(); ++k) {
        worst = std::max(worst, std::abs(double(path[k].b) - source[path[k].a]));
        if (k > 0) {
            EXPECT_LE(path[k].a - path[k - 1].a, 1u);
            EXPECT_LE(path[k].b - path[k - 1].b, 1u);
        }
    }
    EXPECT_LE(worst, 1.0);
    // Times between frames: frame 100 of b shows frame source[100] of a.
    const TimeMap map(path, 0.01, 0.02);
    EXPECT_NEAR(map(0.01 + 100 * 0.01), 0.01 + source[100] * 0.01, 0.011);
}

// On copies with noise 1.3 times the sequence's spread the coarse path is
// only near the best one: each finer band reaches the radius around it every
// way, so the path found costs what trying every pairing costs.
TEST(TimeWarp, OnNoisyCopiesCostsWhatTryingEveryPairingCosts)
{
    auto distance = [](const float* x, const float* y) {
        double sum = 0;
        for (std::size_t d = 0; d < 3; ++d)
            sum += double(x[d] - y[d]) * (x[d] - y[d]);
        return std::sqrt(sum);
    };
    auto everyPairing = [&](const Features& a, const Features& b) {
        const double none = std::numeric_limits<double>::infinity();
        std::vector<double> previous(b.frames(), none), current(b.frames());
        for (std::size_t i = 0; i < a.frames(); ++i) {
            for (std::size_t j = 0; j < b.frames(); ++j) {
                double best = i == 0 && j == 0 ? 0 : previous[j];
                if (j > 0)
                    best = std::min({best, previous[j - 1], current[j - 1]});
                current[j] = best + distance(a.frame(i), b.frame(j));
            }
            previous.swap(current);
        }
        return previous.back();
    };
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::mt19937 random(seed);
        std::normal_distribution<float> noise;
        const std::size_t n = 1000;
        const Features a = randomSmooth(n, random);
        std::vector<std::size_t> source;
        for (double t = 0; t < double(n - 1); t += 0.7 + 0.4 * std::sin(t / 40 + seed))
            source.push_back(std::size_t(std::lround(t)));
        Features b(source.size(), 3);
        for (std::size_t j = 0; j < source.size(); ++j) {
            for (std::size_t d = 0; d < 3; ++d)
                b.frame(j)[d] = a.frame(source[j])[d] + 3 * noise(random);
        }
        double found = 0;
        for (const WarpStep& s : warpPath(b, a))
            found += distance(b.frame(s.a), a.frame(s.b));
        EXPECT_LE(found, everyPairing(b, a) * (1 + 1e-5)) << "seed " << seed;
    }
}

TEST(StopClosures, AStopStartsWhereItsSoundFallsQuietBeforeTheBurst)
{
    // A vowel, 60 ms of closure, a burst; a stop marked inside a vowel with
    // no quiet before it; and one after a long pause.
    const int rate = 16000;
    std::vector<std::int16_t> sound(std::size_t(rate), 0);
    auto tone = [&](int fromMs, int toMs, double db = 0) {
        for (int i = fromMs * rate / 1000; i < toMs * rate / 1000; ++i)
            sound[std::size_t(i)] = std::int16_t(12000 * std::pow(10, db / 20) * std::sin(2 * std::numbers::pi * 200 * i / rate));
    };
    tone(0, 200), tone(260, 450), tone(900, 1000);
    auto at = [&](int ms, const char* phone) { return flitePhone(std::int64_t(ms) * rate / 1000, phone); };
    auto startMs = [&](const PhoneMark& p) { return double(p.startSample) * 1000 / rate; };
    const auto phones = fromClosures({at(0, "aa"), at(260, "t"), at(280, "aa"), at(400, "k"), at(420, "aa"),
                                      at(450, "_"), at(900, "p"), at(920, "aa")},
                                     sound, rate);
    EXPECT_NEAR(startMs(phones[1]), 200, 6);
    EXPECT_EQ(phones[3].startSample, 400 * rate / 1000);
    EXPECT_EQ(phones[6].startSample, (900 - kLongestClosureMs) * rate / 1000);

    // Quiet means 12 dB of power below the vowel before: a vowel that fades
    // 8 dB before its closure is not yet the closure, a voiced closure 16 dB
    // down is.
    std::fill(sound.begin(), sound.end(), std::int16_t(0));
    tone(0, 150), tone(150, 200, -8), tone(260, 400);
    tone(500, 700), tone(700, 760, -16), tone(760, 900);
    const auto faded = fromClosures({at(0, "aa"), at(260, "t"), at(280, "aa"), at(500, "aa"), at(760, "d"), at(780, "aa")},
                                    sound, rate);
    EXPECT_NEAR(startMs(faded[1]), 200, 6);
    EXPECT_NEAR(startMs(faded[4]), 700, 6);
}

TEST(NasalReleases, AVowelAfterANasalStartsWhereTheMurmurOpens)
{
    // A murmur (the voice's fundamental alone) opens into a vowel (the same
    // fundamental with formants) at 300 ms, where the warp said 340; the
    // same vowel after an l, and a nasal that never opens, keep their marks.
    const int rate = 16000;
    std::vector<float> sound(std::size_t(rate), 0.f);
    auto voice = [&](int fromMs, int toMs, bool formants) {
        for (int i = fromMs * rate / 1000; i < toMs * rate / 1000; ++i) {
            double x = 0.3 * std::sin(2 * std::numbers::pi * 150 * i / rate);
            for (int h = 4; formants && h <= 20; ++h)
                x += 0.05 * std::sin(2 * std::numbers::pi * 150 * h * i / rate);
            sound[std::size_t(i)] = float(x);
        }
    };
    voice(0, 150, true), voice(150, 300, false), voice(300, 500, true);
    voice(500, 650, false), voice(650, 800, true);
    voice(800, 1000, false);
    auto at = [&](int ms, const char* phone) { return espeakPhone(std::int64_t(ms) * rate / 1000, phone); };
    const auto phones = fromNasalReleases({at(0, "a"), at(150, "m"), at(340, "a"), at(500, "l"),
                                           at(690, "a"), at(800, "n"), at(900, "a")},
                                          sound, rate);
    EXPECT_NEAR(double(phones[2].startSample) * 1000 / rate, 300, 5);
    EXPECT_EQ(phones[4].startSample, 690 * rate / 1000);
    EXPECT_EQ(phones[6].startSample, 900 * rate / 1000);
}

TEST(TranscriptAlignment, FindsTheWordsOfAnotherVoiceAndItsPauses)
{
    // Flite's voice as the recording, with silence before it and a pause of
    // the speaker's own before "boat", which eSpeak NG does not make.
    const QString text = QStringLiteral("My mother owns a small yellow boat on the lake.");
    const Synthesis flite = synthesize(EngineKind::Flite, 0, text);  // slt
    const auto boat = std::find_if(flite.words.begin(), flite.words.end(), [](const WordMark& w) { return w.start == 30; });
    ASSERT_NE(boat, flite.words.end());
    const std::int64_t lead = flite.rate * 8 / 10, pause = flite.rate * 6 / 10;
    std::vector<float> sound(std::size_t(lead), 0.f);
    for (std::size_t i = 0; i < flite.samples.size(); ++i) {
        if (std::int64_t(i) == boat->startSample)
            sound.resize(sound.size() + std::size_t(pause), 0.f);
        sound.push_back(float(flite.samples[i]) / 32768.f);
    }
    sound.resize(sound.size() + std::size_t(flite.rate / 2), 0.f);
    Recording recording;
    recording.rate = kAnalysisRate;
    recording.samples = resample(sound, flite.rate, kAnalysisRate);
    auto knownMs = [&](std::int64_t sample) {
        return 1000.0 * double(lead + sample + (sample >= boat->startSample ? pause : 0)) / flite.rate;
    };

    const auto aligned = alignTranscript(recording, text, 0, nullptr);
    ASSERT_TRUE(aligned);
    // No sounding phone starts in either silence, and the mouth rests in the pause.
    const double pauseFromMs = knownMs(boat->startSample - 1), pauseToMs = knownMs(boat->startSample);
    bool rests = false;
    for (const PhoneMark& p : aligned->phones) {
        const double ms = 1000.0 * double(p.startSample) / kAnalysisRate;
        if (p.viseme != 0) {
            EXPECT_GE(ms, 780) << p.phone.constData();
            EXPECT_FALSE(ms > pauseFromMs + 20 && ms < pauseToMs - 20) << p.phone.constData() << " at " << ms;
        } else {
            rests = rests || (ms >= pauseFromMs - 100 && ms < pauseToMs - 300);
        }
    }
    EXPECT_TRUE(rests);
    // Words pair by where they start in the text; eSpeak NG marks nearly all.
    std::vector<double> errorsMs;
    for (const WordMark& known : flite.words) {
        const auto found = std::find_if(aligned->words.begin(), aligned->words.end(),
                                        [&](const WordMark& w) { return w.start == known.start; });
        if (found == aligned->words.end())
            continue;
        errorsMs.push_back(std::abs(1000.0 * double(found->startSample) / kAnalysisRate - knownMs(known.startSample)));
        EXPECT_LT(errorsMs.back(), 100) << "the word at " << known.start;
    }
    ASSERT_GE(errorsMs.size(), flite.words.size() * 4 / 5);
    std::sort(errorsMs.begin(), errorsMs.end());
    EXPECT_LT(errorsMs[errorsMs.size() / 2], 30);
}

// The tool's result, its status and what it said.
struct ToolRun {
    int status = -1;
    QString said;
};

ToolRun tool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(MAKE_SPEECH_SCRIPT), arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError() + process.readAllStandardOutput())};
}

// The numbers that --voices lists, for either engine, are the numbers --voice
// takes: a script made with voice N says it was spoken by the voice listed as
// N. The first, a middle and the last voice, each by a name no other has.
TEST(MakeSpeechScript, TheVoicesListedAreNumberedAsVoiceTakesThem)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("spoken"));
    for (const QStringList& engine : {QStringList(), QStringList{QStringLiteral("--flite")}}) {
        SCOPED_TRACE(engine.join(' ').toStdString());
        const ToolRun listed = tool(engine + QStringList{QStringLiteral("--voices")});
        ASSERT_EQ(listed.status, 0) << listed.said.toStdString();
        QStringList names;
        for (const QString& line : listed.said.split('\n', Qt::SkipEmptyParts)) {
            const QStringList fields = line.split('\t');
            ASSERT_EQ(fields.size(), 3) << line.toStdString();
            EXPECT_EQ(fields[0], QString::number(names.size())) << "numbered from 0, one by one";
            names << fields[2];
        }
        ASSERT_GE(names.size(), 3);
        for (qsizetype n : {qsizetype(0), names.size() / 2, names.size() - 1}) {
            while (names.count(names[n]) > 1 && n + 1 < names.size())
                ++n;
            SCOPED_TRACE(names[n].toStdString());
            const ToolRun made = tool(engine + QStringList{QStringLiteral("--voice"), QString::number(n), out,
                                                           QStringLiteral("Hello.")});
            ASSERT_EQ(made.status, 0) << made.said.toStdString();
            QFile script(out + ".qvs");
            ASSERT_TRUE(script.open(QIODevice::ReadOnly));
            EXPECT_TRUE(QString::fromUtf8(script.readAll()).contains(QStringLiteral("Spoken by %1;").arg(names[n])));
        }
        const ToolRun beyond = tool(engine + QStringList{QStringLiteral("--voice"), QString::number(names.size()),
                                                         out, QStringLiteral("Hello.")});
        EXPECT_NE(beyond.status, 0);
        EXPECT_TRUE(beyond.said.contains(QStringLiteral("0 to %1").arg(names.size() - 1))) << beyond.said.toStdString();
    }
}

TEST(MakeSpeechScript, WritesAScriptThePlayerLoadsAndRefusesWhatItCannotUse)
{
    QTemporaryDir dir;
    const QString line = dir.filePath(QStringLiteral("line"));
    ASSERT_EQ(tool({QStringLiteral("--flite"), line, QStringLiteral("Good morning to you.")}).status, 0);
    const QString out = dir.filePath(QStringLiteral("aligned"));
    const ToolRun made = tool({QStringLiteral("--audio"), line + ".wav", QStringLiteral("--text"),
                           QStringLiteral("Good morning to you."), out});
    ASSERT_EQ(made.status, 0) << made.said.toStdString();
    QFile original(line + ".wav"), copy(out + ".wav");
    ASSERT_TRUE(original.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), original.readAll()) << "the recording goes beside the script as it is";
    const auto script = vizmo::player::loadScript(out + ".qvs");
    ASSERT_TRUE(script.ok()) << script.error().description.toStdString();

    const ToolRun missing = tool({QStringLiteral("--audio"), dir.filePath(QStringLiteral("none.wav")),
                              QStringLiteral("--text"), QStringLiteral("Hello."), out});
    EXPECT_NE(missing.status, 0);
    EXPECT_TRUE(missing.said.contains(QStringLiteral("none.wav"))) << missing.said.toStdString();
    const ToolRun empty = tool({QStringLiteral("--audio"), line + ".wav", QStringLiteral("--text"), QStringLiteral(" "), out});
    EXPECT_NE(empty.status, 0);
    EXPECT_TRUE(empty.said.contains(QStringLiteral("transcript is empty"))) << empty.said.toStdString();
    const ToolRun badVoice = tool({QStringLiteral("--audio"), line + ".wav", QStringLiteral("--voice"),
                               QStringLiteral("9999"), QStringLiteral("--text"), QStringLiteral("Hello."), out});
    EXPECT_NE(badVoice.status, 0);

    // Without a transcript: English phones are recognised, another language
    // takes its shapes from the sound; either way the script loads.
    const ToolRun heard = tool({QStringLiteral("--audio"), line + ".wav", out});
    ASSERT_EQ(heard.status, 0) << heard.said.toStdString();
    EXPECT_TRUE(heard.said.contains(QStringLiteral("recognised by PocketSphinx"))) << heard.said.toStdString();
    EXPECT_TRUE(vizmo::player::loadScript(out + ".qvs").ok());
    const auto& voices = EngineThread::of(EngineKind::Espeak).info().voices;
    const auto german = std::find_if(voices.begin(), voices.end(), [](const auto& v) { return v.id.endsWith("de"); });
    ASSERT_NE(german, voices.end());
    const ToolRun shaped = tool({QStringLiteral("--audio"), line + ".wav", QStringLiteral("--voice"),
                                 QString::number(int(german - voices.begin())), out});
    ASSERT_EQ(shaped.status, 0) << shaped.said.toStdString();
    EXPECT_TRUE(shaped.said.contains(QStringLiteral("from the sound itself"))) << shaped.said.toStdString();
    EXPECT_TRUE(vizmo::player::loadScript(out + ".qvs").ok());
}

}  // namespace
