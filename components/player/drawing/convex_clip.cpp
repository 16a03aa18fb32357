#include "components/player/drawing/convex_clip.h"

#include <QRectF>

#include <vector>

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
// Most edges of an opening pass clear of the shape cut to it: an edge with the
// subject's bounding box wholly on its inner side leaves the subject as it is
// (every point of the cut polygon stays in that box), and one with the box
// wholly outside leaves nothing, so neither needs a pass over the points.
QPolygonF clipToConvex(const QPolygonF& subject, const QPolygonF& convexClosed)
{
    const QPolygonF convex = open(convexClosed);
    if (convex.size() < 3)
        return {};
    const QPolygonF whole = open(subject);
    if (whole.isEmpty())
        return {};
    const QRectF box = whole.boundingRect();
    const QPointF corners[4] = {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft()};
    const double inside = signedArea(convex) > 0 ? 1.0 : -1.0;
    std::vector<QPointF> out(whole.cbegin(), whole.cend()), in;
    for (qsizetype e = 0; e < convex.size() && !out.empty(); ++e) {
        const QPointF a = convex[e], b = convex[(e + 1) % convex.size()];
        int cornersIn = 0;
        for (const QPointF& corner : corners)
            cornersIn += inside * cross(a, b, corner) >= 0;
        if (cornersIn == 4)
            continue;
        if (cornersIn == 0)
            return {};
        in.swap(out);
        out.clear();
        out.reserve(in.size() + 2);
        double dp = inside * cross(a, b, in.front());
        for (std::size_t i = 0; i < in.size(); ++i) {
            const QPointF p = in[i], q = in[(i + 1) % in.size()];
            const double dq = inside * cross(a, b, q);
            if (dp >= 0)
                out.push_back(p);
            if ((dp >= 0) != (dq >= 0))
                out.push_back(p + (q - p) * (dp / (dp - dq)));
            dp = dq;
        }
    }
    return out.size() >= 3 ? QPolygonF(out.cbegin(), out.cend()) : QPolygonF();
}

}  // namespace vizmo::player
