#include "components/player/drawing/face_part_keys.h"

#include "components/player/drawing/face_layout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vizmo::player {

namespace {

long long q(double devicePx) { return std::llround(devicePx * 4.0); }

void append(LayerCache::Key& key, std::initializer_list<long long> values) { key.insert(key.end(), values); }

bool hasBackHair(const FaceModel& model)
{
    return model.hairStyle == HairStyle::Long || model.hairStyle == HairStyle::Bob || model.hairStyle == HairStyle::Bun;
}

}  // namespace

FacePartKeys facePartKeys(const QRectF& area, const FaceModel& model, const FacePose& pose, double pixelRatio)
{
    const FaceLayout layout = layOutFace(model, pose);
    const double px = std::min(area.width(), area.height()) * pixelRatio / 2.0;  // device pixels per scene unit
    const double degree = px * std::numbers::pi / 180.0;  // a degree's arc at the scene's edge
    const HeadProjection& head = layout.head;
    const ExpressionWeights& w = layout.weights;
    FacePartKeys keys;
    const auto at = [&keys](FacePart part) -> LayerCache::Key& { return keys[std::size_t(part)]; };

    // Where the head is and how it is turned: everything on it follows. A
    // turn or a nod moves the face's front (and the nose, standing out from
    // it) by the sine of its angle times the head's radius; the silhouette
    // moves less.
    const double lever = 1.2;
    const LayerCache::Key headPose = {q(head.centre().y() * px), q(head.yawSine() * head.rx() * lever * px),
                                      q(head.pitchSine() * head.ry() * lever * px), q(layout.roll * degree)};
    for (FacePart part : {FacePart::HeadBase, FacePart::LeftEye, FacePart::RightEye, FacePart::BrowsAndNose,
                          FacePart::Mouth, FacePart::HeadTop})
        at(part) = headPose;

    // Hanging hair swings from the crown and tilts with the head; a bun sits
    // on the turning skull. A style without it draws nothing there.
    if (hasBackHair(model)) {
        at(FacePart::BackHair) = model.hairStyle == HairStyle::Bun ? headPose : LayerCache::Key{q(head.centre().y() * px), q(layout.roll * degree)};
        append(at(FacePart::BackHair), {q(kHairSwingDegrees * pose.hairX * degree), q(kHairTiltDegrees * pose.hairZ * degree),
                                        q(0.03 * pose.hairY * px)});
    }
    at(FacePart::Torso) = {q(0.012 * pose.breath * px), q(0.09 * pose.shoulderLeft * px), q(0.09 * pose.shoulderRight * px)};

    // The skin's shading follows the turn, the chin the jaw, the cheeks' glow
    // the smile (in steps of its alpha); a cheek turned away and an ear
    // behind the head are left out.
    const double glow = model.blushStrength > 0 ? 0.55 * model.blushStrength * (0.6 + 0.5 * w.smile) : 0.0;
    append(at(FacePart::HeadBase),
           {q(0.09 * layout.mouthOpen * px), std::llround(std::clamp(glow, 0.0, 1.0) * 255), head.facing(-0.48, 0.25) < 0.2,
            head.facing(0.48, 0.25) < 0.2, head.yawSine() < -0.45, -head.yawSine() < -0.45});

    // An eye: the iris looking about, the lids, the eye's height, the lower
    // lid's smile and the sad tilt of the upper one, the pupil's size; the
    // rim shows only on an open eye, and a shut lid's lashes sag.
    const double ew = layout.eyeWidth, eh = layout.eyeHeight;
    for (std::size_t e = 0; e < 2; ++e) {
        const double cover = layout.lidCover[e];
        append(at(e == 0 ? FacePart::LeftEye : FacePart::RightEye),
               {q(pose.eyes[e].x * ew * 0.55 * px), q(pose.eyes[e].y * eh * 0.45 * px), q(2 * cover * eh * px), q(2 * eh * px),
                q(1.2 * layout.lowerLid * eh * px), q(0.32 * w.sad * eh * px), q(0.052 * w.surprise * ew * px), cover <= 0.15,
                cover < 0.98, layout.lowerLid > 0});
    }

    // The brows rise and turn with the expressions, a speech accent and a look up.
    append(at(FacePart::BrowsAndNose),
           {q((0.05 * w.surprise + 0.04 * pose.browRaise - 0.02 * w.angry) * px), q((0.04 * w.sad - 0.045 * w.angry) * px),
            q(0.01 * w.surprise * px), q(0.015 * std::max(0.0, pose.eyes[0].y) * px),
            q(0.015 * std::max(0.0, pose.eyes[1].y) * px)});

    // The mouth's shape, and the thresholds at which its cavity, tongue,
    // teeth and a bitten lip show.
    const MouthShape& mouth = pose.mouth;
    const double open = layout.mouthOpen;
    LayerCache::Key& mouthKey = at(FacePart::Mouth);
    for (double v : {open, mouth.width, mouth.round, mouth.teeth, mouth.tongue, mouth.press, mouth.lipBite, w.smile, w.sad,
                     w.angry, w.surprise})
        mouthKey.push_back(q(0.25 * v * px));
    append(mouthKey, {0.005 + 0.16 * open > 0.012, mouth.tongue > 0.05 || open > 0.3, mouth.teeth > 0.02, open > 0.25,
                      mouth.lipBite > 0.3});
    return keys;
}

}  // namespace vizmo::player
