#pragma once
// The eyes with their lids, the brows above them and the glasses over them.

#include "components/player/drawing/face_layout.h"

namespace vizmo::player {

void drawEyes(const FaceScene& s);
void drawBrows(const FaceScene& s);
void drawGlasses(const FaceScene& s);

}  // namespace vizmo::player
