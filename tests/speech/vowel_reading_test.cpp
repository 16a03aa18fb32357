// How one frame's vowel is read against the speaker's: her usual
// resonances, the rounding that a dark sound tells where the tongue is
// forward, and a murmur's first resonance far under her vowels'.
#include "components/sound_shapes/sound_class.h"
#include "components/sound_shapes/speaker_vowels.h"
#include "components/sound_shapes/voice_levels.h"

#include <gtest/gtest.h>

namespace vizmo::sound_shapes {
namespace {

// A speaker who says mostly one vowel (an e: 500 and 1500 Hz, middling
// brightness) and now and then a far more open and brighter one.
SpeakerVowels mostlyE()
{
    SpeakerVowels vowels;
    for (int i = 0; i < 1000; ++i) {
        if (i % 10 < 7)
            vowels.add(500, 1500, -4);
        else
            vowels.add(900, 2400, 6);
    }
    return vowels;
}

// Her usual resonance is the one she says most: the middle of her span
// would sit between the two vowels, and read her e as a close, back one.
TEST(VowelReading, AResonanceIsReadAgainstTheOneTheSpeakerSaysMost)
{
    const SpeakerVowels vowels = mostlyE();
    EXPECT_NEAR(vowels.firstRatio(500), 1.0, 0.03);
    EXPECT_NEAR(vowels.secondRatio(1500), 1.0, 0.03);
    EXPECT_NEAR(vowels.firstRatio(900), 1.8, 0.06);
    EXPECT_NEAR(vowels.secondRatio(2400), 1.6, 0.06);
}

// A clearly voiced frame, nearly nothing of it high.
FrameFeatures voicedFrame(double db, double lowShare, double f1, double f2, double brightness)
{
    FrameFeatures f;
    f.db = db;
    f.voicing = 0.9;
    f.highShare = 0.05;
    f.lowShare = lowShare;
    f.f1 = f1;
    f.f2 = f2;
    f.brightness = brightness;
    return f;
}

// A speaker whose vowels lie about 500 and 1500 Hz (or where given), from
// dark to bright: a brightness's place in her span is read from the
// quartiles, -6 dB to +6.
struct Speaking {
    SpeakerVowels vowels;
    VoiceLevels levels;
    explicit Speaking(double usualFirst = 500, double usualSecond = 1500)
    {
        for (int i = 0; i < 1000; ++i)
            vowels.add(usualFirst, usualSecond, -12 + 24 * double(i % 100) / 99);
        for (int i = 0; i < 200; ++i)
            levels.add(i % 2 ? -25 : -70, i % 2 == 1, i % 2 == 1);
    }
    // A loud, clearly voiced vowel.
    SoundClass read(double f1, double f2, double brightness) const
    {
        return classify(voicedFrame(-25, 0.3, f1, f2, brightness), levels, vowels);
    }
};

TEST(VowelReading, ASoundWithItsSecondResonanceForwardIsRoundedWhenItIsDark)
{
    const Speaking her;
    // Neither close nor open, and forward: a quarter above her usual one.
    EXPECT_EQ(her.read(550, 1875, -5), SoundClass::HalfRound) << "a fronted o or u";
    EXPECT_EQ(her.read(550, 1875, 5), SoundClass::Mid) << "an e";
    // The most open vowels are a, however dark.
    EXPECT_EQ(her.read(900, 1875, -5), SoundClass::Open);
    // Only forward resonances count: in the middle, a dark vowel is no rounder.
    EXPECT_EQ(her.read(550, 1500, -5), SoundClass::Neutral);
}

// At the back, an o is far more open than her usual vowel and still an o;
// only the most open of all is an a.
TEST(VowelReading, AtTheBackOnlyTheMostOpenVowelIsAnA)
{
    const Speaking her;
    EXPECT_EQ(her.read(750, 1000, 0), SoundClass::HalfRound);
    EXPECT_EQ(her.read(900, 1000, 0), SoundClass::Open);
}

// A murmur behind closed lips has its first resonance low in hertz and far
// under the speaker's usual one. A low man's weak, close vowel is as low in
// hertz, but near his other vowels: his lips stay open for it.
TEST(VowelReading, TheLipsCloseOnlyForAFirstResonanceFarUnderTheSpeakersUsualOne)
{
    // Nearly all of it under 400 Hz, 7 dB under the voice.
    auto murmur = [](const Speaking& s, double f1) {
        return classify(voicedFrame(-32, 0.96, f1, 1300, -6), s.levels, s.vowels);
    };
    const Speaking lowMan(360, 1300), woman(530, 1300);
    EXPECT_NE(murmur(lowMan, 266), SoundClass::LipsClosed) << "three quarters of his usual first resonance";
    EXPECT_EQ(murmur(lowMan, 203), SoundClass::LipsClosed) << "an m, under three fifths of it";
    EXPECT_EQ(murmur(woman, 266), SoundClass::LipsClosed) << "her m: half her usual first resonance";
    EXPECT_NE(murmur(woman, 320), SoundClass::LipsClosed) << "too high in hertz for a murmur, however far under hers";
}

}  // namespace
}  // namespace vizmo::sound_shapes
