// Cutting shapes to the eye and mouth openings: areas come out right for
// either winding, and shapes wholly inside or outside stay whole or vanish.
#include "components/player/convex_clip.h"

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

TEST(ConvexClip, ConvexityTest)
{
    EXPECT_TRUE(isConvex(square(0, 0, 1)));
    EXPECT_FALSE(isConvex(QPolygonF({{0, 0}, {10, 0}, {5, 2}, {10, 10}, {0, 10}})));
    EXPECT_FALSE(isConvex(QPolygonF({{0, 0}, {1, 1}})));
}

}  // namespace
}  // namespace vizmo::player
