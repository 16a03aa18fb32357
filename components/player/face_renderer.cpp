#include "components/player/face_renderer.h"

#include "components/player/convex_clip.h"
#include "components/player/pixel_painter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace vizmo::player {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMaxYaw = 0.60;    // radians at headX = 1
constexpr double kMaxPitch = 0.42;  // radians at headY = 1
constexpr double kMaxRoll = 20.0;   // degrees at headZ = 1

double weight(const FacePose& pose, Expression e) { return std::clamp(pose.expressions[std::size_t(e)], 0.0, 1.0); }

// The head's ellipsoid seen under the current turn and nod.
class HeadProjection {
public:
    HeadProjection(QPointF centre, double rx, double ry, double yaw, double pitch)
        : c_(centre), rx_(rx), ry_(ry), cy_(std::cos(yaw)), sy_(std::sin(yaw)), cp_(std::cos(pitch)), sp_(std::sin(pitch))
    {
    }

    // A surface point (u across, v down, both -1..1); `lift` raises it off the
    // surface towards the viewer (the nose tip, lips).
    QPointF point(double u, double v, double lift = 0.0) const
    {
        const double z = std::sqrt(std::max(0.04, 1.0 - u * u - v * v)) + lift;
        const double x1 = u * cy_ + z * sy_;
        const double z1 = -u * sy_ + z * cy_;
        const double y2 = v * cp_ + z1 * sp_;
        return {c_.x() + x1 * rx_, c_.y() + y2 * ry_};
    }

    // How much of the point faces the viewer: 1 straight on, below 0 hidden.
    double facing(double u, double v) const
    {
        const double z = std::sqrt(std::max(0.0, 1.0 - u * u - v * v));
        const double z1 = -u * sy_ + z * cy_;
        return -v * sp_ + z1 * cp_;
    }

    // The surface's local frame at (u, v): one scene unit of a feature drawn in
    // this frame maps to one scene unit on the face, foreshortened by the curve.
    QTransform frame(double u, double v, double lift = 0.0) const
    {
        constexpr double e = 0.01;
        const QPointF o = point(u, v, lift);
        const QPointF ex = (point(u + e, v, lift) - o) / e / rx_;
        const QPointF ey = (point(u, v + e, lift) - o) / e / ry_;
        return QTransform(ex.x(), ex.y(), ey.x(), ey.y(), o.x(), o.y());
    }

    double rx() const { return rx_; }
    double ry() const { return ry_; }
    QPointF centre() const { return c_; }
    double yawSine() const { return sy_; }
    double pitchSine() const { return sp_; }

private:
    QPointF c_;
    double rx_, ry_, cy_, sy_, cp_, sp_;
};

struct Scene {
    PixelPainter& p;
    const FaceModel& m;
    const FacePose& pose;
    HeadProjection head;
    QPainterPath outline;
};

QColor shade(const QColor& c, int factor) { return factor >= 100 ? c.lighter(factor) : c.darker(10000 / factor); }

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

