// av_sync_measure FRAMES.gray WIDTH HEIGHT FRAME_TIMES.txt AUDIO.s16 RATE AUDIO_START CLICK_TIME
//                 [--syllables MARKS STIMULUS.wav]
//
// What a viewer sees against what a listener hears, from one capture of the
// screen and the sound sink on one clock (bench/speech/av_sync.sh makes it):
// the mouth region's mean difference from the resting face, frame by frame,
// is correlated with the sound's loudness over lags of +-300 ms. Prints the
// best correlation, its lag (positive: the mouth moves first) and the time
// from the click on "Play" to the first sound (and to the first faint sound),
// and the mouth's width while the sound is loud: rounded lips are narrower.
// Times are in seconds on the capture's wall clock.
//
// With --syllables, the sound is a person's syllables as listen_stimulus
// wrote them (STIMULUS.wav and its MARKS), found in the capture by their
// loudness; it adds how many of the syllables that begin with p, b or m
// show the lips closed, against those beginning with other consonants:
// closed when, from 60 ms before the syllable's sound to 20 ms into its
// vowel (as seen, after the lag found), the mouth comes within a quarter of
// the way from rest to the syllables' usual vowel; and where the stimulus
// starts on the capture's clock (origin).
#include "bench/speech/loudness_correlation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<char> readAll(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Sound {
    std::vector<std::int16_t> samples;
    int rate = 16000;
    double start = 0;  // wall-clock time of the first sample

    // Loudness around `t`: RMS over 30 ms.
    double rmsAt(double t) const { return vizmo::bench::rmsAround(samples, rate, std::llround((t - start) * rate)); }
};

// The lips and the mouth's inside are darker than the skin around them.
// What is dark already in the resting face and reaches the region's sides
// or bottom (hair, the neck's shadow) is not the mouth and never counts.
struct MouthWidth {
    std::size_t width = 0, height = 0;
    int darkBelow = 0;          // a pixel this dark or darker is lip or mouth
    std::vector<bool> outside;  // per pixel: not the mouth

    MouthWidth(const std::vector<std::uint8_t>& rest, std::size_t w, std::size_t h)
        : width(w), height(h), outside(w * h, false)
    {
        std::vector<std::uint8_t> sorted(rest);
        std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(sorted.size() / 2), sorted.end());
        darkBelow = int(sorted[sorted.size() / 2]) - 30;  // the skin is most of the region
        std::vector<std::size_t> todo;
        auto seed = [&](std::size_t x, std::size_t y) {
            const std::size_t p = y * w + x;
            if (!outside[p] && rest[p] <= darkBelow) {
                outside[p] = true;
                todo.push_back(p);
            }
        };
        for (std::size_t y = 0; y < h; ++y)
            seed(0, y), seed(w - 1, y);
        for (std::size_t x = 0; x < w; ++x)
            seed(x, h - 1);
        while (!todo.empty()) {
            const std::size_t p = todo.back(), x = p % w, y = p / w;
            todo.pop_back();
            if (x > 0) seed(x - 1, y);
            if (x + 1 < w) seed(x + 1, y);
            if (y > 0) seed(x, y - 1);
            if (y + 1 < h) seed(x, y + 1);
        }
    }
    // From the first to the last column with at least two mouth pixels.
    double of(const std::uint8_t* frame) const
    {
        long first = -1, last = -1;
        for (std::size_t x = 0; x < width; ++x) {
            int dark = 0;
            for (std::size_t y = 0; y < height; ++y)
                dark += !outside[y * width + x] && frame[y * width + x] <= darkBelow;
            if (dark >= 2) {
                if (first < 0)
                    first = long(x);
                last = long(x);
            }
        }
        return first < 0 ? 0.0 : double(last - first + 1);
    }
};

struct Syllable {
    std::string name;
    double start, vowel, end;  // seconds into the stimulus
};

std::vector<Syllable> readMarks(const char* path)
{
    std::vector<Syllable> out;
    std::ifstream in(path);
    std::string name;
    for (double start, vowel, end; in >> name >> start >> vowel >> end;)
        out.push_back({name, start / 1000, vowel / 1000, end / 1000});
    return out;
}

// A 16-bit PCM WAV file's first channel, and its rate.
std::vector<std::int16_t> readWav(const char* path, int& rate)
{
    const std::vector<char> bytes = readAll(path);
    auto u32 = [&](std::size_t at) {
        return std::uint32_t(std::uint8_t(bytes[at])) | std::uint32_t(std::uint8_t(bytes[at + 1])) << 8 |
               std::uint32_t(std::uint8_t(bytes[at + 2])) << 16 | std::uint32_t(std::uint8_t(bytes[at + 3])) << 24;
    };
    std::vector<std::int16_t> out;
    int channels = 1;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id(bytes.data() + at, 4);
        const std::size_t size = u32(at + 4);
        if (id == "fmt " && at + 16 <= bytes.size()) {
            channels = std::uint8_t(bytes[at + 10]) | std::uint8_t(bytes[at + 11]) << 8;
            rate = int(u32(at + 12));
        } else if (id == "data") {
            for (std::size_t i = at + 8; i + 1 < std::min(bytes.size(), at + 8 + size); i += 2 * std::size_t(channels))
                out.push_back(std::int16_t(std::uint8_t(bytes[i]) | std::uint8_t(bytes[i + 1]) << 8));
            break;
        }
        at += 8 + size + (size & 1);
    }
    return out;
}

