// Tab changes stop both components and switch the strip under the player;
// Command32 toggles the compact and the expanded view.

#include "components/player_control.h"
#include "platform/window.h"
#include "support/window_fixture.h"

using namespace vizmo;
using namespace vizmo::testing;

class TabsAndView : public WindowTest {
protected:
    void SetUp() override
    {
        makeContent();
        startUp();
    }
    bool stripShowsSpeech() const
    {
        return c().KVTTSComponent1->visible() && !c().ProgressBar1->visible() && !c().Command32->visible();
    }
    bool stripShowsProgress() const
    {
        return !c().KVTTSComponent1->visible() && c().ProgressBar1->visible() && c().Command32->visible();
    }
};

TEST_F(TabsAndView, EveryTabChangeStopsBothAndOnlyDemoRestartsThePlayer)
{
    const QStringList stops{"Vizmo41 call Stop()", "KVTTSComponent1 call Stop()"};
    c().SSTab1->clickTab(1);
    EXPECT_EQ(log.lines(), stops);
    EXPECT_TRUE(stripShowsProgress());

    log.clear();
    c().SSTab1->clickTab(2);
    EXPECT_EQ(log.lines(), stops);
    EXPECT_TRUE(stripShowsSpeech());

    log.clear();
    c().SSTab1->clickTab(3);
    EXPECT_EQ(log.lines(), stops);
    EXPECT_TRUE(stripShowsProgress());

    log.clear();
    c().SSTab1->setTab(0);  // by code, as by the user
    EXPECT_EQ(log.lines(), stops + QStringList{"Vizmo41 call Play(I4(0))"});
    EXPECT_TRUE(stripShowsProgress());

    log.clear();
    c().SSTab1->setTab(0);  // the current tab again is no change
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST_F(TabsAndView, TheViewButtonTogglesBetween270And584PixelsAtAnyTwipsPerPixel)
{
    for (float tpp : {15.0f, 12.0f}) {
        SCOPED_TRACE(tpp);
        screen.setTwipsPerPixel(tpp, tpp);
        c().Command32->click();
        EXPECT_EQ(c().Command32->caption(), "<");
        EXPECT_FLOAT_EQ(form->window().widthTwips(), tpp * 584.0f);
        EXPECT_EQ(form->window().clientWidthPixels(), 578);
        c().Command32->click();
        EXPECT_EQ(c().Command32->caption(), ">");
        EXPECT_FLOAT_EQ(form->window().widthTwips(), tpp * 270.0f);
        EXPECT_EQ(form->window().clientWidthPixels(), 264);
    }
    EXPECT_TRUE(log.lines().isEmpty()) << "the view toggle calls no component";
}

TEST_F(TabsAndView, AnyCaptionOtherThanTheLeftArrowExpands)
{
    c().Command32->setCaption(QStringLiteral("<<"));
    c().Command32->click();
    EXPECT_EQ(form->window().clientWidthPixels(), 578);
    EXPECT_EQ(c().Command32->caption(), "<");
}

TEST_F(TabsAndView, TheSpeechTabHidesTheViewButtonWhileCompact)
{
    ASSERT_EQ(c().Command32->caption(), ">");
    c().SSTab1->clickTab(2);
    EXPECT_FALSE(c().Command32->visible());
    EXPECT_EQ(form->window().clientWidthPixels(), 264);
    c().SSTab1->clickTab(0);
    EXPECT_TRUE(c().Command32->visible());
    EXPECT_EQ(form->window().clientWidthPixels(), 264);
}

TEST_F(TabsAndView, AFailingPlayerStopEndsTheHandlerThereAndIsReported)
{
    player.failOn(dispatch::MemberKind::Method, player::id::Stop);
    c().SSTab1->clickTab(2);
    EXPECT_EQ(log.lines(), QStringList{"Vizmo41 call Stop() -> error 380"});
    EXPECT_TRUE(stripShowsProgress()) << "the strip stays as it was";
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].member(), "Vizmo41.Stop");
    EXPECT_EQ(c().SSTab1->tab(), 2);
}
