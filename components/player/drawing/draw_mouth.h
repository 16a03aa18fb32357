#pragma once
// The mouth in its pose's shape: the opening with teeth and tongue, the lips,
// and a moustache above them.

#include "components/player/drawing/face_layout.h"

namespace vizmo::player {

void drawMouth(const FaceScene& s);

}  // namespace vizmo::player
