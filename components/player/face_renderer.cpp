#include "components/player/face_renderer.h"

#include "components/player/draw_eyes.h"
#include "components/player/draw_head.h"
#include "components/player/draw_mouth.h"
#include "components/player/face_layout.h"
#include "components/player/pixel_painter.h"

#include <QPainter>

#include <algorithm>

namespace vizmo::player {

void drawFace(QPainter& target, const QRectF& area, const FaceModel& model, const FacePose& pose)
{
    target.save();
    target.setRenderHint(QPainter::Antialiasing, true);
    PixelPainter painter(target);
    const double side = std::min(area.width(), area.height());
    painter.translate(area.center());
    painter.scale(side / 2.0, side / 2.0);
    const FaceLayout layout = layOutFace(model, pose);
    const FaceScene scene{painter, model, pose, layout};

    // The head tilts about the top of the neck; hair hanging behind the
    // shoulders tilts with it.
    const QTransform upright = painter.transform();
    painter.translate(layout.pivot);
    painter.rotate(layout.roll);
    painter.translate(-layout.pivot);
    drawHair(scene, false);
    const QTransform tilted = painter.transform();
    painter.setTransform(upright);
    drawTorso(scene);
    painter.setTransform(tilted);

    drawEars(scene);
    drawHeadShape(scene);
    drawBeard(scene);
    drawEyes(scene);
    drawBrows(scene);
    drawNose(scene);
    drawMouth(scene);
    drawHair(scene, true);
    drawGlasses(scene);
    target.restore();
}

}  // namespace vizmo::player
