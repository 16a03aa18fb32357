#pragma once
// The outside meter's arithmetic, shared by av_sync_measure (a capture of the
// screen and the sink) and mouth_trace (the face drawn without a display), so
// that the two figures differ only by what they look at.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace vizmo::bench {

// The sound's loudness around sample `centre`: RMS over 30 ms.
inline double rmsAround(const std::vector<std::int16_t>& samples, int rate, std::int64_t centre)
{
    const std::int64_t half = std::int64_t(rate) * 15 / 1000;
    double sum = 0;
    std::int64_t n = 0;
    for (std::int64_t i = std::max<std::int64_t>(0, centre - half);
         i < std::min<std::int64_t>(std::int64_t(samples.size()), centre + half); ++i, ++n)
        sum += double(samples[std::size_t(i)]) * samples[std::size_t(i)];
    return n ? std::sqrt(sum / double(n)) : 0.0;
}

inline double pearson(const std::vector<double>& a, const std::vector<double>& b)
{
    const double n = double(a.size());
    double ma = 0, mb = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        ma += a[i];
        mb += b[i];
    }
    ma /= n;
    mb /= n;
    double sab = 0, saa = 0, sbb = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        sab += (a[i] - ma) * (b[i] - mb);
        saa += (a[i] - ma) * (a[i] - ma);
        sbb += (b[i] - mb) * (b[i] - mb);
    }
    return saa > 0 && sbb > 0 ? sab / std::sqrt(saa * sbb) : 0;
}

}  // namespace vizmo::bench
