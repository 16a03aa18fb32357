#pragma once
// Draws a user's drawing in a pose. Each layer is rendered by librsvg once
// for the player's size and pixel ratio into an image, and a frame only
// composes those images where the pose puts them, in the drawing's own
// order: rendering the SVG itself takes milliseconds a layer, composing a
// few hundred microseconds a frame. The eyes are composed in a small image
// of their own (the iris and the lid cut to the white); the mouth shows one
// shape at a time, moved towards the next. A large picture is drawn only
// where it has paint and no later layer hides it (sprite_coverage.h).

#include "components/player/content/artwork_model.h"
#include "components/player/drawing/artwork_pose.h"
#include "components/player/drawing/figure_renderer.h"
#include "components/player/drawing/sprite_coverage.h"

#include <QImage>
#include <QRegion>
#include <QSize>
#include <QTransform>

#include <array>
#include <memory>
#include <vector>

namespace vizmo::player {

// Where the drawing lies in `area` (logical pixels): the part of it the
// player shows (frameWithRoom), as large as fits, centred.
QTransform artworkPlacement(const ArtworkGeometry& geometry, const QRectF& area);

class ArtworkRenderer final : public FigureRenderer {
public:
    explicit ArtworkRenderer(std::shared_ptr<const Artwork> artwork);
    void paint(QPainter& painter, const QRectF& area, const FacePose& pose, const FigureBackdrop& backdrop) override;

    // How many times the layers were prepared for a size and pixel ratio
    // (each layer is then rendered from the SVG when it is first shown).
    int renders() const { return renders_; }
    // Whether large pictures are drawn only where they show (the default);
    // off, for tests, every picture is drawn whole.
    void setCulling(bool on) { culling_ = on; }

private:
    // A layer as an image, and the rectangle of the drawing it covers.
    struct Sprite {
        QImage image;
        QRectF rect;
        SpriteCoverage coverage;  // in the image's pixels
        bool empty() const { return image.isNull(); }
    };

    void prepare(const QRectF& area, double ratio);
    Sprite render(ArtLayer layer, double ratio) const;
    // The sprite's pixels to the area's logical pixels, placed by `place`.
    QTransform spriteToArea(const Sprite& sprite, const QTransform& place) const;
    // Draws the sprite where `place` puts it, within `within` (the area's
    // logical pixels) when it is given.
    void drawSprite(QPainter& painter, const Sprite& sprite, const QTransform& place,
                    const QRegion* within = nullptr) const;
    static bool worthCulling(const Sprite& sprite);
    // What opaque layers hide in this frame, in the area's logical pixels:
    // under each place in the stacking, what the layers above it hide; under
    // them all (the backdrop), what any of them hides.
    struct Hidden {
        std::vector<QRegion> underLayer;
        QRegion underAll;
    };
    Hidden hiddenIn(const ArtworkFrame& frame, const QPainter& painter);
    void drawEye(QPainter& painter, std::size_t eye, const ArtworkFrame& frame);
    void drawLashes(QPainter& painter, std::size_t eye, const ArtworkFrame& frame);
    // The layer's image at the prepared size, rendered the first time it is
    // asked for: mouth shapes and lids that a still face never shows cost
    // nothing at a change of size.
    const Sprite& sprite(ArtLayer layer);

    std::shared_ptr<const Artwork> artwork_;
    QRectF shown_;  // the part of the drawing shown: its frame with room for its motion
    // The drawing's units to the area's logical pixels.
    QTransform toArea_;
    QRectF preparedArea_;
    double preparedRatio_ = 0;
    std::array<Sprite, kArtLayerCount> sprites_;
    std::array<bool, kArtLayerCount> rendered_{};
    std::array<QImage, 2> eyeBuffers_;
    int renders_ = 0;
    bool culling_ = true;
};

}  // namespace vizmo::player
