#include "components/player/control_bar.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace vizmo::player {

ControlBarLayout controlBarLayout(const QRectF& area)
{
    const double height = std::clamp(area.height() * 0.1, 18.0, 40.0);
    const double margin = height * 0.2;
    ControlBarLayout l;
    l.bar = QRectF(area.left() + margin, area.bottom() - height - margin, area.width() - 2 * margin, height);
    const double button = height - 2 * margin;
    l.playPause = QRectF(l.bar.left() + margin, l.bar.top() + margin, button, button);
    l.stop = l.playPause.translated(button + margin, 0);
    l.track = QRectF(l.stop.right() + margin * 2, l.bar.center().y() - margin * 0.5,
                     std::max(0.0, l.bar.right() - l.stop.right() - margin * 4), margin);
    return l;
}

void paintControlBar(QPainter& p, const ControlBarLayout& l, PlaybackState state, double fraction)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 130));
    p.drawRoundedRect(l.bar, l.bar.height() / 2, l.bar.height() / 2);
    p.setBrush(QColor(255, 255, 255, 230));
    const QRectF b = l.playPause.adjusted(l.playPause.width() * 0.2, l.playPause.height() * 0.15,
                                          -l.playPause.width() * 0.15, -l.playPause.height() * 0.15);
    if (state == PlaybackState::Playing) {
        const double w = b.width() * 0.35;
        p.drawRect(QRectF(b.left(), b.top(), w, b.height()));
        p.drawRect(QRectF(b.right() - w, b.top(), w, b.height()));
    } else {
        QPainterPath triangle;
        triangle.moveTo(b.topLeft());
        triangle.lineTo(b.right(), b.center().y());
        triangle.lineTo(b.bottomLeft());
        triangle.closeSubpath();
        p.drawPath(triangle);
    }
    const QRectF s = l.stop.adjusted(l.stop.width() * 0.2, l.stop.height() * 0.2, -l.stop.width() * 0.2,
                                     -l.stop.height() * 0.2);
    p.drawRect(s);
    p.setBrush(QColor(255, 255, 255, 80));
    p.drawRoundedRect(l.track, l.track.height() / 2, l.track.height() / 2);
    QRectF done = l.track;
    done.setWidth(l.track.width() * std::clamp(fraction, 0.0, 1.0));
    p.setBrush(QColor(120, 190, 255, 240));
    p.drawRoundedRect(done, l.track.height() / 2, l.track.height() / 2);
    p.restore();
}

ControlBarHit hitControlBar(const ControlBarLayout& l, QPointF point)
{
    if (l.playPause.contains(point))
        return ControlBarHit::PlayPause;
    if (l.stop.contains(point))
        return ControlBarHit::Stop;
    const QRectF trackZone(l.track.left() - l.track.height(), l.bar.top(), l.track.width() + 2 * l.track.height(),
                           l.bar.height());
    if (trackZone.contains(point))
        return ControlBarHit::Track;
    if (l.bar.contains(point))
        return ControlBarHit::Bar;
    return ControlBarHit::None;
}

double trackFraction(const ControlBarLayout& l, QPointF point)
{
    if (l.track.width() <= 0)
        return 0.0;
    return std::clamp((point.x() - l.track.left()) / l.track.width(), 0.0, 1.0);
}

}  // namespace vizmo::player
