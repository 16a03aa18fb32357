#include "components/player/drawing/artwork_pose.h"

#include <algorithm>
#include <cmath>

namespace vizmo::player {

namespace {

double weight(const FacePose& pose, Expression e) { return std::clamp(pose.expressions[std::size_t(e)], 0.0, 1.0); }

// How far in front of the head's surface a layer lies, as a part of the
// head's radius: the nose stands out, the lips a little; glasses and brows
// lie close to the eyes, and move nearly with them.
double liftOf(ArtLayer layer)
{
    switch (layer) {
    case ArtLayer::Nose: return 0.3;
    case ArtLayer::Accessories:
    case ArtLayer::LeftBrow:
    case ArtLayer::RightBrow: return 0.05;
    default: return layer >= kFirstMouth && layer <= ArtLayer::MouthRound ? 0.1 : 0.0;
    }
}

// The head as the drawing shows it: an ellipsoid as wide and high as the
// "head" layer, turned and nodded.
struct Head {
    QPointF centre;
    double rx, ry;
    double yaw, pitch;

    // A layer centred at `at` on the face, lifted by `lift`, slides with the
    // round of the head and narrows where the surface turns away.
    QTransform onSurface(QPointF at, double lift) const
    {
        const double u = std::asin(std::clamp((at.x() - centre.x()) / rx, -0.95, 0.95));
        const double v = std::asin(std::clamp((at.y() - centre.y()) / ry, -0.95, 0.95));
        // A flat drawing's features lie on the front of the head rather than
        // round it: they slide a little less than a round head's would, and
        // less still for a nod.
        const double dx = 0.85 * rx * (1 + lift) * (std::sin(u + yaw) - std::sin(u));
        const double dy = 0.6 * ry * (1 + lift) * (std::sin(v + pitch) - std::sin(v));
        const double sx = std::clamp(std::cos(u + yaw) / std::cos(u), 0.35, 1.15);
        const double sy = std::clamp(std::cos(v + pitch) / std::cos(v), 0.5, 1.15);
        return about(at, sx, sy) * QTransform::fromTranslate(dx, dy);
    }

    // A layer behind the face moves the other way, by `depth` of the radius.
    QTransform behind(double depth) const
    {
        return QTransform::fromTranslate(-depth * rx * std::sin(yaw), -depth * ry * std::sin(pitch));
    }

    static QTransform about(QPointF at, double sx, double sy)
    {
        return QTransform::fromTranslate(-at.x(), -at.y()) * QTransform::fromScale(sx, sy) *
               QTransform::fromTranslate(at.x(), at.y());
    }
};

QTransform rotation(QPointF about, double degrees)
{
    return QTransform::fromTranslate(-about.x(), -about.y()) * QTransform().rotate(degrees) *
           QTransform::fromTranslate(about.x(), about.y());
}

QRectF mouthBounds(const ArtworkGeometry& g)
{
    QRectF united;
    for (int m = 0; m < kMouthShapeCount; ++m)
        united |= g[ArtLayer(int(kFirstMouth) + m)];
    return united;
}

class Placing {
public:
    Placing(const ArtworkGeometry& g, const FacePose& pose) : g_(g), pose_(pose)
    {
        const QRectF head = g.headExtent;
        head_ = {head.center(), head.width() / 2, head.height() / 2, std::clamp(pose.headX, -1.0, 1.0) * kMaxYaw,
                 std::clamp(pose.headY, -1.0, 1.0) * kMaxPitch};
        // Breathing lifts the head a little with the chest; the head tilts
        // about the top of its neck.
        whole_ = QTransform::fromTranslate(0, -0.005 * g.frame.height() * pose.breath) *
                 rotation(g.headPivot, std::clamp(pose.headZ, -1.0, 1.0) * kMaxRoll);
        smile_ = weight(pose, Expression::Smile), surprise_ = weight(pose, Expression::Surprise);
        sad_ = weight(pose, Expression::Sad), angry_ = weight(pose, Expression::Angry);
        blink_ = std::clamp(std::max(pose.blink, weight(pose, Expression::Blink)), 0.0, 1.0);
    }

