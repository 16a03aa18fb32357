// Mouth shapes from the sound alone, as the player hears a voice and the
// recorded-voice tool reads one: people's syllables (klettres-data: an
// Italian, a Spanish and a Brazilian speaker) in a row, the stream fed in
// pieces or whole, a live input's own rate and channels, and the gate that
// keeps a room's noise from moving the mouth.
#include "components/player_control.h"
#include "components/sound_shapes/input_converter.h"
#include "components/sound_shapes/shape_stream.h"
#include "support/syllable_recordings.h"
#include "tools/make_speech_script/recording.h"
#include "tools/make_speech_script/sound_shape_phones.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <numbers>
#include <random>

namespace vizmo {
namespace {

using namespace sound_shapes;
using testing::SyllableMark;
using testing::SyllableStream;

// A stop's closure is about this long: the silence a "p" makes before its burst.
constexpr int kGapMs = 80;

struct Heard {
    SyllableStream sound;
    std::vector<ShapeFrame> frames;

    // The frames from the syllable's first sound to its vowel's second frame.
    std::vector<SoundClass> consonant(const SyllableMark& m) const
    {
        std::vector<SoundClass> out;
        for (long f = m.start / kHop; f <= m.vowel / kHop + 1; ++f)
            out.push_back(frames[std::size_t(f)].sound);
        return out;
    }
    // The first 200 ms of the vowel.
    std::vector<const ShapeFrame*> vowel(const SyllableMark& m) const
    {
        std::vector<const ShapeFrame*> out;
        for (long f = m.vowel / kHop; f < std::min(m.end / kHop, m.vowel / kHop + 20); ++f)
            out.push_back(&frames[std::size_t(f)]);
        return out;
    }
    SoundClass vowelClass(const SyllableMark& m) const
    {
        std::map<SoundClass, int> votes;
        for (const ShapeFrame* f : vowel(m))
            ++votes[f->sound];
        return std::max_element(votes.begin(), votes.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    }
};

// One speaker's syllables b m p f v d l n s t before every vowel, as one voice.
Heard hear(const QString& language)
{
    const auto sound = testing::joinSyllables(
        language, testing::syllablesOf(language, QStringLiteral("bmpfvdlnst"), QStringLiteral("aeiou")), kRate, kGapMs);
    if (!sound)
        return {};
    return {*sound, shapesOf(sound->samples)};
}

class SoundShapesOfSyllables : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        for (const char* language : {"it", "es", "pt_BR"})
            speakers().emplace_back(hear(QString::fromLatin1(language)));
    }
    void SetUp() override
    {
        for (const Heard& h : speakers())
            ASSERT_FALSE(h.sound.marks.empty()) << "klettres-data is not installed: " << testing::syllableFolder("it").toStdString();
    }
    static std::vector<Heard>& speakers()
    {
        static std::vector<Heard> all;
        return all;
    }
    // The share of the syllables beginning with one of `consonants` (of the
    // first `count` speakers) for which `holds` is true.
    template <typename Holds>
    static double share(const char* consonants, Holds holds, std::size_t count = 3)
    {
        int n = 0, yes = 0;
        for (std::size_t s = 0; s < count; ++s) {
            for (const SyllableMark& m : speakers()[s].sound.marks) {
                if (!std::strchr(consonants, m.name[0].toLatin1()))
                    continue;
                ++n;
                yes += holds(speakers()[s], m);
            }
        }
        return n ? double(yes) / n : 0.0;
    }
    static bool has(const std::vector<SoundClass>& classes, SoundClass c)
    {
        return std::find(classes.begin(), classes.end(), c) != classes.end();
    }
};

TEST_F(SoundShapesOfSyllables, LipsCloseForPBAndM)
{
    // b and m: their murmur is heard behind closed lips; p: its closure is silent.
    const double murmur = share("bm", [](const Heard& h, const SyllableMark& m) {
        return has(h.consonant(m), SoundClass::LipsClosed);
    });
    const double pClosure = share("p", [](const Heard& h, const SyllableMark& m) {
        const long before = m.start / kHop;
        return h.frames[std::size_t(before - 3)].sound == SoundClass::Silence;
    });
    EXPECT_GE(murmur, 0.65);
    EXPECT_GE(pClosure, 0.99);
    // Sounds made behind open lips do not close them. (A voiced d's murmur is
    // that of a b: nothing in the sound tells where the closure is.)
    const double others = share("lnst", [](const Heard& h, const SyllableMark& m) {
        return has(h.consonant(m), SoundClass::LipsClosed);
    });
    EXPECT_LE(others, 0.3);
}

bool rounded(SoundClass c) { return c == SoundClass::Round || c == SoundClass::HalfRound; }

// The shares of a speaker's o and u syllables, and of i and e, whose vowel is rounded.
struct Rounding {
    int round = 0, roundRounded = 0, spread = 0, spreadRounded = 0;
    void add(const Heard& h, const SyllableMark& m)
    {
        const QChar v = m.name[1];
        const bool r = rounded(h.vowelClass(m));
        if (v == u'o' || v == u'u')
            ++round, roundRounded += r;
        if (v == u'i' || v == u'e')
            ++spread, spreadRounded += r;
    }
    double roundShare() const { return round ? double(roundRounded) / round : 0.0; }
    double spreadShare() const { return spread ? double(spreadRounded) / spread : 1.0; }
};

TEST_F(SoundShapesOfSyllables, OAndURoundTheLipsIAndESpreadThem)
{
    Rounding adults;
    for (std::size_t s = 0; s < 2; ++s) {
        for (const SyllableMark& m : speakers()[s].sound.marks)
            adults.add(speakers()[s], m);
    }
    EXPECT_GE(adults.roundShare(), 0.65) << adults.roundRounded << " of " << adults.round;
    EXPECT_LE(adults.spreadShare(), 0.1) << adults.spreadRounded << " of " << adults.spread;
    // Each adult's u on its own, even where its two lowest resonances merge
    // and its third is taken for its second (the Italian speaker's, after m);
    // and her o, far more open than the close vowels most of hers are, but
    // at the back: not an a.
    for (std::size_t s = 0; s < 2; ++s) {
        int u = 0, uRounded = 0, o = 0, oRounded = 0;
        for (const SyllableMark& m : speakers()[s].sound.marks) {
            if (m.name[1] == u'u')
                ++u, uRounded += rounded(speakers()[s].vowelClass(m));
            if (m.name[1] == u'o')
                ++o, oRounded += rounded(speakers()[s].vowelClass(m));
        }
        EXPECT_GE(uRounded * 4, u * 3) << uRounded << " of " << u << " u syllables, speaker " << s;
        EXPECT_GE(oRounded * 3, o * 2) << oRounded << " of " << o << " o syllables, speaker " << s;
    }
    // The Brazilian speaker's voice is high: among its sparse harmonics the
    // second resonance of her i is taken for a back vowel's, but her i and e
    // stay bright. Her o is nearly as open as her a, so fewer of her o and u
    // round; still far more than of her i and e.
    Rounding high;
    for (const SyllableMark& m : speakers()[2].sound.marks)
        high.add(speakers()[2], m);
    EXPECT_LE(high.spreadShare(), 0.1) << high.spreadRounded << " of " << high.spread;
    EXPECT_GE(high.roundShare(), high.spreadShare() + 0.25) << high.roundRounded << " of " << high.round;
}

// Going from an m, n or l into an i or e, the murmur is as dark and as close
// as a u, but its second resonance lies midway: the lips do not round for it.
TEST_F(SoundShapesOfSyllables, TheLipsDoNotRoundGoingFromMNOrLIntoIOrE)
{
    for (const Heard& h : speakers()) {
        int frames = 0, rounded = 0;
        for (const SyllableMark& m : h.sound.marks) {
            if (!QStringLiteral("mnl").contains(m.name[0]) || !QStringLiteral("ie").contains(m.name[1]))
                continue;
            for (long f = m.start / kHop; f < std::min(m.end / kHop, m.vowel / kHop + 20); ++f) {
                const SoundClass c = h.frames[std::size_t(f)].sound;
                ++frames;
                rounded += c == SoundClass::Round || c == SoundClass::HalfRound;
            }
        }
        ASSERT_GT(frames, 100);
        EXPECT_LE(rounded, frames / 20) << "of " << frames << " frames";
    }
}

// A speaker who says rounded vowels for a while, and then spread ones, is
// read against all of her vowels heard, not against the few last ones: the
// o and u round and the i and e do not, as in the syllables mixed.
TEST_F(SoundShapesOfSyllables, ARunOfOneVowelIsReadAgainstTheSpeakersOtherVowels)
{
    Rounding alone;
    for (const char* language : {"it", "es"}) {
        const QString l = QString::fromLatin1(language);
        const QString consonants = QStringLiteral("bmpfvdlnst");
        std::vector<float> sound;
        std::vector<SyllableMark> marks;
        for (const QString& vowels : {QStringLiteral("aeiou"), QStringLiteral("ou"), QStringLiteral("ie")}) {
            const auto part = testing::joinSyllables(l, testing::syllablesOf(l, consonants, vowels), kRate, kGapMs);
            ASSERT_TRUE(part);
            const long at = long(sound.size());
            sound.insert(sound.end(), part->samples.begin(), part->samples.end());
            if (vowels.size() == 5)
                continue;  // heard first, as the speaker's voice
            for (SyllableMark m : part->marks) {
                m.start += at, m.vowel += at, m.end += at;
                marks.push_back(m);
            }
        }
        const Heard h{{sound, kRate, marks}, shapesOf(sound)};
        for (const SyllableMark& m : marks)
            alone.add(h, m);
    }
    EXPECT_GE(alone.roundShare(), 0.6) << alone.roundRounded << " of " << alone.round;
    EXPECT_LE(alone.spreadShare(), 0.1) << alone.spreadRounded << " of " << alone.spread;
}

TEST_F(SoundShapesOfSyllables, AOpensTheJawWidest)
{
    int as = 0, open = 0, others = 0, otherOpen = 0;
    for (const Heard& h : speakers()) {
        for (const SyllableMark& m : h.sound.marks) {
            const bool isOpen = h.vowelClass(m) == SoundClass::Open;
            if (m.name[1] == u'a')
                ++as, open += isOpen;
            else if (m.name[1] == u'i' || m.name[1] == u'u')
                ++others, otherOpen += isOpen;
        }
    }
    EXPECT_LE(double(otherOpen) / others, 0.1) << "close vowels opened wide: " << otherOpen << " of " << others;
    EXPECT_GE(double(open) / as, 0.7) << open << " of " << as;
}

TEST_F(SoundShapesOfSyllables, TheJawOpensWithTheLoudness)
{
    for (const Heard& h : speakers()) {
        std::vector<double> open, amplitude;
        for (const ShapeFrame& f : h.frames) {
            if (f.sound == SoundClass::Silence)
                continue;
            open.push_back(f.openness);
            amplitude.push_back(std::pow(10.0, f.db / 20));
        }
        ASSERT_GT(open.size(), 500u);
        double mo = 0, ma = 0;
        for (std::size_t i = 0; i < open.size(); ++i)
            mo += open[i] / double(open.size()), ma += amplitude[i] / double(amplitude.size());
        double so = 0, sa = 0, soa = 0;
        for (std::size_t i = 0; i < open.size(); ++i)
            so += (open[i] - mo) * (open[i] - mo), sa += (amplitude[i] - ma) * (amplitude[i] - ma),
                soa += (open[i] - mo) * (amplitude[i] - ma);
        EXPECT_GT(soa / std::sqrt(so * sa), 0.7);
    }
}

TEST_F(SoundShapesOfSyllables, FPutsTheLowerLipToTheTeethAndSDoesNot)
{
    EXPECT_GE(share("f", [](const Heard& h, const SyllableMark& m) { return has(h.consonant(m), SoundClass::LipTeeth); }),
              0.75);
    // An s starts faintly, but most of it is a hiss.
    EXPECT_GE(share("s", [](const Heard& h, const SyllableMark& m) {
                  const auto c = h.consonant(m);
                  return std::count(c.begin(), c.end(), SoundClass::Hiss) > std::count(c.begin(), c.end(), SoundClass::LipTeeth);
              }),
              0.8);
}

TEST_F(SoundShapesOfSyllables, TheMouthRestsBetweenSyllables)
{
    for (const Heard& h : speakers()) {
        const auto& marks = h.sound.marks;
        for (std::size_t k = 0; k + 1 < marks.size(); ++k) {
            // Past the analysis window's reach either side of the pause.
            for (long f = marks[k].end / kHop + 2; f < marks[k + 1].start / kHop - 2; ++f) {
                const ShapeFrame& frame = h.frames[std::size_t(f)];
                EXPECT_EQ(frame.sound, SoundClass::Silence) << marks[k].name.toStdString() << " frame " << f;
                EXPECT_EQ(frame.openness, 0.0);
            }
        }
    }
}

TEST_F(SoundShapesOfSyllables, LouderSyllablesCarryStrongerAccents)
{
    // Every other syllable at a quarter of its loudness: about one accent a
    // syllable, the quiet ones weaker.
    const Heard& h = speakers()[0];
    std::vector<float> sound(h.sound.samples);
    const auto& marks = h.sound.marks;
    for (std::size_t k = 1; k < marks.size(); k += 2) {
        for (long i = marks[k].start; i < marks[k].end; ++i)
            sound[std::size_t(i)] *= 0.25f;
    }
    // The syllable whose sound a frame is in or has just ended.
    const auto syllableAt = [&](std::int64_t frame) {
        const long at = long(frame * kHop);
        for (std::size_t k = marks.size(); k-- > 0;) {
            if (at >= marks[k].start)
                return at <= marks[k].end + 3 * kHop ? int(k) : -1;
        }
        return -1;
    };
    double loud = 0, quiet = 0;
    int loudCount = 0, quietCount = 0;
    for (const ShapeFrame& f : shapesOf(sound)) {
        if (!f.accent)
            continue;
        const int k = syllableAt(f.index);
        ASSERT_GE(k, 0) << "an accent outside any syllable, at frame " << f.index;
        EXPECT_GT(*f.accent, 0.0);
        EXPECT_LE(*f.accent, 1.0);
        (k % 2 ? quiet : loud) += *f.accent;
        ++(k % 2 ? quietCount : loudCount);
    }
    EXPECT_GE(loudCount, int(marks.size()) / 3);
    EXPECT_LE(loudCount + quietCount, int(marks.size()) * 3 / 2);
    ASSERT_GT(loudCount, 0);
    EXPECT_GT(loud / loudCount, (quietCount ? quiet / quietCount : 0.0) + 0.3);
}

// ---- one analysis, streamed or whole -------------------------------------------------

bool sameFrames(const std::vector<ShapeFrame>& a, const std::vector<ShapeFrame>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].index != b[i].index || a[i].sound != b[i].sound || a[i].openness != b[i].openness ||
            a[i].accent != b[i].accent)
            return false;
    }
    return true;
}

