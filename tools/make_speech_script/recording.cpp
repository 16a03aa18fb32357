#include "tools/make_speech_script/recording.h"

#include "components/player/content/wav_file.h"

#include <samplerate.h>

#include <cmath>

namespace vizmo::speech {

std::vector<float> resample(const std::vector<float>& samples, int fromRate, int toRate)
{
    if (fromRate == toRate || samples.empty())
        return samples;
    const double ratio = double(toRate) / fromRate;
    std::vector<float> out(std::size_t(std::ceil(double(samples.size()) * ratio)) + 1);
    SRC_DATA data{};
    data.data_in = samples.data();
    data.input_frames = long(samples.size());
    data.data_out = out.data();
    data.output_frames = long(out.size());
    data.src_ratio = ratio;
    if (src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 1) != 0)
        return {};
    out.resize(std::size_t(data.output_frames_gen));
    return out;
}

std::optional<Recording> readRecording(const QString& path, int rate, QString* error)
{
    auto sound = player::readWav(path);
    if (!sound.ok()) {
        if (error)
            *error = sound.error().description;
        return std::nullopt;
    }
    const player::WavSound& wav = sound.value();
    const int channels = wav.info.channels;
    const std::size_t frames = wav.samples.size() / std::size_t(channels);
    if (frames == 0) {
        if (error)
            *error = QStringLiteral("%1: the file holds no sound").arg(path);
        return std::nullopt;
    }
    std::vector<float> mono(frames);
    for (std::size_t f = 0; f < frames; ++f) {
        float sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += wav.samples[f * std::size_t(channels) + std::size_t(c)];
        mono[f] = sum / (32768.f * float(channels));
    }
    Recording out;
    out.samples = resample(mono, wav.info.sampleRate, rate);
    if (out.samples.empty()) {
        if (error)
            *error = QStringLiteral("%1: the sound cannot be resampled to %2 Hz").arg(path).arg(rate);
        return std::nullopt;
    }
    out.rate = rate;
    out.sourceRate = wav.info.sampleRate;
    out.sourceChannels = channels;
    out.sourceFrames = std::int64_t(frames);
    return out;
}

}  // namespace vizmo::speech
