#pragma once
// What draws the character of a model: the built-in face drawn from the
// model's measures, or the user's drawing moved layer by layer. The player
// hands either one the same pose of the frame (script, posing, life and
// speech combined) and what lies behind the figure.

#include "components/player/content/face_model.h"
#include "components/player/drawing/layer_cache.h"
#include "components/player/motion/face_pose.h"

#include <QColor>
#include <QRectF>

#include <functional>
#include <memory>

class QPainter;

namespace vizmo::player {

// What lies behind the figure.
struct FigureBackdrop {
    LayerCache::Key key;  // what its picture depends on: equal keys paint the same
    QColor ground;        // the colour it covers everything with, or transparent
    std::function<void(QPainter&)> paint;
};

class FigureRenderer {
public:
    virtual ~FigureRenderer() = default;
    // Paints the backdrop and the figure in `pose` over `area` (logical
    // pixels), keeping the figure's proportions and centring it.
    virtual void paint(QPainter& painter, const QRectF& area, const FacePose& pose, const FigureBackdrop& backdrop) = 0;
};

// The renderer for `model`: its drawing, or the built-in face.
std::unique_ptr<FigureRenderer> makeFigureRenderer(const FaceModel& model);

}  // namespace vizmo::player
