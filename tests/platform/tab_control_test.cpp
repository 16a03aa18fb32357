// The tab control: Click after the change with the previous tab, nothing while
// it is built, pages placed from the control's own corner, one page shown.

#include "components/dispatch/call_wait.h"
#include "platform/label.h"
#include "platform/tab_control.h"
#include "support/fake_error_reporter.h"

#include <QCoreApplication>
#include <QTabBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace vizmo;
using namespace vizmo::platform;

namespace {

class TabControlTest : public ::testing::Test {
protected:
    TabControlTest() : tabs(&window, reporter)
    {
        tabs.setName("SSTab1");
        tabs.onClick([this](int previous) { clicks.push_back({previous, tabs.tab()}); });
        tabs.setTwipsGeometry(3960, 60, 4665, 4215, TwipsScale{15, 15});
        demo = tabs.addTab("Demo");
        player = tabs.addTab("QV4 Player");
        tabs.addTab("KV TTS");
    }
    vizmo::testing::RecordingErrorReporter reporter;
    QWidget window;
    TabControl tabs;
    QWidget* demo = nullptr;
    QWidget* player = nullptr;
    std::vector<std::pair<int, int>> clicks;  // previous tab, current tab seen by the handler
};

TEST_F(TabControlTest, BuildingRaisesNothingAndStartsOnTheFirstTab)
{
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(tabs.tab(), 0);
    EXPECT_EQ(tabs.tabCount(), 3);
    EXPECT_EQ(tabs.caption(), "Demo");
}

TEST_F(TabControlTest, ClickComesAfterTheChangeWithThePreviousTab)
{
    tabs.setTab(2);
    tabs.setTab(2);
    tabs.setTab(1);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0], std::make_pair(0, 2));
    EXPECT_EQ(clicks[1], std::make_pair(2, 1));
    EXPECT_EQ(tabs.caption(), "QV4 Player");
}

// Writes over the stack below the caller, where the frames of a change that
// has returned lay: a held handler that still read them would find this.
[[gnu::noinline]] void overwriteOldFrames()
{
    volatile unsigned char frames[16384];
    for (auto& byte : frames)
        byte = 0x5a;
}

// While a call waits, a change of tab is held; its Click runs after the call
// with the tab that was current before each change, though the code that made
// the change has long returned.
TEST_F(TabControlTest, AHeldClickKeepsThePreviousTabOfItsChange)
{
    int polls = 0;
    dispatch::waitKeepingWindowPainted([&](std::chrono::milliseconds) {
        switch (polls++) {
        case 0: tabs.setTab(2); break;
        case 1: tabs.setTab(1); break;
        default: return true;
        }
        return false;
    });
    EXPECT_TRUE(clicks.empty());
    overwriteOldFrames();
    QCoreApplication::processEvents();
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0].first, 0);
    EXPECT_EQ(clicks[1].first, 2);
    EXPECT_EQ(tabs.tab(), 1);
}

TEST_F(TabControlTest, UserClickOnATabRaisesClickAndTheWheelChangesNothing)
{
    window.resize(700, 400);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    tabs.clickTab(1);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_pair(0, 1));

    QTabBar* strip = tabs.widget()->findChild<QTabBar*>();
    ASSERT_NE(strip, nullptr);
    for (int delta : {-120, 120, 120}) {
        const QPointF at = strip->tabRect(1).center();
        QWheelEvent wheel(at, strip->mapToGlobal(at), {}, QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(strip, &wheel);
    }
    EXPECT_EQ(tabs.tab(), 1);
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(TabControlTest, TabBeyondTheListIsInvalidPropertyValue)
{
    try {
        tabs.setTab(3);
        FAIL() << "tab 3 was accepted";
    } catch (const dispatch::RuntimeError& e) {
        EXPECT_EQ(e.number(), 380);
        EXPECT_EQ(e.member(), "SSTab1.Tab");
    }
    EXPECT_TRUE(clicks.empty());
}

TEST_F(TabControlTest, PageControlsArePlacedFromTheTabControlCornerBelowTheStrip)
{
    Label label(player, reporter);
    label.setTwipsGeometry(300, 3880, 1095, 255, TwipsScale{15, 15});
    EXPECT_EQ(label.widget()->mapTo(tabs.widget(), QPoint(0, 0)), QPoint(20, 259));
    const QTabBar* strip = tabs.widget()->findChild<QTabBar*>();
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->geometry(), QRect(0, 0, 311, 20));  // 300 twips high, the control's width
}

TEST_F(TabControlTest, OnlyTheCurrentPageShows)
{
    window.show();
    Label onDemo(demo, reporter);
    Label onPlayer(player, reporter);
    EXPECT_TRUE(onDemo.widget()->isVisible());
    EXPECT_FALSE(onPlayer.widget()->isVisible());
    tabs.setTab(1);
    EXPECT_FALSE(onDemo.widget()->isVisible());
    EXPECT_TRUE(onPlayer.widget()->isVisible());
    EXPECT_TRUE(onDemo.visible());  // its own Visible property is untouched
}

TEST(TabControlLifetime, WindowGoingFirstRaisesNothing)
{
    vizmo::testing::RecordingErrorReporter reporter;
    auto* window = new QWidget;
    TabControl tabs(window, reporter);
    int clicks = 0;
    tabs.onClick([&](int) { ++clicks; });
    tabs.addTab("a");
    tabs.addTab("b");
    tabs.setTab(1);
    delete window;
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(tabs.widget(), nullptr);
}

}  // namespace
