#include "components/player/drawing/procedural_renderer.h"

#include "components/player/drawing/face_renderer.h"

#include <QPainter>
#include <QPaintDevice>

namespace vizmo::player {

void ProceduralRenderer::paint(QPainter& painter, const QRectF& area, const FacePose& pose,
                               const FigureBackdrop& backdrop)
{
    const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const HeadLayers layers = headLayers(area, model_, pose, ratio);
    const auto keyOf = [&](std::initializer_list<const LayerCache::Key*> parts) {
        LayerCache::Key key = backdrop.key;
        for (const LayerCache::Key* part : parts)
            key.insert(key.end(), part->begin(), part->end());
        return key;
    };
    // A frame is the still head's base over what lies behind it, the features
    // drawn afresh, and the head's top; the two under the features come as one
    // opaque copy when the backdrop covers everything.
    const QRect whole = area.toAlignedRect();
    headBase_.paint(painter, whole, backdrop.ground, keyOf({&layers.behind, &layers.head}), [&](QPainter& base) {
        behindHead_.paint(base, whole, backdrop.ground, keyOf({&layers.behind}), [&](QPainter& layer) {
            backdrop.paint(layer);
            drawBehindHead(layer, area, model_, pose);
        });
        drawHeadBase(base, area, model_, pose);
    });
    drawFeatures(painter, area, model_, pose);
    headTop_.paint(painter, layers.top, Qt::transparent, keyOf({&layers.skull}),
                   [&](QPainter& top) { drawHeadTop(top, area, model_, pose); });
}

}  // namespace vizmo::player
