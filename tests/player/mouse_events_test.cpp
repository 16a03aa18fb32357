// What a user's mouse makes the player raise, driven through the window as
// the platform delivers it (press, release, double click, context menu on
// the press as on X11), and the control bar's buttons and track.
#include "player_test_support.h"

#include "components/player/control_bar.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace vizmo::player {
namespace {

using dispatch::I2;
using dispatch::I4;
using dispatch::Str;
using testing::findAction;
using testing::PlayerFixture;

const QByteArray kScript = "QVS 1\nlength 2000\nhead 0 0 0 0\nhead 2000 200 0 0\n";
constexpr int kMenuShown = -1;  // marks in the event list where the context menu was on screen

struct ShownPlayer : PlayerFixture {
    ShownPlayer()
    {
        player.resize(256, 256);
        player.show();
        exposed = QTest::qWaitForWindowExposed(&player);
        QTest::mouseMove(window(), centre);
        QCoreApplication::processEvents();
        recorder.events.clear();
    }
    QWindow* window() { return player.windowHandle(); }

    // Runs `gesture`; whenever a context menu is open it is noted among the
    // events, handed to `choose` and closed.
    void withMenu(const std::function<void()>& gesture, const std::function<void(QMenu&)>& choose = {})
    {
        QTimer watch;
        watch.setInterval(5);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            recorder.events.push_back({kMenuShown, {}});
            if (choose)
                choose(*menu);
            menu->close();
        });
        watch.start();
        gesture();
        QTest::qWait(60);  // a menu that opens late still gets seen
    }

    // What the screen shows of the player now, after pending paints.
    QImage shown()
    {
        QTest::qWait(30);
        return player.screen()->grabWindow(player.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    }

    std::vector<int> without(std::vector<int> positions, int dropped)
    {
        std::erase(positions, dropped);
        return positions;
    }

    bool exposed = false;
    QPoint centre{128, 100};
};

TEST(MouseEvents, ClickAndDoubleClickRaiseOneClickAndOneDoubleClick)
{
    ShownPlayer f;
    ASSERT_TRUE(f.exposed);
    QTest::mouseClick(f.window(), Qt::LeftButton, Qt::ShiftModifier, f.centre);
    ASSERT_EQ(f.recorder.positions(), (std::vector<int>{event::MouseDown, event::MouseUp, event::Click}));
    const auto& down = f.recorder.events[0].args;
    EXPECT_EQ(down[0].asI2(), 1) << "left button";
    EXPECT_EQ(down[1].asI2(), 1) << "Shift";
    EXPECT_EQ(down[2].asI4(), f.centre.x());
    EXPECT_EQ(down[3].asI4(), f.centre.y());

    QTest::qWait(QApplication::doubleClickInterval() + 50);  // the next press starts afresh
    f.recorder.events.clear();
    QTest::mouseDClick(f.window(), Qt::LeftButton, {}, f.centre);
    EXPECT_EQ(f.recorder.positions(), (std::vector<int>{event::MouseDown, event::MouseUp, event::Click, event::MouseDown,
                                                        event::DoubleClick, event::MouseUp}));
}

TEST(MouseEvents, RightClickRaisesMouseUpBeforeTheMenuOpens)
{
    ShownPlayer f;
    ASSERT_TRUE(f.exposed);
    f.withMenu([&] { QTest::mouseClick(f.window(), Qt::RightButton, {}, f.centre); });
    const auto seen = f.without(f.without(f.recorder.positions(), event::MouseEnter), event::MouseLeave);
    EXPECT_EQ(seen, (std::vector<int>{event::MouseDown, event::MouseUp, kMenuShown})) << "no Click for the right button";
    EXPECT_EQ(f.recorder.events[0].args[0].asI2(), 2);
}

