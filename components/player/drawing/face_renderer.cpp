#include "components/player/drawing/face_renderer.h"

#include "components/player/drawing/draw_eyes.h"
#include "components/player/drawing/draw_head.h"
#include "components/player/drawing/draw_mouth.h"
#include "components/player/drawing/face_layout.h"
#include "components/player/drawing/gradient_textures.h"
#include "components/player/drawing/pixel_painter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vizmo::player {

namespace {

using Steps = void (*)(PixelPainter&, const FaceScene&);

// Opens the painter on the figure's scene: `area`'s centre at 0, its shorter
// side 2 units long. With `measured`, records where the steps would draw
// instead of drawing.
void drawScene(QPainter& target, const QRectF& area, const FaceModel& model, const FacePose& pose, Steps steps,
               GradientTextures* textures, QRectF* measured = nullptr)
{
    target.save();
    target.setRenderHint(QPainter::Antialiasing, true);
    {
        PixelPainter painter(target, textures);
        painter.measureInto(measured);
        const double side = std::min(area.width(), area.height());
        painter.translate(area.center());
        painter.scale(side / 2.0, side / 2.0);
        const FaceLayout layout = layOutFace(model, pose);
        steps(painter, FaceScene{painter, model, pose, layout});
    }
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

void backHairSteps(PixelPainter& painter, const FaceScene& scene)
{
    tilt(painter, scene.layout);
    drawHair(scene, false);
}

void torsoSteps(PixelPainter&, const FaceScene& scene) { drawTorso(scene); }

// The head in parts, in the order they overlap: the skin, ears and beard
// under the features; the features that move on a still head (eyes, brows,
// nose, mouth); the hair and glasses over them.
void headBaseSteps(PixelPainter& painter, const FaceScene& scene)
{
    tilt(painter, scene.layout);
    drawEars(scene);
    drawHeadShape(scene);
    drawBeard(scene);
}

void leftEyeSteps(PixelPainter& painter, const FaceScene& scene)
{
    tilt(painter, scene.layout);
    drawEye(scene, -1);
}

void rightEyeSteps(PixelPainter& painter, const FaceScene& scene)
{
    tilt(painter, scene.layout);
    drawEye(scene, 1);
}

void browsAndNoseSteps(PixelPainter& painter, const FaceScene& scene)
{
    tilt(painter, scene.layout);
    drawBrows(scene);
    drawNose(scene);
}

void mouthSteps(PixelPainter& painter, const FaceScene& scene)
{
    tilt(painter, scene.layout);
    drawMouth(scene);
}

void headTopSteps(PixelPainter& painter, const FaceScene& scene)
{
    tilt(painter, scene.layout);
    drawHair(scene, true);
    drawGlasses(scene);
}

Steps stepsOf(FacePart part)
{
    switch (part) {
    case FacePart::BackHair: return backHairSteps;
    case FacePart::Torso: return torsoSteps;
    case FacePart::HeadBase: return headBaseSteps;
    case FacePart::LeftEye: return leftEyeSteps;
    case FacePart::RightEye: return rightEyeSteps;
    case FacePart::BrowsAndNose: return browsAndNoseSteps;
    case FacePart::Mouth: return mouthSteps;
    case FacePart::HeadTop: return headTopSteps;
    }
    return headTopSteps;
}

// The torso is drawn below a head at rest: the top of the neck lies under
// the head however it turns, nods and tilts, so the torso's picture need not
// follow the head.
FacePose poseFor(FacePart part, const FacePose& pose)
{
    if (part != FacePart::Torso)
        return pose;
    FacePose upright = pose;
    upright.headX = upright.headY = upright.headZ = 0;
    return upright;
}

}  // namespace

void drawFacePart(QPainter& target, const QRectF& area, const FaceModel& model, const FacePose& pose, FacePart part,
                  GradientTextures* textures)
{
    drawScene(target, area, model, poseFor(part, pose), stepsOf(part), textures);
}

QRect facePartBounds(QPainter& target, const QRectF& area, const FaceModel& model, const FacePose& pose, FacePart part)
{
    QRectF measured;
    drawScene(target, area, model, poseFor(part, pose), stepsOf(part), nullptr, &measured);
    return measured.toAlignedRect();
}

void drawFace(QPainter& target, const QRectF& area, const FaceModel& model, const FacePose& pose)
{
    for (int part = 0; part < kFacePartCount; ++part)
        drawFacePart(target, area, model, pose, FacePart(part));
}

}  // namespace vizmo::player
