#include "components/player/drawing/procedural_renderer.h"

#include "components/player/drawing/face_part_keys.h"

#include <QPaintDevice>
#include <QPainter>

namespace vizmo::player {

void ProceduralRenderer::paint(QPainter& painter, const QRectF& area, const FacePose& pose, const FigureBackdrop& backdrop)
{
    const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const FacePartKeys keys = facePartKeys(area, model_, pose, ratio);
    const auto joined = [&](std::initializer_list<const LayerCache::Key*> parts) {
        LayerCache::Key key;
        for (const LayerCache::Key* part : parts)
            key.insert(key.end(), part->begin(), part->end());
        return key;
    };
    const auto draw = [&](FacePart part) {
        return [this, &area, &pose, part](QPainter& target) { drawFacePart(target, area, model_, pose, part, &textures_); };
    };
    // A part's picture covers what it draws, measured when the picture is made.
    const auto bounds = [&](FacePart part) {
        return [this, &painter, &area, &pose, part] { return facePartBounds(painter, area, model_, pose, part); };
    };
    const auto& keyOf = [&](FacePart part) -> const LayerCache::Key& { return keys[std::size_t(part)]; };
    const QRect whole = area.toAlignedRect();

    under_.paint(painter, whole, backdrop.ground,
                 joined({&backdrop.key, &keyOf(FacePart::BackHair), &keyOf(FacePart::Torso), &keyOf(FacePart::HeadBase)}),
                 [&](QPainter& under) {
                     behind_.paint(under, whole, backdrop.ground, joined({&backdrop.key, &keyOf(FacePart::BackHair)}),
                                   [&](QPainter& layer) {
                                       backdrop.paint(layer);
                                       draw(FacePart::BackHair)(layer);
                                   });
                     for (FacePart part : {FacePart::Torso, FacePart::HeadBase})
                         parts_[std::size_t(part)].paint(under, whole, Qt::transparent, keyOf(part), draw(part), bounds(part));
                 });
    for (FacePart part :
         {FacePart::LeftEye, FacePart::RightEye, FacePart::BrowsAndNose, FacePart::Mouth, FacePart::HeadTop})
        parts_[std::size_t(part)].paint(painter, whole, Qt::transparent, keyOf(part), draw(part), bounds(part));
}

}  // namespace vizmo::player