    ArtworkFrame place() const
    {
        ArtworkFrame f;
        for (int i = 0; i < kArtLayerCount; ++i)
            f.place[std::size_t(i)] = layer(ArtLayer(i));
        for (std::size_t e = 0; e < 2; ++e)
            eye(e, f);
        const QRectF mouths = mouthBounds(g_);
        const QTransform mouth = onFace(head_.onSurface(mouths.center(), liftOf(kFirstMouth)), mouths) * whole_;
        for (int m = 0; m < kMouthShapeCount; ++m)
            f.place[std::size_t(kFirstMouth) + std::size_t(m)] = mouth;
        f.mouth = mouthWeights(pose_.mouth, drawnMouths(g_));
        const ShownMouth shown = showMouth(f.mouth, g_);
        f.mouthShape = shown.shape;
        f.place[std::size_t(shown.shape)] = shown.morph * mouth;
        return f;
    }

private:
    QTransform layer(ArtLayer layer) const
    {
        const QRectF bounds = g_[layer];
        const QPointF crown(g_.headExtent.center().x(), g_.headExtent.top());
        switch (layer) {
        case ArtLayer::Body: return body(bounds);
        case ArtLayer::Neck: return {};
        case ArtLayer::BackHair:
            // Hanging hair swings from the crown, trailing the head.
            return rotation(crown, 0.6 * (-kHairSwingDegrees * pose_.hairX + kHairTiltDegrees * pose_.hairZ)) *
                   QTransform::fromTranslate(0, 0.015 * g_.frame.height() * pose_.hairY) * head_.behind(0.35) * whole_;
        case ArtLayer::Ears: return head_.behind(0.1) * whole_;
        case ArtLayer::Head: return headMove() * whole_;
        case ArtLayer::FrontHair:
            // Hair on the skull turns with it, less than the face, and sways a little.
            return rotation(crown, 0.25 * (-kHairSwingDegrees * pose_.hairX + kHairTiltDegrees * pose_.hairZ)) *
                   QTransform::fromTranslate(0.3 * head_.rx * std::sin(head_.yaw), 0.15 * head_.ry * std::sin(head_.pitch)) *
                   whole_;
        case ArtLayer::LeftBrow:
        case ArtLayer::RightBrow: return brow(layer, bounds);
        case ArtLayer::Nose:
        case ArtLayer::Accessories: return onFace(head_.onSurface(bounds.center(), liftOf(layer)), bounds) * whole_;
        default: return head_.onSurface(bounds.center(), liftOf(layer)) * whole_;
        }
    }

    // The skull shifts a little towards the turn and squashes across it
    // (before the tilt and the breath).
    QTransform headMove() const
    {
        return Head::about(head_.centre, 1 - 0.06 * std::abs(std::sin(head_.yaw)), 1 - 0.05 * std::abs(std::sin(head_.pitch))) *
               QTransform::fromTranslate(0.08 * head_.rx * std::sin(head_.yaw), 0.08 * head_.ry * std::sin(head_.pitch));
    }

    // How far `rect` reaches past the head's outline, as `head` moves it, on
    // each side (negative: inside by so much).
    struct Reach {
        double left = -1e9, right = -1e9, up = -1e9, down = -1e9;
    };
    Reach pastHead(const QRectF& rect, const QTransform& head) const
    {
        Reach reach;
        const HeadOutline& outline = g_.headOutline;
        const QTransform back = head.inverted();
        constexpr int kSamples = 8;
        for (int i = 0; i <= kSamples; ++i) {
            const double y = back.map(QPointF(0, rect.top() + rect.height() * i / kSamples)).y();
            if (const auto span = outline.at(y)) {
                reach.left = std::max(reach.left, head.map(QPointF(span->first, y)).x() - rect.left());
                reach.right = std::max(reach.right, rect.right() - head.map(QPointF(span->second, y)).x());
            }
        }
        // Up and down, the head's extent down the feature's columns.
        for (int i = 0; i <= kSamples; ++i) {
            const double x = back.map(QPointF(rect.left() + rect.width() * i / kSamples, 0)).x();
            if (const auto span = outline.down(x)) {
                reach.up = std::max(reach.up, head.map(QPointF(x, span->first)).y() - rect.top());
                reach.down = std::max(reach.down, rect.bottom() - head.map(QPointF(x, span->second)).y());
            }
        }
        return reach;
    }

    // A feature slides over the face (`slide`) no further past the head's
    // outline than it is drawn at rest: on a small or round head it stops at
    // the edge.
    QTransform onFace(const QTransform& slide, const QRectF& bounds) const
    {
        if (g_.headOutline.empty() || bounds.isEmpty())
            return slide;
        const Reach rest = pastHead(bounds, QTransform()), moved = pastHead(slide.mapRect(bounds), headMove());
        const QPointF shift = slide.map(bounds.center()) - bounds.center();
        const auto back = [](double past, double allowed) { return std::max(0.0, past - std::max(0.0, allowed)); };
        double dx = back(moved.left, rest.left) - back(moved.right, rest.right);
        double dy = back(moved.up, rest.up) - back(moved.down, rest.down);
        // Never further back than where it started.
        dx = std::clamp(dx, -std::abs(shift.x()), std::abs(shift.x()));
        dy = std::clamp(dy, -std::abs(shift.y()), std::abs(shift.y()));
        return slide * QTransform::fromTranslate(dx, dy);
    }

    // The shoulders rise together or one by one; the breath widens the chest.
    QTransform body(const QRectF& bounds) const
    {
        const double left = pose_.shoulderLeft, right = pose_.shoulderRight;
        const QPointF neckBase(bounds.center().x(), bounds.top());
        return Head::about(bounds.center(), 1 + 0.012 * pose_.breath, 1) * rotation(neckBase, 3.5 * (left - right)) *
               QTransform::fromTranslate(0, -0.045 * g_.frame.height() * (left + right) / 2);
    }