TEST(ShapeStreaming, PiecesOfAnySizeGiveTheFramesOfTheWhole)
{
    const auto sound = testing::joinSyllables(QStringLiteral("es"), {"ba", "mo", "fi", "su", "pe", "la"}, kRate, kGapMs);
    ASSERT_TRUE(sound);
    const std::vector<ShapeFrame> whole = shapesOf(sound->samples);
    std::vector<ShapeFrame> streamed, heard;
    ShapeStream stream([&](const ShapeFrame& f) { streamed.push_back(f); }, [&](const ShapeFrame& f) { heard.push_back(f); });
    std::mt19937 random(5);
    for (std::size_t at = 0; at < sound->samples.size();) {
        const std::size_t n = std::min<std::size_t>(random() % 700, sound->samples.size() - at);
        stream.push(std::span(sound->samples).subspan(at, n));
        at += n;
    }
    stream.finish();
    EXPECT_TRUE(sameFrames(whole, streamed));
    ASSERT_EQ(heard.size(), whole.size());
    // Every frame is also given as first heard, unsettled: mostly the same class.
    int same = 0;
    for (std::size_t i = 0; i < heard.size(); ++i) {
        EXPECT_EQ(heard[i].index, std::int64_t(i));
        EXPECT_FALSE(heard[i].accent);
        same += heard[i].sound == whole[i].sound;
    }
    EXPECT_GT(same, int(whole.size()) * 8 / 10);
}

