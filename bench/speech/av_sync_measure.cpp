// av_sync_measure FRAMES.gray WIDTH HEIGHT FRAME_TIMES.txt AUDIO.s16 RATE AUDIO_START CLICK_TIME
//
// What a viewer sees against what a listener hears, from one capture of the
// screen and the sound sink on one clock (bench/speech/av_sync.sh makes it):
// the mouth region's mean difference from the resting face, frame by frame,
// is correlated with the sound's loudness over lags of +-300 ms. Prints the
// best correlation, its lag (positive: the mouth moves first) and the time
// from the click on "Play" to the first sound (and to the first faint sound),
// and the mouth's width while the sound is loud: rounded lips are narrower.
// Times are in seconds on the capture's wall clock.
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

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 9) {
        std::fprintf(stderr, "usage: av_sync_measure FRAMES.gray WIDTH HEIGHT FRAME_TIMES.txt AUDIO.s16 RATE "
                             "AUDIO_START CLICK_TIME\n");
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
                "width %.1f\n",
                bestCorrelation, bestLagMs, (onset - click) * 1000.0, mouth.size(), (faintOnset - click) * 1000.0,
                loudFrames ? widthSum / loudFrames : 0.0);
    return 0;
}
