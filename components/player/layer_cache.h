#pragma once
// A layer of the frame that changes far less often than the frame itself
// (backdrop, body, hair behind the head), kept as a pixmap of the widget's
// size and pixel ratio and drawn afresh only when its key changes. The key
// lists what the layer depends on, quantised by the caller so that changes
// below what shows on screen do not redraw it.

#include <QPixmap>
#include <QSize>

#include <functional>
#include <vector>

class QPainter;

namespace vizmo::player {

class LayerCache {
public:
    using Key = std::vector<long long>;

    // Draws the layer onto `target` at the origin, from the cached pixmap when
    // `key` is the one it was drawn with, otherwise drawing it with `draw`
    // (given a painter on a transparent pixmap in the target's logical units).
    void paint(QPainter& target, QSize size, const Key& key, const std::function<void(QPainter&)>& draw);
    // How many times the layer was drawn afresh.
    int refills() const { return refills_; }

private:
    Key key_;
    double ratio_ = 0;
    QPixmap pixmap_;
    int refills_ = 0;
};

}  // namespace vizmo::player