TEST(ShapeStreaming, AFrameIsGivenAsSoonAsItsSoundIsThere)
{
    std::vector<float> sound(kRate / 2);
    for (std::size_t i = 0; i < sound.size(); ++i)
        sound[i] = 0.3f * float(std::sin(2 * std::numbers::pi * 200.0 * double(i) / kRate));
    std::vector<std::pair<std::int64_t, std::size_t>> heardAt, settledAt;  // frame, samples pushed then
    std::size_t pushed = 0;
    ShapeStream stream([&](const ShapeFrame& f) { settledAt.emplace_back(f.index, pushed); },
                       [&](const ShapeFrame& f) { heardAt.emplace_back(f.index, pushed); });
    for (; pushed < sound.size();) {
        ++pushed;
        stream.push(std::span(sound).subspan(pushed - 1, 1));
    }
    ASSERT_GE(heardAt.size(), 40u);
    for (auto [frame, when] : heardAt)
        EXPECT_EQ(when, std::size_t((frame + 1) * kHop + ShapeStream::kHeardDelaySamples)) << frame;
    ASSERT_GE(settledAt.size(), 40u);
    for (auto [frame, when] : settledAt)
        EXPECT_EQ(when, std::size_t((frame + 1) * kHop + ShapeStream::kDelaySamples)) << frame;
}

