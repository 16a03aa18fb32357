// The player's event monitor: the event box, the position text and bar, and
// the end-of-script advance.

#include "components/player_control.h"
#include "support/window_fixture.h"

#include <QApplication>

using namespace vizmo;
using namespace vizmo::testing;
using dispatch::I4;

class PlayerEvents : public WindowTest {
protected:
    void SetUp() override
    {
        makeContent();
        startUp();
    }
    void progress(int current, int total) { player.raise(player::event::Progress, {I4(1), I4(0), I4(current), I4(total)}); }
    void eof() { player.raise(player::event::Eof, {dispatch::Str("script")}); }
};

TEST_F(PlayerEvents, EachEventShowsItsNameAndProgressLeavesTheBoxAlone)
{
    namespace ev = player::event;
    const std::pair<int, const char*> cases[] = {
        {ev::Click, "Click"},         {ev::DoubleClick, "DoubleClick"}, {ev::MouseEnter, "MouseEnter"},
        {ev::MouseLeave, "MouseLeave"}, {ev::Play, "Play"},            {ev::Pause, "Pause"},
        {ev::Stop, "Stop"},
    };
    for (const auto& [position, name] : cases) {
        player.raise(position);
        EXPECT_EQ(c().Text5->text(), name);
    }
    player.raise(ev::MouseDown, {dispatch::I2(1), dispatch::I2(0), I4(10), I4(20)});
    EXPECT_EQ(c().Text5->text(), "MouseDown");
    player.raise(ev::MouseUp, {dispatch::I2(1), dispatch::I2(0), I4(10), I4(20)});
    EXPECT_EQ(c().Text5->text(), "MouseUp");
    player.raise(ev::Play);
    progress(10, 100);
    progress(20, 100);
    EXPECT_EQ(c().Text5->text(), "Play");
    // The two load notifications are not shown.
    player.raise(ev::ModelLoaded, {dispatch::Str("m")});
    player.raise(ev::ScriptLoaded, {dispatch::Str("s")});
    EXPECT_EQ(c().Text5->text(), "Play");
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST_F(PlayerEvents, ProgressShowsPositionSlashTotalAndFillsTheBar)
{
    progress(37, 120);
    EXPECT_EQ(c().Text1->text(), "37/120");
    EXPECT_FLOAT_EQ(c().ProgressBar1->max(), 120.0f);
    EXPECT_FLOAT_EQ(c().ProgressBar1->value(), 37.0f);
    progress(120, 120);
    EXPECT_EQ(c().Text1->text(), "120/120");
    EXPECT_DOUBLE_EQ(c().ProgressBar1->fraction(), 1.0);
    // Max is set before Value: a shorter script's position is measured against its own total.
    progress(50, 60);
    EXPECT_DOUBLE_EQ(c().ProgressBar1->fraction(), 50.0 / 60.0);
}

TEST_F(PlayerEvents, NonsenseProgressIsShownAsTextWhileTheBarStaysSane)
{
    progress(5, 0);
    EXPECT_EQ(c().Text1->text(), "5/0");
    EXPECT_GE(c().ProgressBar1->fraction(), 0.0);
    EXPECT_LE(c().ProgressBar1->fraction(), 1.0);
    progress(-3, -10);
    EXPECT_EQ(c().Text1->text(), "-3/-10");
    progress(300, 100);
    EXPECT_DOUBLE_EQ(c().ProgressBar1->fraction(), 1.0);
    progress(-1, 100);
    EXPECT_DOUBLE_EQ(c().ProgressBar1->fraction(), 0.0);
    EXPECT_TRUE(reporter.reports.empty());
}

TEST_F(PlayerEvents, EofOnDemoAdvancesTheTickedListsModelFirstAndWraps)
{
    ASSERT_EQ(c().Check1->value(), 0);
    ASSERT_EQ(c().Check2->value(), 1);
    eof();
    EXPECT_EQ(c().Text5->text(), "Eof");
    EXPECT_EQ(log.lines(), QStringList{"Vizmo41 put ScriptName(String(\"" + path("qvs/long.qvs") + "\"))"});

    c().Check1->setValue(1);
    c().File1->setListIndex(1);  // the last model
    log.clear();
    eof();
    EXPECT_EQ(log.lines(), (QStringList{"Vizmo41 put ModelName(String(\"" + path("qvm/ann.QVM") + "\"))",
                                        "Vizmo41 put ScriptName(String(\"" + path("qvs/wave.qvs") + "\"))"}));
    log.clear();
    eof();  // the script list wraps from its last entry to its first
    EXPECT_EQ(log.matching("Vizmo41 put ScriptName"), QStringList{"Vizmo41 put ScriptName(String(\"" + path("qvs/hello.qvs") + "\"))"});
}

TEST_F(PlayerEvents, EofOnAnyOtherTabOnlyShowsTheEvent)
{
    c().Check1->setValue(1);
    c().SSTab1->setTab(1);
    log.clear();
    eof();
    EXPECT_EQ(c().Text5->text(), "Eof");
    EXPECT_TRUE(log.lines().isEmpty());
    EXPECT_EQ(c().File1->listIndex(), 0);
    EXPECT_EQ(c().File2->listIndex(), 0);
}

TEST_F(PlayerEvents, ValidateShowsItsNameAndNeverCancels)
{
    QWidget* other = c().Command32->widget();
    ASSERT_TRUE(showActive());
    player.setFocus();
    c().Vizmo41->component()->setFocus();
    other->setFocus();
    if (QApplication::focusWidget() != other)
        GTEST_SKIP() << "this platform gives no keyboard focus to an unshown window";
    EXPECT_EQ(c().Text5->text(), "Validate");
    EXPECT_EQ(QApplication::focusWidget(), other) << "the focus moved on";
}
