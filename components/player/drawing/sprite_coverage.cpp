#include "components/player/drawing/sprite_coverage.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vizmo::player {

SpriteCoverage measureCoverage(const QImage& source, int tile, int margin)
{
    SpriteCoverage coverage;
    if (source.isNull() || tile <= 0)
        return coverage;
    const QImage image = source.format() == QImage::Format_ARGB32_Premultiplied
                             ? source
                             : source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int columns = (image.width() + tile - 1) / tile;
    const int rows = (image.height() + tile - 1) / tile;
    // Per tile: any alpha above 0, and every alpha 255.
    std::vector<char> any(std::size_t(columns) * std::size_t(rows), 0), all(any.size(), 1);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        const std::size_t row = std::size_t(y / tile) * std::size_t(columns);
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(line[x]);
            const std::size_t at = row + std::size_t(x / tile);
            any[at] |= alpha > 0;
            all[at] &= alpha == 255;
        }
    }
    // Tiles are gathered a row at a time, in runs, which QRegion merges
    // with the rows above where they line up: a few rectangles in all.
    const QRect bounds = image.rect();
    const auto tiles = [&](const std::vector<char>& flags) {
        QRegion region;
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns;) {
                if (!flags[std::size_t(r * columns + c)]) {
                    ++c;
                    continue;
                }
                const int first = c;
                while (c < columns && flags[std::size_t(r * columns + c)])
                    ++c;
                region += QRect(first * tile, r * tile, (c - first) * tile, tile) & bounds;
            }
        }
        return region;
    };
    const auto grown = [margin](const QRegion& region) {
        QRegion out;
        for (const QRect& rect : region)
            out += rect.adjusted(-margin, -margin, margin, margin);
        return out;
    };
    coverage.painted = grown(tiles(any)) & bounds;
    // Opaque tiles less a margin along every edge they share with a tile
    // that is not, or with the picture's edge.
    const QRegion opaque = tiles(all);
    const QRegion inner = opaque - grown(QRegion(bounds.adjusted(-margin, -margin, margin, margin)) - opaque);
    // Its largest rectangles only: each one costs every frame it is moved,
    // and the small ones hide little.
    std::vector<QRect> rects(inner.begin(), inner.end());
    const auto area = [](const QRect& r) { return qint64(r.width()) * r.height(); };
    std::sort(rects.begin(), rects.end(), [&](const QRect& a, const QRect& b) { return area(a) > area(b); });
    rects.resize(std::min(rects.size(), std::size_t(kOpaqueRects)));
    for (const QRect& rect : rects)
        coverage.opaque += rect;
    return coverage;
}

QRegion coveringRegion(const QRegion& region, const QTransform& map)
{
    QRegion out;
    for (const QRect& rect : region)
        out += map.mapRect(QRectF(rect)).toAlignedRect();
    return out;
}

QRegion innerRegion(const QRegion& region, const QTransform& map)
{
    // Corners stay in their places (top left still top left...) while the
    // map keeps each side closer to its own axis than to the other.
    const bool upright = map.type() <= QTransform::TxShear && map.m11() > 0 && map.m22() > 0 &&
                         std::abs(map.m12()) < map.m11() && std::abs(map.m21()) < map.m22();
    if (!upright)
        return {};
    QRegion out;
    for (const QRect& rect : region) {
        const QRectF r(rect);
        const QPointF tl = map.map(r.topLeft()), tr = map.map(r.topRight()), br = map.map(r.bottomRight()),
                      bl = map.map(r.bottomLeft());
        // Within every side: right of both left corners, left of both right
        // ones, below both top ones and above both bottom ones.
        const int left = int(std::ceil(std::max(tl.x(), bl.x()))), right = int(std::floor(std::min(tr.x(), br.x())));
        const int top = int(std::ceil(std::max(tl.y(), tr.y()))), bottom = int(std::floor(std::min(bl.y(), br.y())));
        if (right > left && bottom > top)
            out += QRect(left, top, right - left, bottom - top);
    }
    return out;
}

}  // namespace vizmo::player
