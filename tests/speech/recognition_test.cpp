// Mouth tracks for a recorded voice without its text: the phones heard in a
// Flite sentence, the shapes taken from its sound alone, and a missing model.
#include "collecting_sink.h"

#include "components/player_control.h"
#include "components/speech/lip_sync.h"
#include "tools/make_speech_script/phone_recognition.h"
#include "tools/make_speech_script/sound_shape_phones.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vizmo::speech;
namespace v = vizmo::player::viseme;
using vizmo::speech::testing::synthesize;

namespace {

constexpr int kRate = 16000;

// A Flite sentence with 300 ms of silence either side, at 16 kHz, and
// Flite's phones moved with it.
struct Spoken {
    Recording recording;
    std::vector<PhoneMark> phones;
    std::int64_t speechStart = 0, speechEnd = 0;  // of Flite's first and after its last spoken phone
};

bool isSpoken(const PhoneMark& p) { return p.phone != "pau"; }

Spoken fliteSentence(const QString& text = QStringLiteral("Look at the moon, said my mother."))
{
    const auto s = synthesize(EngineKind::Flite, text, {});
    const int rate = EngineThread::of(EngineKind::Flite).info().sampleRates.at(0);
    const std::int64_t pad = kRate * 3 / 10;
    std::vector<float> mono(s.samples.size());
    std::transform(s.samples.begin(), s.samples.end(), mono.begin(), [](std::int16_t x) { return x / 32768.f; });
    Spoken out;
    out.recording.samples = resample(mono, rate, kRate);
    out.recording.samples.insert(out.recording.samples.begin(), std::size_t(pad), 0.f);
    out.recording.samples.resize(out.recording.samples.size() + std::size_t(pad), 0.f);
    out.recording.rate = kRate;
    for (PhoneMark p : s.phones) {
        p.startSample = p.startSample * kRate / rate + pad;
        out.phones.push_back(p);
    }
    const auto lastSpoken = std::find_if(out.phones.rbegin(), out.phones.rend(), isSpoken);
    out.speechStart = std::find_if(out.phones.begin(), out.phones.end(), isSpoken)->startSample;
    out.speechEnd = lastSpoken == out.phones.rbegin() ? std::int64_t(mono.size()) * kRate / rate + pad
                                                      : (lastSpoken - 1)->startSample;
    return out;
}

// The phone in force at `sample`.
const PhoneMark& phoneAt(const std::vector<PhoneMark>& phones, std::int64_t sample)
{
    auto it = std::upper_bound(phones.begin(), phones.end(), sample,
                               [](std::int64_t at, const PhoneMark& p) { return at < p.startSample; });
    return it == phones.begin() ? *it : *(it - 1);
}

std::size_t spokenCount(const std::vector<PhoneMark>& phones)
{
    return std::size_t(std::count_if(phones.begin(), phones.end(), isSpoken));
}

}  // namespace

TEST(PhoneRecognition, HearsSpeechWhereTheSoundIsAndSilenceAroundIt)
{
    const Spoken spoken = fliteSentence();
    QString error;
    const auto heard = recognisePhones(spoken.recording, &error);
    ASSERT_TRUE(heard) << error.toStdString();
    ASSERT_GE(heard->phones.size(), 3u);
    EXPECT_EQ(heard->phones.front().phone, "pau");
    EXPECT_EQ(heard->phones.back().phone, "pau");
    // Speech starts and ends where Flite's does, within a phone's length.
    const auto firstSpoken = std::find_if(heard->phones.begin(), heard->phones.end(), isSpoken);
    ASSERT_NE(firstSpoken, heard->phones.end());
    EXPECT_NEAR(double(firstSpoken->startSample), double(spoken.speechStart), kRate * 0.08);
    EXPECT_NEAR(double(heard->phones.back().startSample), double(spoken.speechEnd), kRate * 0.12);
    const double ratio = double(spokenCount(heard->phones)) / double(spokenCount(spoken.phones));
    EXPECT_GT(ratio, 0.7);
    EXPECT_LT(ratio, 1.4);
    for (const PhoneMark& p : heard->phones)
        EXPECT_EQ(p.phone, p.phone.toLower());
    EXPECT_GT(heard->quality, kWeakRecognition);

    // Hiss is no speech: it is reported as weak, not turned into phones to trust.
    Recording noise{std::vector<float>(kRate * 2), kRate};
    std::uint32_t seed = 7;
    for (float& x : noise.samples) {
        seed = seed * 1664525u + 1013904223u;
        x = 0.3f * (float(seed >> 8) / float(1u << 24) - 0.5f);
    }
    const auto hiss = recognisePhones(noise, &error);
    ASSERT_TRUE(hiss);
    EXPECT_LT(hiss->quality, kWeakRecognition);
}

