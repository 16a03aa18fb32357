// The window's outer width in twips, the client area it leaves, and controls
// placed by twips at different resolutions.

#include "platform/check_box.h"
#include "platform/command_button.h"
#include "platform/frame.h"
#include "platform/label.h"
#include "platform/slider.h"
#include "platform/window.h"
#include "support/fake_error_reporter.h"
#include "support/fake_screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace vizmo;
using namespace vizmo::platform;

namespace {

TEST(WindowWidth, CompactAndExpandedAtFifteenTwipsPerPixel)
{
    vizmo::testing::FakeScreen screen(15.0f);
    Window window(screen, 8670, 4335);
    EXPECT_EQ(window.clientWidthPixels(), 578);
    EXPECT_EQ(window.clientHeightPixels(), 289);
    window.setWidthTwips(screen.twipsPerPixelX() * 270.0f);
    EXPECT_EQ(window.clientWidthPixels(), 264);
    EXPECT_FLOAT_EQ(window.widthTwips(), 4050.0f);
    window.setWidthTwips(screen.twipsPerPixelX() * 584.0f);
    EXPECT_EQ(window.clientWidthPixels(), 578);
    EXPECT_EQ(window.clientHeightPixels(), 289);
}

TEST(WindowWidth, CompactAndExpandedAtTwelveTwipsPerPixel)
{
    vizmo::testing::FakeScreen screen(12.0f);
    Window window(screen, 8670, 4335);
    window.setWidthTwips(screen.twipsPerPixelX() * 270.0f);
    EXPECT_EQ(window.clientWidthPixels(), 264);
    window.setWidthTwips(screen.twipsPerPixelX() * 584.0f);
    EXPECT_EQ(window.clientWidthPixels(), 578);
    EXPECT_EQ(window.clientHeightPixels(), 361);  // 4335 / 12, rounded
}

TEST(WindowWidth, ClientAreaChangesOnTheRightOnly)
{
    vizmo::testing::FakeScreen screen(15.0f);
    vizmo::testing::RecordingErrorReporter reporter;
    Window window(screen, 8670, 4335);
    Label label(window.widget(), reporter);
    label.setTwipsGeometry(60, 60, 3840, 255, window.scale());
    window.widget()->move(100, 50);
    window.setWidthTwips(4050.0f);
    EXPECT_EQ(window.widget()->pos(), QPoint(100, 50));
    EXPECT_EQ(label.widget()->geometry(), QRect(4, 4, 256, 17));
}

// Centred frame included once the frame is known (the offscreen platform
// gives every window one at once), wherever the window was put before that (a
// window manager that places new windows itself); a window resized before
// that stays where it was put, and after it nothing moves the window again.
TEST(WindowPlacement, CentredWithItsFrameUnlessResizedBeforeTheFrameIsKnown)
{
    vizmo::testing::FakeScreen screen(15.0f);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const auto centred = [&](const QWidget* w) {
        const QRect frame = w->frameGeometry();
        return std::abs(2 * frame.x() + frame.width() - (2 * area.x() + area.width())) <= 1 &&
               std::abs(2 * frame.y() + frame.height() - (2 * area.y() + area.height())) <= 1;
    };
    Window plain(screen, 3960, 4335);
    plain.centreOnPrimaryScreen();
    plain.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(plain.widget()));
    ASSERT_NE(plain.widget()->frameGeometry().size(), plain.widget()->size()) << "no frame to centre with";
    EXPECT_TRUE(centred(plain.widget())) << plain.widget()->frameGeometry().x();
    // Then the user drags it, and changes the view: it stays where it is put.
    plain.widget()->move(10, 20);
    QCoreApplication::processEvents();
    plain.setWidthTwips(584.0f * 15.0f);
    QCoreApplication::processEvents();
    EXPECT_EQ(plain.widget()->pos(), QPoint(10, 20));

    Window placed(screen, 3960, 4335);
    placed.centreOnPrimaryScreen();
    placed.widget()->move(10, 20);  // where a window manager of its own placement puts it
    placed.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(placed.widget()));
    EXPECT_TRUE(centred(placed.widget())) << placed.widget()->frameGeometry().x();

    Window grown(screen, 3960, 4335);
    grown.centreOnPrimaryScreen();
    const QPoint put = grown.widget()->pos();
    grown.setWidthTwips(584.0f * 15.0f);
    grown.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grown.widget()));
    EXPECT_EQ(grown.widget()->pos(), put) << "only the right side moves";
}

TEST(TwipsPlacement, FrameChildrenArePlacedFromTheFrameCorner)
{
    vizmo::testing::RecordingErrorReporter reporter;
    QWidget window;
    const TwipsScale scale{12.0, 12.0};
    Frame frame(&window, reporter);
    frame.setTwipsGeometry(180, 340, 4335, 3075, scale);
    Label label(frame.widget(), reporter);
    label.setTwipsGeometry(120, 240, 1035, 195, scale);
    EXPECT_EQ(frame.widget()->geometry(), QRect(15, 28, 361, 257));
    EXPECT_EQ(label.widget()->pos(), QPoint(10, 20));
    EXPECT_EQ(label.widget()->mapTo(&window, QPoint(0, 0)), QPoint(25, 48));
}

TEST(TwipsPlacement, NeighboursThatTouchInTwipsTouchInPixels)
{
    const TwipsScale scale{12.0, 12.0};
    const QRect left = scale.toPixels(1200, 540, 435, 195);
    const QRect right = scale.toPixels(1635, 540, 435, 195);
    EXPECT_EQ(left.right() + 1, right.left());
}

// The next widget that Tab reaches after `from`; the chain also holds widgets that take no focus.
QWidget* nextTabStop(QWidget* from)
{
    QWidget* next = from->nextInFocusChain();
    while (next != from && (next->focusPolicy() & Qt::TabFocus) != Qt::TabFocus)
        next = next->nextInFocusChain();
    return next;
}

TEST(TabOrder, FollowsTabIndexAndSkipsControlsThatTakeNoFocus)
{
    vizmo::testing::RecordingErrorReporter reporter;
    QWidget window;
    CheckBox tracking(&window, reporter);
    Label caption(&window, reporter);
    Slider strength(&window, reporter);
    CommandButton play(&window, reporter);
    tracking.setTabIndex(28);
    caption.setTabIndex(29);
    strength.setTabIndex(58);
    play.setTabIndex(30);
    applyTabOrder({&strength, &caption, &play, &tracking});
    EXPECT_FALSE(caption.takesTabFocus());
    EXPECT_EQ(nextTabStop(tracking.widget()), play.widget());
    EXPECT_EQ(nextTabStop(play.widget()), strength.widget());
    EXPECT_EQ(nextTabStop(strength.widget()), tracking.widget());
}

TEST(Accessibility, NameComesFromTheCaptionElseFromTheControlName)
{
    vizmo::testing::RecordingErrorReporter reporter;
    QWidget window;
    Label label(&window, reporter);
    label.setName("Label4");
    EXPECT_EQ(label.widget()->accessibleName(), "Label4");
    label.setCaption("ModelName");
    EXPECT_EQ(label.widget()->accessibleName(), "ModelName");
    label.setAccessibleName("Model file");
    label.setCaption("Other");
    EXPECT_EQ(label.widget()->accessibleName(), "Model file");
}

}  // namespace