// The frames of `live` from `from` on whose class no frame of `offline`
// within one of it shares.
int framesApart(const std::vector<ShapeFrame>& live, std::size_t from, const std::vector<ShapeFrame>& offline)
{
    int apart = 0;
    for (std::size_t f = 1; f + 1 < offline.size() && from + f < live.size(); ++f) {
        const SoundClass heard = live[from + f].sound;
        apart += heard != offline[f].sound && heard != offline[f - 1].sound && heard != offline[f + 1].sound;
    }
    return apart;
}

// A file read whole (mixed to mono, resampled whole, carefully) and the same
// sound streamed from a live input at its own rate and channels (converted a
// piece at a time, quickly) give nearly the same frames: each frame's class
// is one the whole reading finds within a frame of it, but for a few that
// the two conversions' small differences tip.
TEST(ShapeStreaming, ALiveInputAgreesWithTheWholeSoundReadAtOnceWithinAFrame)
{
    const auto sound = testing::joinSyllables(QStringLiteral("it"), {"bo", "ma", "fi", "pu", "se", "lo", "vu"}, 44100, kGapMs);
    ASSERT_TRUE(sound);
    const std::vector<ShapeFrame> offline = shapesOf(speech::resample(sound->samples, 44100, kRate));

    std::vector<float> stereo;
    for (float s : sound->samples)
        stereo.push_back(s), stereo.push_back(s);
    InputConverter converter(44100, 2);
    std::vector<ShapeFrame> live;
    ShapeStream stream([&](const ShapeFrame& f) { live.push_back(f); });
    for (std::size_t at = 0; at < stereo.size(); at += 2 * 441)
        stream.push(converter.convert(std::span(stereo).subspan(at, std::min<std::size_t>(2 * 441, stereo.size() - at))));
    stream.finish();
    // The converter still holds the last few milliseconds when the input stops.
    ASSERT_GE(live.size() + 2, offline.size());
    EXPECT_LE(framesApart(live, 0, offline), int(offline.size()) / 20)
        << "frames whose class no offline frame within one shares, of " << offline.size();
}

