#pragma once
// Small shapes and tools the face's drawing steps share: colour shading, the
// eye's almond, tapering lines, and cutting shapes to an opening.

#include "components/player/drawing/pixel_painter.h"

#include <QColor>
#include <QPainterPath>
#include <QPolygonF>

namespace vizmo::player {

// Lighter above 100, darker below, as a percentage of `colour`.
QColor shade(const QColor& colour, int factor);

// The almond of an eye, `ew` to each corner; the lifts move its upper and
// lower curves outwards (or inwards when negative).
QPainterPath eyeOpening(double ew, double eh, double upperLift = 0, double lowerDrop = 0);

// A line along a curve from `from` to `to` bent towards `control`, drawn as a
// shape that is `above` thick over the curve's middle and `below` under it,
// tapering to points at its ends.
QPainterPath crescent(QPointF from, QPointF control, QPointF to, double above, double below);

// Draws shapes cut to an opening (eye, open mouth). A convex opening cuts
// each shape's outline; any other falls back to the painter's clip.
class OpeningCutter {
public:
    OpeningCutter(PixelPainter& painter, const QPainterPath& opening);
    ~OpeningCutter() { finish(); }
    OpeningCutter(const OpeningCutter&) = delete;
    OpeningCutter& operator=(const OpeningCutter&) = delete;

    void drawPath(const QPainterPath& shape);
    void drawEllipse(QPointF centre, double rx, double ry);
    void drawRect(const QRectF& rect);
    // Ends the cut; later drawing is not cut.
    void finish();

private:
    PixelPainter& p_;
    QPolygonF opening_;
    bool convex_;
    bool finished_ = false;
};

}  // namespace vizmo::player
