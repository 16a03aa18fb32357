#pragma once
// A drawing speaks with the few mouths its user drew. Each viseme, said at
// half its weight or more, is shown by one drawn shape: the nearest of a
// list (rest for silence, closed for P, B and M, "f" for F and V, open for a
// loud "aa", wide for "E", "ih" and a lighter "aa", round for "oh" and "ou"),
// so a drawing with only rest and open still opens on every vowel. The
// mouth of a frame, eased by the one timing policy, shows as a blend of the
// shapes of the visemes it is nearest to.

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
