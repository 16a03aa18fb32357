#pragma once
// Cuts a polygon to a convex one. The face's small openings (eyes, mouth)
// hold the iris, lids, teeth and tongue; cutting those shapes to the opening
// costs far less than a painter clip, which rasterises the clip shape and
// then masks every fill drawn under it.

#include <QPolygonF>

namespace vizmo::player {

// True when the closed polygon turns one way only (collinear runs allowed).
bool isConvex(const QPolygonF& polygon);

// The part of `subject` inside `convex`, which must be convex and may wind
// either way. An empty polygon when they do not overlap.
QPolygonF clipToConvex(const QPolygonF& subject, const QPolygonF& convex);

}  // namespace vizmo::player
