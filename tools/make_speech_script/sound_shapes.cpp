#include "tools/make_speech_script/sound_shapes.h"

#include "components/speech/viseme_tables.h"

#include <fftw3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <mutex>
#include <numbers>

namespace vizmo::speech {

namespace {

constexpr int kRate = 16000;
constexpr int kHop = 160;       // 10 ms frames, as the lip sync's phones are timed
constexpr int kWindow = 480;    // 30 ms: two periods of a low voice
constexpr int kFft = 1024;      // room for the autocorrelation without wrapping round
constexpr int kOrder = 18;      // linear prediction: two coefficients a kHz, and two more
constexpr double kHzPerBin = double(kRate) / kFft;

struct Frame {
    double db = -200;       // loudness
    double voicing = 0;     // 0..1: how periodic, at a voice's pitch
    double highShare = 0;   // of the energy, the share above 2.5 kHz
    double centroid = 0;    // Hz, of the energy above 1 kHz: "s" high, "sh" lower
    double f1 = 0, f2 = 0;  // the two lowest resonances, Hz; 0 when not found
};

std::mutex& plannerLock()
{
    static std::mutex lock;  // FFTW's planner is not thread-safe
    return lock;
}

// Spectra and autocorrelations of one frame at a time.
class Analyser {
public:
    Analyser()
    {
        const std::lock_guard guard(plannerLock());
        time_ = fftwf_alloc_real(kFft);
        spectrum_ = fftwf_alloc_complex(kFft / 2 + 1);
        forward_ = fftwf_plan_dft_r2c_1d(kFft, time_, spectrum_, FFTW_ESTIMATE);
        backward_ = fftwf_plan_dft_c2r_1d(kFft, spectrum_, time_, FFTW_ESTIMATE);
        for (int i = 0; i < kWindow; ++i)
            window_[std::size_t(i)] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * (i + 0.5) / kWindow);
        // The window's own autocorrelation: a voice's is divided by it, so
        // that the taper does not count as lost periodicity.
        std::vector<double> flat(kWindow, 1.0);
        power(flat.data());
        windowCorrelation_ = autocorrelation();
    }
    ~Analyser()
    {
        const std::lock_guard guard(plannerLock());
        fftwf_destroy_plan(forward_);
        fftwf_destroy_plan(backward_);
        fftwf_free(time_);
        fftwf_free(spectrum_);
    }
    Analyser(const Analyser&) = delete;
    Analyser& operator=(const Analyser&) = delete;

    Frame analyse(const float* samples)
    {
        Frame f;
        std::vector<double> x(samples, samples + kWindow);
        const std::vector<double> p = power(x.data());
        double total = 0, high = 0, upper = 0, upperWeighted = 0;
        for (std::size_t k = 1; k < p.size(); ++k) {
            const double hz = double(k) * kHzPerBin;
            total += p[k];
            high += hz > 2500 ? p[k] : 0;
            upper += hz > 1000 ? p[k] : 0;
            upperWeighted += hz > 1000 ? p[k] * hz : 0;
        }
        f.db = 10 * std::log10(total / double(kFft * kWindow) * 16.0 / 3.0 + 1e-12);
        f.highShare = total > 0 ? high / total : 0;
        f.centroid = upper > 0 ? upperWeighted / upper : 0;
        const std::vector<double> r = autocorrelation();
        for (int lag = kRate / 400; lag <= kRate / 70 && r[0] > 0; ++lag)
            f.voicing = std::max(f.voicing, r[std::size_t(lag)] / r[0] / windowCorrelation_[std::size_t(lag)]);
        formants(x, f);
        return f;
    }

private:
    // |X|² of the windowed `samples`, in spectrum_ too.
    std::vector<double> power(const double* samples)
    {
        std::fill(time_, time_ + kFft, 0.f);
        for (int i = 0; i < kWindow; ++i)
            time_[i] = float(samples[i] * window_[std::size_t(i)]);
        fftwf_execute(forward_);
        std::vector<double> p(kFft / 2 + 1);
        for (std::size_t k = 0; k < p.size(); ++k) {
            const double re = spectrum_[k][0], im = spectrum_[k][1];
            p[k] = re * re + im * im;
            spectrum_[k][0] = float(p[k]);
            spectrum_[k][1] = 0;
        }
        return p;
    }
    // The autocorrelation of the last power(), normalised to 1 at lag 0.
    std::vector<double> autocorrelation()
    {
        fftwf_execute(backward_);
        std::vector<double> r(time_, time_ + kWindow);
        if (r[0] > 0) {
            const double zero = r[0];
            for (double& v : r)
                v /= zero;
        }
        return r;
    }

