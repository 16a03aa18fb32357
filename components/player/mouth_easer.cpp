#include "components/player/mouth_easer.h"

namespace vizmo::player {

void MouthEaser::setTarget(const MouthShape& target, double nowMs, double blendMs)
{
    from_ = at(nowMs);
    to_ = target;
    startMs_ = nowMs;
    blendMs_ = blendMs;
}

MouthShape MouthEaser::at(double nowMs) const
{
    if (blendMs_ <= 0 || nowMs >= startMs_ + blendMs_)
        return to_;
    return lerp(from_, to_, smoothStep((nowMs - startMs_) / blendMs_));
}

}  // namespace vizmo::player
