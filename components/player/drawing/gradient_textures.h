#pragma once
// Radial gradients kept as pictures. Qt works a radial gradient out pixel by
// pixel, which over the skin and hair of a large face costs three to four
// times what filling the same shape with a picture does; and a radial
// gradient turned about its centre is the same gradient, so one picture of
// it, moved by whole device pixels, serves every turn, tilt and place of the
// head. Moved by whole pixels, its colours stand at most half a pixel off:
// at most half a level where the gradient changes by a level a pixel or less,
// so steeper (small) gradients are left to Qt.

#include <QBrush>
#include <QImage>
#include <QPoint>
#include <QRadialGradient>
#include <QRect>
#include <QTransform>

#include <optional>
#include <vector>

namespace vizmo::player {

class GradientTextures {
public:
    // The brush that paints `gradient`, mapped onto the target by `toTarget`
    // (the target's logical pixels, `pixelRatio` device pixels each), over a
    // shape within `targetBounds`; nothing when the gradient is not a plain
    // radial one (pad spread, its focus at its centre), when it changes by
    // more than a level a device pixel, or when `toTarget` does more than
    // turn, scale evenly and move it.
    std::optional<QBrush> brush(const QRadialGradient& gradient, const QTransform& toTarget, const QRectF& targetBounds,
                                double pixelRatio);

    // How many pictures were drawn, over all gradients.
    int renders() const { return renders_; }

private:
    struct Texture {
        QGradientStops stops;
        double radius = 0;  // device pixels
        QImage image;
        QPoint centre;      // the pixel corner in `image` where the gradient's centre lies
        int lastUse = 0;
    };

    static constexpr std::size_t kKept = 8;

    std::vector<Texture> textures_;
    int uses_ = 0;
    int renders_ = 0;
};

}  // namespace vizmo::player
