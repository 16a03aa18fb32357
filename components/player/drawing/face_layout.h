#pragma once
// The measures of one frame of the face, worked out once from the model and
// the pose before anything is drawn: where the head is and how it is turned,
// the expressions' weights, where the eyes sit and how far the lids cover
// them, and where the mouth is anchored. Every drawing step reads them from
// here, so a measure two features share cannot drift apart.

#include "components/player/content/face_model.h"
#include "components/player/drawing/head_projection.h"
#include "components/player/drawing/pixel_painter.h"
#include "components/player/motion/face_pose.h"

#include <QPainterPath>
#include <QPointF>
#include <QTransform>

#include <array>

namespace vizmo::player {

// Each 0..1; `blink` joins life's blink and the script's.
struct ExpressionWeights {
    double smile, surprise, sad, angry, blink;
};

struct FaceLayout {
    HeadProjection head;
    QPainterPath outline;  // the face's silhouette
    double roll;           // degrees the head tilts about `pivot`
    QPointF pivot;         // the top of the neck
    QPointF neckBase;
    ExpressionWeights weights;
    double eyeSpacing;     // across the face (u) from its middle to each eye's centre
    double eyeWidth;       // centre to corner
    double eyeHeight;
    std::array<double, 2> lidCover;  // each upper lid over its opening: 0 open .. 1 shut
    double lowerLid;       // lower lid raised by a smile: 0 .. 0.5
    QTransform mouthFrame; // the surface's frame where the mouth sits
    double mouthOpen;      // the lips apart: 0 closed .. 1 wide; the jaw drops with it
};

FaceLayout layOutFace(const FaceModel& model, const FacePose& pose);

// What each drawing step works with.
struct FaceScene {
    PixelPainter& p;
    const FaceModel& m;
    const FacePose& pose;
    const FaceLayout& layout;
};

}  // namespace vizmo::player
