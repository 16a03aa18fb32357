#include "tools/make_speech_script/mfcc.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace vizmo::speech {

namespace {

constexpr int kBands = 26;
// c1..c3: the broad shape of the spectrum, which tells sounds apart; the
// finer coefficients tell speakers apart as much (measured with
// bench/speech/alignment_bench: 12 of them gave half as large errors again).
// c0 is the level, kept apart.
constexpr int kCepstra = 3;
constexpr double kLowHz = 60, kHighHz = 7000;
constexpr double kFloor = 1e-5;       // 50 dB under the loudest frame: silence
constexpr double kVoiced = 1e-3;      // frames within 30 dB of it set the mean
constexpr double kLevelWeight = 5.0;  // the level against one normalised coefficient
constexpr double kPreEmphasis = 0.97;
// The spectrum of a frame more than this under the loudest fades out over
// the next 20 dB.
constexpr double kFadeDb = 20;

double mel(double hz) { return 2595.0 * std::log10(1.0 + hz / 700.0); }
double hz(double mel) { return 700.0 * (std::pow(10.0, mel / 2595.0) - 1.0); }

// Triangular filters evenly spaced on the mel scale, as weights per FFT bin.
std::vector<std::vector<double>> melFilters(int fftSize, int rate)
{
    const int bins = fftSize / 2 + 1;
    const double low = mel(kLowHz), high = mel(std::min(kHighHz, rate / 2.0));
    std::vector<double> edges(kBands + 2);
    for (int i = 0; i < kBands + 2; ++i)
        edges[std::size_t(i)] = hz(low + (high - low) * i / (kBands + 1));
    std::vector<std::vector<double>> filters(kBands, std::vector<double>(std::size_t(bins)));
    for (int b = 0; b < kBands; ++b) {
        const double left = edges[std::size_t(b)], centre = edges[std::size_t(b) + 1], right = edges[std::size_t(b) + 2];
        for (int k = 0; k < bins; ++k) {
            const double f = double(k) * rate / fftSize;
            double w = 0;
            if (f > left && f <= centre)
                w = (f - left) / (centre - left);
            else if (f > centre && f < right)
                w = (right - f) / (right - centre);
            filters[std::size_t(b)][std::size_t(k)] = w;
        }
    }
    return filters;
}

struct FftwFloatDeleter {
    void operator()(float* p) const { fftwf_free(p); }
    void operator()(fftwf_complex* p) const { fftwf_free(p); }
};

// The mel band energies of every frame.
std::vector<std::vector<double>> bandEnergies(const std::vector<float>& samples, int rate, std::size_t hop,
                                                     std::size_t window)
{
    int fftSize = 1;
    while (std::size_t(fftSize) < window)
        fftSize *= 2;
    const std::size_t bins = std::size_t(fftSize) / 2 + 1;
    const auto filters = melFilters(fftSize, rate);
    std::unique_ptr<float, FftwFloatDeleter> in(fftwf_alloc_real(std::size_t(fftSize)));
    std::unique_ptr<fftwf_complex, FftwFloatDeleter> out(fftwf_alloc_complex(bins));
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(fftSize, in.get(), out.get(), FFTW_ESTIMATE);

    std::vector<double> hamming(window);
    for (std::size_t i = 0; i < window; ++i)
        hamming[i] = 0.54 - 0.46 * std::cos(2 * std::numbers::pi * double(i) / double(window - 1));
    const std::size_t frames = samples.size() > window ? 1 + (samples.size() - window) / hop : 1;
    std::vector<std::vector<double>> energies(frames, std::vector<double>(std::size_t(kBands)));
    std::vector<double> power(bins);
    for (std::size_t f = 0; f < frames; ++f) {
        const std::size_t start = f * hop;
        std::fill(in.get(), in.get() + fftSize, 0.f);
        for (std::size_t i = 0; i < window && start + i < samples.size(); ++i) {
            const float previous = start + i > 0 ? samples[start + i - 1] : 0.f;
            in.get()[i] = float((samples[start + i] - kPreEmphasis * previous) * hamming[i]);
        }
        fftwf_execute(plan);
        for (std::size_t k = 0; k < bins; ++k)
            power[k] = double(out.get()[k][0]) * out.get()[k][0] + double(out.get()[k][1]) * out.get()[k][1];
        for (int b = 0; b < kBands; ++b) {
            double sum = 0;
            const auto& w = filters[std::size_t(b)];
            for (std::size_t k = 0; k < bins; ++k)
                sum += w[k] * power[k];
            energies[f][std::size_t(b)] = sum;
        }
    }
    fftwf_destroy_plan(plan);
    return energies;
}

// Each coefficient less its mean over the voiced frames, over its spread there.
void normalise(Features& out, const std::vector<double>& level, double loudestFrame)
{
    std::vector<std::size_t> voiced;
    for (std::size_t f = 0; f < out.frames(); ++f) {
        if (level[f] >= loudestFrame * kVoiced)
            voiced.push_back(f);
    }
    if (voiced.size() < 2)
        return;
    for (int c = 0; c < kCepstra; ++c) {
        double sum = 0, squares = 0;
        for (std::size_t f : voiced) {
            sum += out.frame(f)[c];
            squares += double(out.frame(f)[c]) * out.frame(f)[c];
        }
        const double mean = sum / double(voiced.size());
        const double spread = std::sqrt(std::max(squares / double(voiced.size()) - mean * mean, 1e-6));
        for (std::size_t f = 0; f < out.frames(); ++f)
            out.frame(f)[c] = float((out.frame(f)[c] - mean) / spread);
    }
}

// The spectrum of a quiet frame is the room's or nothing: it fades out, so
// that silence of any kind looks alike.
void fadeQuiet(Features& out, const std::vector<double>& level, double loudestFrame, double frameFloor)
{
    for (std::size_t f = 0; f < out.frames(); ++f) {
        const double db = 10 * std::log10(std::max(level[f], frameFloor) / loudestFrame);
        const double keep = std::clamp(1.0 + (db + kFadeDb) / 20.0, 0.0, 1.0);
        for (int c = 0; c < kCepstra; ++c)
            out.frame(f)[c] = float(out.frame(f)[c] * keep);
    }
}

// Each value and its slope over two frames either side: how the sound changes.
Features withSlopes(const Features& in)
{
    const std::size_t frames = in.frames(), dims = in.dims();
    Features out(frames, 2 * dims);
    for (std::size_t f = 0; f < frames; ++f) {
        for (std::size_t d = 0; d < dims; ++d) {
            double slope = 0;
            for (std::size_t k = 1; k <= 2; ++k) {
                const std::size_t after = std::min(f + k, frames - 1);
                const std::size_t before = f >= k ? f - k : 0;
                slope += double(k) * (in.frame(after)[d] - in.frame(before)[d]);
            }
            out.frame(f)[d] = in.frame(f)[d];
            out.frame(f)[dims + d] = float(slope / 10.0);
        }
    }
    return out;
}

}  // namespace

