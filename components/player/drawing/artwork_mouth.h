#pragma once
// A drawing speaks with the few mouths its user drew. Each drawn shape stands
// for one mouth of the player's own (rest for silence, closed for P, B and M,
// "f" for F and V, open for "aa", wide for "E", round between "oh" and "ou"),
// and the mouth of a frame, eased by the one timing policy, shows as a blend
// of the drawn shapes by how near each one's mouth is to it. A viseme is
// thereby shown by the drawn shape nearest to it: a drawing with only rest
// and open still opens on every vowel.

#include "components/player/content/artwork_model.h"
#include "components/player/motion/mouth_shape.h"

#include <array>

namespace vizmo::player {

// How much each mouth shape of the drawing shows, in ArtLayer order from
// kFirstMouth; they add up to 1.
using MouthWeights = std::array<double, kMouthShapeCount>;
// Which shapes the drawing has.
using DrawnMouths = std::array<bool, kMouthShapeCount>;

DrawnMouths drawnMouths(const ArtworkGeometry& geometry);

// The blend for `mouth`: only drawn shapes, the nearest weighing most; it
// changes smoothly as the mouth moves. At least one shape must be drawn.
MouthWeights mouthWeights(const MouthShape& mouth, const DrawnMouths& drawn);

// The drawn shape that shows `viseme` (0..14) at full weight.
ArtLayer nearestMouth(int viseme, const DrawnMouths& drawn);

}  // namespace vizmo::player