TEST(MouseEvents, NoMenuWithMenuStyleMinusOneAndTheMenuKeyOpensItAtOnce)
{
    ShownPlayer f;
    ASSERT_TRUE(f.exposed);
    ASSERT_TRUE(f.player.put(id::MenuStyle, I2(-1)).ok());
    f.withMenu([&] { QTest::mouseClick(f.window(), Qt::RightButton, {}, f.centre); });
    EXPECT_EQ(f.recorder.count(kMenuShown), 0);
    EXPECT_EQ(f.recorder.count(event::MouseUp), 1);

    ASSERT_TRUE(f.player.put(id::MenuStyle, I2(0)).ok());
    f.recorder.events.clear();
    f.withMenu([&] {
        QContextMenuEvent key(QContextMenuEvent::Keyboard, f.centre, f.player.mapToGlobal(f.centre));
        QCoreApplication::sendEvent(&f.player, &key);
    });
    EXPECT_EQ(f.recorder.count(kMenuShown), 1);
}

TEST(MouseEvents, EnterAndLeaveAlternateAlsoAroundTheMenu)
{
    ShownPlayer f;
    ASSERT_TRUE(f.exposed);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&f.player, &leave);
    QCoreApplication::sendEvent(&f.player, &leave);
    QEnterEvent enter(f.centre, f.centre, f.player.mapToGlobal(f.centre));
    QCoreApplication::sendEvent(&f.player, &enter);
    QCoreApplication::sendEvent(&f.player, &enter);
    EXPECT_EQ(f.recorder.positions(), (std::vector<int>{event::MouseLeave, event::MouseEnter})) << "each crossing once";

    f.recorder.events.clear();
    f.withMenu([&] { QTest::mouseClick(f.window(), Qt::RightButton, {}, f.centre); });
    f.withMenu([&] { QTest::mouseClick(f.window(), Qt::RightButton, {}, f.centre); });
    int inside = 1;
    for (int position : f.recorder.positions()) {
        if (position == event::MouseEnter) {
            EXPECT_EQ(inside++, 0) << "MouseEnter while inside";
        } else if (position == event::MouseLeave) {
            EXPECT_EQ(inside--, 1) << "MouseLeave while outside";
        }
    }
    EXPECT_EQ(f.recorder.count(kMenuShown), 2);
    EXPECT_EQ(f.recorder.count(event::MouseDown), f.recorder.count(event::MouseUp));
}

TEST(MouseEvents, ChoosingStillInTheMenuRedrawsAtOnce)
{
    ShownPlayer f;
    ASSERT_TRUE(f.exposed);
    // Idle motion turns the head; the clock stands, so every frame is the same until the mode changes.
    ASSERT_TRUE(f.player.put(id::LifeMode, I2(3)).ok());
    f.nowMs = 2700;
    const QImage moving = f.shown();
    f.withMenu([&] { QTest::mouseClick(f.window(), Qt::RightButton, {}, f.centre); },
               [](QMenu& menu) {
                   QAction* still = findAction(menu, QStringLiteral("Still"));
                   ASSERT_NE(still, nullptr);
                   still->trigger();
               });
    EXPECT_EQ(f.player.get(id::LifeMode).value().asI2(), 0);
    const QImage after = f.shown();
    EXPECT_NE(after, moving) << "idle motion changed the pose, or the test shows nothing";
    // (A part painted straight onto one frame and copied from its picture
    // in the next differs by a level of rounding.)
    EXPECT_LE(testing::largestChannelDifference(after, f.player.grab().toImage().convertToFormat(QImage::Format_RGB32)), 2)
        << "the screen shows the still face, not the last moving frame";
}

struct BarPlayer : ShownPlayer {
    BarPlayer()
    {
        player.put(id::ControStyle, I2(1));
        player.put(id::AutoPlay, I2(0));
        player.put(id::ScriptName, Str(write("s.qvs", kScript)));
        bar = controlBarLayout(QRectF(player.rect()));
        recorder.events.clear();
    }
    QPoint onTrack(double fraction) const
    {
        return QPointF(bar.track.left() + bar.track.width() * fraction, bar.track.center().y()).toPoint();
    }
    ControlBarLayout bar;
};

