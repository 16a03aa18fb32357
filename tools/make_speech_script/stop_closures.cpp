#include "tools/make_speech_script/stop_closures.h"

#include "components/speech/lip_sync.h"

#include <algorithm>
#include <cmath>

namespace vizmo::speech {

namespace {

// A closure is this much quieter than the loudest of the phone before it.
constexpr double kClosureDb = 12;
constexpr int kWindowMs = 5;

}  // namespace

std::vector<PhoneMark> fromClosures(std::vector<PhoneMark> phones, const std::vector<std::int16_t>& samples, int rate)
{
    const auto length = std::int64_t(samples.size());
    std::vector<double> energy(samples.size() + 1, 0.0);  // running sum of squares
    for (std::size_t i = 0; i < samples.size(); ++i)
        energy[i + 1] = energy[i] + double(samples[i]) * samples[i];
    const std::int64_t window = std::max<std::int64_t>(1, std::int64_t(kWindowMs) * rate / 1000);
    const std::int64_t step = std::max<std::int64_t>(1, rate / 1000);
    // The power of the window that ends at `at`.
    auto power = [&](std::int64_t at) {
        const std::int64_t to = std::clamp(at, std::int64_t(0), length), from = std::max<std::int64_t>(0, to - window);
        return to > from ? (energy[std::size_t(to)] - energy[std::size_t(from)]) / double(to - from) : 0.0;
    };
    for (std::size_t i = 1; i < phones.size(); ++i) {
        if (!isStop(phones[i]))
            continue;
        const std::int64_t burst = phones[i].startSample, before = phones[i - 1].startSample;
        if (burst <= before)
            continue;
        double loudest = 0;
        for (std::int64_t at = before + window; at <= burst; at += step)
            loudest = std::max(loudest, power(at));
        const double quiet = loudest * std::pow(10.0, -kClosureDb / 10);
        const std::int64_t earliest =
            std::max(before + (burst - before) / 3, burst - std::int64_t(kLongestClosureMs) * rate / 1000);
        std::int64_t start = burst;
        while (start - step >= earliest && power(start) <= quiet)
            start -= step;
        phones[i].startSample = start;
    }
    return phones;
}

}  // namespace vizmo::speech
