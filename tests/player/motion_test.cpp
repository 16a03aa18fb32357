// Timing of the motions: the mouth blend, the viseme lead, the timeline's
// pause arithmetic and natural blink intervals.
#include "components/player/life_motion.h"
#include "components/player/mouth_easer.h"
#include "components/player/playback_timeline.h"
#include "components/player/script.h"
#include "components/viseme_timing.h"

#include <gtest/gtest.h>

namespace vizmo::player {
namespace {

TEST(MouthEaser, NewTargetMidMoveKeepsThePositionAndTheSpeed)
{
    MouthEaser easer;
    easer.setTarget(visemeShape(10), 0, 100);  // towards aa
    const double halfway = easer.at(50).open;
    easer.setTarget(visemeShape(1), 50, 100);  // now towards PP
    EXPECT_NEAR(easer.at(50).open, halfway, 1e-9) << "no jump when the target changes";
    EXPECT_GT(easer.at(53).open, halfway) << "still opening for a moment: the motion is not restarted from rest";
    EXPECT_GT(easer.at(100).open, 0.0);
    EXPECT_NEAR(easer.at(400).press, 1.0, 1e-3);
    EXPECT_GE(easer.at(400).open, -1e-3) << "a critically damped spring does not overshoot";
}

TEST(ScriptMouth, VisemeFormsBeforeItsKeyAndIsMostlyThereByIt)
{
    namespace timing = viseme_timing;
    Script s;
    s.lengthMs = 1000;
    s.visemes = {{0, 0, 1.0}, {500, 10, 1.0}};
    const double full = visemeShape(10).open;
    EXPECT_DOUBLE_EQ(s.sample(500 - timing::kMaxLeadMs - 1).mouth.open, 0.0);
    const double early = s.sample(500 - timing::kPresentationMs - timing::kLeadMs / 2).mouth.open;
    EXPECT_GT(early, 0.0);
    EXPECT_LT(early, 0.5 * full);
    EXPECT_GT(s.sample(500 - timing::kPresentationMs).mouth.open, 0.5 * full);
    EXPECT_NEAR(s.sample(800).mouth.open, full, 1e-3);
}

TEST(ScriptTracks, EaseBetweenKeysAndHoldOutside)
{
    Script s;
    s.lengthMs = 2000;
    s.head = {{500, 0, 0, 0}, {1500, 200, -100, 0}};
    EXPECT_DOUBLE_EQ(s.sample(0).headX, 0.0);
    EXPECT_DOUBLE_EQ(s.sample(1000).headX, 100.0);
    EXPECT_DOUBLE_EQ(s.sample(1000).headY, -50.0);
    EXPECT_LT(s.sample(600).headX, 20.0) << "eased, not linear, near the key";
    EXPECT_DOUBLE_EQ(s.sample(1900).headX, 200.0);
}

TEST(Timeline, PauseHoldsAndResumeContinues)
{
    PlaybackTimeline t;
    t.setLength(1000);
    t.play(100);
    EXPECT_DOUBLE_EQ(t.position(400), 300);
    t.pause(400);
    EXPECT_DOUBLE_EQ(t.position(5000), 300);
    t.play(5000);
    EXPECT_DOUBLE_EQ(t.position(5100), 400);
    EXPECT_TRUE(t.reachedEnd(5700));
    EXPECT_DOUBLE_EQ(t.position(9999), 1000) << "never past the end";
    t.followExternalClock(250, 6000);
    EXPECT_DOUBLE_EQ(t.position(6000), 250) << "the sound's clock takes over";
}

TEST(LifeMotion, BlinksEveryTwoToSixSecondsAndTakesAboutAThirdOfASecond)
{
    LifeMotion life(1234);
    life.setMode(1);
    std::vector<double> starts;
    double closedTime = 0;
    bool wasClosed = false;
    for (double t = 0; t < 120; t += 0.01) {
        const double blink = life.at(t).blink;
        if (blink > 0 && !wasClosed)
            starts.push_back(t);
        wasClosed = blink > 0;
        closedTime += blink > 0.5 ? 0.01 : 0;
    }
    ASSERT_GE(starts.size(), 20u);
    ASSERT_LE(starts.size(), 70u);
    for (std::size_t i = 1; i < starts.size(); ++i) {
        const double gap = starts[i] - starts[i - 1];
        // Double blinks come 0.45 s apart; others 2 to 6 s.
        EXPECT_TRUE((gap > 0.4 && gap < 0.5) || (gap > 1.99 && gap < 6.01)) << gap;
    }
    const double perBlink = closedTime / double(starts.size());
    EXPECT_GT(perBlink, 0.1);
    EXPECT_LT(perBlink, 0.25);
}

TEST(LifeMotion, ModeZeroIsStillAndHigherModesAddBreathAndSway)
{
    LifeMotion still(7), breathing(7), idle(7);
    still.setMode(0);
    breathing.setMode(2);
    idle.setMode(3);
    double breathRange = 0, swayRange = 0, stillMotion = 0;
    for (double t = 0; t < 10; t += 0.05) {
        const auto s = still.at(t), b = breathing.at(t), i = idle.at(t);
        stillMotion += std::abs(s.blink) + std::abs(s.breath) + std::abs(s.headX) + std::abs(s.eyeX);
        breathRange = std::max(breathRange, std::abs(b.breath));
        EXPECT_DOUBLE_EQ(b.headX, 0.0);
        swayRange = std::max(swayRange, std::abs(i.headX));
    }
    EXPECT_DOUBLE_EQ(stillMotion, 0.0);
    EXPECT_GT(breathRange, 0.9);
    EXPECT_GT(swayRange, 0.02);
}

}  // namespace
}  // namespace vizmo::player
