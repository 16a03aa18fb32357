// Both engines, driven directly on their threads: real sound, Speed and Pitch
// taking effect, and phone and word marks that match the text.
#include "collecting_sink.h"

#include "components/speech/quiet_start.h"
#include "components/speech/utterance_cut.h"
#include "components/speech/viseme_tables.h"

#include "components/player_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace vizmo::speech;
using vizmo::speech::testing::CollectingSink;
using vizmo::speech::testing::Synthesis;
using vizmo::speech::testing::synthesize;

namespace {

const QString kSentence = QStringLiteral("The quick brown fox jumps over the lazy dog.");

class BothEngines : public ::testing::TestWithParam<EngineKind> {};

// Median fundamental frequency of the loud frames, by autocorrelation.
double medianPitchHz(const std::vector<std::int16_t>& samples, int rate)
{
    const int frame = rate / 25;
    const int minLag = rate / 400, maxLag = rate / 60;
    std::vector<double> pitches;
    for (std::size_t at = 0; at + std::size_t(frame + maxLag) < samples.size(); at += std::size_t(frame / 2)) {
        double energy = 0;
        for (int i = 0; i < frame; ++i)
            energy += double(samples[at + std::size_t(i)]) * samples[at + std::size_t(i)];
        if (energy / frame < 1000.0 * 1000.0)
            continue;
        int bestLag = 0;
        double best = 0;
        for (int lag = minLag; lag <= maxLag; ++lag) {
            double sum = 0;
            for (int i = 0; i < frame; ++i)
                sum += double(samples[at + std::size_t(i)]) * samples[at + std::size_t(i + lag)];
            if (sum > best) {
                best = sum;
                bestLag = lag;
            }
        }
        if (bestLag > 0 && best > 0.5 * energy)
            pitches.push_back(double(rate) / bestLag);
    }
    if (pitches.empty())
        return 0;
    std::nth_element(pitches.begin(), pitches.begin() + std::ptrdiff_t(pitches.size() / 2), pitches.end());
    return pitches[pitches.size() / 2];
}

}  // namespace

TEST_P(BothEngines, SpeaksAudibly)
{
    const Synthesis s = synthesize(GetParam(), kSentence, {});
    const int rate = EngineThread::of(GetParam()).info().sampleRates.at(0);
    const double seconds = double(s.samples.size()) / rate;
    EXPECT_GT(seconds, 1.5);
    EXPECT_LT(seconds, 6.0);
    EXPECT_GT(s.rms(), 300.0);

    // No long wait before the first sound, and the first word is marked where
    // its sound is (the quiet start is cut, the marks moved with it).
    const auto loud = std::find_if(s.samples.begin(), s.samples.end(), [](std::int16_t v) { return std::abs(v) > 1000; });
    ASSERT_NE(loud, s.samples.end());
    const std::int64_t firstLoud = loud - s.samples.begin();
    EXPECT_LT(firstLoud, rate * 150 / 1000);
    ASSERT_FALSE(s.words.empty());
    EXPECT_LE(s.words.front().startSample, firstLoud);
    EXPECT_GT(s.words.front().startSample, firstLoud - rate * 120 / 1000);
}

TEST_P(BothEngines, HigherSpeedGivesShorterAudio)
{
    const Synthesis slow = synthesize(GetParam(), kSentence, {0, 50, 20});
    const Synthesis natural = synthesize(GetParam(), kSentence, {0, 50, 50});
    const Synthesis fast = synthesize(GetParam(), kSentence, {0, 50, 80});
    EXPECT_LT(double(natural.samples.size()), 0.85 * double(slow.samples.size()));
    EXPECT_LT(double(fast.samples.size()), 0.85 * double(natural.samples.size()));
}

TEST_P(BothEngines, PitchScalesEachVoiceByTheSameFactors)
{
    // Half an octave each way, on every English voice (some of eSpeak NG's
    // other languages narrow the range in their own voice files).
    const EngineInfo& info = EngineThread::of(GetParam()).info();
    for (int voice = 0; voice < info.voices.size(); ++voice) {
        if (GetParam() == EngineKind::Espeak && !info.voices[voice].name.startsWith(QLatin1String("English")))
            continue;
        SCOPED_TRACE(info.voices[voice].name.toStdString());
        const int rate = info.sampleRates.at(voice);
        const double low = medianPitchHz(synthesize(GetParam(), kSentence, {voice, 0, 50}).samples, rate);
        const double own = medianPitchHz(synthesize(GetParam(), kSentence, {voice, 50, 50}).samples, rate);
        const double high = medianPitchHz(synthesize(GetParam(), kSentence, {voice, 100, 50}).samples, rate);
        ASSERT_GT(own, 60.0);
        EXPECT_NEAR(low / own, 0.71, 0.07) << low << " Hz at 0, " << own << " Hz at 50";
        EXPECT_NEAR(high / own, 1.41, 0.14) << high << " Hz at 100, " << own << " Hz at 50";
        if (info.voices[voice].name.contains(QLatin1String("female"))) {
            EXPECT_GT(own, 150.0) << "a woman's voice at its own pitch";
        } else if (info.voices[voice].name.contains(QLatin1String("male"))) {
            EXPECT_LT(own, 150.0);
        }
    }
}

