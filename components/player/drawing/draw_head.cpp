#include "components/player/drawing/draw_head.h"

#include "components/player/drawing/face_shapes.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vizmo::player {

void drawTorso(const FaceScene& s)
{
    const QPointF neckBase = s.layout.neckBase;
    PixelPainter& p = s.p;
    const FaceModel& m = s.m;
    // Breathing in lifts the shoulders and widens the chest a little.
    const double half = 0.58 + 0.22 * m.shoulderWidth + 0.008 * s.pose.breath;
    const double breathLift = 0.012 * s.pose.breath;
    const double leftY = 0.56 - 0.09 * s.pose.shoulderLeft - breathLift;
    const double rightY = 0.56 - 0.09 * s.pose.shoulderRight - breathLift;
    const double neckHalf = 0.09 + 0.05 * m.neckWidth;

    // Neck first: the collar overlaps it.
    QPainterPath neck;
    neck.moveTo(neckBase.x() - neckHalf, neckBase.y() - 0.25);
    neck.lineTo(neckBase.x() + neckHalf, neckBase.y() - 0.25);
    neck.lineTo(neckBase.x() + neckHalf * 1.1, std::min(leftY, rightY) + 0.08);
    neck.lineTo(neckBase.x() - neckHalf * 1.1, std::min(leftY, rightY) + 0.08);
    neck.closeSubpath();
    QLinearGradient neckShade(neckBase.x() - neckHalf, 0, neckBase.x() + neckHalf, 0);
    neckShade.setColorAt(0, shade(m.skin, 80));
    neckShade.setColorAt(0.5, shade(m.skin, 92));
    neckShade.setColorAt(1, shade(m.skin, 75));
    p.setPen(Qt::NoPen);
    p.setBrush(neckShade);
    p.drawPath(neck);

    QPainterPath body;
    const double bottom = 1.3;
    body.moveTo(-half - 0.08, bottom);
    body.cubicTo(QPointF(-half - 0.06, leftY + 0.10), QPointF(-half + 0.02, leftY), QPointF(-half * 0.45, leftY - 0.01));
    body.lineTo(neckBase.x() - neckHalf * 1.05, (leftY + rightY) / 2 - 0.02);
    body.lineTo(neckBase.x() + neckHalf * 1.05, (leftY + rightY) / 2 - 0.02);
    body.lineTo(half * 0.45, rightY - 0.01);
    body.cubicTo(QPointF(half - 0.02, rightY), QPointF(half + 0.06, rightY + 0.10), QPointF(half + 0.08, bottom));
    body.closeSubpath();
    QLinearGradient cloth(0, std::min(leftY, rightY), 0, bottom);
    cloth.setColorAt(0, shade(m.clothesColor, 112));
    cloth.setColorAt(1, shade(m.clothesColor, 70));
    p.setBrush(cloth);
    p.drawPath(body);

    const double collarY = (leftY + rightY) / 2 - 0.02;
    p.setBrush(m.clothesAccent);
    switch (m.clothesStyle) {
    case ClothesStyle::TShirt: {
        QPainterPath band;
        band.moveTo(neckBase.x() - neckHalf * 1.3, collarY - 0.01);
        band.quadTo(QPointF(neckBase.x(), collarY + 0.16), QPointF(neckBase.x() + neckHalf * 1.3, collarY - 0.01));
        band.quadTo(QPointF(neckBase.x(), collarY + 0.11), QPointF(neckBase.x() - neckHalf * 1.3, collarY - 0.01));
        p.setBrush(shade(m.clothesColor, 80));
        p.drawPath(band);
        break;
    }
    case ClothesStyle::VNeck: {
        QPainterPath v;
        v.moveTo(neckBase.x() - neckHalf * 1.2, collarY - 0.01);
        v.lineTo(neckBase.x(), collarY + 0.22);
        v.lineTo(neckBase.x() + neckHalf * 1.2, collarY - 0.01);
        v.closeSubpath();
        p.setBrush(shade(m.skin, 88));
        p.drawPath(v);
        // The trim along the V as one filled band.
        const double trim = 0.009;
        const double left = neckBase.x() - neckHalf * 1.2, right = neckBase.x() + neckHalf * 1.2;
        QPainterPath band;
        band.moveTo(left - trim, collarY - 0.01);
        band.lineTo(neckBase.x(), collarY + 0.22 + trim * 1.6);
        band.lineTo(right + trim, collarY - 0.01);
        band.lineTo(right - trim, collarY - 0.01);
        band.lineTo(neckBase.x(), collarY + 0.22 - trim * 1.6);
        band.lineTo(left + trim, collarY - 0.01);
        band.closeSubpath();
        p.setBrush(m.clothesAccent);
        p.drawPath(band);
        break;
    }
    case ClothesStyle::Collar: {
        for (int side : {-1, 1}) {
            QPainterPath wing;
            wing.moveTo(neckBase.x() + side * neckHalf * 0.2, collarY + 0.12);
            wing.lineTo(neckBase.x() + side * neckHalf * 1.25, collarY - 0.05);
            wing.lineTo(neckBase.x() + side * neckHalf * 2.2, collarY + 0.09);
            wing.closeSubpath();
            p.drawPath(wing);
        }
        p.setBrush(shade(m.clothesAccent, 85));
        p.drawEllipse(QPointF(neckBase.x(), collarY + 0.25), 0.012, 0.012);
        p.drawEllipse(QPointF(neckBase.x(), collarY + 0.38), 0.012, 0.012);
        break;
    }
    case ClothesStyle::Sweater: {
        QRectF roll(neckBase.x() - neckHalf * 1.25, collarY - 0.12, neckHalf * 2.5, 0.15);
        p.setBrush(shade(m.clothesColor, 95));
        p.drawRoundedRect(roll, 0.05, 0.05);
        p.setPen(QPen(shade(m.clothesColor, 75), 0.008));
        for (int i = 1; i < 6; ++i) {
            const double x = roll.left() + roll.width() * i / 6.0;
            p.drawLine(QPointF(x, roll.top() + 0.02), QPointF(x, roll.bottom() - 0.02));
        }
        p.setPen(Qt::NoPen);
        break;
    }
    }
}

