#include "components/player/content/artwork_measure.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vizmo::player {

namespace {

constexpr int kCoarsePixels = 384;
constexpr int kFinePixels = 256;
constexpr int kOutlinePixels = 192;
constexpr int kSideRows = 48;
constexpr double kPagePixels = 4096;
constexpr double kWholePagePixels = 1024;
// A head's pixel counts from a quarter of full cover: the faint edge of a
// blur or a shadow is not its outline.
constexpr int kSolidAlpha = 64;

struct Mask {
    QImage image;
    QRectF area;
    double scale = 0;  // pixels per unit

    QRectF unitsOf(const QRect& pixels) const
    {
        return {area.x() + pixels.x() / scale, area.y() + pixels.y() / scale, pixels.width() / scale,
                pixels.height() / scale};
    }
    int alpha(int x, int y) const { return qAlpha(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x]); }
};

// `picture` rendered over `area`, or the element `shown` as if nothing were hidden.
Mask renderMask(const SvgDocument& svg, const LayerPicture& picture, const QRectF& area, int pixels,
                const QString& shown = {})
{
    Mask mask;
    if (area.isEmpty() || !std::isfinite(area.width()) || !std::isfinite(area.height()))
        return mask;
    mask.area = area;
    // librsvg draws a masked group through an image as large as the group on
    // the page: a layer drawn as the whole drawing is measured no finer than
    // the page at kWholePagePixels.
    const QRectF page = svg.page();
    const double finest = (picture.element.isEmpty() && shown.isEmpty() ? kWholePagePixels : kPagePixels) /
                          std::max(page.width(), page.height());
    mask.scale = std::min(pixels / std::max(area.width(), area.height()), finest);
    const QSize size(std::max(1, int(std::ceil(area.width() * mask.scale))),
                     std::max(1, int(std::ceil(area.height() * mask.scale))));
    mask.image = QImage(size, QImage::Format_ARGB32_Premultiplied);
    mask.image.fill(Qt::transparent);
    const QTransform toPixels =
        QTransform::fromTranslate(-area.x(), -area.y()) * QTransform::fromScale(mask.scale, mask.scale);
    const bool drawn = !shown.isEmpty() ? svg.renderShown(mask.image, toPixels, shown)
                                        : svg.render(mask.image, toPixels, picture.element, picture.hidden);
    if (!drawn)
        mask.image.fill(Qt::transparent);
    return mask;
}

