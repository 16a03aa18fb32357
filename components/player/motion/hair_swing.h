#pragma once
// Hair hangs from the head and lags it: a damped spring (about 1.3 Hz, well
// under critical damping) pulled along by the head's turn, nod and tilt. The
// swing is how far the hair trails behind the head, in the pose's units.

#include <array>

namespace vizmo::player {

class HairSwing {
public:
    // The head's pose (turn, nod, tilt) at `seconds`; returns the hair's lag
    // behind it for each. Time must not go backwards.
    std::array<double, 3> at(double seconds, const std::array<double, 3>& head);

private:
    std::array<double, 3> hair_{}, velocity_{};
    double time_ = -1.0;
};

}  // namespace vizmo::player
