#include "components/player/motion/breathing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vizmo::player {

namespace {
constexpr double kShortestPeriod = 3.0;  // 20 breaths a minute
constexpr double kLongestPeriod = 5.0;   // 12
}  // namespace

Breathing::Breathing(quint32 seed) : random_(seed)
{
    period_ = random_.uniform(kShortestPeriod, kLongestPeriod);
    nextBreath(random_.uniform(-period_, 0.0));
}

void Breathing::nextBreath(double start)
{
    start_ = start;
    startLevel_ = 0;
    // Each breath wanders from the last instead of being drawn afresh: rate
    // changes gradually, as it does in a person at rest.
    period_ = std::clamp(period_ + random_.normal(0, 0.45), kShortestPeriod, kLongestPeriod);
    inhale_ = period_ * std::clamp(random_.normal(0.40, 0.03), 0.33, 0.46);
    depth_ = std::clamp(random_.normal(0.85, 0.08), 0.65, 1.0);
}

void Breathing::breatheForPhrase(double t)
{
    const double part = t - start_;
    if (part < inhale_ * 0.8)
        return;  // already breathing in
    const double level = 0.5 * (at(t) / depth_ + 1.0);
    start_ = t;
    startLevel_ = std::clamp(level, 0.0, 1.0);
    inhale_ = 0.45;
    // The exhale carries the phrase: long and slow.
    period_ = inhale_ + random_.uniform(3.5, 5.0);
    depth_ = std::clamp(random_.normal(0.95, 0.05), 0.8, 1.0);
}

double Breathing::at(double t)
{
    if (t - start_ > 2 * kLongestPeriod + 5.0)
        nextBreath(t);  // the clock jumped
    while (t >= start_ + period_)
        nextBreath(start_ + period_);
    const double x = t - start_;
    double level;
    if (x < inhale_) {
        const double part = 0.5 - 0.5 * std::cos(std::numbers::pi * x / inhale_);
        level = startLevel_ + (1.0 - startLevel_) * part;
    } else {
        // Passive exhale: quick at first, easing off into the pause before the next breath.
        const double part = std::pow((x - inhale_) / (period_ - inhale_), 0.7);
        level = 0.5 + 0.5 * std::cos(std::numbers::pi * part);
    }
    return depth_ * (2.0 * level - 1.0);
}

}  // namespace vizmo::player
