#include "components/player/listening/listened_mouth.h"

#include "components/player_control.h"
#include "components/viseme_timing.h"

namespace vizmo::player {

namespace {

using sound_shapes::SoundClass;

// A new target comes every 10 ms: the spring smooths them into one motion,
// a little quicker than the speech input's quickest move to a vowel, as
// nothing can be anticipated here.
constexpr double kSettleMs = 30;
constexpr double kContactSettleMs = viseme_timing::kLipContactSettleMs;
constexpr double kSilenceSettleMs = 45;
// Hissing and hushing keep their shape at this weight, as the lip sync keeps them.
constexpr double kHissWeight = 0.8;

}  // namespace

ListenedTarget listenedTarget(const sound_shapes::ShapeFrame& frame)
{
    const int viseme = sound_shapes::visemeOf(frame.sound);
    switch (frame.sound) {
    case SoundClass::Silence: return {viseme, 1.0, kSilenceSettleMs};
    case SoundClass::LipsClosed:
    case SoundClass::LipTeeth: return {viseme, 1.0, kContactSettleMs};
    case SoundClass::Hiss:
    case SoundClass::Hush: return {viseme, kHissWeight, kSettleMs};
    default: return {viseme, frame.openness, kSettleMs};
    }
}

}  // namespace vizmo::player