namespace {

QPainterPath backHair(const FaceScene& s)
{
    const HeadProjection& h = s.layout.head;
    const QPointF c = h.centre();
    const double grow = 1.06 + 0.10 * s.m.hairVolume;
    const double rx = h.rx() * grow, ry = h.ry() * grow;
    QPainterPath path;
    switch (s.m.hairStyle) {
    case HairStyle::Long: {
        path.moveTo(c.x() - rx, c.y());
        path.arcTo(QRectF(c.x() - rx, c.y() - ry, 2 * rx, 2 * ry), 180, -180);
        path.cubicTo(QPointF(c.x() + rx * 1.05, c.y() + ry * 0.9), QPointF(c.x() + rx * 1.1, c.y() + ry * 1.4),
                     QPointF(c.x() + rx * 1.2, c.y() + ry * 1.75));
        path.quadTo(QPointF(c.x(), c.y() + ry * 1.9), QPointF(c.x() - rx * 1.2, c.y() + ry * 1.75));
        path.cubicTo(QPointF(c.x() - rx * 1.1, c.y() + ry * 1.4), QPointF(c.x() - rx * 1.05, c.y() + ry * 0.9),
                     QPointF(c.x() - rx, c.y()));
        break;
    }
    case HairStyle::Bob:
        path.moveTo(c.x() - rx, c.y());
        path.arcTo(QRectF(c.x() - rx, c.y() - ry, 2 * rx, 2 * ry), 180, -180);
        path.lineTo(c.x() + rx * 1.02, c.y() + ry * 0.85);
        path.quadTo(QPointF(c.x() + rx * 0.7, c.y() + ry * 0.95), QPointF(c.x() + rx * 0.55, c.y() + ry * 0.8));
        path.lineTo(c.x() - rx * 0.55, c.y() + ry * 0.8);
        path.quadTo(QPointF(c.x() - rx * 0.7, c.y() + ry * 0.95), QPointF(c.x() - rx * 1.02, c.y() + ry * 0.85));
        break;
    case HairStyle::Bun: {
        const QPointF top = h.point(0, -0.95);
        path.addEllipse(QPointF(top.x() - h.yawSine() * 0.1, top.y() - ry * 0.12), rx * 0.42, ry * 0.3);
        break;
    }
    default:
        break;
    }
    path.closeSubpath();
    return path;
}

// The hair on the skull: the head's top, enlarged by the volume, closed by a
// hairline that lies on the face's surface.
QPainterPath hairCap(const FaceScene& s)
{
    const HeadProjection& h = s.layout.head;
    const FaceModel& m = s.m;
    const QPointF c = h.centre();
    const double grow = 1.02 + 0.09 * m.hairVolume;
    const double rx = h.rx() * grow, ry = h.ry() * grow;
    const bool fringe = m.hairStyle == HairStyle::Bob || m.hairStyle == HairStyle::Curly;
    const double sideDepth = m.hairStyle == HairStyle::Long || m.hairStyle == HairStyle::Bob ? 0.35 : 0.12;
    QPainterPath path;
    path.moveTo(c.x() - rx, c.y() + ry * sideDepth);
    path.lineTo(c.x() - rx, c.y());
    path.arcTo(QRectF(c.x() - rx, c.y() - ry, 2 * rx, 2 * ry), 180, -180);
    path.lineTo(c.x() + rx, c.y() + ry * sideDepth);
    // Hairline from the right temple to the left one, over the forehead.
    constexpr int steps = 16;
    for (int i = 0; i <= steps; ++i) {
        const double u = 0.93 - 1.86 * i / steps;
        double v = fringe ? -0.42 - 0.05 * std::cos(u * 9.0) * (m.hairStyle == HairStyle::Curly ? 1.0 : 0.2)
                          : -0.50 - 0.14 * (1.0 - u * u) + 0.10 * std::abs(u);
        if (m.hairStyle == HairStyle::Long && u < -0.1)
            v += 0.06;  // a side parting
        const double side = std::abs(u) > 0.8 ? (std::abs(u) - 0.8) * (sideDepth + 0.5) * 4 : 0.0;
        path.lineTo(h.point(u, v + side));
    }
    path.closeSubpath();
    return path;
}

}  // namespace