TEST(PhoneRecognition, MissingOrBrokenModelIsAnErrorNotACrash)
{
    const Recording quiet{std::vector<float>(kRate, 0.f), kRate};
    QString error;
    EXPECT_FALSE(recognisePhones(quiet, &error, QStringLiteral("/nonexistent/model")));
    EXPECT_TRUE(error.contains(QStringLiteral("/nonexistent/model"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("VIZMO_PHONE_MODEL"))) << error.toStdString();

    // A damaged model would end the process inside the library: it is
    // turned down before that.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("en-us")));
    for (const char* name : {"en-us/mdef", "en-us/means", "en-us/variances", "en-us/transition_matrices",
                             "en-us/noisedict", "en-us/feat.params", "en-us-phone.lm.bin"}) {
        QFile file(QDir(dir.path()).filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a model\n");
    }
    error.clear();
    EXPECT_FALSE(recognisePhones(quiet, &error, dir.path()));
    EXPECT_TRUE(error.contains(QStringLiteral("damaged"))) << error.toStdString();
}

TEST(SoundShapes, OpenTheMouthInVowelsAndCloseItInSilence)
{
    const Spoken spoken = fliteSentence();
    const std::vector<PhoneMark> shapes = shapesFromSound(spoken.recording);
    ASSERT_FALSE(shapes.empty());
    EXPECT_EQ(shapes.front().phone, "pau");
    EXPECT_EQ(phoneAt(shapes, spoken.speechStart - kRate / 10).viseme, v::Silence);
    EXPECT_EQ(phoneAt(shapes, spoken.speechEnd + kRate / 10).viseme, v::Silence);

    // Through the lip sync's own rules: in the middle of Flite's vowels of
    // 80 ms or more the mouth is in a vowel's shape, mostly.
    LipSync sync(kRate);
    std::vector<std::int16_t> pcm(spoken.recording.samples.size());
    std::transform(spoken.recording.samples.begin(), spoken.recording.samples.end(), pcm.begin(),
                   [](float x) { return std::int16_t(x * 32767.f); });
    sync.addSound(pcm);
    sync.addPhones(shapes);
    sync.finish(std::int64_t(pcm.size()));
    const std::vector<VisemeCue> cues = sync.takeAll();
    ASSERT_FALSE(cues.empty());
    EXPECT_EQ(cues.back().viseme, v::Silence);
    int vowels = 0, open = 0;
    for (std::size_t i = 0; i + 1 < spoken.phones.size(); ++i) {
        const std::int64_t start = spoken.phones[i].startSample, end = spoken.phones[i + 1].startSample;
        if (spoken.phones[i].viseme < v::aa || end - start < kRate * 8 / 100)
            continue;
        ++vowels;
        const std::int64_t middle = (start + end) / 2;
        const auto cue =
            std::find_if(cues.rbegin(), cues.rend(), [&](const VisemeCue& c) { return c.startSample <= middle; });
        open += cue != cues.rend() && cue->viseme >= v::aa;
    }
    ASSERT_GE(vowels, 4);
    EXPECT_GE(open, vowels * 2 / 3) << open << " of " << vowels;
}

// Frame by frame through a sentence full of rounded and of spread vowels:
// where Flite says u or o the shapes from the sound round the lips far more
// often than where it says i or e. (Flite's u is said far forward, as much
// of English's is: under a third of its frames sound rounded.)
TEST(SoundShapes, RoundTheLipsWhereTheVoiceSaysOAndUAndNotWhereItSaysIAndE)
{
    const Spoken spoken =
        fliteSentence(QStringLiteral("Who knew you would choose two blue shoes? We need three green leaves, he sees."));
    const std::vector<PhoneMark> shapes = shapesFromSound(spoken.recording);
    const auto rounded = [](int viseme) { return viseme == v::oh || viseme == v::ou; };
    int round = 0, roundRounded = 0, spread = 0, spreadRounded = 0;
    for (std::int64_t at = spoken.speechStart; at < spoken.speechEnd; at += kRate / 100) {
        const int truth = phoneAt(spoken.phones, at).viseme, heard = phoneAt(shapes, at).viseme;
        if (rounded(truth))
            ++round, roundRounded += rounded(heard);
        if (truth == v::ih || truth == v::E)
            ++spread, spreadRounded += rounded(heard);
    }
    ASSERT_GT(round, 20);
    ASSERT_GT(spread, 20);
    EXPECT_GE(roundRounded, round / 4) << roundRounded << " of " << round;
    EXPECT_LE(spreadRounded, spread / 10) << spreadRounded << " of " << spread;
}
