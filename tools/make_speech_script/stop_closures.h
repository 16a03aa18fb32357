#pragma once
// eSpeak NG marks a stop where it bursts, after the silence (or, voiced, the
// murmur) of its closure; the mouth shows a stop from where the lips or the
// tongue close, and a recording's phones are counted from there too. In the
// rendition's own clean sound that closure is the quiet stretch before the
// burst, which is found there, before the rendition is warped.

#include "components/speech/speech_engine.h"

#include <cstdint>
#include <vector>

namespace vizmo::speech {

// The phones with each stop (p, b, t, d, k, g) starting where the quiet
// before its mark begins: within the phone before, never earlier than
// its first third, and at most kLongestClosureMs before the mark.
constexpr int kLongestClosureMs = 90;
std::vector<PhoneMark> fromClosures(std::vector<PhoneMark> phones, const std::vector<std::int16_t>& samples, int rate);

}  // namespace vizmo::speech