    // The lowest two peaks of the linear-prediction envelope of `x` (raised
    // 6 dB an octave, as the voice's own tilt hides the upper resonances).
    void formants(std::vector<double>& x, Frame& f)
    {
        for (std::size_t i = x.size() - 1; i > 0; --i)
            x[i] -= 0.97 * x[i - 1];
        power(x.data());
        std::vector<double> r = autocorrelation();
        r[0] *= 1.0001;  // a little white noise keeps the recursion stable
        std::vector<double> a(kOrder + 1, 0.0), previous;
        a[0] = 1;
        double error = r[0];
        for (int i = 1; i <= kOrder && error > 0; ++i) {
            double acc = r[std::size_t(i)];
            for (int j = 1; j < i; ++j)
                acc += a[std::size_t(j)] * r[std::size_t(i - j)];
            const double k = -acc / error;
            previous = a;
            for (int j = 1; j < i; ++j)
                a[std::size_t(j)] += k * previous[std::size_t(i - j)];
            a[std::size_t(i)] = k;
            error *= 1 - k * k;
        }
        std::fill(time_, time_ + kFft, 0.f);
        std::transform(a.begin(), a.end(), time_, [](double v) { return float(v); });
        fftwf_execute(forward_);
        std::vector<double> envelope(kFft / 2 + 1);
        for (std::size_t k = 0; k < envelope.size(); ++k) {
            const double re = spectrum_[k][0], im = spectrum_[k][1];
            envelope[k] = 1.0 / (re * re + im * im + 1e-12);
        }
        double* next = &f.f1;
        for (std::size_t k = std::size_t(200 / kHzPerBin); k < std::size_t(3500 / kHzPerBin) && next; ++k) {
            if (envelope[k] > envelope[k - 1] && envelope[k] >= envelope[k + 1]) {
                *next = double(k) * kHzPerBin;
                next = next == &f.f1 ? &f.f2 : nullptr;
            }
        }
    }

    float* time_ = nullptr;
    fftwf_complex* spectrum_ = nullptr;
    fftwf_plan forward_ = nullptr, backward_ = nullptr;
    std::array<double, kWindow> window_{};
    std::vector<double> windowCorrelation_;
};

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    const auto at = v.begin() + std::ptrdiff_t(p * double(v.size() - 1));
    std::nth_element(v.begin(), at, v.end());
    return *at;
}

// A frame's stand-in phone; vowels are named from their resonances against
// the speaker's usual ones (the medians), so that high and low voices are
// shaped alike.
QByteArray nameOf(const Frame& f, double silentBelow, double quietBelow, double medianF1, double medianF2)
{
    if (f.db < silentBelow)
        return "pau";
    if (f.highShare > 0.6 || (f.voicing < 0.5 && f.highShare > 0.4))
        return f.centroid > 4500 ? "s" : "sh";
    if (f.voicing < 0.5)
        return "t";  // weak and unvoiced: a burst, "h", "f"
    // Nasals, liquids and voiced closures (a murmur with its first resonance
    // under any vowel's, or quiet): the mouth passes through them.
    if (f.db < quietBelow || f.f1 < 250 || f.f2 <= 0)
        return "n";
    const double r1 = f.f1 / medianF1, r2 = f.f2 / medianF2;
    if (r1 > 1.3)
        return "aa";
    if (r2 < 0.75)
        return r1 < 0.9 ? "uw" : "ow";
    if (r2 > 1.2)
        return r1 < 0.85 ? "iy" : "eh";
    return r1 > 1.15 ? "ah" : "ax";
}