void drawHair(const FaceScene& s, bool front)
{
    const FaceModel& m = s.m;
    if (m.hairStyle == HairStyle::Bald)
        return;
    PixelPainter& p = s.p;
    QRadialGradient gloss(s.layout.head.centre() + QPointF(-0.15, -0.35), s.layout.head.ry() * 1.4);
    gloss.setColorAt(0, shade(m.hairColor, 135));
    gloss.setColorAt(0.6, m.hairColor);
    gloss.setColorAt(1, shade(m.hairColor, 75));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    if (!front) {
        // Hair hanging behind the head swings from the crown, trailing the
        // head's turn and tilt.
        const QPointF crown = s.layout.head.centre() - QPointF(0, s.layout.head.ry() * 0.5);
        p.save();
        p.translate(crown);
        p.rotate(-kHairSwingDegrees * s.pose.hairX + kHairTiltDegrees * s.pose.hairZ);
        p.translate(-crown + QPointF(0, 0.03 * s.pose.hairY));
        p.drawPath(backHair(s));
        p.restore();
        return;
    }
    QPainterPath cap = hairCap(s);
    if (m.hairStyle == HairStyle::Curly) {
        const QPointF c = s.layout.head.centre();
        const double r = 0.055 + 0.03 * m.hairVolume;
        for (int i = 0; i <= 12; ++i) {
            const double a = std::numbers::pi * (1.0 + i / 12.0);
            cap.addEllipse(QPointF(c.x() + std::cos(a) * s.layout.head.rx() * 1.05, c.y() + std::sin(a) * s.layout.head.ry() * 1.02),
                           r, r);
        }
        cap.setFillRule(Qt::WindingFill);
        cap = cap.simplified();
    }
    p.drawPath(cap);
    // A few fine strands give the mass a direction; they start and end
    // inside the cap, so they need no clip. Filled as tapering shapes, which
    // cost less than stroked lines.
    p.setBrush(shade(m.hairColor, 82));
    for (int i = -2; i <= 2; ++i) {
        const HeadProjection& h = s.layout.head;
        p.drawPath(crescent(h.point(i * 0.12, -0.95), h.point(i * 0.2 + 0.08, -0.8), h.point(i * 0.28 + 0.05, -0.62),
                            0.002, 0.0015));
    }
}

void drawEars(const FaceScene& s)
{
    PixelPainter& p = s.p;
    const double size = 0.09 + 0.05 * s.m.earSize;
    for (int side : {-1, 1}) {
        // The ear is at the head's side: it swings in front of the silhouette
        // when the head turns away from it and disappears behind it otherwise.
        const double swing = -side * s.layout.head.yawSine();
        const QPointF at = s.layout.head.centre() + QPointF(side * s.layout.head.rx() * (0.97 - 0.35 * std::max(0.0, swing)),
                                                     s.layout.head.ry() * (0.05 + 0.3 * s.layout.head.pitchSine()));
        if (swing < -0.45)
            continue;
        const double w = size * 0.55 * (1.0 - 0.5 * std::max(0.0, swing));
        p.setPen(Qt::NoPen);
        p.setBrush(shade(s.m.skin, 92));
        p.drawEllipse(QPointF(at.x() + side * w * 0.3, at.y()), w, size);
        p.setBrush(shade(s.m.skin, 78));
        p.drawEllipse(QPointF(at.x() + side * w * 0.35, at.y() + size * 0.05), w * 0.5, size * 0.6);
    }
}

