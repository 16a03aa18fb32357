#pragma once
// Where a layer's picture has paint, and where it hides what lies under it,
// in whole tiles: composing a frame then skips the transparent parts of a
// large picture (the hole a fringe leaves for the face) and what a later
// opaque layer covers (the hair behind the head, under the face). Resampling
// a large turned or tilted picture costs a frame more than anything else, so
// that is where the saving lies.

#include <QImage>
#include <QRegion>
#include <QTransform>

namespace vizmo::player {

struct SpriteCoverage {
    // Every pixel with any paint, grown by `margin`: drawing only there
    // draws the same picture, however it is resampled by a transform that
    // shrinks it to no less than half its size.
    QRegion painted;
    // Pixels whose whole neighbourhood of `margin` is opaque: resampled, they
    // stay opaque, so whatever was drawn under them before does not show.
    // At most kOpaqueRects rectangles of them, the largest.
    QRegion opaque;
};

inline constexpr int kCoverageTile = 16;   // device pixels
inline constexpr int kCoverageMargin = 2;  // device pixels
inline constexpr int kOpaqueRects = 12;    // the most kept of the opaque part

// Measures `image` (premultiplied ARGB) in tiles of `tile` pixels.
SpriteCoverage measureCoverage(const QImage& image, int tile = kCoverageTile, int margin = kCoverageMargin);

// A region's rectangles moved by `map` (a picture's pixels to the target's),
// as whole pixels of the target, which a clip takes as rectangles instead of
// an outline to rasterise:
// - every pixel any of them touches (more than the region, never less);
QRegion coveringRegion(const QRegion& region, const QTransform& map);
// - only pixels wholly within one of them (less than the region, never
//   more), and nothing at all for a map that turns by 45 degrees or more or
//   mirrors.
QRegion innerRegion(const QRegion& region, const QTransform& map);

}  // namespace vizmo::player
