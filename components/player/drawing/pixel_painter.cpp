#include "components/player/drawing/pixel_painter.h"

#include "components/player/drawing/gradient_textures.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

namespace vizmo::player {

PixelPainter::PixelPainter(QPainter& painter, GradientTextures* textures)
    : painter_(painter), textures_(textures), pixelRatio_(painter.device() ? painter.device()->devicePixelRatioF() : 1.0),
      initial_(painter.transform()), transform_(initial_), pen_(painter.pen()), brush_(painter.brush())
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
// under a transformed painter; a foreshortened frame gets the mean scale. A
// radial gradient's picture is placed for the shape it fills.
bool PixelPainter::applyStyle(const QRectF& bounds)
{
    if (measured_) {
        const double pen = pen_.style() == Qt::NoPen ? 0.0
                           : pen_.isCosmetic()     ? pen_.widthF()
                                                   : pen_.widthF() * std::sqrt(std::abs(transform_.determinant()));
        const double spare = pen / 2 + 1;
        *measured_ |= bounds.adjusted(-spare, -spare, spare, spare);
        return false;
    }
    if (!styleDirty_ && !brushFollowsBounds_)
        return true;
    if (styleDirty_) {
        QPen pen = pen_;
        if (pen.style() != Qt::NoPen && !pen.isCosmetic())
            pen.setWidthF(pen.widthF() * std::sqrt(std::abs(transform_.determinant())));
        painter_.setPen(pen);
    }
    QBrush brush = brush_;
    brushFollowsBounds_ = false;
    if (brush.style() == Qt::RadialGradientPattern && textures_) {
        const QTransform toTarget = brush.transform() * transform_;
        if (auto picture = textures_->brush(*static_cast<const QRadialGradient*>(brush.gradient()), toTarget, bounds, pixelRatio_)) {
            brush = *picture;
            brushFollowsBounds_ = true;
        } else {
            brush.setTransform(toTarget);
        }
    } else if (brush.style() != Qt::NoBrush && brush.style() != Qt::SolidPattern) {
        brush.setTransform(brush.transform() * transform_);
    }
    painter_.setBrush(brush);
    styleDirty_ = false;
    return true;
}

void PixelPainter::drawPath(const QPainterPath& path)
{
    const QPainterPath mapped = transform_.map(path);
    if (applyStyle(mapped.controlPointRect()))
        painter_.drawPath(mapped);
}

void PixelPainter::drawEllipse(QPointF centre, double rx, double ry)
{
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    drawPath(path);
}

void PixelPainter::drawRect(const QRectF& rect)
{
    if (!applyStyle(transform_.mapRect(rect)))
        return;
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
    const QPolygonF mapped = transform_.map(polyline);
    if (applyStyle(mapped.boundingRect()))
        painter_.drawPolyline(mapped);
}

QPolygonF PixelPainter::devicePolygon(const QPainterPath& path) const
{
    return transform_.map(path).toFillPolygon();
}

void PixelPainter::drawDevicePolygon(const QPolygonF& polygon)
{
    if (polygon.size() < 3)
        return;
    if (applyStyle(polygon.boundingRect()))
        painter_.drawPolygon(polygon);
}

void PixelPainter::drawLine(QPointF from, QPointF to)
{
    if (applyStyle(QRectF(transform_.map(from), transform_.map(to)).normalized()))
        painter_.drawLine(transform_.map(from), transform_.map(to));
}

void PixelPainter::drawPoint(QPointF point)
{
    if (applyStyle(QRectF(transform_.map(point), QSizeF(0, 0))))
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
