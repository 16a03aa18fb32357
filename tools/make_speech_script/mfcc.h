#pragma once
// Spectral features of a voice for lining two renditions of one text up in
// time: mel-frequency cepstra, one frame every few milliseconds. Loudness
// is taken out (the level of each frame counts only against the loudest
// frame of its own sound, with a floor that both digital silence and a
// quiet room reach) and so is the speaker's and the microphone's colour
// (each cepstral coefficient less its mean over the voiced frames, over
// its spread there), so that another voice of the same words looks alike.

#include <cstddef>
#include <vector>

namespace vizmo::speech {

struct FeatureOptions {
    int rate = 16000;      // of the samples given
    double hopMs = 10;     // one frame every hopMs
    double windowMs = 25;  // each frame looks this far from its start
};

// Frames in time order, `dims` values each.
class Features {
public:
    Features() = default;
    Features(std::size_t frames, std::size_t dims) : dims_(dims), values_(frames * dims) {}
    std::size_t frames() const { return dims_ ? values_.size() / dims_ : 0; }
    std::size_t dims() const { return dims_; }
    float* frame(std::size_t i) { return values_.data() + i * dims_; }
    const float* frame(std::size_t i) const { return values_.data() + i * dims_; }

private:
    std::size_t dims_ = 0;
    std::vector<float> values_;
};

// Frame i covers [i * hop, i * hop + window) of `samples`; a sound shorter
// than one window still gives one frame.
Features mfccFeatures(const std::vector<float>& samples, const FeatureOptions& options = {});

}  // namespace vizmo::speech
