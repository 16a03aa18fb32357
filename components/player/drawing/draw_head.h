#pragma once
// The head and what frames it: the shoulders and neck, the hair behind and on
// the head, the ears, the skin with its cheeks, the beard and the nose.

#include "components/player/drawing/face_layout.h"

namespace vizmo::player {

// Neck, shoulders and clothes, upright below the tilting head.
void drawTorso(const FaceScene& s);
// The hair hanging behind the head (`front` false) or lying on it (true).
void drawHair(const FaceScene& s, bool front);
void drawEars(const FaceScene& s);
// The face's skin inside its outline, and the cheeks' blush.
void drawHeadShape(const FaceScene& s);
void drawBeard(const FaceScene& s);
void drawNose(const FaceScene& s);

}  // namespace vizmo::player
