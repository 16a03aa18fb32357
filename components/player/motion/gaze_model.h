#pragma once
// Where the face looks on its own, and how eyes and head share a gaze shift.
//
// Free gaze rests on the viewer and now and then glances away; each shift is
// a saccade of main-sequence speed, then a fixation held for a log-normal
// time. The eyes lead: a shift that leaves the eyes more than about 15 degrees
// off the head's direction brings the head along after a short lag, for part
// of the way (three quarters of the excess), slowly, while the eyes counter-
// roll to keep the gaze on its target. A gaze held by the host (tracking,
// sliders) keeps only fixational movements of a fraction of a degree.

#include "components/player/motion/life_random.h"
#include "components/player/motion/saccade.h"

#include <utility>
#include <vector>

namespace vizmo::player {

struct GazeState {
    GazeAngles eyes;  // the eyes' rotation in the head, degrees
    GazeAngles head;  // the head's turn (x) and lift (y, + up) that gaze added, degrees
};

class GazeModel {
public:
    // Eye rotation that stays within the head's share of a shift.
    static constexpr double kEyeOnlyRangeDeg = 15.0;
    static constexpr double kHeadShareOfExcess = 0.75;
    static constexpr double kHeadLagSeconds = 0.04;

    explicit GazeModel(quint32 seed);

    struct Shift {
        double seconds, amplitudeDeg;
    };
    // The gaze shifts started since the last call, oldest first.
    std::vector<Shift> takeShifts() { return std::exchange(shifts_, {}); }

    // Time must not go backwards between calls.
    GazeState at(double seconds, bool held);

    // Looks at `target` now (a speech glance) and back at the viewer after `holdSeconds`.
    void glance(double seconds, GazeAngles target, double holdSeconds);

    // The head's movement time for a turn of `amplitudeDeg`: much slower than the eyes.
    static double headDuration(double amplitudeDeg);

private:
    void shiftTo(double start, GazeAngles target, double holdSeconds, bool moveHead);
    void planNext(double start, bool held);

    LifeRandom random_;
    Movement gaze_;   // where the eyes and head together point
    Movement head_;
    double fixationEnd_ = 0.6;
    bool atViewer_ = true;
    bool wasHeld_ = false;
    bool returnNext_ = false;  // after a speech glance, back to the viewer
    std::vector<Shift> shifts_;
};

}  // namespace vizmo::player
