#pragma once
// Measures a drawing's layers from what librsvg draws of them, so that clip
// paths, masks, filters and repeats count as they show: an alpha mask of the
// layer, rendered coarsely over a wide area and again finely over what it
// found.

#include "components/player/content/artwork_model.h"
#include "components/player/content/svg_document.h"

#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace vizmo::player {

struct DrawnExtent {
    QRectF bounds;    // what the layer draws within the area measured, to a fine pixel
    QRectF coarse;    // the same from the coarse pass (a few units larger at most)
    QPolygonF sides;  // the left and right ends of what it draws, row by row
    bool empty() const { return bounds.isEmpty(); }
};

// What `picture` draws within `area` (the drawing's units).
DrawnExtent measureDrawn(const SvgDocument& svg, const LayerPicture& picture, const QRectF& area);
// What the element `id` draws as if nothing in the drawing were hidden (for
// markers kept in a hidden group).
DrawnExtent measureShown(const SvgDocument& svg, const QString& id, const QRectF& area);

// The head's largest piece within `area`: its extent and its outline.
// Stray bits, a glow's faint edge and what lies outside `area` do not count.
struct HeadShape {
    QRectF extent;
    HeadOutline outline;
};
HeadShape measureHead(const SvgDocument& svg, const LayerPicture& picture, const QRectF& area);

}  // namespace vizmo::player