// The tool knows the whole recording before its first frame: it reads it as
// a listener who has heard the voice once already, not as one who starts
// from a guess of it.
TEST(ShapeStreaming, AListenerWhoHeardTheVoiceOnceReadsItAsTheToolDoes)
{
    const auto sound = testing::joinSyllables(QStringLiteral("pt_BR"), {"bu", "mo", "fu", "po", "vu", "bi", "ma", "fe"},
                                              kRate, kGapMs);
    ASSERT_TRUE(sound);
    const std::vector<ShapeFrame> tool = shapesOfKnownVoice(sound->samples);
    ASSERT_EQ(tool.size(), sound->samples.size() / kHop);

    std::vector<ShapeFrame> live;
    ShapeStream stream([&](const ShapeFrame& f) { live.push_back(f); });
    stream.push(sound->samples);
    const std::vector<float> pause(kRate / 2, 0.f);
    stream.push(pause);
    const std::size_t second = live.size() + ShapeStream::kDelaySamples / kHop;
    stream.push(sound->samples);
    stream.finish();
    ASSERT_GE(live.size(), second + tool.size() - 1);
    EXPECT_LE(framesApart(live, second, tool), int(tool.size()) / 50) << "of " << tool.size();

    // One who starts from a guess reads the first rounded vowels otherwise.
    EXPECT_GT(framesApart(shapesOf(sound->samples), 0, tool), int(tool.size()) / 50);
}

TEST(ShapeStreaming, TheRecordedVoiceToolReadsTheSameFrames)
{
    const auto sound = testing::joinSyllables(QStringLiteral("es"), {"ma", "pa", "so", "fe", "lu"}, kRate, 200);
    ASSERT_TRUE(sound);
    const std::vector<ShapeFrame> frames = shapesOfKnownVoice(sound->samples);
    const std::vector<speech::PhoneMark> phones = speech::shapesFromSound({sound->samples, kRate});
    ASSERT_GE(phones.size(), 5u);
    EXPECT_EQ(phones.front().phone, "pau");
    // Each phone starts where the frames change to its stand-in.
    for (const speech::PhoneMark& p : phones) {
        ASSERT_EQ(p.startSample % kHop, 0);
        const std::size_t f = std::size_t(p.startSample / kHop);
        ASSERT_LT(f, frames.size());
        if (p.phone == "t")
            continue;  // a short pause inside speech: a stop's closure
        EXPECT_EQ(standInPhone(frames[f].sound), p.phone) << "at frame " << f;
        if (f > 0) {
            EXPECT_NE(standInPhone(frames[f - 1].sound), p.phone) << "at frame " << f;
        }
    }
    // The lips close for the m and the p: "m" is a phone the lip sync closes them for.
    EXPECT_TRUE(std::any_of(phones.begin(), phones.end(), [](const auto& p) { return p.viseme == player::viseme::PP; }));
    EXPECT_TRUE(std::any_of(phones.begin(), phones.end(), [](const auto& p) { return p.viseme == player::viseme::FF; }));

    // A recording at 44.1 kHz gets its phones at its own rate, where they lie
    // in the sound: the same phones, each within a frame of the same time.
    const std::vector<speech::PhoneMark> cd = speech::shapesFromSound({speech::resample(sound->samples, kRate, 44100), 44100});
    std::size_t same = 0;
    for (const speech::PhoneMark& p : phones) {
        same += std::any_of(cd.begin(), cd.end(), [&](const speech::PhoneMark& q) {
            return q.phone == p.phone && std::abs(double(q.startSample) / 44100 - double(p.startSample) / kRate) <= 0.01;
        });
    }
    EXPECT_GE(same, phones.size() * 9 / 10) << "of " << phones.size() << " phones";
}

