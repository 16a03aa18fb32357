// A handler that sets another control's value runs that control's handler at
// once, nested: the nested handler finishes before the outer one goes on.

#include "components/dispatch/call_wait.h"
#include "platform/check_box.h"
#include "platform/combo_box.h"
#include "platform/slider.h"
#include "platform/text_box.h"
#include "platform/timer.h"
#include "support/fake_error_reporter.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTest>
#include <qpa/qwindowsysteminterface.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace vizmo;
using namespace vizmo::platform;

namespace {

class Nesting : public ::testing::Test {
protected:
    vizmo::testing::RecordingErrorReporter reporter;
    QWidget window;
    QStringList log;
};

TEST_F(Nesting, NestedHandlerFinishesBeforeTheOuterHandlerGoesOn)
{
    Slider headX(&window, reporter);
    headX.setRange(-255, 255);
    CheckBox tracking(&window, reporter);
    tracking.setValue(1);
    Slider headY(&window, reporter);
    headY.setRange(-255, 255);
    headY.setValue(100);

    // Unticking tracking recentres the other slider, which raises its own Change.
    tracking.onClick([&] {
        log << "tracking " + QString::number(tracking.value());
        if (tracking.value() == 0)
            headY.setValue(0);
        log << "tracking done";
    });
    headY.onChange([&] { log << "headY " + QString::number(headY.value()); });
    headX.onChange([&] {
        log << "headX start";
        tracking.setValue(0);
        log << "headX reads headY " + QString::number(headY.value());
    });

    headX.setValue(50);
    EXPECT_EQ(log, QStringList({"headX start", "tracking 0", "headY 0", "tracking done", "headX reads headY 0"}));
}

TEST_F(Nesting, HandlerSettingItsOwnControlRunsOnceMoreNestedAndSettles)
{
    Slider slider(&window, reporter);
    slider.setRange(0, 100);
    slider.onChange([&] {
        log << QString::number(slider.value());
        if (slider.value() > 50)
            slider.setValue(50);  // clamps by code: one nested Change, then none
    });
    slider.setValue(80);
    EXPECT_EQ(log, QStringList({"80", "50"}));
    EXPECT_EQ(slider.value(), 50);
}

TEST_F(Nesting, ComboSelectionByCodeInsideAnotherHandlerRunsNested)
{
    ComboBox engines(&window, reporter);
    ComboBox voices(&window, reporter);
    engines.addItem("first engine");
    engines.addItem("second engine");
    engines.onClick([&] {
        log << "engine " + QString::number(engines.listIndex());
        voices.clear();
        voices.addItem("voice a");
        voices.addItem("voice b");
        voices.setListIndex(0);
        log << "engine done";
    });
    voices.onClick([&] { log << "voice " + voices.list(voices.listIndex()); });
    engines.setListIndex(1);
    EXPECT_EQ(log, QStringList({"engine 1", "voice voice a", "engine done"}));
}

// While a component call waits, what the event loop brings is held: a timer's
// ticks (as one, where the first came) and control notifications run after
// the wait, in their order; a control or timer that goes meanwhile takes its
// own along.
TEST_F(Nesting, NotificationsDuringACallWaitRunAfterItWithTicksAsOne)
{
    Timer timer(reporter);
    timer.onTimer([&] { log << "tick"; });
    CheckBox box(&window, reporter);
    box.onClick([&] { log << "box " + QString::number(box.value()); });
    auto gone = std::make_unique<Slider>(&window, reporter);
    gone->setRange(0, 100);
    gone->onChange([&] { log << "gone"; });
    auto goneTimer = std::make_unique<Timer>(reporter);
    goneTimer->onTimer([&] { log << "gone tick"; });
    int polls = 0;
    dispatch::waitKeepingWindowPainted([&](std::chrono::milliseconds) {
        switch (polls++) {
        case 0: timer.tick(); gone->setValue(5); goneTimer->tick(); break;
        case 1: timer.tick(); box.setValue(1); goneTimer->tick(); break;
        case 2: timer.tick(); break;
        default: return true;
        }
        return false;
    });
    gone.reset();
    goneTimer.reset();
    EXPECT_TRUE(log.isEmpty()) << log.join(", ").toStdString();
    QCoreApplication::processEvents();
    EXPECT_EQ(log, QStringList({"tick", "box 1"}));
    // Outside a wait they run at once again, each tick its own.
    timer.tick();
    timer.tick();
    EXPECT_EQ(log, QStringList({"tick", "box 1", "tick", "tick"}));
}

// A handler that makes two calls, each waiting: what the first wait held runs
// once the handler has returned, not inside the second wait, where it would
// cut the handler in two.
TEST_F(Nesting, WhatOneWaitHeldRunsAfterTheHandlerNotInsideItsNextWait)
{
    Timer timer(reporter);
    timer.onTimer([&] { log << "tick"; });
    CheckBox box(&window, reporter);
    box.onClick([&] { log << "box"; });
    auto slowCall = [&](const char* name, const std::function<void()>& meanwhile) {
        log << QString::fromLatin1(name);
        int polls = 0;
        dispatch::waitKeepingWindowPainted([&](std::chrono::milliseconds) {
            if (polls == 0)
                meanwhile();
            // Several rounds of the event loop: a replay posted by the first
            // wait would be reached in them.
            return ++polls == 5;
        });
        log << QString::fromLatin1(name) + " returned";
    };
    slowCall("model", [&] { timer.tick(); });
    slowCall("script", [&] { box.setValue(1); });
    log << "handler done";
    QCoreApplication::processEvents();
    EXPECT_EQ(log, QStringList({"model", "model returned", "script", "script returned", "handler done", "tick", "box"}));
}

// A key pressed while a call waits stays in the platform's queue and reaches
// the window after the handler that made the call, and after what the wait
// held: the tick's handler still sees the box as it was.
TEST_F(Nesting, InputThatCameDuringAWaitComesAfterWhatTheWaitHeld)
{
    TextBox box(&window, reporter);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    box.widget()->setFocus();
    Timer timer(reporter);
    timer.onTimer([&] { log << "tick sees '" + box.text() + "'"; });
    int polls = 0;
    dispatch::waitKeepingWindowPainted([&](std::chrono::milliseconds) {
        if (polls == 0) {
            QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
                window.windowHandle(), QEvent::KeyPress, Qt::Key_K, Qt::NoModifier, "k");
            timer.tick();
        }
        return ++polls == 3;  // the wait's loop runs with the key there to be taken
    });
    log << "handler done, box '" + box.text() + "'";
    QCoreApplication::processEvents();
    EXPECT_EQ(log.join(" | ").toStdString(), "handler done, box '' | tick sees ''");
    EXPECT_EQ(box.text(), "k");
}

}  // namespace
