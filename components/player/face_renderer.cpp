#include "components/player/face_renderer.h"

#include "components/player/draw_eyes.h"
#include "components/player/draw_head.h"
#include "components/player/draw_mouth.h"
#include "components/player/face_layout.h"
#include "components/player/pixel_painter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vizmo::player {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Opens the painter on the figure's scene: `area`'s centre at 0, its shorter
// side 2 units long.
void drawScene(QPainter& target, const QRectF& area, const FaceModel& model, const FacePose& pose,
               void (*steps)(PixelPainter&, const FaceScene&))
{
    target.save();
    target.setRenderHint(QPainter::Antialiasing, true);
    PixelPainter painter(target);
    const double side = std::min(area.width(), area.height());
    painter.translate(area.center());
    painter.scale(side / 2.0, side / 2.0);
    const FaceLayout layout = layOutFace(model, pose);
    steps(painter, FaceScene{painter, model, pose, layout});
    target.restore();
}

// The head tilts about the top of the neck; hair hanging behind the
// shoulders tilts with it.
void tilt(PixelPainter& painter, const FaceLayout& layout)
{
    painter.translate(layout.pivot);
    painter.rotate(layout.roll);
    painter.translate(-layout.pivot);
}

void behindHeadSteps(PixelPainter& painter, const FaceScene& scene)
{
    const QTransform upright = painter.transform();
    tilt(painter, scene.layout);
    drawHair(scene, false);
    painter.setTransform(upright);
    drawTorso(scene);
}

void headSteps(PixelPainter& painter, const FaceScene& scene)
{
    tilt(painter, scene.layout);
    drawEars(scene);
    drawHeadShape(scene);
    drawBeard(scene);
    drawEyes(scene);
    drawBrows(scene);
    drawNose(scene);
    drawMouth(scene);
    drawHair(scene, true);
    drawGlasses(scene);
}

}  // namespace

void drawBehindHead(QPainter& target, const QRectF& area, const FaceModel& model, const FacePose& pose)
{
    drawScene(target, area, model, pose, behindHeadSteps);
}

void drawHead(QPainter& target, const QRectF& area, const FaceModel& model, const FacePose& pose)
{
    drawScene(target, area, model, pose, headSteps);
}

void drawFace(QPainter& target, const QRectF& area, const FaceModel& model, const FacePose& pose)
{
    drawBehindHead(target, area, model, pose);
    drawHead(target, area, model, pose);
}

LayerCache::Key behindHeadKey(const FaceModel& model, const FacePose& pose, double sidePx)
{
    const FaceLayout layout = layOutFace(model, pose);
    const double px = sidePx / 2.0;  // device pixels per scene unit
    const double degree = px * kPi / 180.0;  // a degree's arc at the scene's edge
    const auto q = [](double devicePx) { return std::llround(devicePx * 4.0); };
    return {q(layout.head.centre().y() * px),
            q(model.hairStyle == HairStyle::Bun ? layout.head.yawSine() * px : 0.0),  // a bun sits on the turning skull
            q(layout.roll * degree),
            q(kHairSwingDegrees * pose.hairX * degree),
            q(kHairTiltDegrees * pose.hairZ * degree),
            q(0.03 * pose.hairY * px),
            q(0.012 * pose.breath * px),
            q(0.09 * pose.shoulderLeft * px),
            q(0.09 * pose.shoulderRight * px)};
}

}  // namespace vizmo::player
