#include "components/player/drawing/gradient_textures.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vizmo::player {

namespace {

// Whether `m` only turns, scales evenly (or mirrors) and moves.
bool turnsAndScalesEvenly(const QTransform& m)
{
    if (!m.isAffine())
        return false;
    const double tolerance = 1e-6 * (std::abs(m.m11()) + std::abs(m.m12()) + std::abs(m.m21()) + std::abs(m.m22()));
    const auto same = [&](double x, double y) { return std::abs(x - y) <= tolerance; };
    return (same(m.m11(), m.m22()) && same(m.m12(), -m.m21())) || (same(m.m11(), -m.m22()) && same(m.m12(), m.m21()));
}

// A picture grows in steps, so that a shape moving about its gradient does
// not draw it again at every frame.
constexpr int kGrowth = 64;

QRect grownOut(const QRect& rect)
{
    const auto down = [](int v) { return int(std::floor(double(v) / kGrowth)) * kGrowth; };
    const auto up = [](int v) { return int(std::ceil(double(v) / kGrowth)) * kGrowth; };
    return QRect(QPoint(down(rect.left()), down(rect.top())), QPoint(up(rect.right() + 1) - 1, up(rect.bottom() + 1) - 1));
}

// The most a colour channel changes over a device pixel of the gradient.
double steepestSlope(const QGradientStops& stops, double radius)
{
    double steepest = 0;
    for (qsizetype i = 1; i < stops.size(); ++i) {
        const QColor& a = stops[i - 1].second;
        const QColor& b = stops[i].second;
        const double change = std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                        std::abs(a.blue() - b.blue()), std::abs(a.alpha() - b.alpha())});
        const double span = (stops[i].first - stops[i - 1].first) * radius;
        if (change > 0)
            steepest = std::max(steepest, span > 0 ? change / span : 255.0);
    }
    return steepest;
}

}  // namespace

std::optional<QBrush> GradientTextures::brush(const QRadialGradient& gradient, const QTransform& toTarget,
                                              const QRectF& targetBounds, double pixelRatio)
{
    if (gradient.spread() != QGradient::PadSpread || gradient.coordinateMode() != QGradient::LogicalMode ||
        gradient.focalPoint() != gradient.center() || gradient.focalRadius() != 0 ||
        gradient.interpolationMode() != QGradient::ColorInterpolation || !turnsAndScalesEvenly(toTarget) ||
        targetBounds.isEmpty())
        return std::nullopt;
    const double scale = std::sqrt(std::abs(toTarget.determinant()));
    const double radius = gradient.radius() * scale * pixelRatio;
    // Moved by up to half a device pixel, the picture stands at most half a level
    // off only where the gradient changes by at most a level a pixel (an
    // iris's does not, the skin's does).
    if (!(radius > 0) || steepestSlope(gradient.stops(), radius) > 1.0)
        return std::nullopt;
    const QPointF centre = toTarget.map(gradient.center()) * pixelRatio;
    const QPoint at(qRound(centre.x()), qRound(centre.y()));
    // The device pixels the shape may cover, from the gradient's centre.
    const QRect needed = QRectF(targetBounds.topLeft() * pixelRatio, targetBounds.bottomRight() * pixelRatio)
                             .toAlignedRect()
                             .adjusted(-1, -1, 1, 1)
                             .translated(-at);

    auto texture = std::find_if(textures_.begin(), textures_.end(), [&](const Texture& t) {
        return std::abs(t.radius - radius) < 0.125 && t.stops == gradient.stops();
    });
    const auto covered = [](const Texture& t) { return QRect(-t.centre, t.image.size()); };
    if (texture == textures_.end() || !covered(*texture).contains(needed)) {
        QRect coverage = grownOut(needed);
        if (texture == textures_.end()) {
            if (textures_.size() >= kKept)
                textures_.erase(std::min_element(textures_.begin(), textures_.end(),
                                                 [](const Texture& a, const Texture& b) { return a.lastUse < b.lastUse; }));
            textures_.push_back({gradient.stops(), radius, {}, {}, 0});
            texture = textures_.end() - 1;
        } else {
            coverage |= covered(*texture);
        }
        texture->image = QImage(coverage.size(), QImage::Format_ARGB32_Premultiplied);
        texture->image.fill(Qt::transparent);
        texture->centre = -coverage.topLeft();
        QPainter painter(&texture->image);
        QRadialGradient drawn(QPointF(texture->centre), radius);
        drawn.setStops(gradient.stops());
        painter.fillRect(texture->image.rect(), drawn);
        ++renders_;
    }
    texture->lastUse = ++uses_;
    QBrush brush(texture->image);
    // The picture is in device pixels; the painter's own transform and pixel
    // ratio are undone, so that it is copied, not resampled.
    brush.setTransform(QTransform::fromTranslate(at.x() - texture->centre.x(), at.y() - texture->centre.y()) *
                       QTransform::fromScale(1.0 / pixelRatio, 1.0 / pixelRatio));
    return brush;
}

}  // namespace vizmo::player
