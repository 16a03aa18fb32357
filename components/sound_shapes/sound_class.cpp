#include "components/sound_shapes/sound_class.h"

#include "components/player_control.h"
#include "components/sound_shapes/speaker_vowels.h"
#include "components/sound_shapes/voice_levels.h"

#include <array>
#include <cmath>


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

// Vowels by their two lowest resonances against the speaker's medians (as
// ratios): rounding lowers the second, opening the jaw raises the first,
// spreading the lips raises the second. A second resonance far below the
// speaker's is rounding even in a wide-open "o"; a little below it, a back
// "a" opened wide is not.
constexpr double kFarBelowF2 = 0.68;
constexpr double kOpenF1 = 1.3;
constexpr double kBelowF2 = 0.75;
constexpr double kCloseF1 = 0.9;
constexpr double kAboveF2 = 1.2;
constexpr double kSpreadF1 = 0.85;
constexpr double kHalfOpenF1 = 1.15;

SoundClass vowelOf(double r1, double r2)
{
    const auto rounded = [&] { return r1 < kCloseF1 ? SoundClass::Round : SoundClass::HalfRound; };
    if (r2 < kFarBelowF2)
        return rounded();
    if (r1 > kOpenF1)
        return SoundClass::Open;
    if (r2 < kBelowF2)
        return rounded();
    if (r2 > kAboveF2)
        return r1 < kSpreadF1 ? SoundClass::Spread : SoundClass::Mid;
    return r1 > kHalfOpenF1 ? SoundClass::Open : SoundClass::Neutral;
}

// Hissing: most of the energy high, or much of it high and nothing periodic.
bool hissing(const FrameFeatures& f) { return f.highShare > 0.6 || (f.voicing < 0.5 && f.highShare > 0.4); }

// f and th are the faintest hisses there are: well under the voice, where
// s and sh are nearly as loud as vowels.
constexpr double kFaintHissDb = 18;
// s is higher than sh.
constexpr double kHissCentroidHz = 4500;
// A murmur behind closed lips (m, b): nearly all its energy under 400 Hz and
// its first resonance that low, a little quieter than the vowels.
constexpr double kMurmurLowShare = 0.85;
constexpr double kMurmurF1Hz = 300;
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
        if (belowVoice > kFaintHissDb)
            return SoundClass::LipTeeth;
        return f.centroid > kHissCentroidHz ? SoundClass::Hiss : SoundClass::Hush;
    }
    if (f.voicing < 0.5)
        return SoundClass::Burst;
    if (f.lowShare >= kMurmurLowShare && f.f1 < kMurmurF1Hz && belowVoice > kMurmurBelowVoiceDb)
        return SoundClass::LipsClosed;
    if (f.lowShare >= kBuzzLowShare && f.f1 < kBuzzF1Hz && belowVoice > kBuzzBelowVoiceDb)
        return SoundClass::LipTeeth;
    if (belowVoice > kQuietBelowVoiceDb || f.f1 < 250 || f.f2 <= 0)
        return SoundClass::Sonorant;
    return vowelOf(f.f1 / vowels.f1(), f.f2 / vowels.f2());
}

}  // namespace vizmo::sound_shapes