TEST_P(BothEngines, WordMarksCoverEveryWordInOrder)
{
    const Synthesis s = synthesize(GetParam(), kSentence, {});
    QStringList spoken;
    std::int64_t last = -1;
    for (const WordMark& w : s.words) {
        spoken << kSentence.mid(w.start, w.length);
        EXPECT_GE(w.startSample, last);
        last = w.startSample;
    }
    EXPECT_EQ(spoken.join(u' '), QStringLiteral("The quick brown fox jumps over the lazy dog"));
}

TEST_P(BothEngines, PhonesGiveVisiblyDifferentMouthShapes)
{
    const Synthesis s = synthesize(GetParam(), QStringLiteral("Bob moves over five feet."), {});
    ASSERT_GT(s.phones.size(), 10u);
    std::set<int> shapes;
    for (const PhoneMark& p : s.phones)
        shapes.insert(p.viseme);
    namespace v = vizmo::player::viseme;
    EXPECT_TRUE(shapes.count(v::PP)) << "b, m";
    EXPECT_TRUE(shapes.count(v::FF)) << "f, v";
    EXPECT_TRUE(shapes.count(v::ou)) << "oo";
    EXPECT_TRUE(shapes.count(v::Silence));
    EXPECT_GE(shapes.size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(Engines, BothEngines, ::testing::Values(EngineKind::Espeak, EngineKind::Flite),
                         [](const auto& info) { return info.param == EngineKind::Espeak ? "Espeak" : "Flite"; });

TEST(EspeakWords, PositionsCountUtf16UnitsOfTheTextAsGiven)
{
    const QString text = QStringLiteral("Grüße 😀 an die Welt, schöne Welt.");
    const Synthesis s = synthesize(EngineKind::Espeak, text, {});
    ASSERT_FALSE(s.words.empty());
    QStringList spoken;
    for (const WordMark& w : s.words)
        spoken << text.mid(w.start, w.length);
    EXPECT_TRUE(spoken.contains(QStringLiteral("Grüße")));
    EXPECT_TRUE(spoken.contains(QStringLiteral("schöne"))) << spoken.join(u'|').toStdString();
}

TEST(FliteWords, LongTextsKeepPositionsAcrossSentences)
{
    const QString text = QStringLiteral("First sentence here. Second one follows!\nThird line, with 42 apples.");
    const Synthesis s = synthesize(EngineKind::Flite, text, {});
    QStringList spoken;
    for (const WordMark& w : s.words)
        spoken << text.mid(w.start, w.length);
    EXPECT_EQ(spoken.join(u' '), QStringLiteral("First sentence here Second one follows Third line with 42 apples"));

    // A long first sentence starts with its first words said alone, joined to
    // the whole sentence inside the k of "quick": each phone comes once.
    QByteArrayList phones;
    for (const PhoneMark& p : synthesize(EngineKind::Flite, kSentence, {}).phones) {
        if (p.phone != "pau")
            phones << p.phone;
    }
    EXPECT_EQ(phones.join(' '), "dh ax k w ih k b r aw n f aa k s jh ah m p s ow v er dh ax l ey z iy d ao g");
}

TEST(QuietStart, CutsOnlyTheSilenceBeforeTheFirstSoundAndMovesTheMarksWithIt)
{
    // 16 kHz: 5 ms kept before the first audible sample, or more so that the
    // first vowel starts 23 ms (368 samples) into the sound. 4800 quiet
    // samples, with a click in a closure, come in two chunks; the sound begins
    // at the end of the second and goes on in the third, with its vowel 10 ms in.
    CollectingSink kept;
    QuietStartSink sink(kept, 16000);
    SpeechChunk first;
    first.samples.assign(3200, 20);
    std::fill_n(first.samples.begin() + 2000, 3, std::int16_t(500));
    first.phones = {flitePhone(0, "pau"), flitePhone(2400, "p")};
    sink.deliver(std::move(first));
    EXPECT_TRUE(kept.out.phones.empty()) << "marks wait until the cut is known";
    SpeechChunk second;
    second.samples.assign(1600, 0);
    second.samples.insert(second.samples.end(), 5, 3000);
    second.words = {{4800, 0, 5}};
    sink.deliver(std::move(second));
    EXPECT_TRUE(kept.out.samples.empty()) << "too little of the sound yet to tell it from a click";
    SpeechChunk third;
    third.samples.assign(795, 3000);
    third.samples.insert(third.samples.end(), 160, -3000);
    third.phones = {flitePhone(4960, "iy")};
    sink.deliver(std::move(third));
    // A chunk after the cut: its marks move by the same cut.
    SpeechChunk fourth;
    fourth.samples.assign(400, 2000);
    fourth.phones = {flitePhone(5760, "s")};
    fourth.words = {{5760, 6, 4}};
    sink.deliver(std::move(fourth));
    sink.flush();

    EXPECT_EQ(sink.cut(), 4592);
    ASSERT_EQ(kept.out.samples.size(), 1568u);
    EXPECT_EQ(kept.out.samples[207], 0);
    EXPECT_EQ(kept.out.samples[208], 3000);
    EXPECT_EQ(kept.out.samples[1167], -3000);
    EXPECT_EQ(kept.out.samples[1168], 2000);
    ASSERT_EQ(kept.out.phones.size(), 4u);
    EXPECT_EQ(kept.out.phones[1].startSample, 0);
    EXPECT_EQ(kept.out.phones[2].startSample, 368);
    EXPECT_EQ(kept.out.phones[3].startSample, 1168);
    ASSERT_EQ(kept.out.words.size(), 2u);
    EXPECT_EQ(kept.out.words[0].startSample, 208);
    EXPECT_EQ(kept.out.words[1].startSample, 1168);

    // A text with no sound at all is passed on whole.
    CollectingSink silent;
    QuietStartSink quiet(silent, 1000);
    SpeechChunk hush;
    hush.samples.assign(40, 10);
    hush.words = {{12, 0, 2}};
    quiet.deliver(std::move(hush));
    quiet.flush();
    EXPECT_EQ(silent.out.samples.size(), 40u);
    EXPECT_EQ(silent.out.words.at(0).startSample, 12);
}

TEST(UtteranceCut, JoinsAHeadToATailInTheQuietOfTheirClosuresWithTheMarksOfEachSide)
{
    // 1000 Hz: the quiet stretch looked for is 5 samples. The head says "w1
    // w2..." and stops in the closure of w2's stop; the tail says the same
    // words in a longer text and goes on from its own closure.
    auto utterance = [](std::initializer_list<std::pair<int, std::int16_t>> runs) {
        std::vector<std::int16_t> samples;
        for (const auto& [count, value] : runs)
            samples.insert(samples.end(), std::size_t(count), value);
        return samples;
    };
    auto feed = [](UtteranceCut& cut, const std::vector<std::int16_t>& samples) {
        for (std::size_t at = 0; at < samples.size() && !cut.done(); at += 7)
            cut.addSamples(samples.data() + at, std::int64_t(std::min<std::size_t>(7, samples.size() - at)));
    };
    CollectingSink joined;
    UtteranceCut head(joined, UtteranceCut::Part::Head, 1000, 0);
    head.setClosure(20, 40);
    head.addMarks({{0, 0, "pau"}, {10, 4, "er"}, {20, 21, "p"}, {40, 11, "ay"}}, {{0, 0, 2}, {20, 3, 2}});
    EXPECT_EQ(joined.out.phones.size(), 2u) << "marks before the closure go at once";
    feed(head, utterance({{20, 1000}, {8, 500}, {7, 0}, {5, 800}, {20, 1000}}));
    EXPECT_TRUE(head.done());
    EXPECT_EQ(head.passed(), 30);

    UtteranceCut tail(joined, UtteranceCut::Part::Tail, 1000, head.passed());
    tail.setClosure(30, 55);
    tail.addMarks({{0, 0, "pau"}, {20, 4, "er"}, {30, 21, "p"}, {55, 11, "ay"}}, {{20, 0, 2}, {30, 3, 2}});
    feed(tail, utterance({{30, 1000}, {10, 600}, {10, 0}, {5, 900}, {25, 1000}}));
    EXPECT_TRUE(tail.spliced());
    EXPECT_EQ(tail.passed(), 38);

    ASSERT_EQ(joined.out.samples.size(), 68u);
    EXPECT_EQ(joined.out.samples[27], 500);
    EXPECT_EQ(joined.out.samples[29], 0);
    EXPECT_EQ(joined.out.samples[37], 0);
    EXPECT_EQ(joined.out.samples[38], 900);
    ASSERT_EQ(joined.out.phones.size(), 4u);
    EXPECT_EQ(joined.out.phones[2].phone, "p");
    EXPECT_EQ(joined.out.phones[2].startSample, 20);
    EXPECT_EQ(joined.out.phones[3].phone, "ay");
    EXPECT_EQ(joined.out.phones[3].startSample, 43);
    ASSERT_EQ(joined.out.words.size(), 2u) << "each word once, from the side its sound starts in";
    EXPECT_EQ(joined.out.words[1].startSample, 20);

    // A head whose word does not start with a closure is not used at all.
    CollectingSink unused;
    UtteranceCut noClosure(unused, UtteranceCut::Part::Head, 1000, 0);
    noClosure.addMarks({{0, 0, "pau"}}, {});
    feed(noClosure, utterance({{50, 1000}}));
    EXPECT_TRUE(noClosure.done());
    EXPECT_FALSE(noClosure.spliced());
    EXPECT_TRUE(unused.out.samples.empty() && unused.out.phones.empty());
}
