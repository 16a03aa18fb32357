#pragma once
// A layer of the frame (backdrop, body, the skin of a head, an eye, the
// mouth), kept as a picture while it holds still. Its key lists what it
// depends on, quantised by the caller so that changes below what shows on
// screen do not count. A layer whose key changed since the last frame is
// moving: a picture of it would not outlive the frame, so it is drawn
// straight onto the target. One whose key held since the last frame is
// drawn once more into a picture at the target's pixel ratio, which is then
// copied for as long as the key holds.

#include <QColor>
#include <QImage>
#include <QRect>

#include <functional>
#include <vector>

class QPainter;

namespace vizmo::player {

class LayerCache {
public:
    using Key = std::vector<long long>;

    // Paints the layer onto `target` within `rect` (logical pixels): `draw`
    // paints it in the target's logical units onto the painter it is given,
    // which is clipped to `rect` and starts as `ground` there (an opaque
    // ground makes an opaque picture, which copies without blending).
    // `within`, when given, says how much of `rect` the layer's picture
    // needs to cover; it is asked only when a picture is made.
    void paint(QPainter& target, const QRect& rect, const QColor& ground, const Key& key,
               const std::function<void(QPainter&)>& draw, const std::function<QRect()>& within = {});
    // How many pictures of the layer were made.
    int refills() const { return refills_; }
    // How many times the layer was drawn straight onto the target.
    int straightDraws() const { return straightDraws_; }

private:
    struct Drawn {
        Key key;
        QRect rect;
        QColor ground;
        double ratio = 0;
        bool operator==(const Drawn&) const = default;
    };

    Drawn last_;   // what the last frame drew
    Drawn kept_;   // what the picture shows
    bool hasPicture_ = false;
    QImage picture_;  // an image, not a pixmap: the frame may be painted off the UI thread
    QRect pictureRect_;
    int refills_ = 0;
    int straightDraws_ = 0;
};

}  // namespace vizmo::player
