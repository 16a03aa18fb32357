#include "components/player/motion/hair_swing.h"

#include <algorithm>

namespace vizmo::player {

namespace {
constexpr double kStiffness = 66.0;   // (2 pi 1.3 Hz)^2
constexpr double kDamping = 4.6;      // 2 zeta omega, zeta about 0.28
constexpr double kStepSeconds = 0.004;
}  // namespace

std::array<double, 3> HairSwing::at(double t, const std::array<double, 3>& head)
{
    if (time_ < 0 || t - time_ > 1.0) {
        hair_ = head;  // first call, or after a long pause: the hair hangs still
        velocity_ = {};
        time_ = t;
    }
    // Fixed small steps keep the spring the same at every frame rate.
    for (; time_ + kStepSeconds <= t; time_ += kStepSeconds) {
        for (std::size_t i = 0; i < 3; ++i) {
            velocity_[i] += (kStiffness * (head[i] - hair_[i]) - kDamping * velocity_[i]) * kStepSeconds;
            hair_[i] += velocity_[i] * kStepSeconds;
        }
    }
    std::array<double, 3> lag{};
    for (std::size_t i = 0; i < 3; ++i)
        lag[i] = std::clamp(hair_[i] - head[i], -0.5, 0.5);
    return lag;
}

}  // namespace vizmo::player
