#include "components/player/drawing/head_projection.h"

#include <QRectF>

#include <algorithm>
#include <cmath>

namespace vizmo::player {

HeadProjection::HeadProjection(QPointF centre, double rx, double ry, double yaw, double pitch)
    : c_(centre), rx_(rx), ry_(ry), cy_(std::cos(yaw)), sy_(std::sin(yaw)), cp_(std::cos(pitch)), sp_(std::sin(pitch))
{
}

QPointF HeadProjection::point(double u, double v, double lift) const
{
    const double z = std::sqrt(std::max(0.04, 1.0 - u * u - v * v)) + lift;
    const double x1 = u * cy_ + z * sy_;
    const double z1 = -u * sy_ + z * cy_;
    const double y2 = v * cp_ + z1 * sp_;
    return {c_.x() + x1 * rx_, c_.y() + y2 * ry_};
}

double HeadProjection::facing(double u, double v) const
{
    const double z = std::sqrt(std::max(0.0, 1.0 - u * u - v * v));
    const double z1 = -u * sy_ + z * cy_;
    return -v * sp_ + z1 * cp_;
}

QTransform HeadProjection::frame(double u, double v, double lift) const
{
    constexpr double e = 0.01;
    const QPointF o = point(u, v, lift);
    const QPointF ex = (point(u + e, v, lift) - o) / e / rx_;
    const QPointF ey = (point(u, v + e, lift) - o) / e / ry_;
    return QTransform(ex.x(), ex.y(), ey.x(), ey.y(), o.x(), o.y());
}

QPainterPath headOutline(const HeadProjection& h, const FaceModel& m, double chinLength)
{
    const QPointF c = h.centre();
    const double rx = h.rx(), ry = h.ry();
    const double chinShift = h.yawSine() * 0.14 * rx;
    const double chinY = c.y() + ry * chinLength;
    const double jawSpread = rx * (0.22 + 0.40 * m.jaw);
    QPainterPath path;
    path.moveTo(c.x() - rx, c.y());
    path.arcTo(QRectF(c.x() - rx, c.y() - ry * 0.98, 2 * rx, 2 * ry * 0.98), 180, -180);
    path.cubicTo(QPointF(c.x() + rx, c.y() + ry * (0.35 + 0.35 * m.jaw)),
                 QPointF(c.x() + chinShift + jawSpread, chinY), QPointF(c.x() + chinShift, chinY));
    path.cubicTo(QPointF(c.x() + chinShift - jawSpread, chinY),
                 QPointF(c.x() - rx, c.y() + ry * (0.35 + 0.35 * m.jaw)), QPointF(c.x() - rx, c.y()));
    path.closeSubpath();
    return path;
}

}  // namespace vizmo::player
