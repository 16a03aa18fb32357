// How the pose's layers combine: script and host posing, life on top, the
// expression strength, and the speech mouth taking over from the script's.
#include "components/player/motion/pose_composer.h"
#include "components/player_control.h"

#include <gtest/gtest.h>

namespace vizmo::player {
namespace {

double& expression(ScriptFrame& frame, Expression e) { return frame.expressions[std::size_t(e)]; }
double expression(const FacePose& pose, Expression e) { return pose.expressions[std::size_t(e)]; }

TEST(PoseComposer, HostPosingAddsToTheScriptBeforeLifeAndAllStopsAtTheLimit)
{
    PoseLayers layers;
    layers.script.headX = 200;
    layers.posing.headX = -200;  // cancels the script's turn instead of each clamping alone
    layers.script.headY = 200;
    layers.posing.headY = 200;
    layers.posing.eyeX[0] = 128;  // each eye on its own, ±128 to the corner
    layers.life.headY = -0.5;
    layers.life.breath = 1;
    const FacePose pose = composePose(layers);
    EXPECT_DOUBLE_EQ(pose.headX, 0.0);
    EXPECT_DOUBLE_EQ(pose.headY, 0.5) << "life moves from the limit, not from the sum beyond it";
    EXPECT_DOUBLE_EQ(pose.eyes[0].x, 1.0);
    EXPECT_DOUBLE_EQ(pose.eyes[1].x, 0.0) << "the eyes can converge";
    EXPECT_DOUBLE_EQ(pose.shoulderLeft, 0.25) << "breathing lifts the shoulders";
}

// SetEye past the eye's lower corner lowers that eye's lid alone: -255 winks.
TEST(PoseComposer, LookingFarDownWithOneEyeWinksIt)
{
    PoseLayers layers;
    layers.posing.eyeY[1] = -255;
    const FacePose pose = composePose(layers);
    EXPECT_DOUBLE_EQ(pose.eyes[1].wink, 1.0);
    EXPECT_DOUBLE_EQ(pose.eyes[0].wink, 0.0);
    layers.posing.eyeY[1] = -128;
    EXPECT_DOUBLE_EQ(composePose(layers).eyes[1].wink, 0.0) << "the corner itself is an open eye";
}

TEST(PoseComposer, StrengthAndNeutralScaleExpressionsButNeverTheBlink)
{
    PoseLayers layers;
    expression(layers.script, Expression::Smile) = 1;
    expression(layers.script, Expression::Blink) = 1;
    layers.strength = 0.5;
    EXPECT_DOUBLE_EQ(expression(composePose(layers), Expression::Smile), 0.5);
    expression(layers.script, Expression::Neutral) = 1;
    const FacePose relaxed = composePose(layers);
    EXPECT_NEAR(expression(relaxed, Expression::Smile), 0.1, 1e-12);
    EXPECT_DOUBLE_EQ(expression(relaxed, Expression::Blink), 1.0);
}

TEST(PoseComposer, SpeechMouthTakesOverFromTheScriptEasedBothWays)
{
    PoseLayers layers;
    layers.script.hasMouth = true;
    layers.script.mouth = visemeShape(viseme::aa);
    layers.speech.shape = visemeShape(viseme::PP);
    layers.speech.active = true;
    layers.speech.sinceSwitchMs = 0;
    EXPECT_EQ(composePose(layers).mouth, visemeShape(viseme::aa)) << "no jump when speech starts";
    layers.speech.sinceSwitchMs = kSpeechSwitchMs / 2;
    const double halfway = composePose(layers).mouth.open;
    EXPECT_GT(halfway, visemeShape(viseme::PP).open);
    EXPECT_LT(halfway, visemeShape(viseme::aa).open);
    layers.speech.sinceSwitchMs = kSpeechSwitchMs;
    const FacePose speaking = composePose(layers);
    EXPECT_EQ(speaking.mouth, visemeShape(viseme::PP));
    EXPECT_EQ(expression(speaking, Expression::Surprise), 0.0) << "no constant stare while speaking";

    layers.speech.active = false;
    layers.speech.sinceSwitchMs = 0;
    EXPECT_EQ(composePose(layers).mouth, visemeShape(viseme::PP)) << "no jump when speech ends";
    layers.speech.sinceSwitchMs = kSpeechSwitchMs;
    EXPECT_EQ(composePose(layers).mouth, visemeShape(viseme::aa));
}

}  // namespace
}  // namespace vizmo::player
