#include "components/player/motion/gaze_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace vizmo::player {

namespace {
// Fixations while looking around; looks at the viewer last longer.
constexpr double kGlanceFixationMedian = 0.35;
constexpr double kViewerFixationMedian = 1.4;
// Fixational (micro)saccades under a held gaze.
constexpr double kMicroSaccadeMaxDeg = 0.4;
}  // namespace

GazeModel::GazeModel(quint32 seed) : random_(seed) {}

double GazeModel::headDuration(double amplitudeDeg)
{
    return 0.15 + 0.008 * std::abs(amplitudeDeg);
}

void GazeModel::shiftTo(double start, GazeAngles target, double holdSeconds, bool moveHead)
{
    const GazeAngles from = gaze_.at(start);
    gaze_ = saccadeTo(from, target, start);
    fixationEnd_ = gaze_.start + gaze_.duration + holdSeconds;
    shifts_.push_back({start, distance(from, target)});
    if (!moveHead)
        return;
    // The head takes part of whatever the shift leaves beyond the eyes' easy range.
    const GazeAngles head = head_.at(start);
    const double offHead = distance(target, head);
    GazeAngles goal = head;
    if (atViewer_) {
        goal = {};  // facing the viewer again
    } else if (offHead > kEyeOnlyRangeDeg) {
        const double part = kHeadShareOfExcess * (offHead - kEyeOnlyRangeDeg) / offHead;
        goal = {head.x + (target.x - head.x) * part, head.y + (target.y - head.y) * part};
    }
    if (distance(goal, head) > 0.01)
        head_ = {head, goal, start + kHeadLagSeconds, headDuration(distance(goal, head))};
}

void GazeModel::planNext(double start, bool held)
{
    if (held) {
        // Fixational movements: a fraction of a degree around the target.
        const double angle = random_.uniform(0, 2 * std::numbers::pi), size = random_.uniform(0.05, kMicroSaccadeMaxDeg);
        shiftTo(start, {size * std::cos(angle), size * std::sin(angle)}, random_.logNormal(0.8, 0.4, 0.3, 2.5), false);
        return;
    }
    // From the viewer the gaze glances away; from a glance it glances on or comes back.
    if (!atViewer_ && (std::exchange(returnNext_, false) || random_.chance(0.6))) {
        atViewer_ = true;
        shiftTo(start, {random_.normal(0, 0.8), random_.normal(0, 0.6)},
                random_.logNormal(kViewerFixationMedian, 0.5, 0.4, 5.0), true);
        return;
    }
    atViewer_ = false;
    // Glances are mostly small, now and then wide enough to bring the head along.
    const double size = 2.0 + random_.logNormal(7.0, 0.7, 0.0, 38.0);
    const double angle = random_.uniform(0, 2 * std::numbers::pi);
    const GazeAngles from = gaze_.at(start);
    const GazeAngles target{std::clamp(from.x + size * std::cos(angle), -40.0, 40.0),
                            std::clamp(from.y + 0.6 * size * std::sin(angle), -18.0, 18.0)};
    shiftTo(start, target, random_.logNormal(kGlanceFixationMedian, 0.45, 0.12, 1.5), true);
}

void GazeModel::glance(double seconds, GazeAngles target, double holdSeconds)
{
    atViewer_ = false;
    shiftTo(seconds, target, holdSeconds, true);
    returnNext_ = true;
}

GazeState GazeModel::at(double t, bool held)
{
    if (held != wasHeld_) {
        wasHeld_ = held;
        // The host takes the gaze: life lets go of it at once and the head recentres.
        atViewer_ = true;
        shiftTo(t, {}, held ? random_.logNormal(0.8, 0.4, 0.3, 2.5) : random_.logNormal(0.6, 0.4, 0.2, 2.0), true);
    }
    // A long gap (a clock that jumped) resumes from now instead of replaying it.
    fixationEnd_ = std::max(fixationEnd_, t - 5.0);
    while (t >= fixationEnd_)
        planNext(fixationEnd_, held);
    const GazeAngles gaze = gaze_.at(t), head = head_.at(t);
    return {{gaze.x - head.x, gaze.y - head.y}, head};
}

}  // namespace vizmo::player
