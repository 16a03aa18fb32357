#pragma once
// Quiet breathing: 12 to 20 breaths a minute, each breath a little longer or
// shorter and deeper or shallower than the last, the inhale (about 40 % of the
// breath) shorter than the exhale, which slows as it ends.

#include "components/player/motion/life_random.h"

namespace vizmo::player {

class Breathing {
public:
    explicit Breathing(quint32 seed);

    // -depth emptied .. +depth full (depth 0.65..1). Time must not go back.
    double at(double seconds);

    // Speech draws a quick breath at the start of a phrase, then speaks on the exhale.
    void breatheForPhrase(double seconds);

    // The breath in progress: when it started, how long it lasts, its inhale's share.
    double breathStart() const { return start_; }
    double breathPeriod() const { return period_; }
    double inhaleShare() const { return inhale_ / period_; }

private:
    void nextBreath(double start);

    LifeRandom random_;
    double start_ = 0;
    double period_ = 4.0;
    double inhale_ = 1.6;
    double depth_ = 0.9;
    double startLevel_ = 0;  // lung level at the breath's start, 0..1
};

}  // namespace vizmo::player
