#pragma once
// Draws a face model in a pose with QPainter. The head is an ellipsoid: each
// feature sits at a point of its surface and is drawn in the surface's local
// frame there, so turning and nodding move and foreshorten features over the
// curved face instead of sliding a flat picture.

#include "components/player/content/face_model.h"
#include "components/player/drawing/layer_cache.h"
#include "components/player/motion/face_pose.h"

#include <QRect>
#include <QRectF>

class QPainter;

namespace vizmo::player {

// Draws into `area` (logical pixels), keeping the figure's proportions and
// centring it; the painter's state is restored afterwards.
void drawFace(QPainter& painter, const QRectF& area, const FaceModel& model, const FacePose& pose);

// drawFace in layers: what lies behind the head (the hair hanging behind it,
// the neck and shoulders), and the head with everything on it. The head in
// turn is its base (ears, skin, beard), the features that move on it (eyes,
// brows, nose, mouth) and its top (hair, glasses), drawn in that order.
void drawBehindHead(QPainter& painter, const QRectF& area, const FaceModel& model, const FacePose& pose);
void drawHead(QPainter& painter, const QRectF& area, const FaceModel& model, const FacePose& pose);
void drawHeadBase(QPainter& painter, const QRectF& area, const FaceModel& model, const FacePose& pose);
void drawFeatures(QPainter& painter, const QRectF& area, const FaceModel& model, const FacePose& pose);
void drawHeadTop(QPainter& painter, const QRectF& area, const FaceModel& model, const FacePose& pose);

// What the cached layers' pictures depend on in `pose`, in quarters of a
// device pixel: equal keys draw the same layer.
struct HeadLayers {
    LayerCache::Key behind;  // drawBehindHead
    LayerCache::Key head;    // drawHeadBase
    LayerCache::Key skull;   // drawHeadTop: the head's turn without the jaw, which moves with every syllable
    QRect top;               // what drawHeadTop covers, in `area`'s logical pixels
};
HeadLayers headLayers(const QRectF& area, const FaceModel& model, const FacePose& pose, double pixelRatio);

}  // namespace vizmo::player
