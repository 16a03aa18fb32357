#pragma once
// Tells whether a frame would look different from the last one drawn. A frame
// is listed as its moving measures, each scaled to the device pixels that one
// unit of it moves on screen (generously: a measure never moves more than it
// says). A frame differs when any of them moved by more than a quarter of a
// pixel, so a face that holds still, or moves too slowly to show, is not
// drawn again.

#include "components/player/motion/face_pose.h"

#include <vector>

namespace vizmo::player {

using FrameMeasures = std::vector<double>;

// The pose's measures for a face whose shorter side is `sidePx` device pixels.
FrameMeasures frameMeasures(const FacePose& pose, double sidePx);

class FrameGate {
public:
    static constexpr double kThresholdPx = 0.25;

    bool differs(const FrameMeasures& next) const;
    void drawn(FrameMeasures measures) { drawn_ = std::move(measures); }
    // The next frame differs whatever it holds (something not measured changed).
    void invalidate() { drawn_.clear(); }

private:
    FrameMeasures drawn_;
};

}  // namespace vizmo::player
