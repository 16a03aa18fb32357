#pragma once
// One-dimensional gradient noise: a smooth random curve with no visible
// period, for slow drifts (the head at rest). Values stay within about -1..1.

#include <QtGlobal>

#include <array>

namespace vizmo::player {

class SmoothNoise {
public:
    explicit SmoothNoise(quint32 seed);

    // Two octaves; `t` in the noise's own units (one unit is one lattice step).
    double at(double t) const;

private:
    double octave(double t) const;

    std::array<double, 256> gradients_{};
};

}  // namespace vizmo::player
