// Cutting shapes to the eye and mouth openings: areas come out right for
// either winding, and shapes wholly inside or outside stay whole or vanish.
#include "components/player/drawing/convex_clip.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vizmo::player {
namespace {

double area(const QPolygonF& p)
{
    double twice = 0;
    for (qsizetype i = 0; i < p.size(); ++i)
        twice += p[i].x() * p[(i + 1) % p.size()].y() - p[(i + 1) % p.size()].x() * p[i].y();
    return std::abs(twice) / 2;
}

QPolygonF square(double x, double y, double side)
{
    return QPolygonF({{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}, {x, y}});
}

TEST(ConvexClip, OverlapOfTwoSquaresInEitherWinding)
{
    const QPolygonF a = square(0, 0, 10), b = square(5, 5, 10);
    EXPECT_NEAR(area(clipToConvex(b, a)), 25, 1e-9);
    QPolygonF reversed(a.rbegin(), a.rend());
    EXPECT_NEAR(area(clipToConvex(b, reversed)), 25, 1e-9);
}

TEST(ConvexClip, InsideStaysWholeAndOutsideVanishes)
{
    const QPolygonF box = square(0, 0, 10);
    EXPECT_NEAR(area(clipToConvex(square(2, 2, 3), box)), 9, 1e-9);
    EXPECT_TRUE(clipToConvex(square(20, 20, 3), box).isEmpty());
    // A concave subject keeps its notch.
    const QPolygonF notch({{1, 1}, {9, 1}, {9, 9}, {5, 5}, {1, 9}});
    EXPECT_NEAR(area(clipToConvex(notch, box)), area(notch), 1e-9);
}

// The plain cut, every edge against every point, to check the quick one against.
QPolygonF slowClip(QPolygonF subject, const QPolygonF& convex)
{
    double twice = 0;
    for (qsizetype i = 0; i < convex.size(); ++i)
        twice += convex[i].x() * convex[(i + 1) % convex.size()].y() - convex[(i + 1) % convex.size()].x() * convex[i].y();
    const double inside = twice > 0 ? 1 : -1;
    for (qsizetype e = 0; e < convex.size() && !subject.isEmpty(); ++e) {
        const QPointF a = convex[e], b = convex[(e + 1) % convex.size()];
        const auto side = [&](QPointF p) {
            return inside * ((b.x() - a.x()) * (p.y() - a.y()) - (b.y() - a.y()) * (p.x() - a.x()));
        };
        QPolygonF out;
        for (qsizetype i = 0; i < subject.size(); ++i) {
            const QPointF p = subject[i], q = subject[(i + 1) % subject.size()];
            if (side(p) >= 0)
                out << p;
            if ((side(p) >= 0) != (side(q) >= 0))
                out << p + (q - p) * (side(p) / (side(p) - side(q)));
        }
        subject = out;
    }
    return subject;
}

QPolygonF disc(QPointF centre, double r, int points)
{
    QPolygonF p;
    for (int i = 0; i < points; ++i)
        p << centre + QPointF(r * std::cos(i * 2 * 3.14159265358979 / points), r * std::sin(i * 2 * 3.14159265358979 / points));
    return p;
}

TEST(ConvexClip, ManySidedOpeningCutsLikeThePlainCut)
{
    // Like an iris cut to an eye: most of the opening's edges pass clear of
    // the shape, a few cross it.
    const QPolygonF opening = disc({0, 0}, 10, 48);
    for (int i = 0; i < 24; ++i) {
        const QPointF at(-14 + i * 1.3, -6 + (i % 7) * 2.1);
        const QPolygonF shape = disc(at, 2 + i % 5, 20);
        const QPolygonF quick = clipToConvex(shape, opening), plain = slowClip(shape, opening);
        EXPECT_NEAR(area(quick), plain.size() >= 3 ? area(plain) : 0.0, 1e-9) << "shape at " << at.x() << ", " << at.y();
    }
}

TEST(ConvexClip, BoxOverEdgeButPointsInsideStaysWhole)
{
    // The L's bounding box pokes out over the triangle's long edge, its points do not.
    const QPolygonF triangle({{0, 0}, {10, 0}, {0, 10}});
    const QPolygonF ell({{1, 1}, {8, 1}, {8, 1.5}, {1.5, 1.5}, {1.5, 8}, {1, 8}});
    const QPolygonF cut = clipToConvex(ell, triangle);
    EXPECT_NEAR(area(cut), area(ell), 1e-9);
    EXPECT_EQ(cut.size(), ell.size());
}

TEST(ConvexClip, ConvexityTest)
{
    EXPECT_TRUE(isConvex(square(0, 0, 1)));
    EXPECT_FALSE(isConvex(QPolygonF({{0, 0}, {10, 0}, {5, 2}, {10, 10}, {0, 10}})));
    EXPECT_FALSE(isConvex(QPolygonF(QList<QPointF>{{0, 0}, {1, 1}})));
}

}  // namespace
}  // namespace vizmo::player
