#include "boundary_comparison.h"

#include <algorithm>
#include <cmath>

namespace vizmo::speech {

namespace {

enum class Broad { Silence, Vowel, Stop, Fricative, Nasal, Approximant };

// By the phone's features, which both engines' phones carry.
Broad broadOf(const PhoneMark& p)
{
    const PhoneFeatures& f = p.sound;
    if (f.isPause())
        return Broad::Silence;
    if (f.isVowel() || f.syllabic)
        return Broad::Vowel;
    switch (f.manner) {
    case Manner::Stop: case Manner::Tap: case Manner::Click: return Broad::Stop;
    case Manner::Nasal: return Broad::Nasal;
    case Manner::Fricative: case Manner::Affricate: case Manner::LateralFricative: return Broad::Fricative;
    default: return Broad::Approximant;  // approximants, laterals, trills
    }
}

double ms(std::int64_t sample, int rate) { return double(sample) * 1000.0 / rate; }

}  // namespace

BoundaryErrors compareBoundaries(const TimedSpeech& reference, const TimedSpeech& found)
{
    const auto& a = reference.phones;
    const auto& b = found.phones;
    const std::size_t n = a.size(), m = b.size();
    // Edit distance: a pair of one class costs nothing, of two classes 1, a phone left out 1.
    std::vector<std::vector<int>> cost(n + 1, std::vector<int>(m + 1, 0));
    for (std::size_t i = 0; i <= n; ++i)
        cost[i][0] = int(i);
    for (std::size_t j = 0; j <= m; ++j)
        cost[0][j] = int(j);
    for (std::size_t i = 1; i <= n; ++i) {
        for (std::size_t j = 1; j <= m; ++j) {
            const int pair = broadOf(a[i - 1]) == broadOf(b[j - 1]) ? 0 : 1;
            cost[i][j] = std::min({cost[i - 1][j - 1] + pair, cost[i - 1][j] + 1, cost[i][j - 1] + 1});
        }
    }
    BoundaryErrors out;
    for (const PhoneMark& p : a)
        out.referencePhones += broadOf(p) != Broad::Silence;
    for (std::size_t i = n, j = m; i > 0 && j > 0;) {
        const bool same = broadOf(a[i - 1]) == broadOf(b[j - 1]);
        if (cost[i][j] == cost[i - 1][j - 1] + (same ? 0 : 1)) {
            if (same && broadOf(a[i - 1]) != Broad::Silence) {
                out.phoneMs.push_back(ms(b[j - 1].startSample, found.rate) - ms(a[i - 1].startSample, reference.rate));
                out.stop.push_back(broadOf(a[i - 1]) == Broad::Stop);
                out.nasalOpen.push_back(broadOf(a[i - 1]) == Broad::Vowel && i >= 2 && broadOf(a[i - 2]) == Broad::Nasal);
            }
            --i;
            --j;
        } else if (cost[i][j] == cost[i - 1][j] + 1) {
            --i;
        } else {
            --j;
        }
    }
    for (const WordMark& known : reference.words) {
        const auto match = std::find_if(found.words.begin(), found.words.end(),
                                        [&](const WordMark& w) { return w.start == known.start; });
        if (match != found.words.end())
            out.wordMs.push_back(ms(match->startSample, found.rate) - ms(known.startSample, reference.rate));
    }
    return out;
}

double quantileOfAbs(std::vector<double> values, double q)
{
    if (values.empty())
        return 0;
    for (double& x : values)
        x = std::abs(x);
    std::sort(values.begin(), values.end());
    const double at = q * double(values.size() - 1);
    const auto i = std::size_t(at);
    return i + 1 < values.size() ? values[i] + (at - double(i)) * (values[i + 1] - values[i]) : values[i];
}

}  // namespace vizmo::speech