// Each frame takes the name most of its neighbours within two frames have,
// so that single frames do not flicker.
std::vector<QByteArray> smoothed(const std::vector<QByteArray>& names)
{
    std::vector<QByteArray> out = names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::map<QByteArray, int> votes;
        for (std::size_t j = i >= 2 ? i - 2 : 0; j < std::min(names.size(), i + 3); ++j)
            ++votes[names[j]];
        int best = votes[names[i]];
        for (const auto& [name, count] : votes) {
            if (count > best) {
                best = count;
                out[i] = name;
            }
        }
    }
    return out;
}

}  // namespace

std::vector<PhoneMark> shapesFromSound(const Recording& recording)
{
    if (recording.rate <= 0 || recording.samples.empty())
        return {};
    std::vector<float> sound = resample(recording.samples, recording.rate, kRate);
    const std::size_t frameCount = sound.size() / kHop;
    // Frame f is heard over [f, f + 1) hops; its window is centred there.
    sound.insert(sound.begin(), std::size_t(kWindow / 2 - kHop / 2), 0.f);
    sound.resize(frameCount * kHop + kWindow, 0.f);
    Analyser analyser;
    std::vector<Frame> frames(frameCount);
    for (std::size_t f = 0; f < frameCount; ++f)
        frames[f] = analyser.analyse(sound.data() + f * kHop);

    std::vector<double> loudness, f1, f2;
    for (const Frame& f : frames)
        loudness.push_back(f.db);
    // Silence is well under the loud part and over the noise floor, which
    // is the quietest bit: a recording may hold hardly any pause.
    const double loud = percentile(loudness, 0.95), floor = percentile(loudness, 0.02);
    const double silentBelow = std::max(loud - 45, floor + 8), quietBelow = loud - 25;
    for (const Frame& f : frames) {
        if (f.db >= quietBelow && f.voicing >= 0.5 && f.highShare < 0.3 && f.f1 >= 250 && f.f2 > 0) {
            f1.push_back(f.f1);
            f2.push_back(f.f2);
        }
    }
    const double medianF1 = f1.empty() ? 500 : percentile(f1, 0.5), medianF2 = f2.empty() ? 1500 : percentile(f2, 0.5);
    std::vector<QByteArray> names(frameCount);
    for (std::size_t f = 0; f < frameCount; ++f)
        names[f] = nameOf(frames[f], silentBelow, quietBelow, medianF1, medianF2);
    names = smoothed(names);

    // Runs of one name; a run under 30 ms joins the one before it, and a
    // silence under 150 ms within speech is a stop's closure, not a pause.
    struct Run { std::size_t start, length; QByteArray name; };
    std::vector<Run> runs;
    for (std::size_t f = 0; f < frameCount; ++f) {
        if (!runs.empty() && runs.back().name == names[f])
            ++runs.back().length;
        else
            runs.push_back({f, 1, names[f]});
    }
    std::vector<Run> joined;
    for (Run& run : runs) {
        if (!joined.empty() && run.length < 3) {
            joined.back().length += run.length;
            continue;
        }
        if (run.name == "pau" && run.length < 15 && !joined.empty() && run.start + run.length < frameCount)
            run.name = "t";
        if (!joined.empty() && joined.back().name == run.name)
            joined.back().length += run.length;
        else
            joined.push_back(run);
    }
    std::vector<PhoneMark> out;
    for (const Run& run : joined) {
        const std::int64_t start = std::int64_t(run.start) * kHop * recording.rate / kRate;
        out.push_back(flitePhone(start, run.name));
    }
    return out;
}

}  // namespace vizmo::speech