TEST(ShapeStreaming, ABrokenInputsNumbersAreHeardAsSilenceOrFullScale)
{
    std::vector<float> sound = testing::joinSyllables(QStringLiteral("es"), {"ma", "pi"}, kRate, kGapMs)->samples;
    for (std::size_t i = 0; i < sound.size(); i += 97)
        sound[i] = i % 2 ? std::numeric_limits<float>::quiet_NaN() : std::numeric_limits<float>::infinity();
    for (std::size_t i = 50; i < sound.size(); i += 101)
        sound[i] = -1e30f;
    const std::vector<ShapeFrame> frames = shapesOf(sound);
    ASSERT_FALSE(frames.empty());
    for (const ShapeFrame& f : frames) {
        ASSERT_TRUE(std::isfinite(f.openness) && std::isfinite(f.db)) << "frame " << f.index;
        ASSERT_GE(f.openness, 0.0);
        ASSERT_LE(f.openness, 1.0);
        if (f.accent) {
            ASSERT_TRUE(std::isfinite(*f.accent));
        }
    }
}

// ---- how bright a vowel sounds ------------------------------------------------------

// A vowel: a pulse at `pitchHz` through resonances at `formants` (Hz, each
// 80 Hz wide), as a voice's folds and tract make it.
std::vector<float> vowel(double pitchHz, std::initializer_list<double> formants, float amplitude)
{
    std::vector<double> sound(static_cast<std::size_t>(kWindow), 0.0);
    for (std::size_t i = 0; i < sound.size(); ++i)
        sound[i] = std::fmod(double(i), kRate / pitchHz) < 1 ? 1.0 : 0.0;
    for (const double hz : formants) {
        const double r = std::exp(-std::numbers::pi * 80 / kRate);
        const double c = 2 * r * std::cos(2 * std::numbers::pi * hz / kRate);
        double y1 = 0, y2 = 0;
        for (double& x : sound) {
            const double y = x + c * y1 - r * r * y2;
            y2 = y1, y1 = y, x = y;
        }
    }
    double peak = 0;
    for (const double x : sound)
        peak = std::max(peak, std::abs(x));
    std::vector<float> out(sound.size());
    std::transform(sound.begin(), sound.end(), out.begin(), [&](double x) { return float(amplitude * x / peak); });
    return out;
}

double brightnessOf(const std::vector<float>& sound)
{
    FrameAnalyser analyser;
    return analyser.analyse(std::span<const float, kWindow>(sound.data(), kWindow)).brightness;
}

// A man's deep voice (90 Hz) has under three periods in the window, whose
// taper weakens its likeness to itself a period later: taken with the taper
// out, it is as periodic as a child's, and its vowels are vowels.
TEST(VowelBrightness, ADeepVoiceIsAsPeriodicAsAChilds)
{
    FrameAnalyser analyser;
    for (const double pitch : {90.0, 120.0, 370.0}) {
        const std::vector<float> a = vowel(pitch, {700, 1200, 2500}, 0.5f);
        const FrameFeatures f = analyser.analyse(std::span<const float, kWindow>(a.data(), kWindow));
        EXPECT_GT(f.voicing, 0.8) << pitch << " Hz";
        EXPECT_TRUE(clearlyVoiced(f)) << pitch << " Hz";
    }
}

TEST(VowelBrightness, IAndESoundBrighterThanOAndUForAManAndAChildAlike)
{
    // A man's vowels at 120 Hz, and a child's at 370 Hz with every resonance higher.
    struct Voice { double pitch, scale; };
    for (const auto [pitch, scale] : {Voice{120, 1.0}, Voice{370, 1.3}}) {
        SCOPED_TRACE(pitch);
        const double i = brightnessOf(vowel(pitch, {280 * scale, 2250 * scale, 2900 * scale}, 0.5f));
        const double e = brightnessOf(vowel(pitch, {400 * scale, 2000 * scale, 2600 * scale}, 0.5f));
        const double o = brightnessOf(vowel(pitch, {500 * scale, 900 * scale, 2500 * scale}, 0.5f));
        const double u = brightnessOf(vowel(pitch, {300 * scale, 800 * scale, 2300 * scale}, 0.5f));
        EXPECT_GT(std::min(i, e), std::max(o, u) + 6) << "i " << i << " e " << e << " o " << o << " u " << u;
        // The same vowel, quieter, is as bright.
        EXPECT_NEAR(brightnessOf(vowel(pitch, {280 * scale, 2250 * scale, 2900 * scale}, 0.05f)), i, 0.5);
    }
}

// ---- an input's rate and channels ---------------------------------------------------

std::vector<float> sine(int rate, double hz, double seconds, float amplitude)
{
    std::vector<float> out(std::size_t(rate * seconds));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = amplitude * float(std::sin(2 * std::numbers::pi * hz * double(i) / rate));
    return out;
}

double rms(std::span<const float> s)
{
    double sum = 0;
    for (float x : s)
        sum += double(x) * x;
    return s.empty() ? 0 : std::sqrt(sum / double(s.size()));
}

// The frequency of a sine from its zero crossings.
double frequency(std::span<const float> s, int rate)
{
    int crossings = 0;
    for (std::size_t i = 1; i < s.size(); ++i)
        crossings += (s[i - 1] < 0) != (s[i] < 0);
    return crossings / 2.0 / (double(s.size()) / rate);
}

