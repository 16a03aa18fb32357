#pragma once
// A gesture's course in time: eases up over `rise`, holds, eases down over
// `fall`; 0 before and after. Blinks and speech accents share the shape.

#include "components/player/motion/mouth_shape.h"

namespace vizmo::player {

inline double riseHoldFall(double t, double rise, double hold, double fall)
{
    if (t < 0.0 || t >= rise + hold + fall)
        return 0.0;
    if (t < rise)
        return smoothStep(t / rise);
    if (t < rise + hold)
        return 1.0;
    return 1.0 - smoothStep((t - rise - hold) / fall);
}

}  // namespace vizmo::player
