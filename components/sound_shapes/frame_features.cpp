#include "components/sound_shapes/frame_features.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>
#include <vector>

namespace vizmo::sound_shapes {

namespace {

constexpr int kFft = 1024;   // room for the autocorrelation without wrapping round
constexpr int kBins = kFft / 2 + 1;
constexpr int kOrder = 18;   // linear prediction: two coefficients a kHz, and two more
constexpr double kHzPerBin = double(kRate) / kFft;
constexpr double kBrightFromHz = 2000, kBrightToHz = 5000;

std::mutex& plannerLock()
{
    static std::mutex lock;  // FFTW's planner is not thread-safe
    return lock;
}

}  // namespace

struct FrameAnalyser::Fft {
    float* time = nullptr;
    fftwf_complex* spectrum = nullptr;
    fftwf_plan forward = nullptr, backward = nullptr;
    std::array<double, kWindow> window{};
    std::array<double, kWindow> windowCorrelation{};
    std::array<double, kWindow> samples{};
    std::array<double, kBins> power{};
    std::array<double, kWindow> correlation{};

    Fft()
    {
        const std::lock_guard guard(plannerLock());
        time = fftwf_alloc_real(kFft);
        spectrum = fftwf_alloc_complex(kBins);
        forward = fftwf_plan_dft_r2c_1d(kFft, time, spectrum, FFTW_ESTIMATE);
        backward = fftwf_plan_dft_c2r_1d(kFft, spectrum, time, FFTW_ESTIMATE);
    }
    ~Fft()
    {
        const std::lock_guard guard(plannerLock());
        fftwf_destroy_plan(forward);
        fftwf_destroy_plan(backward);
        fftwf_free(time);
        fftwf_free(spectrum);
    }

    // |X|² of the windowed `samples`, kept in the spectrum for autocorrelate().
    void transform()
    {
        std::fill(time, time + kFft, 0.f);
        for (int i = 0; i < kWindow; ++i)
            time[i] = float(samples[std::size_t(i)] * window[std::size_t(i)]);
        fftwf_execute(forward);
        for (std::size_t k = 0; k < kBins; ++k) {
            const double re = spectrum[k][0], im = spectrum[k][1];
            power[k] = re * re + im * im;
            spectrum[k][0] = float(power[k]);
            spectrum[k][1] = 0;
        }
    }
    // The autocorrelation of the last transform(), normalised to 1 at lag 0.
    void autocorrelate()
    {
        fftwf_execute(backward);
        const double zero = time[0];
        for (int i = 0; i < kWindow; ++i)
            correlation[std::size_t(i)] = zero > 0 ? time[i] / zero : 0.0;
    }
};

FrameAnalyser::FrameAnalyser() : fft_(std::make_unique<Fft>())
{
    Fft& f = *fft_;
    for (int i = 0; i < kWindow; ++i)
        f.window[std::size_t(i)] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * (i + 0.5) / kWindow);
    // The window's own autocorrelation: a voice's is divided by it, so that
    // the taper does not count as lost periodicity.
    f.samples.fill(1.0);
    f.transform();
    f.autocorrelate();
    f.windowCorrelation = f.correlation;
}

FrameAnalyser::~FrameAnalyser() = default;

FrameFeatures FrameAnalyser::analyse(std::span<const float, kWindow> window)
{
    Fft& f = *fft_;
    FrameFeatures out;
    std::copy(window.begin(), window.end(), f.samples.begin());
    f.transform();
    double total = 0, high = 0, low = 0, upper = 0, upperWeighted = 0;
    for (std::size_t k = 1; k < kBins; ++k) {
        const double hz = double(k) * kHzPerBin, p = f.power[k];
        total += p;
        high += hz > 2500 ? p : 0;
        low += hz < 400 ? p : 0;
        upper += hz > 1000 ? p : 0;
        upperWeighted += hz > 1000 ? p * hz : 0;
    }
    // A full-scale sine reads 0 dB: the Hann window keeps 3/8 of its power.
    out.db = 10 * std::log10(total / double(kFft * kWindow) * 16.0 / 3.0 + 1e-12);
    out.highShare = total > 0 ? high / total : 0;
    out.lowShare = total > 0 ? low / total : 0;
    out.centroid = upper > 0 ? upperWeighted / upper : 0;
    f.autocorrelate();
    for (int lag = kRate / 400; lag <= kRate / 70; ++lag) {
        const auto l = std::size_t(lag);
        out.voicing = std::max(out.voicing, f.correlation[l] / f.windowCorrelation[l]);
    }

    // The lowest two peaks of the linear-prediction envelope (raised 6 dB an
    // octave, as the voice's own tilt hides the upper resonances).
    for (std::size_t i = kWindow - 1; i > 0; --i)
        f.samples[i] = window[i] - 0.97 * window[i - 1];
    f.samples[0] = window[0];
    f.transform();
    double dark = 0, bright = 0;
    for (std::size_t k = 1; k < kBins; ++k) {
        const double hz = double(k) * kHzPerBin;
        (hz < kBrightFromHz ? dark : bright) += hz < kBrightToHz ? f.power[k] : 0;
    }
    out.brightness = 10 * std::log10((bright + 1e-12) / (dark + 1e-12));
    f.autocorrelate();
    std::array<double, kOrder + 1> r{};
    std::copy_n(f.correlation.begin(), kOrder + 1, r.begin());
    r[0] *= 1.0001;  // a little white noise keeps the recursion stable
    std::array<double, kOrder + 1> a{}, previous{};
    a[0] = 1;
    double error = r[0];
    for (std::size_t i = 1; i <= kOrder && error > 0; ++i) {
        double acc = r[i];
        for (std::size_t j = 1; j < i; ++j)
            acc += a[j] * r[i - j];
        const double k = -acc / error;
        previous = a;
        for (std::size_t j = 1; j < i; ++j)
            a[j] += k * previous[i - j];
        a[i] = k;
        error *= 1 - k * k;
    }
    std::fill(f.time, f.time + kFft, 0.f);
    std::transform(a.begin(), a.end(), f.time, [](double v) { return float(v); });
    fftwf_execute(f.forward);
    auto envelope = [&](std::size_t k) {
        const double re = f.spectrum[k][0], im = f.spectrum[k][1];
        return 1.0 / (re * re + im * im + 1e-12);
    };
    double* next = &out.f1;
    for (std::size_t k = std::size_t(200 / kHzPerBin); k < std::size_t(3500 / kHzPerBin) && next; ++k) {
        if (envelope(k) > envelope(k - 1) && envelope(k) >= envelope(k + 1)) {
            *next = double(k) * kHzPerBin;
            next = next == &out.f1 ? &out.f2 : nullptr;
        }
    }
    return out;
}

}  // namespace vizmo::sound_shapes
