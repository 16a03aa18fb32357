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

// A frame's sound reaches the player tens of milliseconds after it is heard
// (the input's buffer, the analysis's window): its move starts from when it
// was heard, as far back as this.
inline constexpr double kLongestCatchUpMs = 100;
// A frame is seen some time after it is composed (half the frame timer's
// interval on average, and the screen's own delay): while listening, the
// mouth is drawn where it will be by then.
inline constexpr double kListenedPresentationMs = 30;
// While listening, a frame is drawn when the sound comes a frame's interval
// less this after the last one: the input's 10 ms pieces then set the
// frames' pace, a little under the frame timer's.
inline constexpr int kListenedWakeSlackMs = 3;

// Nothing heard for this long while listening (the input went away, or is
// held up): the mouth rests.
inline constexpr double kDeafAfterMs = 150;
// How the mouth goes to rest then.
inline constexpr double kListenedRestSettleMs = 120;

}  // namespace vizmo::player
