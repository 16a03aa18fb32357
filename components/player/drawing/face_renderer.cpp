#include "components/player/drawing/face_renderer.h"

#include "components/player/drawing/draw_eyes.h"
#include "components/player/drawing/draw_head.h"
#include "components/player/drawing/draw_mouth.h"
#include "components/player/drawing/face_layout.h"
#include "components/player/drawing/pixel_painter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vizmo::player {

namespace {

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

// The head in three parts, in the order they overlap: the skin, ears and
// beard under the features; the features that move on a still head (eyes,
// brows, nose, mouth); the hair and glasses over them.
void headBaseSteps(PixelPainter& painter, const FaceScene& scene)
{
    tilt(painter, scene.layout);
    drawEars(scene);
    drawHeadShape(scene);
    drawBeard(scene);
}

void featureSteps(PixelPainter& painter, const FaceScene& scene)
{
    tilt(painter, scene.layout);
    drawEyes(scene);
    drawBrows(scene);
    drawNose(scene);
    drawMouth(scene);
}

void headTopSteps(PixelPainter& painter, const FaceScene& scene)
{
    tilt(painter, scene.layout);
    drawHair(scene, true);
    drawGlasses(scene);
}

void headSteps(PixelPainter& painter, const FaceScene& scene)
{
    const QTransform upright = painter.transform();
    for (auto steps : {headBaseSteps, featureSteps, headTopSteps}) {
        painter.setTransform(upright);
        steps(painter, scene);
    }
}

// Where the scene's point lands in the target, the head's tilt included.
QTransform sceneToTarget(const QRectF& area, const FaceLayout& layout)
{
    const double side = std::min(area.width(), area.height());
    return QTransform::fromTranslate(layout.pivot.x(), layout.pivot.y())
        .rotate(layout.roll)
        .translate(-layout.pivot.x(), -layout.pivot.y()) *
        QTransform::fromScale(side / 2.0, side / 2.0) * QTransform::fromTranslate(area.center().x(), area.center().y());
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

void drawHeadBase(QPainter& target, const QRectF& area, const FaceModel& model, const FacePose& pose)
{
    drawScene(target, area, model, pose, headBaseSteps);
}

void drawFeatures(QPainter& target, const QRectF& area, const FaceModel& model, const FacePose& pose)
{
    drawScene(target, area, model, pose, featureSteps);
}

void drawHeadTop(QPainter& target, const QRectF& area, const FaceModel& model, const FacePose& pose)
{
    drawScene(target, area, model, pose, headTopSteps);
}

void drawFace(QPainter& target, const QRectF& area, const FaceModel& model, const FacePose& pose)
{
    drawBehindHead(target, area, model, pose);
    drawHead(target, area, model, pose);
}

HeadLayers headLayers(const QRectF& area, const FaceModel& model, const FacePose& pose, double pixelRatio)
{
    const FaceLayout layout = layOutFace(model, pose);
    const double px = std::min(area.width(), area.height()) * pixelRatio / 2.0;  // device pixels per scene unit
    const double degree = px * std::numbers::pi / 180.0;  // a degree's arc at the scene's edge
    const auto q = [](double devicePx) { return std::llround(devicePx * 4.0); };
    const HeadProjection& head = layout.head;
    HeadLayers layers;
    layers.behind = {q(head.centre().y() * px),
                     q(model.hairStyle == HairStyle::Bun ? head.yawSine() * px : 0.0),  // a bun sits on the turning skull
                     q(layout.roll * degree),
                     q(kHairSwingDegrees * pose.hairX * degree),
                     q(kHairTiltDegrees * pose.hairZ * degree),
                     q(0.03 * pose.hairY * px),
                     q(0.012 * pose.breath * px),
                     q(0.09 * pose.shoulderLeft * px),
                     q(0.09 * pose.shoulderRight * px)};
    // The skin's shading follows the turn, the chin the jaw, and the cheeks'
    // glow the smile (in steps of its alpha).
    const double glow = model.blushStrength > 0 ? 0.55 * model.blushStrength * (0.6 + 0.5 * layout.weights.smile) : 0.0;
    // The hair on the skull and the glasses move with the head alone.
    layers.skull = {q(head.centre().y() * px), q(head.yawSine() * px), q(head.pitchSine() * px), q(layout.roll * degree)};
    layers.head = layers.skull;
    layers.head.insert(layers.head.end(),
                       {q(0.09 * layout.mouthOpen * px), std::llround(std::clamp(glow, 0.0, 1.0) * 255)});
    // The hair on the skull and the glasses lie within the head's outline
    // grown by the hair's volume and the curls.
    const double margin = 0.1;
    const QRectF box(head.centre() - QPointF(head.rx() * 1.12 + margin, head.ry() * 1.12 + margin),
                     head.centre() + QPointF(head.rx() * 1.12 + margin, head.ry() * 1.12 + margin));
    layers.top = sceneToTarget(area, layout).mapRect(box).toAlignedRect().adjusted(-1, -1, 1, 1) & area.toAlignedRect();
    return layers;
}

}  // namespace vizmo::player
