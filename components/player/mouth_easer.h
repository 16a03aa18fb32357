#pragma once
// The speech input's mouth: each new target is reached by easing from
// wherever the mouth is at that moment, so targets that arrive before the
// previous blend ends still give a continuous motion.

#include "components/player/mouth_shape.h"

namespace vizmo::player {

class MouthEaser {
public:
    void setTarget(const MouthShape& target, double nowMs, double blendMs);
    MouthShape at(double nowMs) const;
    void reset() { *this = MouthEaser(); }

private:
    MouthShape from_;
    MouthShape to_;
    double startMs_ = 0;
    double blendMs_ = 0;
};

}  // namespace vizmo::player
