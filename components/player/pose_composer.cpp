#include "components/player/pose_composer.h"

#include "components/player_control.h"

#include <algorithm>

namespace vizmo::player {

namespace {

constexpr double kPoseUnits = 255.0;  // SetHead and SetShoulder: -255..255
constexpr double kGazeUnits = 128.0;  // SetEye: ±128 looks to the corner of the eye

double unit(double value, double scale) { return std::clamp(value / scale, -1.0, 1.0); }
double limit(double value) { return std::clamp(value, -1.0, 1.0); }

// The host's posing adds to the script's in the methods' units, so together
// they reach the limit no sooner than each alone. The gaze is the eyes' mean.
void placeFigure(FacePose& pose, const ScriptFrame& script, const HostPosing& posing)
{
    pose.headX = unit(script.headX + posing.headX, kPoseUnits);
    pose.headY = unit(script.headY + posing.headY, kPoseUnits);
    pose.headZ = unit(script.headZ + posing.headZ, kPoseUnits);
    const double eyeX = (posing.eyeX[0] + posing.eyeX[1]) / 2, eyeY = (posing.eyeY[0] + posing.eyeY[1]) / 2;
    pose.eyeX = unit(script.eyeX, kPoseUnits) + unit(eyeX, kGazeUnits);
    pose.eyeY = unit(script.eyeY, kPoseUnits) + unit(eyeY, kGazeUnits);
    pose.shoulderLeft = unit(script.shoulderLeft + posing.shoulderLeft, kPoseUnits);
    pose.shoulderRight = unit(script.shoulderRight + posing.shoulderRight, kPoseUnits);
}

void addLife(FacePose& pose, const LifeOffsets& life)
{
    pose.headX = limit(pose.headX + life.headX);
    pose.headY = limit(pose.headY + life.headY);
    pose.headZ = limit(pose.headZ + life.headZ);
    pose.eyeX = limit(pose.eyeX + life.eyeX);
    pose.eyeY = limit(pose.eyeY + life.eyeY);
    pose.shoulderLeft = limit(pose.shoulderLeft + 0.25 * life.breath);
    pose.shoulderRight = limit(pose.shoulderRight + 0.25 * life.breath);
    pose.breath = life.breath;
    pose.blink = life.blink;
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
    if (speech.active) {
        // An attentive look while speaking: brows up a touch.
        auto& surprise = pose.expressions[std::size_t(Expression::Surprise)];
        surprise = std::max(surprise, 0.12 * speechPart);
    }
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
