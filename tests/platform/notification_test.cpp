// Each control raises its notification once per change, whether the user or
// code made it, and never for a value set to what it already is.

#include "platform/check_box.h"
#include "platform/command_button.h"
#include "platform/slider.h"
#include "platform/text_box.h"
#include "platform/timer.h"
#include "support/fake_error_reporter.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <qpa/qplatformdrag.h>
#include <qpa/qwindowsysteminterface.h>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

using namespace vizmo;
using namespace vizmo::platform;

namespace {

class Notifications : public ::testing::Test {
protected:
    vizmo::testing::RecordingErrorReporter reporter;
    QWidget window;
    int raised = 0;
    std::function<void()> count = [this] { ++raised; };
};

TEST_F(Notifications, CheckBoxUserClickRaisesExactlyOneClick)
{
    CheckBox box(&window, reporter);
    box.setCaption("Tracking");
    box.widget()->resize(100, 20);
    box.onClick(count);
    QTest::mouseClick(box.widget(), Qt::LeftButton, {}, QPoint(8, 10));
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(box.value(), 1);
}

TEST_F(Notifications, CheckBoxValueByCodeRaisesClickOnlyWhenItChanges)
{
    CheckBox box(&window, reporter);
    box.onClick(count);
    box.setValue(0);
    EXPECT_EQ(raised, 0);
    box.setValue(1);
    EXPECT_EQ(raised, 1);
    box.setValue(1);
    EXPECT_EQ(raised, 1);
    box.setValue(0);
    EXPECT_EQ(raised, 2);
}

TEST_F(Notifications, CheckBoxRefusesValuesOtherThanZeroAndOne)
{
    CheckBox box(&window, reporter);
    box.setName("Check3");
    box.onClick(count);
    try {
        box.setValue(2);
        FAIL() << "Value 2 was accepted";
    } catch (const dispatch::RuntimeError& e) {
        EXPECT_EQ(e.number(), dispatch::err::InvalidPropertyValue);
        EXPECT_EQ(e.member(), "Check3.Value");
    }
    EXPECT_EQ(box.value(), 0);
    EXPECT_EQ(raised, 0);
}

TEST_F(Notifications, SliderUserKeysAndCodeEachRaiseChange)
{
    Slider slider(&window, reporter);
    slider.setRange(-255, 255);
    slider.setSmallChange(10);
    slider.onChange(count);
    QTest::keyClick(slider.widget(), Qt::Key_Right);
    EXPECT_EQ(slider.value(), 10);
    EXPECT_EQ(raised, 1);
    slider.setValue(-20);
    EXPECT_EQ(raised, 2);
    slider.setValue(-20);
    EXPECT_EQ(raised, 2);
}

// A drag raises Change once, where the thumb is let go; a nested setValue from
// that Change (the tracking box recentring the pose sliders) is what stays.
TEST_F(Notifications, SliderDragRaisesOneChangeWhenTheThumbIsLetGo)
{
    Slider slider(&window, reporter);
    slider.setRange(-255, 255);
    slider.widget()->setGeometry(0, 0, 300, 24);
    window.resize(300, 24);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    std::vector<int> seen;
    slider.onChange([&] { seen.push_back(slider.value()); });
    const QPoint thumb(150, 12);
    QTest::mousePress(slider.widget(), Qt::LeftButton, {}, thumb);
    for (int dx = 10; dx <= 60; dx += 10)
        QTest::mouseMove(slider.widget(), thumb + QPoint(dx, 0));
    EXPECT_TRUE(seen.empty()) << "the drag itself raised Change";
    QTest::mouseRelease(slider.widget(), Qt::LeftButton, {}, thumb + QPoint(60, 0));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_GT(seen[0], 50);

    slider.onChange([&] { slider.setValue(0); });
    QTest::mousePress(slider.widget(), Qt::LeftButton, {}, thumb + QPoint(60, 0));
    QTest::mouseMove(slider.widget(), thumb + QPoint(100, 0));
    QTest::mouseRelease(slider.widget(), Qt::LeftButton, {}, thumb + QPoint(100, 0));
    EXPECT_EQ(slider.value(), 0);
}

TEST_F(Notifications, SliderValueOutsideTheRangeIsErrorAndChangesNothing)
{
    Slider slider(&window, reporter);
    slider.setName("Slider12");
    slider.setRange(8, 60);
    slider.setValue(30);
    slider.onChange(count);
    for (int bad : {7, 61}) {
        try {
            slider.setValue(bad);
            FAIL() << bad << " was accepted";
        } catch (const dispatch::RuntimeError& e) {
            EXPECT_EQ(e.number(), dispatch::err::InvalidPropertyValue);
            EXPECT_EQ(e.member(), "Slider12.Value");
        }
    }
    EXPECT_EQ(slider.value(), 30);
    EXPECT_EQ(raised, 0);
}

TEST_F(Notifications, ButtonMouseClickAndClickMethodEachRaiseOneClick)
{
    CommandButton button(&window, reporter);
    button.setCaption("Play");
    button.widget()->resize(60, 20);
    button.onClick(count);
    QTest::mouseClick(button.widget(), Qt::LeftButton);
    EXPECT_EQ(raised, 1);
    button.click();
    EXPECT_EQ(raised, 2);
}

TEST_F(Notifications, TextBoxRaisesLostFocusWhenFocusMovesToAnotherControl)
{
    window.resize(200, 100);
    TextBox text(&window, reporter, TextBox::Lines::Multi);
    auto* other = new QLineEdit(&window);
    other->move(0, 60);
    text.onLostFocus(count);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    text.widget()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(raised, 0);
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(raised, 1);
}

TEST_F(Notifications, MultiLineTextKeepsCarriageReturnLineFeeds)
{
    TextBox text(&window, reporter, TextBox::Lines::Multi);
    const QString typed = "Hello, this is a test \r\nplease enter text here.\r\n";
    text.setText(typed);
    EXPECT_EQ(text.text(), typed);
    // Many paragraphs, set and pasted over a selection, take another road
    // (a document built a slice at a time); the text and the caret come out the same.
    const QString many = QString("Line of text\r\n").repeated(1500);
    text.setText(many);
    EXPECT_EQ(text.text(), many);
    auto* edit = static_cast<QPlainTextEdit*>(text.widget());
    QTextCursor select(edit->document());
    select.setPosition(5);
    select.setPosition(12, QTextCursor::KeepAnchor);  // "of text" of the first line
    edit->setTextCursor(select);
    QGuiApplication::clipboard()->setText(QString("pasted\n").repeated(1200));
    edit->paste();
    QTest::keyClick(edit, Qt::Key_X);
    EXPECT_EQ(text.text(), "Line " + QString("pasted\r\n").repeated(1200) + "x\r\n" + many.mid(14));
    TextBox line(&window, reporter);
    line.setText("one line");
    EXPECT_EQ(line.text(), "one line");
}

// A paste of many lines keeps the window painting while its document is
// built, but no other handler runs before the pasted text is in the box: the
// timer's ticks meanwhile run once, after it.
TEST_F(Notifications, ALargePasteRunsNoHandlerUntilTheTextIsIn)
{
    TextBox text(&window, reporter, TextBox::Lines::Multi);
    auto* edit = static_cast<QPlainTextEdit*>(text.widget());
    const QString pasted = QString("A line to paste, long enough to count.\n").repeated(100000);
    QGuiApplication::clipboard()->setText(pasted);
    Timer timer(reporter);
    bool pasting = false;
    int inside = 0;
    QStringList seen;
    timer.onTimer([&] {
        inside += pasting;
        seen << text.text().left(6);
    });
    timer.setInterval(1);
    int paints = 0;
    QTimer painter;
    QObject::connect(&painter, &QTimer::timeout, [&] { paints += pasting; });
    painter.start(1);
    pasting = true;
    edit->paste();
    pasting = false;
    EXPECT_EQ(inside, 0);
    EXPECT_GE(paints, 3) << "the event loop ran between the slices of the document";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !seen.isEmpty(); }, 5000));
    EXPECT_EQ(seen.first(), "A line");
    QString expected = pasted;
    EXPECT_EQ(text.text(), expected.replace("\n", "\r\n"));
}