Features mfccFeatures(const std::vector<float>& samples, const FeatureOptions& options)
{
    const auto hop = std::max<std::size_t>(1, std::size_t(std::lround(options.hopMs * options.rate / 1000)));
    const auto window = std::max<std::size_t>(2, std::size_t(std::lround(options.windowMs * options.rate / 1000)));
    const auto energies = bandEnergies(samples, options.rate, hop, window);
    const std::size_t frames = energies.size();

    double loudestBand = 0, loudestFrame = 0;
    std::vector<double> level(frames);
    for (std::size_t f = 0; f < frames; ++f) {
        for (double e : energies[f]) {
            loudestBand = std::max(loudestBand, e);
            level[f] += e;
        }
        loudestFrame = std::max(loudestFrame, level[f]);
    }
    const double bandFloor = std::max(loudestBand * kFloor, 1e-20);
    const double frameFloor = std::max(loudestFrame * kFloor, 1e-20);

    Features out(frames, kCepstra + 1);
    std::vector<double> logBands(kBands);
    for (std::size_t f = 0; f < frames; ++f) {
        for (int b = 0; b < kBands; ++b)
            logBands[std::size_t(b)] = std::log(std::max(energies[f][std::size_t(b)], bandFloor));
        float* row = out.frame(f);
        for (int c = 1; c <= kCepstra; ++c) {
            double sum = 0;
            for (int b = 0; b < kBands; ++b)
                sum += logBands[std::size_t(b)] * std::cos(std::numbers::pi * c * (b + 0.5) / kBands);
            row[c - 1] = float(sum * std::sqrt(2.0 / kBands));
        }
        // 0 at the floor, 1 at the loudest frame.
        const double relative = std::log(std::max(level[f], frameFloor) / loudestFrame) / -std::log(kFloor);
        row[kCepstra] = float(kLevelWeight * (1.0 + relative));
    }

    normalise(out, level, loudestFrame);
    fadeQuiet(out, level, loudestFrame, frameFloor);
    return withSlopes(out);
}

}  // namespace vizmo::speech
