#include "components/player/motion/saccade.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vizmo::player {

double distance(GazeAngles a, GazeAngles b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

double saccade::duration(double amplitudeDeg)
{
    return kBaseSeconds + kSecondsPerDegree * std::abs(amplitudeDeg);
}

double saccade::peakVelocity(double amplitudeDeg)
{
    return std::numbers::pi / 2.0 * std::abs(amplitudeDeg) / duration(amplitudeDeg);
}

GazeAngles Movement::at(double seconds) const
{
    if (duration <= 0 || seconds >= start + duration)
        return to;
    if (seconds <= start)
        return from;
    const double part = 0.5 - 0.5 * std::cos(std::numbers::pi * (seconds - start) / duration);
    return {from.x + (to.x - from.x) * part, from.y + (to.y - from.y) * part};
}

Movement saccadeTo(GazeAngles from, GazeAngles to, double start)
{
    return {from, to, start, saccade::duration(distance(from, to))};
}

}  // namespace vizmo::player