void drawTorso(Scene& s, QPointF neckBase)
{
    PixelPainter& p = s.p;
    const FaceModel& m = s.m;
    const double half = 0.58 + 0.22 * m.shoulderWidth;
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

QPainterPath backHair(const Scene& s)
{
    const HeadProjection& h = s.head;
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
QPainterPath hairCap(const Scene& s)
{
    const HeadProjection& h = s.head;
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

void drawHair(Scene& s, bool front)
{
    const FaceModel& m = s.m;
    if (m.hairStyle == HairStyle::Bald)
        return;
    PixelPainter& p = s.p;
    QRadialGradient gloss(s.head.centre() + QPointF(-0.15, -0.35), s.head.ry() * 1.4);
    gloss.setColorAt(0, shade(m.hairColor, 135));
    gloss.setColorAt(0.6, m.hairColor);
    gloss.setColorAt(1, shade(m.hairColor, 75));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    if (!front) {
        p.drawPath(backHair(s));
        return;
    }
    QPainterPath cap = hairCap(s);
    if (m.hairStyle == HairStyle::Curly) {
        const QPointF c = s.head.centre();
        const double r = 0.055 + 0.03 * m.hairVolume;
        for (int i = 0; i <= 12; ++i) {
            const double a = kPi * (1.0 + i / 12.0);
            cap.addEllipse(QPointF(c.x() + std::cos(a) * s.head.rx() * 1.05, c.y() + std::sin(a) * s.head.ry() * 1.02),
                           r, r);
        }
        cap.setFillRule(Qt::WindingFill);
        cap = cap.simplified();
    }
    p.drawPath(cap);
    // A few fine strands give the mass a direction; they start and end
    // inside the cap, so they need no clip.
    p.save();
    p.setPen(QPen(shade(m.hairColor, 82), 0.0035, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int i = -2; i <= 2; ++i) {
        QPainterPath strand;
        strand.moveTo(s.head.point(i * 0.12, -0.95));
        strand.quadTo(s.head.point(i * 0.2 + 0.08, -0.8), s.head.point(i * 0.28 + 0.05, -0.62));
        p.drawPath(strand);
    }
    p.restore();
}

void drawEars(Scene& s)
{
    PixelPainter& p = s.p;
    const double size = 0.09 + 0.05 * s.m.earSize;
    for (int side : {-1, 1}) {
        // The ear is at the head's side: it swings in front of the silhouette
        // when the head turns away from it and disappears behind it otherwise.
        const double swing = -side * s.head.yawSine();
        const QPointF at = s.head.centre() + QPointF(side * s.head.rx() * (0.97 - 0.35 * std::max(0.0, swing)),
                                                     s.head.ry() * (0.05 + 0.3 * s.head.pitchSine()));
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

void drawHeadShape(Scene& s)
{
    PixelPainter& p = s.p;
    const QPointF c = s.head.centre();
    QRadialGradient light(c + QPointF(s.head.yawSine() * 0.25 * s.head.rx() - 0.05, -0.12), s.head.ry() * 1.35);
    light.setColorAt(0, shade(s.m.skin, 108));
    light.setColorAt(0.65, s.m.skin);
    light.setColorAt(1, shade(s.m.skin, 78));
    p.setPen(QPen(shade(s.m.skin, 70), 0.006));
    p.setBrush(light);
    p.drawPath(s.outline);
    // Cheeks.
    if (s.m.blushStrength > 0) {
        const double glow = s.m.blushStrength * (0.6 + 0.5 * weight(s.pose, Expression::Smile));
        for (int side : {-1, 1}) {
            const double u = side * 0.48;
            if (s.head.facing(u, 0.25) < 0.2)
                continue;
            const QPointF at = s.head.point(u, 0.25);
            QColor inner = s.m.blush;
            inner.setAlphaF(std::clamp(0.55 * glow, 0.0, 1.0));
            QColor outer = s.m.blush;
            outer.setAlphaF(0);
            QRadialGradient g(at, s.head.rx() * 0.22);
            g.setColorAt(0, inner);
            g.setColorAt(1, outer);
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.drawEllipse(at, s.head.rx() * 0.22, s.head.rx() * 0.22);
        }
    }
}

void drawBeard(Scene& s)
{
    const FaceModel& m = s.m;
    if (m.beardStyle == BeardStyle::None || m.beardStyle == BeardStyle::Moustache)
        return;
    PixelPainter& p = s.p;
    QPainterPath jaw;
    constexpr int steps = 14;
    for (int i = 0; i <= steps; ++i) {
        const double u = -0.95 + 1.9 * i / steps;
        const QPointF pt = s.head.point(u, 0.18 + 0.30 * (1 - u * u));
        i == 0 ? jaw.moveTo(pt) : jaw.lineTo(pt);
    }
    jaw.lineTo(s.head.centre() + QPointF(s.head.rx() * 1.2, s.head.ry() * 1.6));
    jaw.lineTo(s.head.centre() + QPointF(-s.head.rx() * 1.2, s.head.ry() * 1.6));
    jaw.closeSubpath();
    QColor c = m.hairColor;
    c.setAlphaF(m.beardStyle == BeardStyle::Stubble ? 0.28 : 0.85);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(jaw.intersected(s.outline));
}

// The almond of an eye, `ew` to each corner; the lifts move its upper and
// lower curves outwards (or inwards when negative).
QPainterPath eyeOpening(double ew, double eh, double upperLift = 0, double lowerDrop = 0)
{
    // A cubic's middle lies at three quarters of its control points' offset.
    const double up = -eh * 1.35 - upperLift / 0.75, down = eh * 1.15 + lowerDrop / 0.75;
    QPainterPath path;
    path.moveTo(-ew, 0);
    path.cubicTo(QPointF(-ew * 0.5, up), QPointF(ew * 0.5, up), QPointF(ew, -eh * 0.05));
    path.cubicTo(QPointF(ew * 0.5, down), QPointF(-ew * 0.5, down), QPointF(-ew, 0));
    return path;
}

// A line along a curve from `from` to `to` bent towards `control`, drawn as a
// shape that is `above` thick over the curve's middle and `below` under it,
// tapering to points at its ends.
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

// Draws shapes cut to an opening (eye, open mouth). A convex opening cuts
// each shape's outline; any other falls back to the painter's clip.
class OpeningCutter {
public:
    OpeningCutter(PixelPainter& painter, const QPainterPath& opening)
        : p_(painter), opening_(painter.devicePolygon(opening)), convex_(isConvex(opening_))
    {
        if (!convex_) {
            p_.save();
            p_.setClipPath(opening);
        }
    }
    ~OpeningCutter() { finish(); }
    OpeningCutter(const OpeningCutter&) = delete;
    OpeningCutter& operator=(const OpeningCutter&) = delete;

    void drawPath(const QPainterPath& shape)
    {
        if (convex_)
            p_.drawDevicePolygon(clipToConvex(p_.devicePolygon(shape), opening_));
        else
            p_.drawPath(shape);
    }
    void drawEllipse(QPointF centre, double rx, double ry)
    {
        QPainterPath ellipse;
        ellipse.addEllipse(centre, rx, ry);
        drawPath(ellipse);
    }
    void drawRect(const QRectF& rect)
    {
        QPainterPath box;
        box.addRect(rect);
        drawPath(box);
    }
    // Ends the cut; later drawing is not cut.
    void finish()
    {
        if (convex_ || finished_)
            return;
        finished_ = true;
        p_.restore();
    }

private:
    PixelPainter& p_;
    QPolygonF opening_;
    bool convex_;
    bool finished_ = false;
};

void drawEyes(Scene& s)
{
    PixelPainter& p = s.p;
    const FaceModel& m = s.m;
    const double smile = weight(s.pose, Expression::Smile);
    const double surprise = weight(s.pose, Expression::Surprise);
    const double sad = weight(s.pose, Expression::Sad);
    const double angry = weight(s.pose, Expression::Angry);
    const double blink = std::clamp(std::max(s.pose.blink, weight(s.pose, Expression::Blink)), 0.0, 1.0);

    const double ew = 0.070 + 0.030 * m.eyeSize;
    const double eh = ew * (0.68 + 0.25 * surprise);
    const double spacing = 0.33 + 0.10 * m.eyeSpacing;
    // Lid cover of the eye opening: 0 open .. 1 shut.
    const double upper = std::clamp(0.03 + 0.28 * angry + 0.18 * sad + 0.15 * smile - 0.15 * surprise +
                                        0.08 * std::max(0.0, -s.pose.eyeY),
                                    0.0, 1.0);
    const double cover = upper + (1.0 - upper) * blink;
    const double lower = std::clamp(0.22 * smile, 0.0, 0.5);

    for (int side : {-1, 1}) {
        const double u = side * spacing;
        p.save();
        p.setTransform(s.head.frame(u, -0.08), true);
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

        const QPointF iris(s.pose.eyeX * ew * 0.55, -s.pose.eyeY * eh * 0.45);
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
}

void drawBrows(Scene& s)
{
    PixelPainter& p = s.p;
    const FaceModel& m = s.m;
    const double surprise = weight(s.pose, Expression::Surprise);
    const double sad = weight(s.pose, Expression::Sad);
    const double angry = weight(s.pose, Expression::Angry);
    const double spacing = 0.33 + 0.10 * m.eyeSpacing;
    const double lift = 0.05 * surprise + 0.015 * std::max(0.0, s.pose.eyeY) - 0.02 * angry;
    const double innerLift = 0.04 * sad - 0.045 * angry;
    const double w = 0.085 + 0.01 * m.eyeSize;
    const double thickness = 0.013 + 0.024 * m.browThickness;
    p.setPen(Qt::NoPen);
    p.setBrush(m.browColor);
    for (int side : {-1, 1}) {
        p.save();
        p.setTransform(s.head.frame(side * spacing, -0.33), true);
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

void drawNose(Scene& s)
{
    PixelPainter& p = s.p;
    const FaceModel& m = s.m;
    const double length = 0.20 + 0.12 * m.noseLength;
    const double width = 0.07 + 0.05 * m.noseWidth;
    const double tipV = 0.02 + length;
    const QPointF tip = s.head.point(0, tipV, 0.16);
    const QPointF bridge = s.head.point(0, -0.12, 0.03);
    // The side that turns away shows the nose's shadowed flank.
    const double turn = s.head.yawSine();
    p.setPen(QPen(shade(m.skin, 82), 0.006, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath ridge;
    const double flank = turn >= 0 ? -1 : 1;
    ridge.moveTo(bridge + QPointF(flank * 0.02, 0));
    ridge.quadTo(QPointF(tip.x() + flank * width * 0.5, (bridge.y() + tip.y()) / 2), tip + QPointF(flank * width * 0.55, 0));
    p.drawPath(ridge);

    p.save();
    p.setTransform(s.head.frame(0, tipV, 0.16), true);
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

void drawMouth(Scene& s)
{
    PixelPainter& p = s.p;
    const FaceModel& m = s.m;
    const MouthShape& shape = s.pose.mouth;
    const double smile = weight(s.pose, Expression::Smile);
    const double sad = weight(s.pose, Expression::Sad);
    const double angry = weight(s.pose, Expression::Angry);
    const double surprise = weight(s.pose, Expression::Surprise);

    const double rest = 0.11 + 0.05 * m.mouthWidth;
    const double w = rest * (1.0 + 0.22 * shape.width + 0.18 * smile - 0.15 * surprise) * (1.0 - 0.35 * shape.round);
    const double open = std::clamp(std::max(shape.open, 0.35 * surprise) * (1.0 - shape.press), 0.0, 1.0);
    const double gap = 0.005 + 0.16 * open;                 // lips apart at the centre
    const double cornerY = -0.045 * smile + 0.035 * sad + 0.012 * angry;
    const double lip = 0.016 + 0.018 * m.lipFullness;
    const double upperThick = lip * (1.0 + 0.3 * shape.round - 0.4 * shape.press);
    const double lowerThick = lip * (1.25 + 0.3 * shape.round) * (1.0 - 0.5 * shape.lipBite);
    const double innerTop = -gap * 0.3;
    const double innerBottom = gap * 0.7 - 0.025 * shape.lipBite;

    p.save();
    p.setTransform(s.head.frame(0, 0.55 + 0.03 * s.m.noseLength, 0.05), true);
    p.setPen(Qt::NoPen);

    // The opening between the lips, with teeth and tongue inside it.
    QPainterPath cavity;
    cavity.moveTo(-w, cornerY);
    cavity.cubicTo(QPointF(-w * 0.5, innerTop * 1.3), QPointF(w * 0.5, innerTop * 1.3), QPointF(w, cornerY));
    cavity.cubicTo(QPointF(w * 0.5, innerBottom * 1.35), QPointF(-w * 0.5, innerBottom * 1.35), QPointF(-w, cornerY));
    if (gap > 0.012) {
        p.setBrush(QColor(0x4a, 0x14, 0x18));
        p.drawPath(cavity);
        OpeningCutter inside(p, cavity);
        if (shape.tongue > 0.05 || open > 0.3) {
            p.setBrush(QColor(0xc8, 0x60, 0x68));
            const double tongueY = innerBottom - gap * (0.15 + 0.35 * shape.tongue);
            inside.drawEllipse(QPointF(0, tongueY + gap * 0.4), w * 0.55, gap * 0.45);
        }
        if (shape.teeth > 0.02) {
            p.setBrush(QColor(0xf4, 0xf2, 0xea));
            const double teethHeight = gap * (0.2 + 0.35 * shape.teeth);
            inside.drawRect(QRectF(-w * 0.75, innerTop * 1.3 - 0.01, w * 1.5, teethHeight + 0.01));
        }
    }

    const QColor lipShade = shade(m.lipColor, 85);
    // Upper lip: a cupid's bow on top, the opening's upper edge below.
    QPainterPath upperLip;
    upperLip.moveTo(-w, cornerY);
    upperLip.cubicTo(QPointF(-w * 0.6, innerTop - upperThick * 0.9), QPointF(-w * 0.25, innerTop - upperThick * 1.3),
                     QPointF(0, innerTop - upperThick * 0.95));
    upperLip.cubicTo(QPointF(w * 0.25, innerTop - upperThick * 1.3), QPointF(w * 0.6, innerTop - upperThick * 0.9),
                     QPointF(w, cornerY));
    upperLip.cubicTo(QPointF(w * 0.5, innerTop * 1.3), QPointF(-w * 0.5, innerTop * 1.3), QPointF(-w, cornerY));
    p.setBrush(lipShade);
    p.drawPath(upperLip);

    QPainterPath lowerLip;
    lowerLip.moveTo(-w, cornerY);
    lowerLip.cubicTo(QPointF(-w * 0.5, innerBottom * 1.35), QPointF(w * 0.5, innerBottom * 1.35), QPointF(w, cornerY));
    lowerLip.cubicTo(QPointF(w * 0.55, innerBottom + lowerThick * 1.6), QPointF(-w * 0.55, innerBottom + lowerThick * 1.6),
                     QPointF(-w, cornerY));
    QLinearGradient lowerShade(0, innerBottom, 0, innerBottom + lowerThick * 1.4);
    lowerShade.setColorAt(0, m.lipColor);
    lowerShade.setColorAt(0.5, shade(m.lipColor, 112));
    lowerShade.setColorAt(1, lipShade);
    p.setBrush(lowerShade);
    p.drawPath(lowerLip);
    if (shape.lipBite > 0.3) {
        // The upper teeth rest on the lower lip for F and V.
        p.setBrush(QColor(0xf4, 0xf2, 0xea));
        p.drawRect(QRectF(-w * 0.45, innerTop, w * 0.9, lowerThick * 0.5 * shape.lipBite));
    }
    // The line where the lips meet, darker at the corners.
    p.setPen(QPen(shade(m.lipColor, 55), 0.006, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    if (gap <= 0.012) {
        QPainterPath seam;
        seam.moveTo(-w, cornerY);
        seam.cubicTo(QPointF(-w * 0.5, innerTop * 0.4), QPointF(w * 0.5, innerTop * 0.4), QPointF(w, cornerY));
        p.drawPath(seam);
    }
    p.drawPoint(QPointF(-w, cornerY));
    p.drawPoint(QPointF(w, cornerY));

    if (m.beardStyle == BeardStyle::Moustache || m.beardStyle == BeardStyle::Full) {
        p.setPen(Qt::NoPen);
        p.setBrush(m.hairColor);
        QPainterPath moustache;
        moustache.moveTo(-w * 1.15, cornerY + 0.01);
        moustache.cubicTo(QPointF(-w * 0.8, innerTop - upperThick * 3.2), QPointF(w * 0.8, innerTop - upperThick * 3.2),
                          QPointF(w * 1.15, cornerY + 0.01));
        moustache.cubicTo(QPointF(w * 0.6, innerTop - upperThick * 1.3), QPointF(-w * 0.6, innerTop - upperThick * 1.3),
                          QPointF(-w * 1.15, cornerY + 0.01));
        p.drawPath(moustache);
    }
    p.restore();
}

void drawGlasses(Scene& s)
{
    const FaceModel& m = s.m;
    if (m.glassesStyle == GlassesStyle::None)
        return;
    PixelPainter& p = s.p;
    const double spacing = 0.33 + 0.10 * m.eyeSpacing;
    const double r = 0.105 + 0.02 * m.eyeSize;
    p.setPen(QPen(m.glassesColor, 0.012, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (int side : {-1, 1}) {
        p.save();
        p.setTransform(s.head.frame(side * spacing, -0.08, 0.08), true);
        p.setBrush(QColor(200, 220, 255, 35));
        if (m.glassesStyle == GlassesStyle::Round)
            p.drawEllipse(QPointF(0, 0), r, r * 0.85);
        else
            p.drawRoundedRect(QRectF(-r, -r * 0.72, 2 * r, r * 1.45), r * 0.25, r * 0.25);
        p.restore();
    }
    QPainterPath bridge;
    bridge.moveTo(s.head.point(-spacing + r / s.head.rx(), -0.1, 0.08));
    bridge.quadTo(s.head.point(0, -0.16, 0.12), s.head.point(spacing - r / s.head.rx(), -0.1, 0.08));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bridge);
}

}  // namespace

void drawFace(QPainter& target, const QRectF& area, const FaceModel& model, const FacePose& pose)
{
    target.save();
    target.setRenderHint(QPainter::Antialiasing, true);
    PixelPainter painter(target);
    const double side = std::min(area.width(), area.height());
    painter.translate(area.center());
    painter.scale(side / 2.0, side / 2.0);

    const double yaw = std::clamp(pose.headX, -1.0, 1.0) * kMaxYaw;
    const double pitch = std::clamp(pose.headY, -1.0, 1.0) * kMaxPitch;
    const double roll = std::clamp(pose.headZ, -1.0, 1.0) * kMaxRoll;
    const double ry = 0.50;
    const double rx = ry * (0.70 + 0.16 * model.faceWidth);
    // Breathing lifts the whole head a little with the chest.
    const QPointF centre(0.0, -0.14 - 0.010 * pose.breath + 0.04 * std::sin(pitch));
    Scene scene{painter, model, pose, HeadProjection(centre, rx, ry, yaw, pitch), {}};
    const double chinLength = (0.98 + 0.16 * model.chin) * (1.0 - 0.08 * std::sin(-pitch));
    scene.outline = headOutline(scene.head, model, chinLength);

    // The head tilts about the top of the neck; hair hanging behind the
    // shoulders tilts with it.
    const QPointF pivot(0.0, centre.y() + ry * 0.9);
    const QTransform upright = painter.transform();
    painter.translate(pivot);
    painter.rotate(roll);
    painter.translate(-pivot);
    drawHair(scene, false);
    const QTransform tilted = painter.transform();
    painter.setTransform(upright);
    drawTorso(scene, QPointF(0.0, centre.y() + ry * 0.95));
    painter.setTransform(tilted);

    drawEars(scene);
    drawHeadShape(scene);
    drawBeard(scene);
    drawEyes(scene);
    drawBrows(scene);
    drawNose(scene);
    drawMouth(scene);
    drawHair(scene, true);
    drawGlasses(scene);
    target.restore();
}

}  // namespace vizmo::player
