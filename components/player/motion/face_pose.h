#pragma once
// Everything that moves in one drawn frame, after script, posing, speech and
// life have been combined. Angles and offsets are normalised to -1..1.

#include "components/player/content/script.h"
#include "components/player/motion/mouth_shape.h"

#include <array>

namespace vizmo::player {

// How far the pose's -1..1 turns, nods and tilts the head, whatever draws it.
inline constexpr double kMaxYaw = 0.60;    // radians at headX = 1
inline constexpr double kMaxPitch = 0.42;  // radians at headY = 1
inline constexpr double kMaxRoll = 20.0;   // degrees at headZ = 1
// Degrees the hanging hair swings for a unit of lag behind the head's turn and tilt.
inline constexpr double kHairSwingDegrees = 25.0;
inline constexpr double kHairTiltDegrees = 20.0;

struct FacePose {
    double headX = 0;  // turn: +1 faces the viewer's right
    double headY = 0;  // nod: +1 chin down
    double headZ = 0;  // tilt: +1 the top of the head leans to the viewer's right
    // Each eye on its own: [0] the eye on the viewer's left, [1] the right one.
    struct Eye {
        double x = 0;     // gaze: +1 towards the viewer's right
        double y = 0;     // gaze: +1 up
        double wink = 0;  // this eye's lid lowered by the host: 0 open .. 1 shut
    };
    std::array<Eye, 2> eyes{};
    double blink = 0;  // both lids: 0 open .. 1 closed
    double browRaise = 0;  // 0..1, a speech accent
    // How far hanging hair trails the head's turn, nod and tilt, in their units.
    double hairX = 0, hairY = 0, hairZ = 0;
    double shoulderLeft = 0;   // the shoulder on the viewer's left: +1 raised
    double shoulderRight = 0;
    double breath = 0;  // -1 .. 1 over a breathing cycle
    std::array<double, kExpressionCount> expressions{};  // 0..1 each
    MouthShape mouth;
};

}  // namespace vizmo::player
