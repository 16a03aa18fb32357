#pragma once
// Where a nasal (m, n, ng) opens into a vowel, the warp of the rendition onto
// a recording comes out late: the murmur and the vowel share the voice's low
// frequencies, and the spectra change smoothly from one to the other (about
// 33 ms late on Flite's voices, bench/speech/alignment_bench). The release is
// plain in the recording's loudness above the murmur, which jumps as the lips
// or tongue part; each such vowel is moved to that jump.

#include "components/speech/speech_engine.h"

#include <vector>

namespace vizmo::speech {

// The phones with each vowel after a nasal starting where the recording's
// pre-emphasised loudness rises fastest, by kReleaseRiseDb at least, from
// kReleaseSearchBeforeMs before its mark to kReleaseSearchAfterMs after it,
// and within both phones.
constexpr int kReleaseSearchBeforeMs = 70;
constexpr int kReleaseSearchAfterMs = 20;
constexpr double kReleaseRiseDb = 2;
std::vector<PhoneMark> fromNasalReleases(std::vector<PhoneMark> phones, const std::vector<float>& samples, int rate);

}  // namespace vizmo::speech
