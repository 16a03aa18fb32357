// A run-time error ends the handler that raised it, and only that one; the
// error reaches the reporter, which shows it without piling boxes up.

#include "platform/check_box.h"
#include "platform/error_reporter.h"
#include "platform/event_boundary.h"
#include "platform/slider.h"
#include "support/fake_error_reporter.h"

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <gtest/gtest.h>

using namespace vizmo;
using namespace vizmo::platform;

namespace {

dispatch::RuntimeError playerError(int number, const QString& member)
{
    return dispatch::RuntimeError(dispatch::Error{number, "Vizmo4", dispatch::standardDescription(number)}, member);
}

TEST(ErrorBoundary, ErrorEndsTheHandlerAndReachesTheReporter)
{
    vizmo::testing::RecordingErrorReporter reporter;
    QStringList steps;
    runHandler(reporter, [&] {
        steps << "before";
        throw playerError(dispatch::err::FileNotFound, "Vizmo41.ModelName");
        steps << "after";
    });
    EXPECT_EQ(steps, QStringList({"before"}));
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].number(), 53);
    EXPECT_EQ(reporter.reports[0].description(), "File not found");
    EXPECT_EQ(reporter.reports[0].member(), "Vizmo41.ModelName");
}

TEST(ErrorBoundary, CodeThatRaisedAFailingNotificationCarriesOn)
{
    vizmo::testing::RecordingErrorReporter reporter;
    QWidget window;
    Slider slider(&window, reporter);
    slider.setRange(0, 10);
    CheckBox box(&window, reporter);
    QStringList steps;
    slider.onChange([&] {
        steps << "change";
        throw playerError(dispatch::err::InvalidCall, "Vizmo41.SetHead");
    });
    box.onClick([&] {
        steps << "click";
        slider.setValue(3);
        steps << "click goes on";
    });
    box.setValue(1);
    EXPECT_EQ(steps, QStringList({"click", "change", "click goes on"}));
    EXPECT_EQ(slider.value(), 3);  // what was done before the error stays done
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].member(), "Vizmo41.SetHead");
}

TEST(ErrorBoundary, ControlErrorInAHandlerNamesTheControlMember)
{
    vizmo::testing::RecordingErrorReporter reporter;
    QWidget window;
    Slider slider(&window, reporter);
    slider.setName("Slider1");
    slider.setRange(0, 255);
    CheckBox box(&window, reporter);
    box.onClick([&] { slider.setValue(300); });
    box.setValue(1);
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].number(), 380);
    EXPECT_EQ(reporter.reports[0].member(), "Slider1.Value");
    EXPECT_EQ(reporter.reports[0].report(), "Run-time error '380':\n\nInvalid property value");
}

int openMessageBoxes()
{
    int open = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        open += (qobject_cast<QMessageBox*>(w) && w->isVisible()) ? 1 : 0;
    return open;
}

TEST(MessageBoxReport, ShowsTheStandardTextWithoutBlockingAndNamesTheMember)
{
    QCoreApplication::setApplicationName("Vizmo4 Demo");
    QWidget window;
    MessageBoxErrorReporter reporter(&window);
    reporter.report(playerError(dispatch::err::FileNotFound, "Vizmo41.ModelName"));  // returns: not modal
    QMessageBox* box = reporter.openBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Run-time error '53':\n\nFile not found");
    EXPECT_TRUE(box->informativeText().contains("Vizmo41.ModelName"));
    EXPECT_EQ(box->windowTitle(), QGuiApplication::applicationDisplayName());
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->windowModality(), Qt::NonModal);
    box->close();
    QApplication::processEvents();
}

TEST(MessageBoxReport, RepeatedErrorsDoNotStackAndANewOneReplacesTheText)
{
    QWidget window;
    MessageBoxErrorReporter reporter(&window);
    const int before = openMessageBoxes();
    for (int tick = 0; tick < 5; ++tick)
        reporter.report(playerError(dispatch::err::Overflow, "Vizmo41.SetHead"));
    EXPECT_EQ(openMessageBoxes(), before + 1);
    QMessageBox* first = reporter.openBox();
    reporter.report(playerError(dispatch::err::TypeMismatch, "Vizmo41.Strength"));
    EXPECT_EQ(openMessageBoxes(), before + 1);
    EXPECT_EQ(reporter.openBox(), first);
    EXPECT_EQ(first->text(), "Run-time error '13':\n\nType mismatch");

    // Once the user closed it, the same error is shown again.
    first->close();
    QApplication::processEvents();
    EXPECT_EQ(reporter.openBox(), nullptr);
    reporter.report(playerError(dispatch::err::TypeMismatch, "Vizmo41.Strength"));
    ASSERT_NE(reporter.openBox(), nullptr);
    EXPECT_EQ(openMessageBoxes(), before + 1);
}

}  // namespace
