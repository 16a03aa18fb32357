#include "components/player/life_motion.h"

#include "components/player/mouth_shape.h"

#include <algorithm>
#include <cmath>

namespace vizmo::player {

namespace {
constexpr double kTwoPi = 6.283185307179586;
constexpr double kBreathPeriod = 3.6;
}  // namespace

LifeMotion::LifeMotion(quint32 seed) : random_(seed) {}

double LifeMotion::blinkCurve(double t)
{
    if (t < 0.0 || t >= 0.3)
        return 0.0;
    if (t < 0.1)
        return smoothStep(t / 0.1);
    if (t < 0.15)
        return 1.0;
    return 1.0 - smoothStep((t - 0.15) / 0.15);
}

LifeOffsets LifeMotion::at(double t)
{
    LifeOffsets out;
    const double dt = std::clamp(t - lastTime_, 0.0, 0.25);
    lastTime_ = t;
    if (mode_ <= 0)
        return out;

    if (t >= nextBlink_) {
        blinkStart_ = t;
        // Intervals between blinks are 2 to 6 s; now and then a double blink.
        nextBlink_ = t + (random_.bounded(8) == 0 ? 0.45 : uniform(2.0, 6.0));
    }
    out.blink = blinkCurve(t - blinkStart_);

    if (mode_ >= 2)
        out.breath = std::sin(kTwoPi * t / kBreathPeriod);

    if (mode_ >= 3) {
        // Sums of slow incommensurate sines never visibly repeat.
        out.headX = 0.06 * std::sin(kTwoPi * t / 7.3) + 0.03 * std::sin(kTwoPi * t / 3.1 + 1.0);
        out.headY = 0.04 * std::sin(kTwoPi * t / 5.7 + 2.0) + 0.015 * out.breath;
        out.headZ = 0.05 * std::sin(kTwoPi * t / 9.1 + 0.5);
        if (t >= nextSaccade_) {
            saccadeX_ = uniform(-0.18, 0.18);
            saccadeY_ = uniform(-0.10, 0.10);
            nextSaccade_ = t + uniform(0.4, 2.5);
        }
        // Saccades are fast: about 50 ms to the new target.
        const double follow = 1.0 - std::exp(-dt / 0.05);
        eyeX_ += (saccadeX_ - eyeX_) * follow;
        eyeY_ += (saccadeY_ - eyeY_) * follow;
        out.eyeX = eyeX_;
        out.eyeY = eyeY_;
    }
    return out;
}

}  // namespace vizmo::player
