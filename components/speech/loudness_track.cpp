#include "components/speech/loudness_track.h"

#include <algorithm>
#include <cmath>

namespace vizmo::speech {

LoudnessTrack::LoudnessTrack(int sampleRate) : block_(std::max(1, sampleRate / 200)) {}  // 5 ms

void LoudnessTrack::add(const std::vector<std::int16_t>& samples)
{
    for (const std::int16_t s : samples) {
        partial_ += double(s) * s;
        if (++received_ % block_ == 0) {
            sums_.push_back(sums_.back() + partial_);
            partial_ = 0;
        }
    }
}

double LoudnessTrack::rms(std::int64_t from, std::int64_t to) const
{
    const auto blocks = std::int64_t(sums_.size()) - 1;
    const std::int64_t first = std::clamp<std::int64_t>((from + block_ / 2) / block_, 0, blocks);
    const std::int64_t last = std::clamp<std::int64_t>((to + block_ / 2) / block_, 0, blocks);
    if (last <= first)
        return 0;
    return std::sqrt((sums_[std::size_t(last)] - sums_[std::size_t(first)]) / double((last - first) * block_));
}

}  // namespace vizmo::speech
