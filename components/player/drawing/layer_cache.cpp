#include "components/player/drawing/layer_cache.h"

#include <QPainter>

namespace vizmo::player {

void LayerCache::paint(QPainter& target, const QRect& rect, const QColor& ground, const Key& key,
                       const std::function<void(QPainter&)>& draw)
{
    if (rect.isEmpty())
        return;
    const double ratio = target.device() ? target.device()->devicePixelRatioF() : 1.0;
    if (pixmap_.isNull() || key != key_ || rect != rect_ || ground != ground_ || ratio != ratio_) {
        pixmap_ = QPixmap(rect.size() * ratio);
        pixmap_.setDevicePixelRatio(ratio);
        pixmap_.fill(ground);
        QPainter painter(&pixmap_);
        painter.translate(-rect.topLeft());
        draw(painter);
        key_ = key;
        rect_ = rect;
        ground_ = ground;
        ratio_ = ratio;
        ++refills_;
    }
    target.drawPixmap(rect.topLeft(), pixmap_);
}

}  // namespace vizmo::player
