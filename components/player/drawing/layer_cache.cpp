#include "components/player/drawing/layer_cache.h"

#include <QPaintDevice>
#include <QPainter>

namespace vizmo::player {

void LayerCache::paint(QPainter& target, const QRect& rect, const QColor& ground, const Key& key,
                       const std::function<void(QPainter&)>& draw, const std::function<QRect()>& within)
{
    if (rect.isEmpty())
        return;
    const double ratio = target.device() ? target.device()->devicePixelRatioF() : 1.0;
    const Drawn now{key, rect, ground, ratio};
    const bool held = now == last_;
    last_ = now;
    if (!(hasPicture_ && now == kept_) && !held) {
        // Moving: straight onto the target.
        target.save();
        target.setClipRect(rect, Qt::IntersectClip);
        if (ground.alpha() > 0)
            target.fillRect(rect, ground);
        draw(target);
        target.restore();
        ++straightDraws_;
        return;
    }
    if (!hasPicture_ || now != kept_) {
        pictureRect_ = within ? (within() & rect) : rect;
        if (pictureRect_.isEmpty()) {
            picture_ = QImage();
        } else {
            const QSize size = pictureRect_.size() * ratio;
            // An opaque ground needs no alpha: such a picture copies without blending.
            const QImage::Format format = ground.alpha() == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied;
            if (picture_.size() != size || picture_.format() != format)
                picture_ = QImage(size, format);
            picture_.setDevicePixelRatio(ratio);
            picture_.fill(ground);
            QPainter painter(&picture_);
            painter.translate(-pictureRect_.topLeft());
            draw(painter);
        }
        kept_ = now;
        hasPicture_ = true;
        ++refills_;
    }
    if (!picture_.isNull())
        target.drawImage(pictureRect_.topLeft(), picture_);
}

}  // namespace vizmo::player
