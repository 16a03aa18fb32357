// The player's sliders: one call per change with values read afresh, and the nested
// exchange between the head and eye sliders and the Tracking box.

#include "player_panel/pose_sliders.h"
#include "support/window_fixture.h"

using namespace vizmo;
using namespace vizmo::testing;

class PoseSliders : public WindowTest {
protected:
    void SetUp() override
    {
        makeContent();
        startUp();
        c().Check3->setValue(0);  // tracking off unless a test turns it on
        log.clear();
    }
};

TEST(EyeHalving, RoundsDownTowardsNegativeInfinity)
{
    const std::pair<int, int> cases[] = {{-255, -128}, {-254, -127}, {-3, -2}, {-1, -1}, {0, 0},
                                         {1, 0},       {3, 1},       {200, 100}, {255, 127}};
    for (const auto& [slider, eye] : cases)
        EXPECT_EQ(player_panel::halvedEye(slider), eye) << slider;
}

TEST_F(PoseSliders, PropertyAndFrameRateSlidersMakeOneCallEachAndLeaveTrackingAlone)
{
    c().Check3->setValue(1);
    log.clear();
    c().Slider1->setValue(200);
    c().Slider12->setValue(8);
    c().Slider2->setValue(-255);
    c().Slider6->setValue(17);
    EXPECT_EQ(log.lines(), (QStringList{
                               "Vizmo41 put Strength(I4(200))",
                               "Vizmo41 call SetFPS(I4(0), I4(8))",
                               "Vizmo41 call SetShoulder(I2(-255), I2(0))",
                               "Vizmo41 call SetShoulder(I2(-255), I2(17))",
                           }));
    EXPECT_EQ(c().Check3->value(), 1);
    c().Slider1->setValue(200);  // the same value again is no change
    EXPECT_EQ(log.lines().size(), 4);
}

TEST_F(PoseSliders, HeadAndEyeSlidersSendTheWholeGroupWithTrackingOff)
{
    c().Slider7->setValue(10);
    c().Slider10->setValue(-255);
    c().Slider11->setValue(200);
    c().Slider8->setValue(-3);
    c().Slider8->setValue(255);
    c().Slider8->setValue(-255);
    EXPECT_EQ(log.lines(), (QStringList{
                               "Vizmo41 call SetHead(I2(10), I2(0), I2(0))",
                               "Vizmo41 call SetHead(I2(10), I2(0), I2(-255))",
                               "Vizmo41 call SetEye(I2(0), I2(100), I2(0), I2(100))",
                               "Vizmo41 call SetEye(I2(-2), I2(100), I2(-2), I2(100))",
                               "Vizmo41 call SetEye(I2(127), I2(100), I2(127), I2(100))",
                               "Vizmo41 call SetEye(I2(-128), I2(100), I2(-128), I2(100))",
                           }));
    EXPECT_EQ(c().Check3->value(), 0);
}

TEST_F(PoseSliders, MovingAHeadSliderWithTrackingOnRecentresEverythingAndSwitchesTrackingOff)
{
    c().Check3->setValue(1);
    log.clear();
    c().Slider7->setValue(40);
    // The nested Tracking click recentres Slider7 (the only one off-centre);
    // its nested change handler sends the centred head, then the outer one does.
    EXPECT_EQ(log.lines(), (QStringList{"Vizmo41 call SetHead(I2(0), I2(0), I2(0))",
                                        "Vizmo41 call SetHead(I2(0), I2(0), I2(0))"}));
    EXPECT_EQ(c().Check3->value(), 0);
    for (platform::Slider* s : {c().Slider7, c().Slider8, c().Slider9, c().Slider10, c().Slider11})
        EXPECT_EQ(s->value(), 0);
}

TEST_F(PoseSliders, TickingTrackingWithPosedSlidersRecentresThemAndEndsWithTrackingOff)
{
    c().Slider9->setValue(30);
    c().Slider11->setValue(-50);
    log.clear();
    c().Check3->click();  // the user ticks the box
    // Slider9 moves first; its handler clears the box, whose nested click
    // centres the rest (Slider11, with its eye call), and only then sends the head.
    EXPECT_EQ(log.lines(), (QStringList{"Vizmo41 call SetEye(I2(0), I2(0), I2(0), I2(0))",
                                        "Vizmo41 call SetHead(I2(0), I2(0), I2(0))"}));
    EXPECT_EQ(c().Check3->value(), 0);
    EXPECT_EQ(c().Slider11->value(), 0);
    // A second click turns tracking on: nothing is off-centre any more.
    log.clear();
    c().Check3->click();
    EXPECT_EQ(c().Check3->value(), 1);
    EXPECT_TRUE(log.lines().isEmpty());
}
