#include "components/player/motion/blink_scheduler.h"

#include "components/player/motion/envelope.h"

#include <algorithm>

namespace vizmo::player {

namespace {
// A new blink needs the last one over and a moment more.
constexpr double kRefractorySeconds = 0.6;
constexpr double kDoubleBlinkGap = 0.45;
}  // namespace

BlinkScheduler::BlinkScheduler(quint32 seed) : random_(seed)
{
    nextTimed_ = random_.uniform(0.5, 3.0);
}

double BlinkScheduler::curve(double t)
{
    return riseHoldFall(t, 0.1, 0.05, 0.15);
}

double BlinkScheduler::blinkProbability(double gazeShiftDeg)
{
    // Shifts that the eyes make alone rarely come with a blink; those that
    // turn the head mostly do.
    return 0.85 * smoothStep((gazeShiftDeg - 12.0) / 25.0);
}

void BlinkScheduler::blinkAt(double t, bool timed)
{
    // A double blink's second half is timed inside the refractory time on purpose.
    if (!timed && t - lastStart_ < kRefractorySeconds)
        return;
    lastStart_ = t;
    // The clock of timed blinks starts again from this one.
    nextTimed_ = t + (random_.chance(0.1) ? kDoubleBlinkGap : random_.logNormal(3.8, 0.3, 2.0, 7.0));
}

void BlinkScheduler::gazeShift(double t, double amplitudeDeg)
{
    if (random_.chance(blinkProbability(amplitudeDeg)))
        blinkAt(t, false);
}

void BlinkScheduler::phraseEnd(double t)
{
    if (random_.chance(0.7))
        blinkAt(t, false);
}

double BlinkScheduler::at(double t)
{
    nextTimed_ = std::max(nextTimed_, t - 8.0);  // a clock that jumped
    while (t >= nextTimed_)
        blinkAt(nextTimed_, true);
    return curve(t - lastStart_);
}

}  // namespace vizmo::player
