#include "components/sound_shapes/sound_class.h"

#include "components/player_control.h"
#include "components/sound_shapes/speaker_vowels.h"
#include "components/sound_shapes/voice_levels.h"

#include <array>


namespace vizmo::sound_shapes {

namespace {

namespace v = player::viseme;

struct ClassInfo {
    SoundClass sound;
    int viseme;
    const char* phone;
    const char* name;
};

// In SoundClass order.
constexpr std::array<ClassInfo, kSoundClassCount> kClasses = {{
    {SoundClass::Silence, v::Silence, "pau", "silence"},
    {SoundClass::LipsClosed, v::PP, "m", "closed"},
    {SoundClass::LipTeeth, v::FF, "f", "teeth"},
    {SoundClass::Hiss, v::SS, "s", "hiss"},
    {SoundClass::Hush, v::CH, "sh", "hush"},
    {SoundClass::Burst, v::DD, "t", "burst"},
    {SoundClass::Sonorant, v::nn, "n", "sonorant"},
    {SoundClass::Open, v::aa, "aa", "open"},
    {SoundClass::Mid, v::E, "eh", "mid"},
    {SoundClass::Spread, v::ih, "iy", "spread"},
    {SoundClass::HalfRound, v::oh, "ow", "half-round"},
    {SoundClass::Round, v::ou, "uw", "round"},
    {SoundClass::Neutral, v::E, "ax", "neutral"},
}};

const ClassInfo& info(SoundClass c) { return kClasses[std::size_t(c)]; }

// Vowels by their first resonance and how far front they are, against the
// speaker's: opening the jaw raises the first resonance; rounding the lips
// and backing the tongue lower the second and darken the sound, spreading
// the lips raises it and brightens the sound.
//
// A close vowel (i, u) is told by its brightness: its second resonance is
// the one the analysis loses, among a high voice's sparse harmonics (an i's,
// above 3 kHz, is taken for a harmonic near 1 kHz) and where a u's two
// lowest resonances merge (the third is taken for the second); but an i
// stays bright and a u dark. Dark with its second resonance midway, neither
// a u's nor its third, it is the murmur of an n, m or l going into a vowel:
// the lips neither round nor spread for it. A more open vowel is told by
// its second resonance against the speaker's usual one: its brightness
// follows how open it is as much as how far front, and an a sounds as
// bright as an e. The most open vowels are "a"; at the back, only the most
// open of all, as an "o" is far more open than the close vowels that most
// of a speaker's are. One with its second resonance forward and a dark
// sound is rounded: rounding darkens a vowel whatever the tongue does, as
// in many an English "you" and "go", whose tongue is forward.
constexpr double kCloseFirst = 0.9;
constexpr double kBrightClose = 0.3;
constexpr double kMurmurLowestSecond = 0.8;
constexpr double kMurmurHighestSecond = 1.6;
constexpr double kOpenFirst = 1.45;
constexpr double kBackOpenFirst = 1.6;
constexpr double kHalfOpenFirst = 1.2;
constexpr double kBackSecond = 0.77;
constexpr double kFrontSecond = 1.2;
constexpr double kDarkFront = 0.3;

SoundClass vowelOf(const FrameFeatures& f, const SpeakerVowels& vowels)
{
    const double first = vowels.firstRatio(f.f1);
    const double second = vowels.secondRatio(f.f2);
    if (first < kCloseFirst) {
        if (vowels.brightnessPosition(f.brightness) > kBrightClose)
            return SoundClass::Spread;
        return second > kMurmurLowestSecond && second < kMurmurHighestSecond ? SoundClass::Neutral : SoundClass::Round;
    }
    if (second < kBackSecond)
        return first > kBackOpenFirst ? SoundClass::Open : SoundClass::HalfRound;
    if (first > kOpenFirst)
        return SoundClass::Open;
    if (second > kFrontSecond)
        return vowels.brightnessPosition(f.brightness) < kDarkFront ? SoundClass::HalfRound : SoundClass::Mid;
    return first > kHalfOpenFirst ? SoundClass::Open : SoundClass::Neutral;
}

// Hissing: most of the energy high, or much of it high and nothing periodic.
bool hissing(const FrameFeatures& f) { return f.highShare > 0.6 || (f.voicing < 0.5 && f.highShare > 0.4); }

// f and th are the faintest hisses there are: well under the voice, where
// s and sh are nearly as loud as vowels. Their noise is spread over the
// spectrum, where the start of an s, as faint, already has nearly all of
// it high; fainter still, a hiss is taken for f whatever its spectrum.
constexpr double kFaintHissDb = 18;
constexpr double kFaintestHissDb = 26;
constexpr double kSharpHissShare = 0.88;
// s is higher than sh.
constexpr double kHissCentroidHz = 4500;
// A murmur behind closed lips (m, b): nearly all its energy under 400 Hz and
// its first resonance that low, a little quieter than the vowels. Its first
// resonance is also well under the speaker's usual one: a low man's weak i
// or schwa is as low in hertz, but near his other vowels, and the lips stay
// open for it.
constexpr double kMurmurLowShare = 0.85;
constexpr double kMurmurF1Hz = 300;
constexpr double kMurmurFirst = 0.7;
constexpr double kMurmurBelowVoiceDb = 4;
// v: a quieter buzz, low but not all of it that low.
constexpr double kBuzzLowShare = 0.7;
constexpr double kBuzzF1Hz = 360;
constexpr double kBuzzBelowVoiceDb = 14;

// Far quieter than the voice, a voiced sound is no vowel.
constexpr double kQuietBelowVoiceDb = 25;

}  // namespace

bool isVowel(SoundClass c) { return c >= SoundClass::Open; }
int visemeOf(SoundClass c) { return info(c).viseme; }
QByteArray standInPhone(SoundClass c) { return QByteArray(info(c).phone); }
const char* nameOf(SoundClass c) { return info(c).name; }

bool clearlyVoiced(const FrameFeatures& f)
{
    return f.voicing >= 0.5 && f.highShare < 0.3 && f.f1 >= 250 && f.f2 > 0;
}

SoundClass classify(const FrameFeatures& f, const VoiceLevels& levels, const SpeakerVowels& vowels)
{
    if (f.db < levels.gateDb())
        return SoundClass::Silence;
    const double belowVoice = levels.voiceDb() - f.db;
    if (hissing(f)) {
        if (belowVoice > kFaintestHissDb || (belowVoice > kFaintHissDb && f.highShare < kSharpHissShare))
            return SoundClass::LipTeeth;
        return f.centroid > kHissCentroidHz ? SoundClass::Hiss : SoundClass::Hush;
    }
    if (f.voicing < 0.5)
        return SoundClass::Burst;
    if (f.lowShare >= kMurmurLowShare && f.f1 < kMurmurF1Hz && vowels.firstRatio(f.f1) < kMurmurFirst &&
        belowVoice > kMurmurBelowVoiceDb)
        return SoundClass::LipsClosed;
    if (f.lowShare >= kBuzzLowShare && f.f1 < kBuzzF1Hz && belowVoice > kBuzzBelowVoiceDb)
        return SoundClass::LipTeeth;
    if (belowVoice > kQuietBelowVoiceDb || f.f1 < 250 || f.f2 <= 0)
        return SoundClass::Sonorant;
    return vowelOf(f, vowels);
}

}  // namespace vizmo::sound_shapes
