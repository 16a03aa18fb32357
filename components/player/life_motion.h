#pragma once
// The small motions of a living face, layered on top of script and posing:
// blinks at natural random intervals (LifeMode 1), breathing (2), idle head
// sway and eye saccades (3). Driven by elapsed time, so any frame rate shows
// the same motion.

#include <QRandomGenerator>

namespace vizmo::player {

struct LifeOffsets {
    double blink = 0;                 // 0..1
    double breath = 0;                // -1..1
    double headX = 0, headY = 0, headZ = 0;  // added to the pose, -1..1 units
    double eyeX = 0, eyeY = 0;
};

class LifeMotion {
public:
    explicit LifeMotion(quint32 seed = 0x5eed);

    void setMode(int mode) { mode_ = mode; }
    int mode() const { return mode_; }

    // Time must not go backwards between calls.
    LifeOffsets at(double seconds);

    // A blink takes 0.3 s: closing 0.1 s, closed 0.05 s, opening 0.15 s.
    static double blinkCurve(double sinceStart);

private:
    double uniform(double low, double high) { return low + (high - low) * random_.generateDouble(); }

    QRandomGenerator random_;
    int mode_ = 0;
    double nextBlink_ = 1.5;
    double blinkStart_ = -10.0;
    double nextSaccade_ = 0.8;
    double saccadeX_ = 0, saccadeY_ = 0;
    double eyeX_ = 0, eyeY_ = 0;
    double lastTime_ = 0;
};

}  // namespace vizmo::player
