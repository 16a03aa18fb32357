#include "components/player/motion/mouth_easer.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vizmo::player {

namespace {

// A critically damped spring is 90 % of the way after 3.89 / omega.
constexpr double kNinetyPercent = 3.8897;

// The seven measures of a shape, in a fixed order, for arithmetic on all of them.
std::array<double*, 7> measures(MouthShape& s)
{
    return {&s.open, &s.width, &s.round, &s.teeth, &s.tongue, &s.press, &s.lipBite};
}
std::array<const double*, 7> measures(const MouthShape& s)
{
    return {&s.open, &s.width, &s.round, &s.teeth, &s.tongue, &s.press, &s.lipBite};
}

}  // namespace

void MouthEaser::setTarget(const MouthShape& target, double nowMs, double settleMs)
{
    const Motion now = motionAt(nowMs);
    from_ = now.position;
    speed_ = now.velocity;
    to_ = target;
    startMs_ = nowMs;
    omega_ = settleMs > 0 ? kNinetyPercent / settleMs : 0;
    if (omega_ == 0) {
        from_ = target;
        speed_ = {};
    }
}

MouthShape MouthEaser::at(double nowMs) const { return motionAt(nowMs).position; }

void MouthEaser::reset(const MouthShape& shape)
{
    *this = MouthEaser();
    from_ = to_ = shape;
}

MouthEaser::Motion MouthEaser::motionAt(double nowMs) const
{
    if (omega_ == 0)
        return {to_, {}};
    const double u = std::max(0.0, nowMs - startMs_);
    const double decay = std::exp(-omega_ * u);
    Motion m;
    const auto x0 = measures(from_), v0 = measures(speed_), target = measures(to_);
    const auto x = measures(m.position), v = measures(m.velocity);
    for (std::size_t i = 0; i < x.size(); ++i) {
        // x(u) = T + (c1 + c2 u) e^(-w u), with c1 = x0 - T and c2 = v0 + w c1.
        const double c1 = *x0[i] - *target[i];
        const double c2 = *v0[i] + omega_ * c1;
        *x[i] = *target[i] + (c1 + c2 * u) * decay;
        *v[i] = (c2 - omega_ * (c1 + c2 * u)) * decay;
    }
    return m;
}

}  // namespace vizmo::player