// Input that comes while a large paste is being built, as the window system
// brings it: keys wait in the platform's queue and go in after the pasted
// text, in their order; a text dropped from another program cannot wait
// there (the drop is answered at once), and goes in at the caret after the
// paste too, before the keys typed meanwhile.
class InputDuringAPaste : public Notifications {
protected:
    // Long texts compared, with where they part when they do.
    static ::testing::AssertionResult same(const QString& actual, const QString& expected)
    {
        qsizetype at = 0;
        while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
            ++at;
        if (at == actual.size() && at == expected.size())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "they part at " << at << " of " << actual.size() << " (expected "
                                             << expected.size() << "): \"" << actual.mid(at - 10, 30).toStdString()
                                             << "\" where \"" << expected.mid(at - 10, 30).toStdString() << "\" was expected";
    }

    InputDuringAPaste()
    {
        window.resize(300, 120);
        edit->setGeometry(8, 8, 273, 65);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        edit->setFocus();
        edit->setPlainText("Before.");
        edit->moveCursor(QTextCursor::End);
        QGuiApplication::clipboard()->setText(pasted);
        QObject::connect(&during, &QTimer::timeout, [this] {
            if (pasting && actions)
                std::exchange(actions, {})();
        });
        during.start(1);
    }
    // A key from the window system: queued, as a real key press is.
    void typeByPlatform(const QString& text)
    {
        const int key = Qt::Key_A + (text.at(0).toLatin1() - 'a');
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
            window.windowHandle(), QEvent::KeyPress, key, Qt::NoModifier, text);
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
            window.windowHandle(), QEvent::KeyRelease, key, Qt::NoModifier, text);
    }
    // A drop from another program, as the window system delivers it: at once.
    void dropByPlatform(const QString& text)
    {
        QMimeData data;
        data.setText(text);
        const QPoint at = edit->viewport()->mapTo(&window, QPoint(1, 3));
        QWindowSystemInterface::handleDrag(window.windowHandle(), &data, at, Qt::CopyAction, Qt::LeftButton, {});
        const QPlatformDropQtResponse response = QWindowSystemInterface::handleDrop(
            window.windowHandle(), &data, at, Qt::CopyAction, Qt::LeftButton, {});
        dropAccepted = response.isAccepted();
    }
    void paste()
    {
        pasting = true;
        edit->paste();
        pasting = false;
    }
    QString expected(const QString& after) const
    {
        QString whole = "Before." + pasted + after;
        return whole.replace("\n", "\r\n");
    }

    TextBox text{&window, reporter, TextBox::Lines::Multi};
    QPlainTextEdit* edit = static_cast<QPlainTextEdit*>(text.widget());
    const QString pasted = QString("A line to paste, long enough to count.\n").repeated(50000);
    QTimer during;
    bool pasting = false;
    std::function<void()> actions;  // run once, from inside the paste
    bool dropAccepted = false;
};

