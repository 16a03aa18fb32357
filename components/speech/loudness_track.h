#pragma once
// The loudness of the synthesised sound as it comes, kept as running sums of
// squares over short blocks, so that the loudness of any span that has come
// is two look-ups.

#include <cstdint>
#include <vector>

namespace vizmo::speech {

class LoudnessTrack {
public:
    explicit LoudnessTrack(int sampleRate);

    void add(const std::vector<std::int16_t>& samples);
    // Samples that have come so far.
    std::int64_t received() const { return received_; }
    // The RMS over [from, to), to the nearest block; 0 for an empty span or
    // one that has not come yet.
    double rms(std::int64_t from, std::int64_t to) const;

private:
    std::int64_t block_;
    std::vector<double> sums_{0.0};  // squares of whole blocks before each index
    double partial_ = 0;             // squares of the block being filled
    std::int64_t received_ = 0;
};

}  // namespace vizmo::speech
