#include "tools/make_speech_script/nasal_releases.h"

#include "components/speech/lip_sync.h"

#include <algorithm>
#include <cmath>

namespace vizmo::speech {

namespace {

constexpr int kWindowMs = 10;
// Both phones keep at least this much.
constexpr int kShortestMs = 15;

bool isNasal(const PhoneMark& p) { return p.sound.kind == PhoneKind::Consonant && p.sound.manner == Manner::Nasal; }

}  // namespace

std::vector<PhoneMark> fromNasalReleases(std::vector<PhoneMark> phones, const std::vector<float>& samples, int rate)
{
    const auto length = std::int64_t(samples.size());
    // Running sum of the squares of the first difference: the murmur's low
    // frequencies count little, the vowel's formants much.
    std::vector<double> energy(samples.size() + 1, 0.0);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double d = samples[i] - (i > 0 ? 0.95 * samples[i - 1] : 0.0);
        energy[i + 1] = energy[i] + d * d;
    }
    const std::int64_t window = std::max<std::int64_t>(1, std::int64_t(kWindowMs) * rate / 1000);
    const std::int64_t step = std::max<std::int64_t>(1, rate / 1000);
    auto decibels = [&](std::int64_t from, std::int64_t to) {
        from = std::clamp<std::int64_t>(from, 0, length);
        to = std::clamp<std::int64_t>(to, 0, length);
        const double power = to > from ? (energy[std::size_t(to)] - energy[std::size_t(from)]) / double(to - from) : 0.0;
        return 10 * std::log10(power + 1e-12);
    };
    auto ms = [rate](int n) { return std::int64_t(n) * rate / 1000; };
    for (std::size_t i = 1; i < phones.size(); ++i) {
        if (!isNasal(phones[i - 1]) || !showsAsVowel(phones[i]))
            continue;
        const std::int64_t mark = phones[i].startSample;
        const std::int64_t vowelEnd = i + 1 < phones.size() ? phones[i + 1].startSample : length;
        const std::int64_t from = std::max(mark - ms(kReleaseSearchBeforeMs), phones[i - 1].startSample + ms(kShortestMs));
        const std::int64_t to = std::min(mark + ms(kReleaseSearchAfterMs), vowelEnd - ms(kShortestMs));
        double steepest = kReleaseRiseDb;
        std::int64_t release = -1;
        for (std::int64_t at = from; at <= to; at += step) {
            const double rise = decibels(at, at + window) - decibels(at - window, at);
            if (rise > steepest) {
                steepest = rise;
                release = at;
            }
        }
        if (release >= 0)
            phones[i].startSample = release;
    }
    return phones;
}

}  // namespace vizmo::speech
