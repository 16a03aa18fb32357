#include "components/player/motion/pose_composer.h"

#include "components/player_control.h"

#include <algorithm>

namespace vizmo::player {

namespace {

constexpr double kPoseUnits = 255.0;  // SetHead and SetShoulder: -255..255
constexpr double kGazeUnits = 128.0;  // SetEye: ±128 looks to the corner of the eye

double unit(double value, double scale) { return std::clamp(value / scale, -1.0, 1.0); }
double limit(double value) { return std::clamp(value, -1.0, 1.0); }

// The host's posing adds to the script's in the methods' units, so together
// they reach the limit no sooner than each alone. Each eye takes its own pair
// of SetEye (they can converge); looking down past the eye's corner (-128)
// lowers that eye's lid, shut at -255: a wink.
void placeFigure(FacePose& pose, const ScriptFrame& script, const HostPosing& posing)
{
    pose.headX = unit(script.headX + posing.headX, kPoseUnits);
    pose.headY = unit(script.headY + posing.headY, kPoseUnits);
    pose.headZ = unit(script.headZ + posing.headZ, kPoseUnits);
    for (std::size_t e = 0; e < 2; ++e) {
        pose.eyes[e].x = unit(script.eyeX, kPoseUnits) + unit(posing.eyeX[e], kGazeUnits);
        pose.eyes[e].y = unit(script.eyeY, kPoseUnits) + unit(posing.eyeY[e], kGazeUnits);
        pose.eyes[e].wink = std::clamp((-posing.eyeY[e] - kGazeUnits) / (kPoseUnits - kGazeUnits), 0.0, 1.0);
    }
    pose.shoulderLeft = unit(script.shoulderLeft + posing.shoulderLeft, kPoseUnits);
    pose.shoulderRight = unit(script.shoulderRight + posing.shoulderRight, kPoseUnits);
}

void addLife(FacePose& pose, const LifeOffsets& life)
{
    pose.headX = limit(pose.headX + life.headX);
    pose.headY = limit(pose.headY + life.headY);
    pose.headZ = limit(pose.headZ + life.headZ);
    for (auto& eye : pose.eyes)
        eye.x = limit(eye.x + life.eyeX), eye.y = limit(eye.y + life.eyeY);
    pose.shoulderLeft = limit(pose.shoulderLeft + 0.25 * life.breath);
    pose.shoulderRight = limit(pose.shoulderRight + 0.25 * life.breath);
    pose.breath = life.breath;
    pose.blink = life.blink;
    pose.browRaise = life.brows;
    pose.hairX = life.hairX, pose.hairY = life.hairY, pose.hairZ = life.hairZ;
}

// Strength scales the script's expressions, and Neutral relaxes the others;
// a blink is a blink at any strength.
void applyStrength(FacePose& pose, const ScriptFrame& script, double strength)
{
    const double relax = 1.0 - 0.8 * script.expressions[std::size_t(Expression::Neutral)];
    for (int e = 0; e < kExpressionCount; ++e) {
        const auto i = std::size_t(e);
        const bool isBlink = e == int(Expression::Blink);
        pose.expressions[i] = std::clamp(script.expressions[i] * (isBlink ? 1.0 : strength * relax), 0.0, 1.0);
    }
}

// The speech mouth takes over from the script's mouth, eased both ways.
void mixSpeechMouth(FacePose& pose, const ScriptFrame& script, const SpeechMouth& speech)
{
    const MouthShape scriptMouth = script.hasMouth ? script.mouth : visemeShape(viseme::Silence);
    const double switchPart = smoothStep(speech.sinceSwitchMs / kSpeechSwitchMs);
    const double speechPart = speech.active ? switchPart : 1.0 - switchPart;
    pose.mouth = lerp(scriptMouth, speech.shape, speechPart);
}

}  // namespace

FacePose composePose(const PoseLayers& layers)
{
    FacePose pose;
    placeFigure(pose, layers.script, layers.posing);
    addLife(pose, layers.life);
    applyStrength(pose, layers.script, layers.strength);
    mixSpeechMouth(pose, layers.script, layers.speech);
    return pose;
}

}  // namespace vizmo::player
