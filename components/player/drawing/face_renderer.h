#pragma once
// Draws a face model in a pose with QPainter. The head is an ellipsoid: each
// feature sits at a point of its surface and is drawn in the surface's local
// frame there, so turning and nodding move and foreshorten features over the
// curved face instead of sliding a flat picture.

#include "components/player/content/face_model.h"
#include "components/player/motion/face_pose.h"

#include <QRect>
#include <QRectF>

class QPainter;

namespace vizmo::player {

class GradientTextures;

// Draws into `area` (logical pixels), keeping the figure's proportions and
// centring it; the painter's state is restored afterwards.
void drawFace(QPainter& painter, const QRectF& area, const FaceModel& model, const FacePose& pose);

// drawFace in parts, in the order they are painted: drawing each in turn
// is drawFace. Each depends on less of the pose than the whole (its key,
// face_part_keys.h), so the player keeps each as a picture while its key
// holds.
enum class FacePart {
    BackHair,      // the hair hanging behind the head
    Torso,         // neck, shoulders and clothes, upright below the tilting head
    HeadBase,      // ears, skin and beard
    LeftEye,       // the eye on the viewer's left, with its lids, lashes and crease
    RightEye,
    BrowsAndNose,
    Mouth,
    HeadTop,       // the hair on the head, and glasses
};
inline constexpr int kFacePartCount = int(FacePart::HeadTop) + 1;

// Draws one part. Radial gradients come from `textures` when it is given
// (pictures of them, gradient_textures.h).
void drawFacePart(QPainter& painter, const QRectF& area, const FaceModel& model, const FacePose& pose, FacePart part,
                  GradientTextures* textures = nullptr);

// What drawing `part` touches, in the painter's logical pixels, with a pixel
// to spare; empty when it draws nothing.
QRect facePartBounds(QPainter& painter, const QRectF& area, const FaceModel& model, const FacePose& pose, FacePart part);

}  // namespace vizmo::player
