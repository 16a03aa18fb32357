#include "components/player/drawing/pixel_painter.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

namespace vizmo::player {

PixelPainter::PixelPainter(QPainter& painter)
    : painter_(painter), initial_(painter.transform()), transform_(initial_), pen_(painter.pen()), brush_(painter.brush())
{
    painter_.setTransform(QTransform());
}

PixelPainter::~PixelPainter()
{
    painter_.setTransform(initial_);
}

void PixelPainter::setTransform(const QTransform& transform, bool combine)
{
    transform_ = combine ? transform * transform_ : transform;
    styleDirty_ = true;
}

void PixelPainter::translate(QPointF offset)
{
    transform_.translate(offset.x(), offset.y());
    styleDirty_ = true;
}

void PixelPainter::rotate(double degrees)
{
    transform_.rotate(degrees);
    styleDirty_ = true;
}

void PixelPainter::scale(double sx, double sy)
{
    transform_.scale(sx, sy);
    styleDirty_ = true;
}

void PixelPainter::save()
{
    saved_.push_back({transform_, pen_, brush_});
    painter_.save();
}

void PixelPainter::restore()
{
    if (saved_.empty())
        return;
    painter_.restore();
    transform_ = saved_.back().transform;
    pen_ = saved_.back().pen;
    brush_ = saved_.back().brush;
    saved_.pop_back();
    styleDirty_ = true;
}

void PixelPainter::setPen(const QPen& pen)
{
    pen_ = pen;
    styleDirty_ = true;
}

void PixelPainter::setBrush(const QBrush& brush)
{
    brush_ = brush;
    styleDirty_ = true;
}

// Pens widen and brushes (gradients) follow the scene transform, as they would
// under a transformed painter; a foreshortened frame gets the mean scale.
void PixelPainter::applyStyle()
{
    if (!styleDirty_)
        return;
    QPen pen = pen_;
    if (pen.style() != Qt::NoPen && !pen.isCosmetic())
        pen.setWidthF(pen.widthF() * std::sqrt(std::abs(transform_.determinant())));
    painter_.setPen(pen);
    QBrush brush = brush_;
    if (brush.style() != Qt::NoBrush && brush.style() != Qt::SolidPattern)
        brush.setTransform(brush.transform() * transform_);
    painter_.setBrush(brush);
    styleDirty_ = false;
}

void PixelPainter::drawPath(const QPainterPath& path)
{
    applyStyle();
    painter_.drawPath(transform_.map(path));
}

void PixelPainter::drawEllipse(QPointF centre, double rx, double ry)
{
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    drawPath(path);
}

void PixelPainter::drawRect(const QRectF& rect)
{
    applyStyle();
    if (transform_.type() <= QTransform::TxScale) {
        painter_.drawRect(transform_.mapRect(rect));
        return;
    }
    painter_.drawPolygon(transform_.map(QPolygonF(rect)));
}

void PixelPainter::drawRoundedRect(const QRectF& rect, double rx, double ry)
{
    QPainterPath path;
    path.addRoundedRect(rect, rx, ry);
    drawPath(path);
}

void PixelPainter::drawPolyline(const QPolygonF& polyline)
{
    applyStyle();
    painter_.drawPolyline(transform_.map(polyline));
}

QPolygonF PixelPainter::devicePolygon(const QPainterPath& path) const
{
    return transform_.map(path).toFillPolygon();
}

void PixelPainter::drawDevicePolygon(const QPolygonF& polygon)
{
    if (polygon.size() < 3)
        return;
    applyStyle();
    painter_.drawPolygon(polygon);
}

void PixelPainter::drawLine(QPointF from, QPointF to)
{
    applyStyle();
    painter_.drawLine(transform_.map(from), transform_.map(to));
}

void PixelPainter::drawPoint(QPointF point)
{
    applyStyle();
    painter_.drawPoint(transform_.map(point));
}

void PixelPainter::setClipPath(const QPainterPath& path)
{
    painter_.setClipPath(transform_.map(path), Qt::IntersectClip);
}

void PixelPainter::setClipping(bool enabled)
{
    painter_.setClipping(enabled);
}

}  // namespace vizmo::player
