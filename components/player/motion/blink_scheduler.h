#pragma once
// When the eyes blink: on their own about every 4 s (2 to 7 s apart, now and
// then a double blink), with most wide gaze shifts, and often at the end of a
// spoken phrase. A blink takes about 0.3 s: closing 0.1 s, closed 0.05 s,
// opening 0.15 s.

#include "components/player/motion/life_random.h"

namespace vizmo::player {

class BlinkScheduler {
public:
    explicit BlinkScheduler(quint32 seed);

    // 0 open .. 1 closed. Time must not go backwards.
    double at(double seconds);

    // A gaze shift of `amplitudeDeg` starting now: the wider, the likelier a blink with it.
    void gazeShift(double seconds, double amplitudeDeg);
    // The end of a spoken phrase.
    void phraseEnd(double seconds);

    static double curve(double sinceStart);
    static double blinkProbability(double gazeShiftDeg);

private:
    void blinkAt(double seconds, bool timed);

    LifeRandom random_;
    double lastStart_ = -10.0;
    double nextTimed_ = 1.5;
};

}  // namespace vizmo::player
