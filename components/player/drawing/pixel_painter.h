#pragma once
// Draws like a QPainter whose transform maps the face's small scene units to
// pixels, but hands Qt geometry already mapped to device pixels.
//
// Qt flattens curves in the coordinates it is given, and its flatness test
// treats a curve whose ends lie less than one unit apart in absolute terms: a
// face drawn in units of half its height had every curve cut into dozens of
// segments, and the rasteriser then walked all of them. Mapped to pixels
// first, a curve needs a handful of segments and looks the same.

#include <QBrush>
#include <QPen>
#include <QTransform>

#include <vector>

class QPainter;
class QPainterPath;
class QPolygonF;
class QRectF;

namespace vizmo::player {

class GradientTextures;

class PixelPainter {
public:
    // Starts from the painter's transform; the painter draws untransformed
    // until this object is gone, then gets its transform back. Radial
    // gradients come from `textures` where it is given and they can.
    explicit PixelPainter(QPainter& painter, GradientTextures* textures = nullptr);
    ~PixelPainter();
    PixelPainter(const PixelPainter&) = delete;
    PixelPainter& operator=(const PixelPainter&) = delete;

    // From now on records where it would draw, in target pixels (with a
    // pixel to spare for anti-aliasing), instead of drawing.
    void measureInto(QRectF* bounds) { measured_ = bounds; }

    const QTransform& transform() const { return transform_; }
    void setTransform(const QTransform& transform, bool combine = false);
    void translate(QPointF offset);
    void rotate(double degrees);
    void scale(double sx, double sy);

    // Saves transform, pen, brush and clip together.
    void save();
    void restore();

    void setPen(const QPen& pen);
    void setPen(Qt::PenStyle style) { setPen(QPen(style)); }
    void setBrush(const QBrush& brush);

    void drawPath(const QPainterPath& path);
    void drawEllipse(QPointF centre, double rx, double ry);
    void drawRect(const QRectF& rect);
    void drawRoundedRect(const QRectF& rect, double rx, double ry);
    void drawPolyline(const QPolygonF& polyline);
    // The path's outline flattened in device pixels, for cutting shapes
    // before they are drawn; drawDevicePolygon draws such a polygon.
    QPolygonF devicePolygon(const QPainterPath& path) const;
    void drawDevicePolygon(const QPolygonF& polygon);
    void drawLine(QPointF from, QPointF to);
    void drawPoint(QPointF point);
    // Intersects the clip with the path.
    void setClipPath(const QPainterPath& path);
    void setClipping(bool enabled);

private:
    // Sets the pen and brush for a shape within `bounds` (target pixels);
    // false when measuring, having recorded them instead.
    bool applyStyle(const QRectF& bounds);

    struct State {
        QTransform transform;
        QPen pen;
        QBrush brush;
    };
    QPainter& painter_;
    GradientTextures* textures_;
    double pixelRatio_;
    QTransform initial_;
    QTransform transform_;
    QPen pen_;
    QBrush brush_;
    bool styleDirty_ = true;
    bool brushFollowsBounds_ = false;  // the brush set is a gradient picture placed for its shape
    QRectF* measured_ = nullptr;
    std::vector<State> saved_;
};

}  // namespace vizmo::player