TEST_F(InputDuringAPaste, KeysTypedMeanwhileGoInAfterThePastedTextInTheirOrder)
{
    actions = [this] {
        typeByPlatform("x");
        typeByPlatform("y");
    };
    paste();
    ASSERT_FALSE(actions) << "the keys came while the text was being built";
    EXPECT_TRUE(same(text.text(), expected(""))) << "no key went in while the paste was built";
    QCoreApplication::processEvents();
    EXPECT_TRUE(same(text.text(), expected("xy")));
}

TEST_F(InputDuringAPaste, ATextDroppedMeanwhileGoesInAfterThePastedTextBeforeTheKeys)
{
    actions = [this] {
        typeByPlatform("x");
        dropByPlatform("dropped");
        dropByPlatform(" and more");
    };
    paste();
    ASSERT_FALSE(actions);
    EXPECT_TRUE(dropAccepted) << "a drop refused would be lost to the user";
    QCoreApplication::processEvents();
    EXPECT_TRUE(same(text.text(), expected("dropped and morex")));
    // A text put by a handler is built the same way: what is dropped meanwhile
    // goes in at the caret once the text is in, at its start.
    const QString put = QString("A line put by a handler.\r\n").repeated(20000);
    actions = [this] { dropByPlatform("Dropped. "); };
    pasting = true;
    text.setText(put);
    pasting = false;
    ASSERT_FALSE(actions);
    EXPECT_TRUE(same(text.text(), "Dropped. " + put));
    // Outside a paste a drop goes where it is dropped, at once.
    edit->moveCursor(QTextCursor::Start);
    QCoreApplication::processEvents();
    dropByPlatform("Now ");
    EXPECT_TRUE(text.text().startsWith("Now Dropped. A line")) << text.text().left(20).toStdString();
}

