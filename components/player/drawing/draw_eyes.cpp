#include "components/player/drawing/draw_eyes.h"

#include "components/player/drawing/face_shapes.h"

#include <QRadialGradient>

#include <algorithm>

namespace vizmo::player {

void drawEyes(const FaceScene& s)
{
    for (int side : {-1, 1})
        drawEye(s, side);
}

void drawEye(const FaceScene& s, int side)
{
    PixelPainter& p = s.p;
    const FaceModel& m = s.m;
    const double surprise = s.layout.weights.surprise;
    const double sad = s.layout.weights.sad;
    const double ew = s.layout.eyeWidth;
    const double eh = s.layout.eyeHeight;
    const double lower = s.layout.lowerLid;

    const auto e = std::size_t(side < 0 ? 0 : 1);
    const FacePose::Eye& eye = s.pose.eyes[e];
    const double cover = s.layout.lidCover[e];
    const double u = side * s.layout.eyeSpacing;
    p.save();
    p.setTransform(s.layout.head.frame(u, -0.08), true);
    // An open eye has a dark rim, heavy along the top and fine below. Its
    // outer almond goes down first and the white is the inner one, so the
    // ring costs one outline, and what lies in the eye is cut to the white.
    const double lash = ew * 0.14;
    const QColor lashColor(0x2a, 0x1c, 0x18);
    const bool rimmed = cover <= 0.15;
    p.setPen(Qt::NoPen);
    if (rimmed) {
        p.setBrush(lashColor);
        p.drawPath(eyeOpening(ew + lash * 0.45, eh, lash * 0.75, lash * 0.3));
    }
    const QPainterPath opening = rimmed ? eyeOpening(ew - lash * 0.3, eh, -lash * 0.4, -lash * 0.2) : eyeOpening(ew, eh);
    p.setBrush(QColor(0xf6, 0xf3, 0xee));
    p.drawPath(opening);
    OpeningCutter inside(p, opening);

    const QPointF iris(eye.x * ew * 0.55, -eye.y * eh * 0.45);
    const double ir = ew * 0.52;
    QRadialGradient irisColor(iris, ir);
    irisColor.setColorAt(0, shade(m.eyeColor, 130));
    irisColor.setColorAt(0.8, m.eyeColor);
    irisColor.setColorAt(1, shade(m.eyeColor, 55));
    p.setBrush(irisColor);
    inside.drawEllipse(iris, ir, ir);
    p.setBrush(QColor(0x14, 0x10, 0x10));
    inside.drawEllipse(iris, ir * (0.42 + 0.1 * surprise), ir * (0.42 + 0.1 * surprise));
    p.setBrush(QColor(255, 255, 255, 220));
    inside.drawEllipse(iris + QPointF(-ir * 0.3, -ir * 0.35), ir * 0.18, ir * 0.18);

    // The lids are skin drawn over the opening from above and below.
    const double top = -eh * 1.05;
    const double lidEdge = top + (eh * 2.0) * cover;
    p.setBrush(shade(m.skin, 96));
    QPainterPath upperLid;
    upperLid.moveTo(-ew * 1.2, top - eh);
    upperLid.lineTo(ew * 1.2, top - eh);
    upperLid.lineTo(ew * 1.2, lidEdge - side * 0.08 * sad * eh * 4);
    upperLid.quadTo(QPointF(0, lidEdge + eh * 0.35 * (1 - cover)), QPointF(-ew * 1.2, lidEdge + side * 0.08 * sad * eh * 4));
    upperLid.closeSubpath();
    inside.drawPath(upperLid);
    if (lower > 0) {
        const double lowEdge = eh * (0.9 - 1.2 * lower);
        QPainterPath lowerLid;
        lowerLid.moveTo(-ew * 1.2, eh * 2);
        lowerLid.lineTo(-ew * 1.2, lowEdge);
        lowerLid.quadTo(QPointF(0, lowEdge - eh * 0.35), QPointF(ew * 1.2, lowEdge));
        lowerLid.lineTo(ew * 1.2, eh * 2);
        inside.drawPath(lowerLid);
    }
    inside.finish();
    // Lash line along a lowered lid's edge and a soft crease above the
    // eye, filled as tapering shapes: lighter than stroked lines, and cheaper.
    p.setBrush(lashColor);
    if (!rimmed) {
        const double edge = std::min(lidEdge, eh * 0.95);
        const double sag = edge - eh * 0.35 * (1 - cover) * 0.2 + (cover < 0.98 ? 0 : eh * 0.1);
        p.drawPath(crescent(QPointF(-ew * 1.05, (edge - top) * 0.1), QPointF(0, sag),
                            QPointF(ew * 1.05, -eh * 0.05 + (edge - top) * 0.1), lash * 0.65, lash * 0.45));
    }
    p.setBrush(shade(m.skin, 75));
    p.drawPath(crescent(QPointF(-ew * 0.9, -eh * 1.35), QPointF(0, -eh * 2.0), QPointF(ew * 0.95, -eh * 1.2),
                        ew * 0.035, ew * 0.03));
    p.restore();
}

void drawBrows(const FaceScene& s)
{
    PixelPainter& p = s.p;
    const FaceModel& m = s.m;
    const double surprise = s.layout.weights.surprise;
    const double sad = s.layout.weights.sad;
    const double angry = s.layout.weights.angry;
    const double spacing = s.layout.eyeSpacing;
    // A speech accent lifts the brows about as far as surprise does.
    const double raise = 0.05 * surprise + 0.04 * s.pose.browRaise - 0.02 * angry;
    const double innerLift = 0.04 * sad - 0.045 * angry;
    const double w = 0.085 + 0.01 * m.eyeSize;
    const double thickness = 0.013 + 0.024 * m.browThickness;
    p.setPen(Qt::NoPen);
    p.setBrush(m.browColor);
    for (int side : {-1, 1}) {
        const double lift = raise + 0.015 * std::max(0.0, s.pose.eyes[side < 0 ? 0 : 1].y);
        p.save();
        p.setTransform(s.layout.head.frame(side * spacing, -0.33), true);
        // Brows run from a blunt inner end (towards the nose) to a fine outer tip.
        const QPointF inner(-side * w, -lift - innerLift);
        const QPointF outer(side * w * 1.1, -lift + 0.015);
        const QPointF arch(side * w * 0.2, -lift - 0.025 - 0.035 * m.browArch - 0.01 * surprise);
        const QPointF half(0, thickness * 0.5);
        QPainterPath brow;
        brow.moveTo(inner - half);
        brow.quadTo(arch - half * 1.1, outer);
        brow.quadTo(arch + half * 0.9, inner + half);
        brow.quadTo(inner - QPointF(side * thickness * 0.45, 0), inner - half);
        p.drawPath(brow);
        p.restore();
    }
}

void drawGlasses(const FaceScene& s)
{
    const FaceModel& m = s.m;
    if (m.glassesStyle == GlassesStyle::None)
        return;
    PixelPainter& p = s.p;
    const double spacing = s.layout.eyeSpacing;
    const double r = 0.105 + 0.02 * m.eyeSize;
    p.setPen(QPen(m.glassesColor, 0.012, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (int side : {-1, 1}) {
        p.save();
        p.setTransform(s.layout.head.frame(side * spacing, -0.08, 0.08), true);
        p.setBrush(QColor(200, 220, 255, 35));
        if (m.glassesStyle == GlassesStyle::Round)
            p.drawEllipse(QPointF(0, 0), r, r * 0.85);
        else
            p.drawRoundedRect(QRectF(-r, -r * 0.72, 2 * r, r * 1.45), r * 0.25, r * 0.25);
        p.restore();
    }
    QPainterPath bridge;
    bridge.moveTo(s.layout.head.point(-spacing + r / s.layout.head.rx(), -0.1, 0.08));
    bridge.quadTo(s.layout.head.point(0, -0.16, 0.12), s.layout.head.point(spacing - r / s.layout.head.rx(), -0.1, 0.08));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bridge);
}

}  // namespace vizmo::player
