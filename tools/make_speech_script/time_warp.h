#pragma once
// Dynamic time warping of one sequence of frames onto another, in memory
// linear in their length: the path is found on both halved (frames
// averaged in pairs), again and again down to a size where every pairing
// can be tried, and each finer path is searched only within `radius`
// frames of the coarser one (the multiscale method of FastDTW).

#include "tools/make_speech_script/mfcc.h"

#include <cstddef>
#include <vector>

namespace vizmo::speech {

struct WarpStep {
    std::size_t a = 0;  // a frame of the first sequence
    std::size_t b = 0;  // paired with this frame of the second
};

// From (0, 0) to (last, last), each step one frame on in a, in b or in
// both; the path of least summed distance within the search band.
std::vector<WarpStep> warpPath(const Features& a, const Features& b, std::size_t radius = 16);

// Where a time of the first sequence falls in the second, along a path:
// each frame of a maps to the mean of the frames of b it is paired with,
// and times between frame centres are interpolated. Non-decreasing.
class TimeMap {
public:
    TimeMap(const std::vector<WarpStep>& path, double hopSeconds, double windowSeconds);
    double operator()(double secondsInA) const;

private:
    std::vector<double> meanB_;  // per frame of a
    double hop_;
    double centre_;              // of frame 0, in seconds
};

}  // namespace vizmo::speech
