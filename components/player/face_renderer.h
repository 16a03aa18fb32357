#pragma once
// Draws a face model in a pose with QPainter. The head is an ellipsoid: each
// feature sits at a point of its surface and is drawn in the surface's local
// frame there, so turning and nodding move and foreshorten features over the
// curved face instead of sliding a flat picture.

#include "components/player/face_model.h"
#include "components/player/face_pose.h"

#include <QRectF>

class QPainter;

namespace vizmo::player {

// Draws into `area` (logical pixels), keeping the figure's proportions and
// centring it; the painter's state is restored afterwards.
void drawFace(QPainter& painter, const QRectF& area, const FaceModel& model, const FacePose& pose);

}  // namespace vizmo::player
