#pragma once
// A drawing speaks with the few mouths its user drew. Each viseme, said at
// half its weight or more, is shown by one drawn shape: the nearest of a
// list (rest for silence, closed for P, B and M, "f" for F and V, open for a
// loud "aa", wide for "E", "ih" and a lighter "aa", round for "oh" and "ou"),
// so a drawing with only rest and open still opens on every vowel. The
// mouth of a frame, eased by the one timing policy, weighs the shapes of the
// visemes it is nearest to; one shape shows at a time, the heaviest, its box
// moved part way to the others' by their weights. On the way from one shape
// to another the first grows or squashes towards the second's box and gives
// way to it half way, where both fill the same box: one mouth moving, never
// two shapes over each other.

#include "components/player/content/artwork_model.h"
#include "components/player/motion/mouth_shape.h"

#include <QTransform>

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

// The shape a frame shows and where: `morph` takes the shape's own box to
// the box between all weighed shapes' boxes, by their weights.
struct ShownMouth {
    ArtLayer shape = ArtLayer::MouthRest;
    QTransform morph;
};
ShownMouth showMouth(const MouthWeights& weights, const ArtworkGeometry& geometry);

// The drawn shape that shows `viseme` (0..14) at full weight.
ArtLayer nearestMouth(int viseme, const DrawnMouths& drawn);

}  // namespace vizmo::player
