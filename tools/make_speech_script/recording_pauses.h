#pragma once
// The pauses of a recording, and phones kept out of them. A speaker pauses
// where a synthetic voice of the same words may not: a warp has no silence
// of the rendition to pair such a pause with and spreads the phones either
// side of it into it. No sounding phone starts in a pause: it starts where
// the sound comes back, and a long pause gets a silence of its own; a word
// before a rest starts with its first sounding phone after it. A stop starts
// with its closure, which may be a quiet run of its own shorter than a rest.

#include "tools/make_speech_script/recording.h"
#include "tools/make_speech_script/timed_speech.h"

#include <cstdint>
#include <vector>

namespace vizmo::speech {

struct SampleRange {
    std::int64_t start = 0;
    std::int64_t end = 0;  // past the last sample
};

// Stretches of at least `minMs` quieter than `belowDb` under the
// recording's loudest 10 ms.
std::vector<SampleRange> quietRuns(const Recording& recording, int minMs, double belowDb);

// Moves every sounding phone that starts in a quiet run to its end (a stop
// in a run shorter than a rest: to kLongestClosureMs before it), and
// starts a silence where a run long enough for a rest begins inside a
// sounding phone. Phones and words stay in order.
void keepPausesSilent(TimedSpeech& speech, const Recording& recording);

}  // namespace vizmo::speech
