#include "components/player/motion/smooth_noise.h"

#include "components/player/motion/life_random.h"

#include <cmath>

namespace vizmo::player {

SmoothNoise::SmoothNoise(quint32 seed)
{
    LifeRandom random(seed);
    for (double& g : gradients_)
        g = random.uniform(-1.0, 1.0);
}

double SmoothNoise::octave(double t) const
{
    const double cell = std::floor(t);
    const double f = t - cell;
    const auto i = static_cast<std::size_t>(static_cast<long long>(cell) & 255);
    const double g0 = gradients_[i], g1 = gradients_[(i + 1) & 255];
    // Quintic fade: continuous velocity and acceleration across cells.
    const double fade = f * f * f * (f * (f * 6 - 15) + 10);
    return 2.0 * (g0 * f + (g1 * (f - 1) - g0 * f) * fade);
}

double SmoothNoise::at(double t) const
{
    return (octave(t) + 0.35 * octave(2.13 * t + 17.0)) / 1.35;
}

}  // namespace vizmo::player