TEST(InputConversion, AnyRateAndChannelsBecomeMonoAtTheAnalysisRate)
{
    for (const int rate : {8000, 16000, 22050, 44100, 48000, 96000}) {
        SCOPED_TRACE(rate);
        const std::vector<float> left = sine(rate, 440, 1.0, 0.5f);
        // Two channels: the same sine and silence mix to half of it.
        std::vector<float> interleaved;
        for (float s : left)
            interleaved.push_back(s), interleaved.push_back(0.f);
        InputConverter converter(rate, 2);
        ASSERT_TRUE(converter.valid());
        std::vector<float> out;
        for (std::size_t at = 0; at < interleaved.size(); at += 2 * 333) {
            const auto piece = converter.convert(std::span(interleaved).subspan(at, std::min<std::size_t>(666, interleaved.size() - at)));
            out.insert(out.end(), piece.begin(), piece.end());
        }
        // All but what the filter still holds, at the analysis rate.
        EXPECT_NEAR(double(out.size()), kRate * 1.0, kRate * 0.01);
        const auto middle = std::span(out).subspan(out.size() / 4, out.size() / 2);
        EXPECT_NEAR(rms(middle), 0.25 / std::sqrt(2.0), 0.01);
        EXPECT_NEAR(frequency(middle, kRate), 440, 3);
    }
}

TEST(InputConversion, PiecesOfAnySizeGiveTheSameSamples)
{
    const std::vector<float> sound = sine(44100, 1000, 0.5, 0.4f);
    InputConverter whole(44100, 1), pieces(44100, 1);
    const auto all = whole.convert(sound);
    const std::vector<float> expected(all.begin(), all.end());
    std::vector<float> got;
    std::mt19937 random(3);
    for (std::size_t at = 0; at < sound.size();) {
        const std::size_t n = std::min<std::size_t>(random() % 300, sound.size() - at);
        const auto piece = pieces.convert(std::span(sound).subspan(at, n));
        got.insert(got.end(), piece.begin(), piece.end());
        at += n;
    }
    ASSERT_GE(got.size(), expected.size() - 64);
    for (std::size_t i = 0; i < std::min(got.size(), expected.size()); ++i)
        ASSERT_NEAR(got[i], expected[i], 1e-4) << i;
}

TEST(InputConversion, AFormatThatCannotBeConvertedGivesNothing)
{
    const std::vector<float> sound(480, 0.5f);
    for (const auto& [rate, channels] : {std::pair{0, 1}, {44100, 0}, {-8000, 2}, {2000000, 1}}) {
        InputConverter converter(rate, channels);
        EXPECT_FALSE(converter.valid()) << rate << " Hz, " << channels;
        EXPECT_TRUE(converter.convert(sound).empty());
    }
}

// ---- the noise gate -------------------------------------------------------------------

// Noise whose level wanders as a fan's or a street's does: white noise
// through a one-pole low-pass, slowly swelling by a few decibels.
std::vector<float> roomNoise(double seconds, double db, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<float> white(0.f, 1.f);
    std::vector<float> out(std::size_t(kRate * seconds));
    float low = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        low = 0.9f * low + 0.1f * white(random);
        const double swell = 1 + 0.3 * std::sin(2 * std::numbers::pi * 0.5 * double(i) / kRate);
        out[i] = low * float(std::pow(10.0, db / 20) * 2.3 * swell);
    }
    return out;
}

std::vector<float> mixed(std::vector<float> a, const std::vector<float>& b, std::size_t at)
{
    a.resize(std::max(a.size(), at + b.size()), 0.f);
    for (std::size_t i = 0; i < b.size(); ++i)
        a[at + i] += b[i];
    return a;
}

TEST(NoiseGate, SteadyNoiseUnderTheVoiceDoesNotMoveTheMouthButTheVoiceDoes)
{
    const auto voice = testing::joinSyllables(QStringLiteral("it"), {"ba", "mo", "li", "pu", "se", "fa"}, kRate, 150);
    ASSERT_TRUE(voice);
    // Four seconds of the room alone, then the voice in it, 25 dB above the
    // noise, then the room again.
    const std::size_t start = std::size_t(kRate * 4);
    const std::vector<float> room = roomNoise(4 + double(voice->samples.size()) / kRate + 3, -50, 11);
    const std::vector<ShapeFrame> frames = shapesOf(mixed(room, voice->samples, start));
    int roomFrames = 0, moved = 0;
    for (const ShapeFrame& f : frames) {
        const long at = long(f.index * kHop);
        const bool voiceHeard = at >= long(start) && at < long(start + voice->samples.size());
        if (f.index < 50 || voiceHeard)
            continue;  // the first half second learns the room
        ++roomFrames;
        moved += f.openness > 0;
    }
    EXPECT_EQ(moved, 0) << "of " << roomFrames << " frames of the room alone";
    int vowelsOpen = 0;
    for (const SyllableMark& m : voice->marks) {
        const long f = (long(start) + m.vowel) / kHop + 3;
        vowelsOpen += frames[std::size_t(f)].openness > 0.3;
    }
    EXPECT_EQ(vowelsOpen, int(voice->marks.size()));
}

