#include "components/player/layer_cache.h"

#include <QPainter>

namespace vizmo::player {

void LayerCache::paint(QPainter& target, QSize size, const Key& key, const std::function<void(QPainter&)>& draw)
{
    const double ratio = target.device() ? target.device()->devicePixelRatioF() : 1.0;
    if (pixmap_.isNull() || key != key_ || ratio != ratio_ || pixmap_.size() != size * ratio) {
        pixmap_ = QPixmap(size * ratio);
        pixmap_.setDevicePixelRatio(ratio);
        pixmap_.fill(Qt::transparent);
        QPainter painter(&pixmap_);
        draw(painter);
        key_ = key;
        ratio_ = ratio;
        ++refills_;
    }
    target.drawPixmap(QPointF(0, 0), pixmap_);
}

}  // namespace vizmo::player
