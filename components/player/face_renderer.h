#pragma once
// Draws a face model in a pose with QPainter. The head is an ellipsoid: each
// feature sits at a point of its surface and is drawn in the surface's local
// frame there, so turning and nodding move and foreshorten features over the
// curved face instead of sliding a flat picture.

#include "components/player/face_model.h"
#include "components/player/face_pose.h"
#include "components/player/layer_cache.h"

#include <QRectF>

class QPainter;

namespace vizmo::player {

// Draws into `area` (logical pixels), keeping the figure's proportions and
// centring it; the painter's state is restored afterwards.
void drawFace(QPainter& painter, const QRectF& area, const FaceModel& model, const FacePose& pose);

// drawFace in two layers: what lies behind the head (the hair hanging behind
// it, the neck and shoulders), and the head with everything on it.
void drawBehindHead(QPainter& painter, const QRectF& area, const FaceModel& model, const FacePose& pose);
void drawHead(QPainter& painter, const QRectF& area, const FaceModel& model, const FacePose& pose);
// What drawBehindHead's picture depends on in `pose`, in quarters of a device
// pixel at `sidePx`: equal keys draw the same layer.
LayerCache::Key behindHeadKey(const FaceModel& model, const FacePose& pose, double sidePx);

}  // namespace vizmo::player
