#pragma once
// The head as an ellipsoid seen under the current turn and nod: where a point
// of its surface lands in the scene, how much of it faces the viewer, and the
// surface's local frame there, so features drawn in that frame move and
// foreshorten over the curved face.

#include "components/player/content/face_model.h"

#include <QPainterPath>
#include <QPointF>
#include <QTransform>

namespace vizmo::player {

class HeadProjection {
public:
    // `yaw` turns the head (radians, + to the viewer's right), `pitch` nods it
    // (radians, + chin down); `rx` and `ry` are its radii in scene units.
    HeadProjection(QPointF centre, double rx, double ry, double yaw, double pitch);

    // A surface point (u across, v down, both -1..1); `lift` raises it off the
    // surface towards the viewer (the nose tip, lips).
    QPointF point(double u, double v, double lift = 0.0) const;

    // How much of the point faces the viewer: 1 straight on, below 0 hidden.
    double facing(double u, double v) const;

    // The surface's local frame at (u, v): one scene unit of a feature drawn in
    // this frame maps to one scene unit on the face, foreshortened by the curve.
    QTransform frame(double u, double v, double lift = 0.0) const;

    double rx() const { return rx_; }
    double ry() const { return ry_; }
    QPointF centre() const { return c_; }
    double yawSine() const { return sy_; }
    double pitchSine() const { return sp_; }

private:
    QPointF c_;
    double rx_, ry_, cy_, sy_, cp_, sp_;
};

// The face's silhouette: the skull's upper half and a jaw down to a chin
// `chinLength` radii below the centre, the chin following the turn.
QPainterPath headOutline(const HeadProjection& head, const FaceModel& model, double chinLength);

}  // namespace vizmo::player