    // Brows rise in surprise and at a speech accent, lower in anger; their
    // inner ends go down in anger and up in sadness.
    QTransform brow(ArtLayer layer, const QRectF& bounds) const
    {
        const double h = g_.headExtent.height();
        const double rise = h * (0.045 * surprise_ + 0.03 * pose_.browRaise + 0.012 * sad_ + 0.008 * smile_ - 0.025 * angry_);
        // The left brow's inner end is its right one: turning clockwise lowers it.
        const double inward = (layer == ArtLayer::LeftBrow ? 1.0 : -1.0) * (12.0 * angry_ - 10.0 * sad_);
        return rotation(bounds.center(), inward) * QTransform::fromTranslate(0, -rise) *
               onFace(head_.onSurface(bounds.center(), liftOf(layer)), bounds) * whole_;
    }

    void eye(std::size_t e, ArtworkFrame& f) const
    {
        const EyeLayers& layers = eyeLayers()[e];
        const bool hasWhite = g_.has(layers.white);
        const QRectF white = hasWhite ? g_[layers.white] : g_[layers.iris];
        const FacePose::Eye& gaze = pose_.eyes[e];
        // Lids follow the expression and a downward look; a blink or a wink
        // shuts them the rest of the way.
        const double upper = std::clamp(0.25 * angry_ + 0.15 * sad_ + 0.12 * smile_ - 0.1 * surprise_ +
                                            0.1 * std::max(0.0, -gaze.y),
                                        0.0, 1.0);
        const double cover = upper + (1 - upper) * std::max(blink_, gaze.wink);
        f.lidCover[e] = cover;
        const QPointF pivot = g_.eyePivots[e];
        // Surprise opens the eyes wide; without a lid to close them, the
        // eye closes by flattening.
        const double open = g_.has(layers.lid) ? 1.0 : std::max(0.03, 1 - cover);
        const QTransform move = Head::about(pivot, 1 + 0.04 * surprise_, (1 + 0.12 * surprise_) * open) *
                                onFace(head_.onSurface(white.center(), 0.0), white) * whole_;
        for (ArtLayer layer : {layers.white, layers.iris, layers.lid, layers.lashes})
            f.place[std::size_t(layer)] = move;
        if (hasWhite)
            f.irisShift[e] = QPointF(std::clamp(gaze.x, -1.0, 1.0) * 0.28 * white.width(),
                                     -std::clamp(gaze.y, -1.0, 1.0) * 0.22 * white.height());
        // The lid is drawn shut, over its eye; open, it lies wholly above the
        // white, and the white cuts it away.
        if (g_.has(layers.lid))
            f.lidShift[e] = QPointF(0, (1 - cover) * (white.top() - g_[layers.lid].bottom()));
    }

    const ArtworkGeometry& g_;
    const FacePose& pose_;
    Head head_{};
    QTransform whole_;
    double smile_ = 0, surprise_ = 0, sad_ = 0, angry_ = 0, blink_ = 0;
};

}  // namespace

ArtworkFrame poseArtwork(const ArtworkGeometry& geometry, const FacePose& pose)
{
    return Placing(geometry, pose).place();
}

QRectF frameWithRoom(const ArtworkGeometry& g)
{
    double left = g.frame.left(), right = g.frame.right(), top = g.frame.top(), bottom = g.frame.bottom();
    FacePose pose;
    const std::array<double, 3> limits = {-1.0, 0.0, 1.0};
    for (double x : limits)
        for (double y : limits)
            for (double z : limits)
                for (double hairX : limits)
                    for (double hairZ : limits) {
                        pose.headX = x, pose.headY = y, pose.headZ = z, pose.hairX = hairX, pose.hairZ = hairZ;
                        const ArtworkFrame f = poseArtwork(g, pose);
                        for (int i = 0; i < kArtLayerCount; ++i) {
                            const auto layer = ArtLayer(i);
                            if (layer == ArtLayer::Body || layer == ArtLayer::Neck || !g.has(layer))
                                continue;
                            const QPolygonF& sides = g.sides[std::size_t(i)];
                            for (const QPointF& p : sides.isEmpty() ? QPolygonF(g[layer]) : sides) {
                                if (!g.frame.contains(p))
                                    continue;
                                const QPointF moved = f.place[std::size_t(i)].map(p);
                                left = std::min(left, moved.x()), right = std::max(right, moved.x());
                                top = std::min(top, moved.y()), bottom = std::max(bottom, moved.y());
                            }
                        }
                    }
    // The outline is known row by row: a little more for what lies between
    // its rows, and for the edge's anti-aliasing.
    const double spare = 0.01 * std::max(g.frame.width(), g.frame.height());
    const auto more = [&](double past) { return past > 0 ? past + spare : 0.0; };
    const double side = more(std::max(g.frame.left() - left, right - g.frame.right()));
    return g.frame.adjusted(-side, -more(g.frame.top() - top), side, more(bottom - g.frame.bottom()));
}

}  // namespace vizmo::player
