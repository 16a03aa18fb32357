#pragma once
// The mouth's motion: every measure follows a critically damped spring
// towards the current target. A new target starts from the mouth's position
// and speed at that moment, never from rest, so shapes that come faster than
// they are reached still give one continuous motion, and none overshoots.

#include "components/player/motion/mouth_shape.h"

namespace vizmo::player {

class MouthEaser {
public:
    // From `nowMs` on, head for `target`, getting 90 % of the way in `settleMs`
    // (0 jumps there at once).
    void setTarget(const MouthShape& target, double nowMs, double settleMs);
    // Where the mouth is at `nowMs` (not before the last setTarget).
    MouthShape at(double nowMs) const;
    // At rest on `shape`, not moving.
    void reset(const MouthShape& shape = {});

private:
    struct Motion {
        MouthShape position;
        MouthShape velocity;  // per millisecond
    };
    Motion motionAt(double nowMs) const;

    MouthShape from_;
    MouthShape speed_;  // per millisecond, at startMs_
    MouthShape to_;
    double startMs_ = 0;
    double omega_ = 0;  // per millisecond; 0: already there
};

}  // namespace vizmo::player
