#pragma once
// A character drawn by its user: an SVG file whose elements, found by name
// (layer_names), are the layers the player moves. Only the head and one
// mouth shape are required; every other layer, and the pivots (markers whose
// centre is the point), may be left out. The drawing is read and measured
// off the user-interface thread: each layer's extent is taken from what
// librsvg draws of it (clip paths, masks and filters included), and the
// head's outline from the largest piece of it that lies in the frame.
// docs/draw-your-own-character.md is the user's side of this.

#include "components/player/content/art_layers.h"
#include "components/player/content/layer_names.h"
#include "components/player/content/layer_pictures.h"
#include "components/player/content/load_result.h"
#include "components/player/content/svg_document.h"

#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace vizmo::player {

// The head's outline, row by row: where the head is on the left and the right
// at each height. Features slide over the face no further than it reaches.
struct HeadOutline {
    double top = 0;
    double rowHeight = 0;
    // Each row's leftmost and rightmost point of the head; a row the head
    // does not cover has left > right.
    std::vector<std::pair<double, double>> rows;

    // Each column's top and bottom, `left` the first column's left edge and
    // `rowHeight` their width too; a column the head does not cover has top > bottom.
    double left = 0;
    std::vector<std::pair<double, double>> columns;

    bool empty() const { return rows.empty(); }
    // The head's span across `y` (the drawing's units), none outside it.
    std::optional<std::pair<double, double>> at(double y) const;
    // The head's span down `x`, none outside it.
    std::optional<std::pair<double, double>> down(double x) const;
};

// The drawing's measures, in its own units (those of its viewBox).
struct ArtworkGeometry {
    QRectF page;                                  // the viewBox, or the width and height
    QRectF frame;                                 // what fills the player at rest: the page, or what is drawn
                                                  // on a page much larger than it
    std::array<QRectF, kArtLayerCount> bounds{};  // what each layer draws, empty when nothing
    std::array<QPolygonF, kArtLayerCount> sides{}; // the ends of what it draws, row by row (none: its bounds)
    QRectF headExtent;                            // the head as it shows: its largest piece in the frame
    HeadOutline headOutline;
    QPointF headPivot;                            // the top of the neck: the head turns and tilts about it
    std::array<QPointF, 2> eyePivots{};           // where each iris looks straight ahead

    bool has(ArtLayer layer) const { return !bounds[std::size_t(layer)].isEmpty(); }
    const QRectF& operator[](ArtLayer layer) const { return bounds[std::size_t(layer)]; }
};

struct Artwork {
    QString fileName;
    ArtworkGeometry geometry;
    // The id of the element that is each layer, empty when it is not drawn.
    std::array<QString, kArtLayerCount> ids{};
    std::array<LayerPicture, kArtLayerCount> pictures{};
    // The drawn layers back to front, in the drawing's own order.
    std::vector<ArtLayer> stacking;
    // What was found and how, what is missing, and what may not move as the
    // user expects: the report of the character check.
    std::vector<DrawingNote> notes;
    // Parsed once, off the user-interface thread; drawn on it.
    std::shared_ptr<const SvgDocument> svg;
};

// Reads `path` (53 when it is missing, 321 when it is refused, with a
// description naming the file).
LoadResult<std::shared_ptr<const Artwork>> loadArtwork(const QString& path);
// The same for a drawing already in memory.
LoadResult<std::shared_ptr<const Artwork>> readArtwork(const QByteArray& bytes, const QString& displayName);

}  // namespace vizmo::player
