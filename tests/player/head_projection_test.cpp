// The head's geometry on its own: where its surface lands as it turns, and
// the outline the face is drawn in.
#include "components/player/drawing/head_projection.h"

#include <gtest/gtest.h>

namespace vizmo::player {
namespace {

TEST(HeadProjection, TurningBringsTheFarCheekIntoViewAndForeshortensTheSides)
{
    const QPointF centre(0, -0.1);
    const HeadProjection straight(centre, 0.4, 0.5, 0, 0);
    EXPECT_EQ(straight.point(0, 0), centre);
    EXPECT_NEAR(straight.facing(-0.6, 0), straight.facing(0.6, 0), 1e-12);
    auto across = [](const QTransform& frame) { return frame.map(QPointF(0.1, 0)).x() - frame.map(QPointF(0, 0)).x(); };
    // Straight on, a unit across the face is a unit on screen.
    EXPECT_NEAR(across(straight.frame(0, 0)), 0.1, 1e-3);

    const HeadProjection turned(centre, 0.4, 0.5, 0.5, 0);  // towards the viewer's right
    EXPECT_GT(turned.point(0, 0).x(), centre.x());
    EXPECT_GT(turned.facing(-0.6, 0), turned.facing(0.6, 0));
    EXPECT_LT(across(turned.frame(0.6, 0)), 0.6 * across(turned.frame(-0.6, 0))) << "the side turning away narrows";
    const HeadProjection nodded(centre, 0.4, 0.5, 0, 0.4);  // chin down
    EXPECT_GT(nodded.point(0, 0).y(), centre.y());
}

TEST(HeadProjection, OutlineSpansTheHeadAndEndsAtTheChin)
{
    FaceModel model;
    const HeadProjection head(QPointF(0, -0.1), 0.4, 0.5, 0, 0);
    const QRectF box = headOutline(head, model, 1.1).boundingRect();
    EXPECT_NEAR(box.left(), -0.4, 1e-9);
    EXPECT_NEAR(box.right(), 0.4, 1e-9);
    EXPECT_NEAR(box.top(), -0.1 - 0.5 * 0.98, 1e-9);
    EXPECT_NEAR(box.bottom(), -0.1 + 0.5 * 1.1, 1e-9);
    // A turned head's chin follows the turn.
    const HeadProjection turned(QPointF(0, -0.1), 0.4, 0.5, 0.5, 0);
    const QPainterPath outline = headOutline(turned, model, 1.1);
    EXPECT_TRUE(outline.contains(QPointF(0.04, -0.1 + 0.5 * 1.09)));
    EXPECT_FALSE(outline.contains(QPointF(-0.04, -0.1 + 0.5 * 1.09)));
}

}  // namespace
}  // namespace vizmo::player
