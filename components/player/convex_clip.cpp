#include "components/player/convex_clip.h"

#include <utility>

namespace vizmo::player {

namespace {

double cross(QPointF a, QPointF b, QPointF p)
{
    return (b.x() - a.x()) * (p.y() - a.y()) - (b.y() - a.y()) * (p.x() - a.x());
}

// A closed polygon's points without the repeated first point at its end.
QPolygonF open(QPolygonF polygon)
{
    if (polygon.size() > 1 && polygon.first() == polygon.last())
        polygon.removeLast();
    return polygon;
}

double signedArea(const QPolygonF& polygon)
{
    double twice = 0;
    for (qsizetype i = 0; i < polygon.size(); ++i) {
        const QPointF a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        twice += a.x() * b.y() - b.x() * a.y();
    }
    return twice / 2;
}

}  // namespace

bool isConvex(const QPolygonF& closed)
{
    const QPolygonF polygon = open(closed);
    if (polygon.size() < 3)
        return false;
    int sign = 0;
    for (qsizetype i = 0; i < polygon.size(); ++i) {
        const double turn = cross(polygon[i], polygon[(i + 1) % polygon.size()], polygon[(i + 2) % polygon.size()]);
        if (turn == 0)
            continue;
        const int s = turn > 0 ? 1 : -1;
        if (sign != 0 && s != sign)
            return false;
        sign = s;
    }
    return sign != 0;
}

// Sutherland-Hodgman: the subject is cut by each edge of the convex polygon in turn.
QPolygonF clipToConvex(const QPolygonF& subject, const QPolygonF& convexClosed)
{
    const QPolygonF convex = open(convexClosed);
    QPolygonF out = open(subject);
    if (convex.size() < 3)
        return {};
    const double inside = signedArea(convex) > 0 ? 1.0 : -1.0;
    for (qsizetype e = 0; e < convex.size() && !out.isEmpty(); ++e) {
        const QPointF a = convex[e], b = convex[(e + 1) % convex.size()];
        const QPolygonF in = std::exchange(out, QPolygonF());
        out.reserve(in.size() + 2);
        for (qsizetype i = 0; i < in.size(); ++i) {
            const QPointF p = in[i], q = in[(i + 1) % in.size()];
            const double dp = inside * cross(a, b, p), dq = inside * cross(a, b, q);
            if (dp >= 0)
                out.append(p);
            if ((dp >= 0) != (dq >= 0))
                out.append(p + (q - p) * (dp / (dp - dq)));
        }
    }
    return out.size() >= 3 ? out : QPolygonF();
}

}  // namespace vizmo::player
