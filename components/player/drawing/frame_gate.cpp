#include "components/player/drawing/frame_gate.h"

#include <cmath>

namespace vizmo::player {

FrameMeasures frameMeasures(const FacePose& pose, double sidePx)
{
    // Upper bounds of how far one unit moves the farthest point it moves, as
    // parts of the face's side: a head turn (0.6 rad) the nose tip, a tilt
    // (20 degrees) the crown, a hair swing the hair's ends, a gaze unit the
    // iris, a breath the head and shoulders (besides its share of them).
    const double head = 0.17 * sidePx, hair = 0.2 * sidePx, feature = 0.06 * sidePx, shoulder = 0.045 * sidePx,
                 breath = 0.012 * sidePx;
    FrameMeasures m{pose.headX * head,         pose.headY * head,          pose.headZ * head,
                    pose.blink * feature,      pose.browRaise * feature,   pose.shoulderLeft * shoulder,
                    pose.shoulderRight * shoulder, pose.breath * breath,   pose.hairX * hair,
                    pose.hairY * hair,         pose.hairZ * hair};
    for (const auto& eye : pose.eyes)
        m.insert(m.end(), {eye.x * feature, eye.y * feature, eye.wink * feature});
    for (double e : pose.expressions)
        m.push_back(e * feature);
    const MouthShape& mouth = pose.mouth;
    m.insert(m.end(), {mouth.open * feature, mouth.width * feature, mouth.round * feature, mouth.teeth * feature,
                       mouth.tongue * feature, mouth.press * feature, mouth.lipBite * feature});
    return m;
}

bool FrameGate::differs(const FrameMeasures& next) const
{
    if (next.size() != drawn_.size())
        return true;
    for (std::size_t i = 0; i < next.size(); ++i) {
        if (std::abs(next[i] - drawn_[i]) > kThresholdPx)
            return true;
    }
    return false;
}

}  // namespace vizmo::player