// One undo takes a large paste back whole, and the edits before it stay
// undoable, as with a small paste; a large put, like a small one, leaves
// nothing to undo.
TEST_F(InputDuringAPaste, OneUndoTakesALargePasteBackAsItDoesASmallOne)
{
    for (const QString& clip : {QString("small\npaste\n"), pasted}) {
        edit->setPlainText("Before.");
        edit->moveCursor(QTextCursor::End);
        QTest::keyClicks(edit, " typed");
        QTextCursor select = edit->textCursor();
        select.setPosition(0);
        select.setPosition(6, QTextCursor::KeepAnchor);  // "Before"
        edit->setTextCursor(select);
        QGuiApplication::clipboard()->setText(clip);
        edit->paste();
        ASSERT_TRUE(same(edit->toPlainText(), clip + ". typed"));
        edit->undo();
        EXPECT_TRUE(same(edit->toPlainText(), "Before. typed")) << clip.size();
        edit->undo();
        EXPECT_TRUE(same(edit->toPlainText(), "Before.")) << clip.size();
        edit->redo();
        edit->redo();
        EXPECT_TRUE(same(edit->toPlainText(), clip + ". typed")) << clip.size();
    }
    for (const QString& put : {QString("small\r\nput"), QString(pasted).replace("\n", "\r\n")}) {
        QTest::keyClicks(edit, "typed");
        text.setText(put);
        EXPECT_TRUE(same(text.text(), put));
        EXPECT_FALSE(edit->document()->isUndoAvailable()) << put.size();
        EXPECT_EQ(edit->textCursor().position(), 0) << put.size();
    }
}

TEST_F(Notifications, TimerTicksAtItsIntervalAndStopsAtZero)
{
    Timer timer(reporter);
    timer.onTimer(count);
    EXPECT_FALSE(timer.running());
    timer.setInterval(10);
    EXPECT_TRUE(timer.running());
    EXPECT_TRUE(QTest::qWaitFor([&] { return raised >= 2; }, 5000));
    timer.setInterval(0);
    EXPECT_FALSE(timer.running());
    const int stoppedAt = raised;
    QTest::qWait(50);
    EXPECT_EQ(raised, stoppedAt);
}

TEST_F(Notifications, TimerTickErrorIsReportedAndTheTimerGoesOn)
{
    Timer timer(reporter);
    timer.onTimer([this] {
        ++raised;
        throw dispatch::RuntimeError(dispatch::err::Overflow, "Overflow", "Vizmo41.SetHead");
    });
    timer.setInterval(10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return raised >= 3; }, 5000));
    EXPECT_TRUE(timer.running());
    EXPECT_GE(reporter.reports.size(), 3u);
    EXPECT_EQ(reporter.reports[0].member(), "Vizmo41.SetHead");
}

TEST_F(Notifications, TimerRefusesIntervalsOutsideItsRange)
{
    Timer timer(reporter);
    timer.setName("Timer1");
    EXPECT_THROW(timer.setInterval(-1), dispatch::RuntimeError);
    EXPECT_THROW(timer.setInterval(65536), dispatch::RuntimeError);
    EXPECT_EQ(timer.interval(), 0);
}

}  // namespace
