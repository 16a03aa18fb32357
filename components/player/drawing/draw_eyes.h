#pragma once
// The eyes with their lids, the brows above them and the glasses over them.

#include "components/player/drawing/face_layout.h"

namespace vizmo::player {

void drawEyes(const FaceScene& s);
// One eye: `side` -1 the eye on the viewer's left, 1 the right.
void drawEye(const FaceScene& s, int side);
void drawBrows(const FaceScene& s);
void drawGlasses(const FaceScene& s);

}  // namespace vizmo::player
