// How one frame's vowel is read against the speaker's: her usual
// resonances, and the rounding that a dark sound tells where the tongue is
// forward.
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

TEST(VowelReading, ASoundWithItsSecondResonanceForwardIsRoundedWhenItIsDark)
{
    SpeakerVowels vowels;
    // Her vowels from dark to bright: a brightness's place in her span is
    // read from the quartiles, -6 dB to +6.
    for (int i = 0; i < 1000; ++i)
        vowels.add(500, 1500, -12 + 24 * double(i % 100) / 99);
    VoiceLevels levels;
    for (int i = 0; i < 200; ++i)
        levels.add(i % 2 ? -25 : -70, i % 2 == 1, i % 2 == 1);

    FrameFeatures f;
    f.db = -25;
    f.voicing = 0.9;
    f.highShare = 0.05;
    f.lowShare = 0.3;
    f.f1 = 550;   // neither close nor open
    f.f2 = 1875;  // forward: a quarter above her usual one
    f.brightness = -5;
    EXPECT_EQ(classify(f, levels, vowels), SoundClass::HalfRound) << "a fronted o or u";
    f.brightness = 5;
    EXPECT_EQ(classify(f, levels, vowels), SoundClass::Mid) << "an e";
    // The most open vowels are a, however dark.
    f.f1 = 900;
    f.brightness = -5;
    EXPECT_EQ(classify(f, levels, vowels), SoundClass::Open);
    // Only forward resonances count: in the middle, a dark vowel is no rounder.
    f.f1 = 550;
    f.f2 = 1500;
    EXPECT_EQ(classify(f, levels, vowels), SoundClass::Neutral);
}

}  // namespace
}  // namespace vizmo::sound_shapes