// The pixels with any cover.
QRect coveredPixels(const Mask& mask)
{
    int left = mask.image.width(), right = -1, top = mask.image.height(), bottom = -1;
    for (int y = 0; y < mask.image.height(); ++y) {
        for (int x = 0; x < mask.image.width(); ++x) {
            if (mask.alpha(x, y) == 0)
                continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// The ends of the covered pixels of about `rows` rows, in the drawing's units.
QPolygonF sidesOf(const Mask& mask, int rows)
{
    QPolygonF left, right;
    const int h = mask.image.height(), step = std::max(1, h / rows);
    for (int y0 = 0; y0 < h; y0 += step) {
        int first = mask.image.width(), last = -1;
        for (int y = y0; y < std::min(h, y0 + step); ++y) {
            for (int x = 0; x < mask.image.width(); ++x) {
                if (mask.alpha(x, y) > 0)
                    first = std::min(first, x), last = std::max(last, x);
            }
        }
        if (last < 0)
            continue;
        const QRectF band = mask.unitsOf(QRect(first, y0, last - first + 1, std::min(step, h - y0)));
        left << band.topLeft() << band.bottomLeft();
        right << band.topRight() << band.bottomRight();
    }
    std::reverse(right.begin(), right.end());
    return left + right;
}

// What is drawn, coarsely over `area`, then finely over what was found.
DrawnExtent measure(const SvgDocument& svg, const LayerPicture& picture, const QRectF& area, const QString& shown)
{
    const Mask coarse = renderMask(svg, picture, area, kCoarsePixels, shown);
    const QRect covered = coarse.image.isNull() ? QRect() : coveredPixels(coarse);
    if (covered.isEmpty())
        return {};
    DrawnExtent extent;
    extent.coarse = coarse.unitsOf(covered);
    // A coarse pixel's margin: what is only partly in a coarse pixel is wholly in the fine area.
    const double margin = 1 / coarse.scale;
    const Mask fine =
        renderMask(svg, picture, extent.coarse.adjusted(-margin, -margin, margin, margin), kFinePixels, shown);
    const QRect fineCovered = coveredPixels(fine);
    extent.bounds = fineCovered.isEmpty() ? extent.coarse : fine.unitsOf(fineCovered);
    extent.sides = sidesOf(fine, kSideRows);
    return extent;
}

}  // namespace

DrawnExtent measureDrawn(const SvgDocument& svg, const LayerPicture& picture, const QRectF& area)
{
    return measure(svg, picture, area, {});
}

DrawnExtent measureShown(const SvgDocument& svg, const QString& id, const QRectF& area)
{
    return measure(svg, {}, area, id);
}

HeadShape measureHead(const SvgDocument& svg, const LayerPicture& picture, const QRectF& area)
{
    const Mask mask = renderMask(svg, picture, area, kOutlinePixels);
    if (mask.image.isNull())
        return {};
    const int w = mask.image.width(), h = mask.image.height();
    // The largest piece of solid pixels, touching by edges or corners.
    std::vector<int> piece(std::size_t(w) * std::size_t(h), -1);
    std::vector<int> sizes;
    std::vector<int> stack;
    for (int start = 0; start < w * h; ++start) {
        if (piece[std::size_t(start)] >= 0 || mask.alpha(start % w, start / w) < kSolidAlpha)
            continue;
        const int label = int(sizes.size());
        sizes.push_back(0);
        piece[std::size_t(start)] = label;
        stack.push_back(start);
        while (!stack.empty()) {
            const int at = stack.back();
            stack.pop_back();
            ++sizes.back();
            const int x = at % w, y = at / w;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h)
                        continue;
                    const int next = ny * w + nx;
                    if (piece[std::size_t(next)] < 0 && mask.alpha(nx, ny) >= kSolidAlpha) {
                        piece[std::size_t(next)] = label;
                        stack.push_back(next);
                    }
                }
            }
        }
    }
    if (sizes.empty())
        return {};
    const int largest = int(std::max_element(sizes.begin(), sizes.end()) - sizes.begin());
    HeadShape shape;
    shape.outline.top = area.top();
    shape.outline.rowHeight = 1 / mask.scale;
    shape.outline.rows.assign(std::size_t(h), {1.0, 0.0});
    shape.outline.left = area.x();
    shape.outline.columns.assign(std::size_t(w), {1.0, 0.0});
    QRect pixels;
    for (int y = 0; y < h; ++y) {
        int left = w, right = -1;
        for (int x = 0; x < w; ++x) {
            if (piece[std::size_t(y * w + x)] == largest)
                left = std::min(left, x), right = std::max(right, x);
        }
        if (right < 0)
            continue;
        shape.outline.rows[std::size_t(y)] = {area.x() + left / mask.scale, area.x() + (right + 1) / mask.scale};
        for (int x = left; x <= right; ++x) {
            if (piece[std::size_t(y * w + x)] != largest)
                continue;
            auto& column = shape.outline.columns[std::size_t(x)];
            const double top = area.y() + y / mask.scale, bottom = area.y() + (y + 1) / mask.scale;
            column = column.first > column.second ? std::pair(top, bottom) : std::pair(column.first, bottom);
        }
        pixels |= QRect(left, y, right - left + 1, 1);
    }
    shape.extent = mask.unitsOf(pixels);
    return shape;
}

}  // namespace vizmo::player
