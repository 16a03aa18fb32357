#pragma once
// Where a drawing's layers go in a pose: the same pose, life and speech that
// move the built-in face. A drawing is flat, so the head's turn and nod move
// each layer by its depth: features on the face slide over the round of the
// head and narrow towards its edge, the nose (lying in front) most, hair and
// ears behind the head the other way, and the head itself squashes a
// little. The tilt turns the whole head about its pivot, hanging hair
// trails it, and the body rises with the shoulders and the breath. Within
// the head, irises move inside their whites, lids slide down over them,
// brows rise and turn with the expressions, and the mouth is a blend of the
// drawn shapes. Pure arithmetic, tested without a drawing.

#include "components/player/content/artwork_model.h"
#include "components/player/drawing/artwork_mouth.h"
#include "components/player/motion/face_pose.h"

#include <QPointF>
#include <QTransform>

#include <array>

namespace vizmo::player {

struct ArtworkFrame {
    // Each layer's move, from where it is drawn to where it shows, in the
    // drawing's units. An eye's layers share their white's move.
    std::array<QTransform, kArtLayerCount> place{};
    std::array<QPointF, 2> irisShift{};  // each iris within its white, before the eye's move
    std::array<double, 2> lidCover{};    // each upper lid: 0 open .. 1 shut
    std::array<QPointF, 2> lidShift{};   // each lid, from where it is drawn (shut)
    MouthWeights mouth{};
    // The one mouth shape shown; its place above holds its morph.
    ArtLayer mouthShape = ArtLayer::MouthRest;
};

ArtworkFrame poseArtwork(const ArtworkGeometry& geometry, const FacePose& pose);

// What the player shows of the drawing: its frame, widened evenly and
// raised as far as the head and what moves with it reach at the limits of
// turn, nod, tilt and the hair's swing, so that nothing is cut at the edge.
// The body and the neck, drawn past the bottom edge, do not widen it.
QRectF frameWithRoom(const ArtworkGeometry& geometry);

}  // namespace vizmo::player
