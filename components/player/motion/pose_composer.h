#pragma once
// The pose of one frame, composed from its layers: the script's frame, the
// host's posing, life's small motions, the expression strength and the speech
// mouth. Pure arithmetic over its inputs, so it is tested without a widget.

#include "components/player/content/script.h"
#include "components/player/motion/face_pose.h"
#include "components/player/motion/life_motion.h"
#include "components/player/motion/mouth_shape.h"

namespace vizmo::player {

// How long the face takes to hand the mouth from the script to speech and back.
inline constexpr double kSpeechSwitchMs = 120.0;

// SetHead, SetEye and SetShoulder as the host gave them, in the methods' units.
struct HostPosing {
    double headX = 0, headY = 0, headZ = 0;
    double eyeX[2] = {0, 0}, eyeY[2] = {0, 0};  // each eye's gaze; y below -128 lowers its lid
    double shoulderLeft = 0, shoulderRight = 0;
};

// The speech input's side of the mouth.
struct SpeechMouth {
    bool active = false;         // SpeechActive
    double sinceSwitchMs = 1e9;  // since SpeechActive last changed
    MouthShape shape;            // where the speech mouth is now
};

struct PoseLayers {
    ScriptFrame script;     // empty without a script
    HostPosing posing;
    LifeOffsets life;
    double strength = 1.0;  // scale of every expression but Blink, 0..1
    SpeechMouth speech;
};

FacePose composePose(const PoseLayers& layers);

}  // namespace vizmo::player