TEST(ControlBar, PlayPauseAndStopButtonsRaiseWhatTheMethodsRaise)
{
    BarPlayer f;
    ASSERT_TRUE(f.exposed);
    const QPoint button = f.bar.playPause.center().toPoint();
    QTest::mouseClick(f.window(), Qt::LeftButton, {}, button);
    f.run(200);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(f.window(), Qt::LeftButton, {}, button);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(f.window(), Qt::LeftButton, {}, f.bar.stop.center().toPoint());
    // The progress timer runs in real time while the test waits, so only the other events compare.
    const auto fromBar = f.without(f.recorder.positions(), event::Progress);

    f.recorder.events.clear();
    f.player.call(id::Play, {I4(0)});
    f.run(200);
    f.player.call(id::Pause);
    f.player.call(id::Stop);
    EXPECT_EQ(fromBar, f.without(f.recorder.positions(), event::Progress));
    EXPECT_EQ(fromBar, (std::vector<int>{event::Play, event::Pause, event::Stop}));
    EXPECT_EQ(f.recorder.count(event::MouseDown), 0) << "the bar's buttons are not clicks on the face";
}

TEST(ControlBar, ClickingAndDraggingTheTrackSeeks)
{
    BarPlayer f;
    ASSERT_TRUE(f.exposed);
    QTest::mousePress(f.window(), Qt::LeftButton, {}, f.onTrack(0.5));
    ASSERT_EQ(f.recorder.positions(), (std::vector<int>{event::Progress}));
    EXPECT_NEAR(f.recorder.events[0].args[2].asI4(), 1000, 40);
    EXPECT_EQ(f.recorder.events[0].args[0].asI4(), int(PlaybackState::Stopped));
    QTest::mouseMove(f.window(), f.onTrack(0.75));
    QTest::mouseRelease(f.window(), Qt::LeftButton, {}, f.onTrack(0.75));
    ASSERT_FALSE(f.recorder.events.empty());
    EXPECT_NEAR(f.recorder.events.back().args[2].asI4(), 1500, 40);
    EXPECT_EQ(f.recorder.count(event::MouseUp), 0);

    // Play starts where the track was left, and a seek while playing moves on from there.
    f.recorder.events.clear();
    f.player.call(id::Play, {I4(0)});
    ASSERT_EQ(f.recorder.positions().at(1), event::Progress);
    EXPECT_NEAR(f.recorder.events[1].args[2].asI4(), 1500, 40);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(f.window(), Qt::LeftButton, {}, f.onTrack(0.25));
    f.recorder.events.clear();
    f.run(120);
    ASSERT_FALSE(f.recorder.events.empty());
    EXPECT_NEAR(f.recorder.events.back().args[2].asI4(), 500 + 120, 40);
    EXPECT_EQ(f.player.playbackState(), PlaybackState::Playing);
}

TEST(ControlBar, TrackPositionsFollowTheLayout)
{
    const ControlBarLayout bar = controlBarLayout(QRectF(0, 0, 256, 256));
    const QPointF mid(bar.track.center().x(), bar.bar.top() + 1);
    EXPECT_EQ(hitControlBar(bar, mid), ControlBarHit::Track) << "the whole bar height around the thin track";
    EXPECT_NEAR(trackFraction(bar, mid), 0.5, 1e-9);
    EXPECT_EQ(trackFraction(bar, QPointF(bar.track.left() - 5, mid.y())), 0.0);
    EXPECT_EQ(trackFraction(bar, QPointF(bar.track.right() + 5, mid.y())), 1.0);
    EXPECT_EQ(hitControlBar(bar, bar.playPause.center()), ControlBarHit::PlayPause);
    EXPECT_EQ(hitControlBar(bar, bar.stop.center()), ControlBarHit::Stop);
    EXPECT_EQ(hitControlBar(bar, QPointF(128, 20)), ControlBarHit::None);
}

}  // namespace
}  // namespace vizmo::player