// RMS every `hop` seconds over 10 ms.
std::vector<double> envelope(const std::vector<std::int16_t>& samples, int rate, double hop)
{
    std::vector<double> out;
    for (double t = 0; t * rate < double(samples.size()); t += hop)
        out.push_back(vizmo::bench::rmsAround(samples, rate, std::llround((t + 0.005) * rate)));
    return out;
}

// Where the stimulus starts in the recorded sound, in seconds from its first
// sample: the offset at which their loudness agrees best, to the millisecond.
double stimulusOffset(const std::vector<std::int16_t>& stimulus, int stimulusRate, const Sound& recorded)
{
    auto best = [&](double hop, double from, double to) {
        const std::vector<double> a = envelope(stimulus, stimulusRate, hop), b = envelope(recorded.samples, recorded.rate, hop);
        double bestR = -2, bestAt = from;
        for (double at = from; at <= to; at += hop) {
            const auto shift = std::ptrdiff_t(std::llround(at / hop));
            std::vector<double> x, y;
            for (std::size_t i = 0; i < a.size(); ++i) {
                const std::ptrdiff_t j = std::ptrdiff_t(i) + shift;
                if (j >= 0 && j < std::ptrdiff_t(b.size()))
                    x.push_back(a[i]), y.push_back(b[std::size_t(j)]);
            }
            const double r = x.size() > 10 ? vizmo::bench::pearson(x, y) : -2;
            if (r > bestR)
                bestR = r, bestAt = at;
        }
        return bestAt;
    };
    const double recordedSeconds = double(recorded.samples.size()) / recorded.rate;
    const double coarse = best(0.01, -1.0, recordedSeconds);
    return best(0.001, coarse - 0.015, coarse + 0.015);
}

double quantile(std::vector<double> v, double q)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::size_t(q * double(v.size() - 1))];
}

struct Closures {
    int labial = 0, labialClosed = 0, other = 0, otherClosed = 0;
};