TEST(NoiseGate, ALouderRoomRaisesTheGateWithinTwoSeconds)
{
    std::vector<float> sound = roomNoise(3, -60, 1);
    const std::vector<float> louder = roomNoise(6, -35, 2);
    sound.insert(sound.end(), louder.begin(), louder.end());
    const std::vector<ShapeFrame> frames = shapesOf(sound);
    int lateMoves = 0;
    for (const ShapeFrame& f : frames)
        lateMoves += f.index * kHop > kRate * 5.5 && f.openness > 0;
    EXPECT_EQ(lateMoves, 0);
}

// A voice in a hissing room: its consonants rise some 10 dB over the
// room's floor, as far as a restless room's swells would, and are no part
// of the room. The gate stays under them. The same bursts heard with no
// voice near (a door, a street) are the room's, and raise it over them.
TEST(NoiseGate, AVoicesConsonantsAreNoPartOfTheRoom)
{
    constexpr double kFloorDb = -60, kConsonantDb = -50, kVowelDb = -25;
    auto roomFrame = [](VoiceLevels& levels, int i) { levels.add(kFloorDb + (i % 2), false, false); };
    // Syllables with a consonant either side of the vowel, and a pause of the
    // room between them, long enough that the onset is far from the last voice.
    VoiceLevels voice;
    for (int i = 0; i < 300; ++i)
        roomFrame(voice, i);
    int consonantsGated = 0;
    for (int syllable = 0; syllable < 20; ++syllable) {
        // Every other syllable is a long s and a short, weak vowel, the
        // others end in a long n: periodic, and no vowel.
        const bool longS = syllable % 2 == 0;
        for (int i = 0; i < (longS ? 15 : 6); ++i) {
            consonantsGated += kConsonantDb < voice.gateDb();
            voice.add(kConsonantDb, false, false);
        }
        for (int i = 0; i < (longS ? 4 : 15); ++i)
            voice.add(kVowelDb, true, true);
        for (int i = 0; i < (longS ? 0 : 25); ++i)
            voice.add(kVowelDb - 6, false, true);
        for (int i = 0; i < 6; ++i) {
            consonantsGated += kConsonantDb < voice.gateDb();
            voice.add(kConsonantDb, false, false);
        }
        for (int i = 0; i < 30; ++i)
            roomFrame(voice, i);
    }
    EXPECT_EQ(consonantsGated, 0) << "gate " << voice.gateDb() << " dB";

    VoiceLevels restless;
    for (int i = 0; i < 300; ++i)
        roomFrame(restless, i);
    for (int burst = 0; burst < 20; ++burst) {
        for (int i = 0; i < 12; ++i)
            restless.add(kConsonantDb, false, false);
        for (int i = 0; i < 45; ++i)
            roomFrame(restless, i);
    }
    EXPECT_GT(restless.gateDb(), kConsonantDb);
}

TEST(NoiseGate, MusicMovesTheMouthAndNeverFreezesIt)
{
    // Twenty seconds of notes, loud, with a beat in the loudness.
    std::vector<float> music(std::size_t(kRate * 20));
    const double notes[] = {220, 330, 262, 392, 294, 440, 247, 349};
    for (std::size_t i = 0; i < music.size(); ++i) {
        const double t = double(i) / kRate;
        const double note = notes[std::size_t(t / 0.25) % 8];
        const double beat = 0.35 + 0.65 * std::pow(std::sin(std::numbers::pi * std::fmod(t, 0.5) / 0.5), 2);
        music[i] = float(0.4 * beat * (std::sin(2 * std::numbers::pi * note * t) + 0.3 * std::sin(4 * std::numbers::pi * note * t)));
    }
    const std::vector<ShapeFrame> frames = shapesOf(music);
    // Every two seconds, the jaw still moves and is not held wide open.
    for (int second = 0; second < 20; second += 2) {
        std::vector<double> open;
        for (const ShapeFrame& f : frames) {
            if (f.index >= second * 100 && f.index < (second + 2) * 100)
                open.push_back(f.openness);
        }
        const auto [low, high] = std::minmax_element(open.begin(), open.end());
        EXPECT_GT(*high - *low, 0.3) << "at " << second << " s";
        EXPECT_LT(double(std::count_if(open.begin(), open.end(), [](double o) { return o > 0.95; })) / double(open.size()),
                  0.5)
            << "at " << second << " s";
    }
}

}  // namespace
}  // namespace vizmo
