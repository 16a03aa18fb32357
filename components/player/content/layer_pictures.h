#pragma once
// How librsvg draws each layer of a drawing alone, in its place in the whole
// drawing: by its id, or, for a layer inside a masked group, as the whole
// drawing with all beside the way to it left out. librsvg draws an element
// alone without its groups' masks (their own content is left out of the
// drawing, and the mask hides everything).

#include "components/player/content/art_layers.h"
#include "components/player/content/layer_names.h"
#include "components/player/content/svg_safety.h"

#include <QString>
#include <QStringList>

#include <array>

namespace vizmo::player {

// How librsvg draws a layer alone, in its place: the element by its id, or
// the whole drawing, with what `hidden` chooses left out (CSS selectors).
// A layer drawn inside another is left out of the other's picture (with any
// others as deeply nested, which share one reading of the drawing). A layer
// inside a masked group is drawn as the whole drawing with all but the way
// to it left out: librsvg draws an element alone without its groups' masks.
struct LayerPicture {
    QString element;
    QStringList hidden;
};

struct LayerPictures {
    std::array<LayerPicture, kArtLayerCount> pictures{};
    std::array<QStringList, kArtLayerCount> holds{};  // the names of the layers drawn inside each
};

LayerPictures pictureLayers(const DrawingOutline& outline, const FoundLayers& found);

}  // namespace vizmo::player
