#include "components/sound_shapes/input_converter.h"

#include "components/sound_shapes/frame_features.h"

#include <samplerate.h>

#include <cmath>

namespace vizmo::sound_shapes {

namespace {
constexpr int kLowestRate = 1000;
constexpr int kHighestRate = 768000;
constexpr int kMostChannels = 64;
}  // namespace

InputConverter::InputConverter(int rate, int channels) : rate_(rate), channels_(channels)
{
    if (rate < kLowestRate || rate > kHighestRate || channels < 1 || channels > kMostChannels)
        return;
    if (rate != kRate) {
        int error = 0;
        state_ = src_new(SRC_SINC_FASTEST, 1, &error);
        if (!state_)
            return;
    }
    valid_ = true;
}

InputConverter::~InputConverter()
{
    if (state_)
        src_delete(state_);
}

double InputConverter::ratio() const { return double(kRate) / rate_; }

std::span<const float> InputConverter::convert(std::span<const float> interleaved)
{
    if (!valid_)
        return {};
    const std::size_t frames = interleaved.size() / std::size_t(channels_);
    mono_.resize(frames);
    for (std::size_t f = 0; f < frames; ++f) {
        float sum = 0;
        for (std::size_t c = 0; c < std::size_t(channels_); ++c)
            sum += interleaved[f * std::size_t(channels_) + c];
        mono_[f] = sum / float(channels_);
    }
    if (!state_)
        return mono_;
    out_.resize(std::size_t(std::ceil(double(frames) * ratio())) + 16);
    SRC_DATA data{};
    data.data_in = mono_.data();
    data.input_frames = long(frames);
    data.data_out = out_.data();
    data.output_frames = long(out_.size());
    data.src_ratio = ratio();
    // The converter keeps what it cannot use yet; with room for all the
    // output, it takes the whole input.
    if (src_process(state_, &data) != 0)
        return {};
    return std::span<const float>(out_.data(), std::size_t(data.output_frames_gen));
}

}  // namespace vizmo::sound_shapes
