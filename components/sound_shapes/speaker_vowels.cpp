#include "components/sound_shapes/speaker_vowels.h"

#include <algorithm>
#include <cmath>

namespace vizmo::sound_shapes {

namespace {
constexpr double kStep = 0.02;      // of the logarithm: 2 % a frame at most
constexpr double kQuantile = 0.25;  // the span is the lower to the upper quartile
// A span narrower than this (a speaker heard on one vowel so far) is widened
// about its middle, so that small differences do not look like the whole range.
constexpr double kNarrowest = 0.3;  // e ^ 0.3: 1.35 times
}  // namespace

void SpeakerVowels::Span::add(double logValue)
{
    low += logValue < low ? -kStep * (1 - kQuantile) : kStep * kQuantile;
    high += logValue > high ? kStep * (1 - kQuantile) : -kStep * kQuantile;
}

double SpeakerVowels::Span::position(double logValue) const
{
    const double half = std::max(high - low, kNarrowest) / 2;
    return (logValue - (middle() - half)) / (2 * half);
}

void SpeakerVowels::add(double f1, double f2)
{
    if (f1 <= 0 || f2 <= 0)
        return;
    f1_.add(std::log(f1));
    f2_.add(std::log(f2));
}

double SpeakerVowels::firstRatio(double f1) const { return std::exp(std::log(f1) - f1_.middle()); }
double SpeakerVowels::secondRatio(double f2) const { return std::exp(std::log(f2) - f2_.middle()); }
double SpeakerVowels::frontness(double f2) const { return f2_.position(std::log(f2)); }

}  // namespace vizmo::sound_shapes
