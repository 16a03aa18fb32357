#pragma once
// What the mouth is doing in one frame of a voice, told from its sound alone
// in any language: the few classes a face can show, each with the viseme the
// player shows it by and a stand-in phone (Flite's names) that the lip sync's
// rules shape as they would the phone itself.

#include "components/sound_shapes/frame_features.h"

#include <QByteArray>

#include <cstdint>

namespace vizmo::sound_shapes {

class SpeakerVowels;
class VoiceLevels;

enum class SoundClass : std::uint8_t {
    Silence,     // under the gate: the mouth rests
    LipsClosed,  // a murmur behind closed lips: m, b, and a voiced closure
    LipTeeth,    // the faint hiss of f or the buzz of v: lower lip to the teeth
    Hiss,        // s, z: teeth together, lips apart
    Hush,        // sh, ch: lips forward
    Burst,       // weak and unvoiced: a stop's release, h
    Sonorant,    // n, l and other voiced sounds that are not vowels: the mouth passes through
    Open,        // a
    Mid,         // e
    Spread,      // i
    HalfRound,   // o
    Round,       // u, w
    Neutral,     // a vowel between them all (schwa)
};
inline constexpr int kSoundClassCount = 13;

bool isVowel(SoundClass c);
// The viseme (components/player_control.h) that shows `c`.
int visemeOf(SoundClass c);
// The stand-in phone for `c` (Flite's lower-case names: "pau", "m", "aa"...).
QByteArray standInPhone(SoundClass c);
// For reading and printing: "silence", "closed", "open"...
const char* nameOf(SoundClass c);

// The class of one frame, read against the levels and the speaker's vowels
// so far (the frame itself already added to them).
SoundClass classify(const FrameFeatures& f, const VoiceLevels& levels, const SpeakerVowels& vowels);

// Whether a frame is a clear vowel, to learn the speaker's vowels and the
// voice's level from.
bool clearlyVoiced(const FrameFeatures& f);

}  // namespace vizmo::sound_shapes
