#include "components/player/drawing/face_shapes.h"

#include "components/player/drawing/convex_clip.h"

namespace vizmo::player {

QColor shade(const QColor& c, int factor) { return factor >= 100 ? c.lighter(factor) : c.darker(10000 / factor); }

QPainterPath eyeOpening(double ew, double eh, double upperLift, double lowerDrop)
{
    // A cubic's middle lies at three quarters of its control points' offset.
    const double up = -eh * 1.35 - upperLift / 0.75, down = eh * 1.15 + lowerDrop / 0.75;
    QPainterPath path;
    path.moveTo(-ew, 0);
    path.cubicTo(QPointF(-ew * 0.5, up), QPointF(ew * 0.5, up), QPointF(ew, -eh * 0.05));
    path.cubicTo(QPointF(ew * 0.5, down), QPointF(-ew * 0.5, down), QPointF(-ew, 0));
    return path;
}

QPainterPath crescent(QPointF from, QPointF control, QPointF to, double above, double below)
{
    // A quadratic's middle lies halfway between its control point and its ends' mean.
    QPainterPath path;
    path.moveTo(from);
    path.quadTo(control - QPointF(0, 2 * above), to);
    path.quadTo(control + QPointF(0, 2 * below), from);
    path.closeSubpath();
    return path;
}

OpeningCutter::OpeningCutter(PixelPainter& painter, const QPainterPath& opening)
    : p_(painter), opening_(painter.devicePolygon(opening)), convex_(isConvex(opening_))
{
    if (!convex_) {
        p_.save();
        p_.setClipPath(opening);
    }
}

void OpeningCutter::drawPath(const QPainterPath& shape)
{
    if (convex_)
        p_.drawDevicePolygon(clipToConvex(p_.devicePolygon(shape), opening_));
    else
        p_.drawPath(shape);
}

void OpeningCutter::drawEllipse(QPointF centre, double rx, double ry)
{
    QPainterPath ellipse;
    ellipse.addEllipse(centre, rx, ry);
    drawPath(ellipse);
}

void OpeningCutter::drawRect(const QRectF& rect)
{
    QPainterPath box;
    box.addRect(rect);
    drawPath(box);
}

void OpeningCutter::finish()
{
    if (convex_ || finished_)
        return;
    finished_ = true;
    p_.restore();
}

}  // namespace vizmo::player
