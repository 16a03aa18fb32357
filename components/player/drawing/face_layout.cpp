#include "components/player/drawing/face_layout.h"

#include <algorithm>
#include <cmath>

namespace vizmo::player {

namespace {

double weight(const FacePose& pose, Expression e) { return std::clamp(pose.expressions[std::size_t(e)], 0.0, 1.0); }

ExpressionWeights readWeights(const FacePose& pose)
{
    return {weight(pose, Expression::Smile), weight(pose, Expression::Surprise), weight(pose, Expression::Sad),
            weight(pose, Expression::Angry),
            std::clamp(std::max(pose.blink, weight(pose, Expression::Blink)), 0.0, 1.0)};
}

}  // namespace

FaceLayout layOutFace(const FaceModel& model, const FacePose& pose)
{
    const double yaw = std::clamp(pose.headX, -1.0, 1.0) * kMaxYaw;
    const double pitch = std::clamp(pose.headY, -1.0, 1.0) * kMaxPitch;
    const double ry = 0.50;
    const double rx = ry * (0.70 + 0.16 * model.faceWidth);
    // Breathing lifts the whole head a little with the chest.
    const QPointF centre(0.0, -0.14 - 0.010 * pose.breath + 0.04 * std::sin(pitch));
    const HeadProjection head(centre, rx, ry, yaw, pitch);
    const ExpressionWeights w = readWeights(pose);
    const double mouthOpen = std::clamp(std::max(pose.mouth.open, 0.35 * w.surprise) * (1.0 - pose.mouth.press), 0.0, 1.0);
    // The jaw drops with the opening: the chin and the lower face go down with it.
    const double jawDrop = 0.09 * mouthOpen;
    const double chinLength = (0.98 + 0.16 * model.chin + jawDrop) * (1.0 - 0.08 * std::sin(-pitch));

    const double eyeWidth = 0.070 + 0.030 * model.eyeSize;
    // The upper lid follows its eye down; a wink or a blink closes it the rest of the way.
    std::array<double, 2> cover{};
    for (std::size_t e = 0; e < 2; ++e) {
        const double upper = std::clamp(0.03 + 0.28 * w.angry + 0.18 * w.sad + 0.15 * w.smile - 0.15 * w.surprise +
                                            0.08 * std::max(0.0, -pose.eyes[e].y),
                                        0.0, 1.0);
        const double shut = std::max(w.blink, pose.eyes[e].wink);
        cover[e] = upper + (1.0 - upper) * shut;
    }
    return FaceLayout{
        .head = head,
        .outline = headOutline(head, model, chinLength),
        .roll = std::clamp(pose.headZ, -1.0, 1.0) * kMaxRoll,
        .pivot = QPointF(0.0, centre.y() + ry * 0.9),
        .neckBase = QPointF(0.0, centre.y() + ry * 0.95),
        .weights = w,
        .eyeSpacing = 0.33 + 0.10 * model.eyeSpacing,
        .eyeWidth = eyeWidth,
        .eyeHeight = eyeWidth * (0.68 + 0.25 * w.surprise),
        .lidCover = cover,
        .lowerLid = std::clamp(0.22 * w.smile, 0.0, 0.5),
        .mouthFrame = head.frame(0, 0.55 + 0.03 * model.noseLength, 0.05),
        .mouthOpen = mouthOpen,
    };
}

}  // namespace vizmo::player
