#pragma once
// How the mouth shows what the player hears: each frame of the input becomes
// a target of the speech mouth, as a SpeechViseme call would set it (the
// viseme, how much of it, how quickly it is reached), so that built-in faces
// and drawn characters follow a voice they hear as they follow the speech
// input. Lips that close or touch the teeth do so whole; the jaw opens with
// the loudness on every other sound; silence rests.

#include "components/sound_shapes/shape_stream.h"

namespace vizmo::player {

struct ListenedTarget {
    int viseme = 0;
    double weight = 0;    // 0..1 of the viseme's shape
    double settleMs = 0;  // to 90 % of the way
};

ListenedTarget listenedTarget(const sound_shapes::ShapeFrame& frame);

// Nothing heard for this long while listening (the input went away, or is
// held up): the mouth rests.
inline constexpr double kDeafAfterMs = 150;
// How the mouth goes to rest then.
inline constexpr double kListenedRestSettleMs = 120;

}  // namespace vizmo::player
