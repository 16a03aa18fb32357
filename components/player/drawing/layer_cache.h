#pragma once
// A layer of the frame that changes far less often than the frame itself
// (backdrop, body, the skin of a head that holds still), kept as a pixmap of
// the rectangle it covers at the target's pixel ratio and drawn afresh only
// when its key changes. The key lists what the layer depends on, quantised by
// the caller so that changes below what shows on screen do not redraw it.

#include <QColor>
#include <QPixmap>
#include <QRect>

#include <functional>
#include <vector>

class QPainter;

namespace vizmo::player {

class LayerCache {
public:
    using Key = std::vector<long long>;

    // Draws the layer onto `target` over `rect` (logical pixels), from the
    // cached pixmap when `key` and `rect` are the ones it was drawn with,
    // otherwise drawing it with `draw`: given a painter in the target's
    // logical units on a pixmap that starts as `ground`. An opaque ground
    // makes an opaque pixmap, which copies onto the target without blending.
    void paint(QPainter& target, const QRect& rect, const QColor& ground, const Key& key,
               const std::function<void(QPainter&)>& draw);
    // How many times the layer was drawn afresh.
    int refills() const { return refills_; }

private:
    Key key_;
    QRect rect_;
    QColor ground_;
    double ratio_ = 0;
    QPixmap pixmap_;
    int refills_ = 0;
};

}  // namespace vizmo::player
