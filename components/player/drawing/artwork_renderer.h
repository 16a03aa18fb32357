#pragma once
// Draws a user's drawing in a pose. Each layer is rendered from the SVG once
// for the player's size into an image, and a frame only composes those
// images where the pose puts them: rendering the SVG itself takes
// milliseconds a layer, composing a few hundred microseconds a frame. The
// eyes are composed in a small image of their own (the iris and the lid cut
// to the white), and so is the mouth (its drawn shapes added up by weight,
// so a cross-fade never shows the skin through the lips).

#include "components/player/content/artwork_model.h"
#include "components/player/drawing/artwork_pose.h"
#include "components/player/drawing/figure_renderer.h"

#include <QImage>
#include <QSize>
#include <QTransform>

#include <array>
#include <memory>

namespace vizmo::player {

class ArtworkRenderer final : public FigureRenderer {
public:
    explicit ArtworkRenderer(std::shared_ptr<const Artwork> artwork);
    void paint(QPainter& painter, const QRectF& area, const FacePose& pose, const FigureBackdrop& backdrop) override;

    // How many times the layers were rendered from the SVG.
    int renders() const { return renders_; }

private:
    // A layer as an image, and the rectangle of the drawing it covers.
    struct Sprite {
        QImage image;
        QRectF rect;
        bool empty() const { return image.isNull(); }
    };

    void prepare(const QRectF& area, double ratio);
    Sprite render(const Artwork::Element& element, const QRectF& bounds, double ratio) const;
    void drawSprite(QPainter& painter, const Sprite& sprite, const QTransform& place) const;
    void drawEye(QPainter& painter, std::size_t eye, const ArtworkFrame& frame);
    void drawMouth(QPainter& painter, const ArtworkFrame& frame);
    const Sprite& sprite(ArtLayer layer) const { return sprites_[std::size_t(layer)]; }

    std::shared_ptr<const Artwork> artwork_;
    // The drawing's units to the area's logical pixels.
    QTransform toArea_;
    QRectF preparedArea_;
    double preparedRatio_ = 0;
    std::array<Sprite, kArtLayerCount> sprites_;
    Sprite mouthFrame_;  // the rectangle every mouth shape lies in
    std::array<QImage, 2> eyeBuffers_;
    QImage mouthBuffer_;
    int renders_ = 0;
};

}  // namespace vizmo::player
