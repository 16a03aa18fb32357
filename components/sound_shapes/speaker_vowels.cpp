#include "components/sound_shapes/speaker_vowels.h"

#include <algorithm>
#include <cmath>

namespace vizmo::sound_shapes {

namespace {
constexpr double kQuantile = 0.25;  // the span is the lower to the upper quartile
constexpr double kGuessFrames = 30;
constexpr double kKept = 1 - 1 / SpeakerVowels::kMemoryFrames;  // a vowel's weight, a vowel later
}  // namespace

SpeakerVowels::Span::Span(double low, double high, double lowest, double highest, double bin, double narrowest)
    : lowest_(lowest), bin_(bin), narrowest_(narrowest),
      weights_(std::size_t(std::ceil((highest - lowest) / bin)), 0.0), low_(low), high_(high)
{
    // Evenly from half a span below the guessed quartiles to half above:
    // the guess's own quartiles are the guessed ones.
    const double from = low - (high - low) / 2, to = high + (high - low) / 2;
    const auto first = std::size_t((from - lowest) / bin), last = std::size_t((to - lowest) / bin);
    for (std::size_t i = first; i <= last; ++i)
        weights_[i] = kGuessFrames / double(last - first + 1);
    total_ = kGuessFrames;
    low_ = quantile(kQuantile);
    high_ = quantile(1 - kQuantile);
    median_ = quantile(0.5);
}

void SpeakerVowels::Span::add(double value)
{
    for (double& w : weights_)
        w *= kKept;
    total_ = total_ * kKept + 1;
    const double at = std::clamp((value - lowest_) / bin_, 0.0, double(weights_.size()) - 1);
    weights_[std::size_t(at)] += 1;
    low_ = quantile(kQuantile);
    high_ = quantile(1 - kQuantile);
    median_ = quantile(0.5);
}

// The value under which a share `q` of the weight lies, spread evenly within a bin.
double SpeakerVowels::Span::quantile(double q) const
{
    const double wanted = q * total_;
    double below = 0;
    for (std::size_t i = 0; i < weights_.size(); ++i) {
        if (below + weights_[i] >= wanted && weights_[i] > 0)
            return lowest_ + bin_ * (double(i) + (wanted - below) / weights_[i]);
        below += weights_[i];
    }
    return lowest_ + bin_ * double(weights_.size());
}

double SpeakerVowels::Span::position(double value) const
{
    const double half = std::max(high_ - low_, narrowest_) / 2;
    return (value - (middle() - half)) / (2 * half);
}

// Resonances from 100 Hz to 5 kHz, in steps of 2 %; brightness from -50 dB
// to +40 in steps of half a decibel. A span narrower than e ^ 0.3 (a speaker
// heard on one vowel so far), or 5 dB, is widened about its middle, so that
// small differences do not look like the whole range.
SpeakerVowels::SpeakerVowels()
    : f1_(6.0, 6.55, std::log(100.0), std::log(5000.0), 0.02, 0.3),
      f2_(7.1, 7.65, std::log(100.0), std::log(5000.0), 0.02, 0.3),
      brightness_(-10, 2, -50, 40, 0.5, 5)
{
}

void SpeakerVowels::add(double f1, double f2, double brightness)
{
    if (f1 <= 0 || f2 <= 0)
        return;
    f1_.add(std::log(f1));
    f2_.add(std::log(f2));
    brightness_.add(brightness);
}

double SpeakerVowels::firstRatio(double f1) const { return std::exp(std::log(f1) - f1_.median()); }
double SpeakerVowels::secondRatio(double f2) const { return std::exp(std::log(f2) - f2_.median()); }
double SpeakerVowels::brightnessPosition(double brightness) const { return brightness_.position(brightness); }

}  // namespace vizmo::sound_shapes