void drawHeadShape(const FaceScene& s)
{
    PixelPainter& p = s.p;
    const QPointF c = s.layout.head.centre();
    QRadialGradient light(c + QPointF(s.layout.head.yawSine() * 0.25 * s.layout.head.rx() - 0.05, -0.12), s.layout.head.ry() * 1.35);
    light.setColorAt(0, shade(s.m.skin, 108));
    light.setColorAt(0.65, s.m.skin);
    light.setColorAt(1, shade(s.m.skin, 78));
    // The skin's dark edge is the silhouette filled a little larger underneath:
    // one more fill costs far less than stroking the outline.
    const double edge = 0.003;
    const QTransform grow = QTransform::fromTranslate(c.x(), c.y())
                                .scale(1.0 + edge / s.layout.head.rx(), 1.0 + edge / s.layout.head.ry())
                                .translate(-c.x(), -c.y());
    p.setPen(Qt::NoPen);
    p.setBrush(shade(s.m.skin, 70));
    p.drawPath(grow.map(s.layout.outline));
    p.setBrush(light);
    p.drawPath(s.layout.outline);
    // Cheeks.
    if (s.m.blushStrength > 0) {
        const double glow = s.m.blushStrength * (0.6 + 0.5 * s.layout.weights.smile);
        for (int side : {-1, 1}) {
            const double u = side * 0.48;
            if (s.layout.head.facing(u, 0.25) < 0.2)
                continue;
            const QPointF at = s.layout.head.point(u, 0.25);
            QColor inner = s.m.blush;
            inner.setAlphaF(std::clamp(0.55 * glow, 0.0, 1.0));
            QColor outer = s.m.blush;
            outer.setAlphaF(0);
            QRadialGradient g(at, s.layout.head.rx() * 0.22);
            g.setColorAt(0, inner);
            g.setColorAt(1, outer);
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.drawEllipse(at, s.layout.head.rx() * 0.22, s.layout.head.rx() * 0.22);
        }
    }
}

void drawBeard(const FaceScene& s)
{
    const FaceModel& m = s.m;
    if (m.beardStyle == BeardStyle::None || m.beardStyle == BeardStyle::Moustache)
        return;
    PixelPainter& p = s.p;
    QPainterPath jaw;
    constexpr int steps = 14;
    for (int i = 0; i <= steps; ++i) {
        const double u = -0.95 + 1.9 * i / steps;
        const QPointF pt = s.layout.head.point(u, 0.18 + 0.30 * (1 - u * u));
        i == 0 ? jaw.moveTo(pt) : jaw.lineTo(pt);
    }
    jaw.lineTo(s.layout.head.centre() + QPointF(s.layout.head.rx() * 1.2, s.layout.head.ry() * 1.6));
    jaw.lineTo(s.layout.head.centre() + QPointF(-s.layout.head.rx() * 1.2, s.layout.head.ry() * 1.6));
    jaw.closeSubpath();
    QColor c = m.hairColor;
    c.setAlphaF(m.beardStyle == BeardStyle::Stubble ? 0.28 : 0.85);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(jaw.intersected(s.layout.outline));
}

void drawNose(const FaceScene& s)
{
    PixelPainter& p = s.p;
    const FaceModel& m = s.m;
    const double length = 0.20 + 0.12 * m.noseLength;
    const double width = 0.07 + 0.05 * m.noseWidth;
    const double tipV = 0.02 + length;
    const QPointF tip = s.layout.head.point(0, tipV, 0.16);
    const QPointF bridge = s.layout.head.point(0, -0.12, 0.03);
    // The side that turns away shows the nose's shadowed flank.
    const double turn = s.layout.head.yawSine();
    p.setPen(QPen(shade(m.skin, 82), 0.006, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath ridge;
    const double flank = turn >= 0 ? -1 : 1;
    ridge.moveTo(bridge + QPointF(flank * 0.02, 0));
    ridge.quadTo(QPointF(tip.x() + flank * width * 0.5, (bridge.y() + tip.y()) / 2), tip + QPointF(flank * width * 0.55, 0));
    p.drawPath(ridge);

    p.save();
    p.setTransform(s.layout.head.frame(0, tipV, 0.16), true);
    QPainterPath base;
    base.moveTo(-width, 0.0);
    base.quadTo(QPointF(-width * 0.6, width * 0.7), QPointF(0, width * 0.45));
    base.quadTo(QPointF(width * 0.6, width * 0.7), QPointF(width, 0.0));
    p.setPen(QPen(shade(m.skin, 80), 0.006, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(base);
    p.setPen(Qt::NoPen);
    p.setBrush(shade(m.skin, 74));
    p.drawEllipse(QPointF(-width * 0.42, width * 0.36), width * 0.16, width * 0.08);
    p.drawEllipse(QPointF(width * 0.42, width * 0.36), width * 0.16, width * 0.08);
    p.setBrush(QColor(255, 255, 255, 50));
    p.drawEllipse(QPointF(0, -width * 0.1), width * 0.3, width * 0.25);
    p.restore();
}

}  // namespace vizmo::player