// `mouth` at `at` (seconds, capture clock); the syllables start at `origin`;
// `lagMs` positive when the mouth moves first.
Closures closures(const std::vector<Syllable>& syllables, double origin, int lagMs, const std::vector<double>& mouth,
                  const std::vector<double>& at)
{
    const double lag = lagMs / 1000.0;
    auto seen = [&](double from, double to, bool smallest) {
        double value = smallest ? 1e9 : -1e9;
        for (std::size_t k = 0; k < at.size(); ++k) {
            if (at[k] >= origin + from - lag && at[k] <= origin + to - lag)
                value = smallest ? std::min(value, mouth[k]) : std::max(value, mouth[k]);
        }
        return value;
    };
    std::vector<double> peaks;
    for (const Syllable& s : syllables)
        peaks.push_back(seen(s.vowel, s.end, false));
    const double closedBelow = 0.25 * quantile(peaks, 0.5);
    Closures out;
    for (const Syllable& s : syllables) {
        const bool labial = !s.name.empty() && (s.name[0] == 'p' || s.name[0] == 'b' || s.name[0] == 'm');
        const bool closed = seen(s.start - 0.06, s.vowel + 0.02, true) <= closedBelow;
        (labial ? out.labial : out.other) += 1;
        (labial ? out.labialClosed : out.otherClosed) += closed;
    }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool syllables = argc == 12 && std::string(argv[9]) == "--syllables";
    if (argc != 9 && !syllables) {
        std::fprintf(stderr, "usage: av_sync_measure FRAMES.gray WIDTH HEIGHT FRAME_TIMES.txt AUDIO.s16 RATE "
                             "AUDIO_START CLICK_TIME [--syllables MARKS STIMULUS.wav]\n");
        return 2;
    }
    const std::vector<char> pixels = readAll(argv[1]);
    const std::size_t frameSize = std::size_t(std::atoi(argv[2])) * std::size_t(std::atoi(argv[3]));
    std::vector<double> times;
    {
        std::ifstream in(argv[4]);
        for (double t; in >> t;)
            times.push_back(t);
    }
    const std::size_t frames = std::min(times.size(), frameSize ? pixels.size() / frameSize : 0);
    Sound sound;
    {
        const std::vector<char> raw = readAll(argv[5]);
        sound.samples.resize(raw.size() / 2);
        std::copy(raw.begin(), raw.begin() + std::ptrdiff_t(sound.samples.size() * 2),
                  reinterpret_cast<char*>(sound.samples.data()));
    }
    sound.rate = std::atoi(argv[6]);
    sound.start = std::atof(argv[7]);
    const double click = std::atof(argv[8]);

    // The sound: first and last 10 ms windows well above the sink's silence
    // (-40 dBFS). A soft start, such as the h of "Hello", stays below that for
    // tens of milliseconds, so the first window above -60 dBFS is given too:
    // the sink's silence is exactly 0 and the engines' breath noise stays under it.
    const std::size_t window = std::size_t(sound.rate / 100);
    double onset = -1, end = -1, faintOnset = -1;
    for (std::size_t at = 0; at + window <= sound.samples.size(); at += window) {
        double sum = 0;
        for (std::size_t i = at; i < at + window; ++i)
            sum += double(sound.samples[i]) * sound.samples[i];
        const double rms = std::sqrt(sum / double(window));
        const double t = sound.start + double(at) / sound.rate;
        if (rms > 33 && faintOnset < 0)
            faintOnset = t;
        if (rms > 300) {
            if (onset < 0)
                onset = t;
            end = t;
        }
    }
    if (frames < 10 || onset < 0) {
        std::fprintf(stderr, "nothing to measure: %zu frames, %s\n", frames, onset < 0 ? "no sound" : "sound");
        return 1;
    }

    // The resting face: each pixel's median over the frames before the sound.
    std::vector<std::size_t> before;
    for (std::size_t f = 0; f < frames; ++f) {
        if (times[f] < onset - 0.15)
            before.push_back(f);
    }
    if (before.empty())
        before.push_back(0);
    std::vector<std::uint8_t> rest(frameSize);
    std::vector<std::uint8_t> column(before.size());
    for (std::size_t p = 0; p < frameSize; ++p) {
        for (std::size_t k = 0; k < before.size(); ++k)
            column[k] = std::uint8_t(pixels[before[k] * frameSize + p]);
        std::nth_element(column.begin(), column.begin() + std::ptrdiff_t(column.size() / 2), column.end());
        rest[p] = column[column.size() / 2];
    }

    std::vector<double> mouth, at;
    for (std::size_t f = 0; f < frames; ++f) {
        if (times[f] < onset - 0.1 || times[f] > end + 0.2)
            continue;
        double diff = 0;
        for (std::size_t p = 0; p < frameSize; ++p)
            diff += std::abs(int(std::uint8_t(pixels[f * frameSize + p])) - int(rest[p]));
        mouth.push_back(diff / double(frameSize));
        at.push_back(times[f]);
    }

    double bestCorrelation = -2;
    int bestLagMs = 0;
    for (int lagMs = -300; lagMs <= 300; lagMs += 2) {
        std::vector<double> loudness;
        for (double t : at)
            loudness.push_back(sound.rmsAt(t + lagMs / 1000.0));
        const double r = vizmo::bench::pearson(mouth, loudness);
        if (r > bestCorrelation) {
            bestCorrelation = r;
            bestLagMs = lagMs;
        }
    }
    // The width on the frames whose sound, at the lag found, is at least
    // half as loud as the loudest tenth of them.
    std::vector<double> loudness;
    for (double t : at)
        loudness.push_back(sound.rmsAt(t + bestLagMs / 1000.0));
    std::vector<double> sorted(loudness);
    std::sort(sorted.begin(), sorted.end());
    const double loud = 0.5 * sorted[std::size_t(0.9 * double(sorted.size() - 1))];
    const MouthWidth width(rest, std::size_t(std::atoi(argv[2])), std::size_t(std::atoi(argv[3])));
    double widthSum = 0;
    int loudFrames = 0;
    for (std::size_t f = 0, k = 0; f < frames && k < at.size(); ++f) {
        if (times[f] != at[k])
            continue;
        if (loudness[k] >= loud) {
            widthSum += width.of(reinterpret_cast<const std::uint8_t*>(pixels.data()) + f * frameSize);
            ++loudFrames;
        }
        ++k;
    }
    std::printf("correlation %.2f lag %+d ms click-to-sound %.0f ms frames %zu click-to-faint-sound %.0f ms "
                "width %.1f",
                bestCorrelation, bestLagMs, (onset - click) * 1000.0, mouth.size(), (faintOnset - click) * 1000.0,
                loudFrames ? widthSum / loudFrames : 0.0);
    if (syllables) {
        int stimulusRate = 0;
        const std::vector<std::int16_t> stimulus = readWav(argv[11], stimulusRate);
        if (stimulus.empty() || stimulusRate <= 0) {
            std::fprintf(stderr, "\n%s: no sound\n", argv[11]);
            return 1;
        }
        const double origin = sound.start + stimulusOffset(stimulus, stimulusRate, sound);
        const Closures c = closures(readMarks(argv[10]), origin, bestLagMs, mouth, at);
        std::printf(" closed-pbm %d/%d closed-other %d/%d origin %.3f", c.labialClosed, c.labial, c.otherClosed, c.other,
                    origin);
    }
    std::printf("\n");
    return 0;
}
