#pragma once
// Sound from an input as it comes, at the input's own rate and channel
// count, turned into the analysis's mono samples at kRate: the channels are
// mixed, then the rate is converted (band-limited, libsamplerate) a piece at
// a time, so that pieces of any size give the same samples as the whole.
// libsamplerate's quickest converter: its 80 dB and 80 % of the band are far
// more than the analysis reads, at a third of the next one's cost.

#include <memory>
#include <span>
#include <vector>

typedef struct SRC_STATE_tag SRC_STATE;

namespace vizmo::sound_shapes {

class InputConverter {
public:
    // `rate` Hz and `channels` interleaved; false from valid() when neither
    // can be converted (no channels, a rate out of 1 kHz..768 kHz).
    InputConverter(int rate, int channels);
    ~InputConverter();
    InputConverter(const InputConverter&) = delete;
    InputConverter& operator=(const InputConverter&) = delete;

    bool valid() const { return valid_; }
    int rate() const { return rate_; }
    int channels() const { return channels_; }

    // The mono samples at kRate that `interleaved` completes (a few may come
    // only with the next piece: the filter looks a little ahead).
    std::span<const float> convert(std::span<const float> interleaved);
    // Samples at kRate per second of this input's, as the analysis counts time.
    double ratio() const;

private:
    int rate_, channels_;
    bool valid_ = false;
    SRC_STATE* state_ = nullptr;
    std::vector<float> mono_;
    std::vector<float> out_;
};

}  // namespace vizmo::sound_shapes
