#pragma once
// A character drawn by its user: an SVG file whose elements, found by id
// (or by Inkscape's layer name), are the layers the player moves. Only the
// head and one mouth shape are required; every other layer, and the pivots
// (markers whose centre is the point), may be left out.
// docs/draw-your-own-character.md is the user's side of this.

#include "components/player/content/load_result.h"

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <array>
#include <memory>

class QSvgRenderer;

namespace vizmo::player {

// In the order they are drawn, back to front. "Left" is the left of the
// picture, as the user sees it while drawing.
enum class ArtLayer {
    BackHair,
    Neck,
    Body,
    Ears,
    Head,
    LeftEyeWhite,
    LeftEyeIris,
    LeftEyeLid,
    LeftEyeLashes,
    RightEyeWhite,
    RightEyeIris,
    RightEyeLid,
    RightEyeLashes,
    LeftBrow,
    RightBrow,
    Nose,
    MouthRest,
    MouthClosed,
    MouthF,
    MouthOpen,
    MouthWide,
    MouthRound,
    FrontHair,
    Accessories,
};
inline constexpr int kArtLayerCount = int(ArtLayer::Accessories) + 1;
inline constexpr ArtLayer kFirstMouth = ArtLayer::MouthRest;
inline constexpr int kMouthShapeCount = int(ArtLayer::MouthRound) - int(ArtLayer::MouthRest) + 1;

// The id that names `layer` in a drawing: "eye-left-iris", "mouth-open"...
QString artLayerName(ArtLayer layer);

// Where each eye's layers are: [0] the left eye of the picture, [1] the right.
struct EyeLayers {
    ArtLayer white, iris, lid, lashes;
};
const std::array<EyeLayers, 2>& eyeLayers();

// The drawing's measures, in its own units (those of its viewBox).
struct ArtworkGeometry {
    QRectF frame;                                 // the viewBox: what fills the player
    std::array<QRectF, kArtLayerCount> bounds{};  // each layer's, empty when it is not drawn
    QPointF headPivot;                            // the top of the neck: the head turns and tilts about it
    std::array<QPointF, 2> eyePivots{};           // where each iris looks straight ahead

    bool has(ArtLayer layer) const { return !bounds[std::size_t(layer)].isEmpty(); }
    const QRectF& operator[](ArtLayer layer) const { return bounds[std::size_t(layer)]; }
};

struct Artwork {
    QString fileName;
    ArtworkGeometry geometry;
    // What draws each layer: the element's id, its bounds without the
    // transforms of the groups around it, and those transforms.
    struct Element {
        QString id;
        QRectF ownBounds;
        QTransform parents;
    };
    std::array<Element, kArtLayerCount> elements{};
    // Parsed once, off the user-interface thread; drawn on it.
    std::shared_ptr<QSvgRenderer> svg;
};

// Reads `path` (53 when it is missing, 321 when it is refused, with a
// description naming the file).
LoadResult<std::shared_ptr<const Artwork>> loadArtwork(const QString& path);
// The same for a drawing already in memory.
LoadResult<std::shared_ptr<const Artwork>> readArtwork(const QByteArray& bytes, const QString& displayName);

}  // namespace vizmo::player
