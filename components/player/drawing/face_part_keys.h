#pragma once
// What each part of the built-in face (face_renderer.h) depends on in a
// pose: its key, for keeping the part as a picture while the key holds. A
// key lists the measures the part is drawn from, each in quarters of a
// device pixel of how far it moves what it moves, and the thresholds at which
// a piece of the part appears or goes: equal keys draw the same part, to
// within a quarter of a pixel.

#include "components/player/content/face_model.h"
#include "components/player/drawing/face_renderer.h"
#include "components/player/drawing/layer_cache.h"
#include "components/player/motion/face_pose.h"

#include <QRectF>

#include <array>

namespace vizmo::player {

using FacePartKeys = std::array<LayerCache::Key, kFacePartCount>;

FacePartKeys facePartKeys(const QRectF& area, const FaceModel& model, const FacePose& pose, double pixelRatio);

}  // namespace vizmo::player
