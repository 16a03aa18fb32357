#include "components/player/frame_gate.h"

#include <cmath>

namespace vizmo::player {

bool FrameGate::passes()
{
    bool changed = next_.size() != shown_.size();
    for (std::size_t i = 0; i < next_.size() && !changed; ++i)
        changed = std::abs(next_[i] - shown_[i]) > kThresholdPx;
    if (changed)
        shown_.swap(next_);
    next_.clear();
    return changed;
}

}  // namespace vizmo::player
