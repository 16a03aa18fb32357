#include "tools/make_speech_script/time_warp.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace vizmo::speech {

namespace {

// Below this many frames on the longer side every pairing is tried.
constexpr std::size_t kFullSearch = 200;

// Columns of b searched for each frame of a: [first, last], both rising.
struct Band {
    std::vector<std::size_t> first, last;
};

Features halved(const Features& f)
{
    Features out((f.frames() + 1) / 2, f.dims());
    for (std::size_t i = 0; i < out.frames(); ++i) {
        const float* x = f.frame(2 * i);
        const float* y = f.frame(std::min(2 * i + 1, f.frames() - 1));
        for (std::size_t d = 0; d < f.dims(); ++d)
            out.frame(i)[d] = 0.5f * (x[d] + y[d]);
    }
    return out;
}

float distance(const float* x, const float* y, std::size_t dims)
{
    float sum = 0;
    for (std::size_t d = 0; d < dims; ++d)
        sum += (x[d] - y[d]) * (x[d] - y[d]);
    return std::sqrt(sum);
}

// The coarse path drawn at twice the resolution and widened by `radius`
// frames every way.
Band bandAround(const std::vector<WarpStep>& coarse, std::size_t rowsA, std::size_t colsB, std::size_t radius)
{
    Band projected{std::vector<std::size_t>(rowsA, colsB), std::vector<std::size_t>(rowsA, 0)};
    for (const WarpStep& s : coarse) {
        for (std::size_t i = 2 * s.a; i < std::min(2 * s.a + 2, rowsA); ++i) {
            projected.first[i] = std::min(projected.first[i], 2 * s.b);
            projected.last[i] = std::max(projected.last[i], std::min(2 * s.b + 1, colsB - 1));
        }
    }
    Band band{std::vector<std::size_t>(rowsA), std::vector<std::size_t>(rowsA)};
    for (std::size_t i = 0; i < rowsA; ++i) {
        // The rows within `radius` reach this far, and `radius` columns more.
        const std::size_t lowRow = i > radius ? i - radius : 0;
        const std::size_t highRow = std::min(i + radius, rowsA - 1);
        const std::size_t first = projected.first[lowRow];  // both bounds rise with the row
        const std::size_t last = projected.last[highRow];
        band.first[i] = first > radius ? first - radius : 0;
        band.last[i] = std::min(last + radius, colsB - 1);
    }
    return band;
}

std::vector<WarpStep> pathWithin(const Features& a, const Features& b, const Band& band)
{
    enum : std::uint8_t { Diagonal, Up, Left };
    const std::size_t rows = a.frames();
    std::vector<std::size_t> offset(rows + 1, 0);
    for (std::size_t i = 0; i < rows; ++i)
        offset[i + 1] = offset[i] + (band.last[i] - band.first[i] + 1);
    std::vector<std::uint8_t> from(offset[rows]);  // linear in the length: the band's width per row
    constexpr double kNone = std::numeric_limits<double>::infinity();
    std::vector<double> previous, current;
    std::size_t previousFirst = 0, previousLast = 0;
    for (std::size_t i = 0; i < rows; ++i) {
        const std::size_t first = band.first[i], last = band.last[i];
        current.assign(last - first + 1, kNone);
        for (std::size_t j = first; j <= last; ++j) {
            const double d = distance(a.frame(i), b.frame(j), a.dims());
            auto before = [&](std::size_t col) {
                return i > 0 && col >= previousFirst && col <= previousLast ? previous[col - previousFirst] : kNone;
            };
            double best = kNone;
            std::uint8_t step = Diagonal;
            if (i == 0 && j == 0)
                best = 0;
            if (j > 0 && before(j - 1) < best) {
                best = before(j - 1);
                step = Diagonal;
            }
            if (before(j) < best) {
                best = before(j);
                step = Up;
            }
            if (j > first && current[j - 1 - first] < best) {
                best = current[j - 1 - first];
                step = Left;
            }
            current[j - first] = best + d;
            from[offset[i] + (j - first)] = step;
        }
        previous.swap(current);
        previousFirst = first;
        previousLast = last;
    }
    std::vector<WarpStep> path;
    std::size_t i = rows - 1, j = b.frames() - 1;
    while (true) {
        path.push_back({i, j});
        if (i == 0 && j == 0)
            break;
        switch (from[offset[i] + (j - band.first[i])]) {
        case Diagonal: --i; --j; break;
        case Up: --i; break;
        default: --j; break;
        }
    }
    std::reverse(path.begin(), path.end());
    return path;
}

}  // namespace

std::vector<WarpStep> warpPath(const Features& a, const Features& b, std::size_t radius)
{
    if (a.frames() == 0 || b.frames() == 0)
        return {};
    if (std::max(a.frames(), b.frames()) <= kFullSearch || std::min(a.frames(), b.frames()) < 4) {
        const Band all{std::vector<std::size_t>(a.frames(), 0), std::vector<std::size_t>(a.frames(), b.frames() - 1)};
        return pathWithin(a, b, all);
    }
    const auto coarse = warpPath(halved(a), halved(b), radius);
    return pathWithin(a, b, bandAround(coarse, a.frames(), b.frames(), radius));
}

TimeMap::TimeMap(const std::vector<WarpStep>& path, double hopSeconds, double windowSeconds)
    : hop_(hopSeconds), centre_(windowSeconds / 2)
{
    std::vector<double> sum, count;
    for (const WarpStep& s : path) {
        if (s.a >= sum.size()) {
            sum.resize(s.a + 1, 0);
            count.resize(s.a + 1, 0);
        }
        sum[s.a] += double(s.b);
        count[s.a] += 1;
    }
    meanB_.resize(sum.size());
    for (std::size_t i = 0; i < sum.size(); ++i)
        meanB_[i] = count[i] > 0 ? sum[i] / count[i] : (i > 0 ? meanB_[i - 1] : 0);
}

double TimeMap::operator()(double secondsInA) const
{
    if (meanB_.empty())
        return secondsInA;
    // Outside the frames' centres time runs on at its own pace.
    const double x = (secondsInA - centre_) / hop_;
    const double last = double(meanB_.size() - 1);
    double y = 0;
    if (x <= 0)
        y = meanB_.front() + x;
    else if (x >= last)
        y = meanB_.back() + (x - last);
    else {
        const auto i = std::size_t(x);
        y = meanB_[i] + (x - double(i)) * (meanB_[i + 1] - meanB_[i]);
    }
    return std::max(0.0, centre_ + y * hop_);
}

}  // namespace vizmo::speech
