// The common dialog by dispatch id: what it hands the desktop's dialog, what
// Cancel does with and without CancelError, and the FileName it keeps.

#include "components/dispatch/handle.h"
#include "platform/common_dialog.h"
#include "platform/qt_dialog_driver.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

using namespace vizmo;
using namespace vizmo::dispatch;
using namespace vizmo::platform;
namespace id = vizmo::platform::dialog_id;

namespace {

class CommonDialogTest : public ::testing::Test {
protected:
    CommonDialogTest() : dialog(driver, &window), handle(dialog, "CommonDialog1") {}
    // The steps of a "..." button before the dialog shows.
    void configureOpen(const QString& initDir, const QString& filter)
    {
        handle.put(id::InitDir, Str(initDir));
        handle.put(id::Flags, I4(0x4));
        handle.put(id::Filter, Str(filter));
        handle.put(id::FilterIndex, I2(2));
        handle.put(id::CancelError, Bool(true));
    }
    QWidget window;
    vizmo::testing::ScriptedDialogDriver driver;
    CommonDialog dialog;
    Handle handle;
};

TEST_F(CommonDialogTest, ShowOpenHandsOverItsPropertiesAndReturnsTheChosenPath)
{
    configureOpen("/content/qvm", "*.qvm");
    driver.answerFile("/content/qvm/face.qvm");
    handle.call(id::ShowOpen);
    EXPECT_EQ(handle.get(id::FileName).asString(), "/content/qvm/face.qvm");
    ASSERT_EQ(driver.openRequests().size(), 1u);
    const OpenFileRequest& shown = driver.openRequests()[0];
    EXPECT_EQ(shown.initDir, "/content/qvm");
    EXPECT_EQ(shown.filter, "*.qvm");
    EXPECT_EQ(shown.filterIndex, 2);
    EXPECT_EQ(shown.flags, 0x4);
    EXPECT_EQ(shown.fileName, "");
    EXPECT_EQ(shown.parent, &window);
}

TEST_F(CommonDialogTest, SecondShowPreselectsTheFileChosenBefore)
{
    configureOpen("/content/qvs", "*.qvs");
    driver.answerFile("/content/qvs/hello.qvs");
    driver.answerFile("/content/qvs/bye.qvs");
    handle.call(id::ShowOpen);
    configureOpen("/content/qvs", "*.qvs");
    handle.call(id::ShowOpen);
    ASSERT_EQ(driver.openRequests().size(), 2u);
    EXPECT_EQ(driver.openRequests()[1].fileName, "/content/qvs/hello.qvs");
    EXPECT_EQ(dialog.fileName(), "/content/qvs/bye.qvs");
}

TEST_F(CommonDialogTest, CancelWithCancelErrorIsError32755AndKeepsFileName)
{
    configureOpen("/content/qvm", "*.qvm");
    driver.answerFile("/content/qvm/face.qvm");
    driver.answerCancel();
    handle.call(id::ShowOpen);
    try {
        handle.call(id::ShowOpen);
        FAIL() << "Cancel returned normally";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::CancelSelected);
        EXPECT_EQ(e.description(), "Cancel was selected.");
        EXPECT_EQ(e.member(), "CommonDialog1.ShowOpen");
    }
    EXPECT_EQ(handle.get(id::FileName).asString(), "/content/qvm/face.qvm");
}

TEST_F(CommonDialogTest, CancelWithoutCancelErrorReturnsNormally)
{
    handle.put(id::FileName, Str("/before.qvm"));
    driver.answerCancel();
    EXPECT_NO_THROW(handle.call(id::ShowOpen));
    EXPECT_EQ(handle.get(id::FileName).asString(), "/before.qvm");
    driver.answerCancel();
    handle.put(id::Color, I4(0x123456));
    EXPECT_NO_THROW(handle.call(id::ShowColor));
    EXPECT_EQ(handle.get(id::Color).asI4(), 0x123456);
}

TEST_F(CommonDialogTest, ShowColorReturnsTheColourAndPassesItsFlags)
{
    handle.put(id::Flags, I4(2));
    handle.put(id::CancelError, Bool(true));
    driver.answerColor(0x0000FFFFu);
    handle.call(id::ShowColor);
    EXPECT_EQ(handle.get(id::Color).asI4(), 0x0000FFFF);
    ASSERT_EQ(driver.colorRequests().size(), 1u);
    EXPECT_EQ(driver.colorRequests()[0].flags, 2);

    driver.answerCancel();
    EXPECT_THROW(handle.call(id::ShowColor), RuntimeError);
    EXPECT_EQ(handle.get(id::Color).asI4(), 0x0000FFFF);
}

TEST_F(CommonDialogTest, WrongTypesAndUnknownIdsAreRefused)
{
    EXPECT_THROW(handle.put(id::Flags, I2(4)), RuntimeError);          // Flags is 32-bit
    EXPECT_THROW(handle.put(id::FilterIndex, I4(2)), RuntimeError);    // FilterIndex is 16-bit
    EXPECT_THROW(handle.put(id::CancelError, I2(-1)), RuntimeError);   // CancelError is Boolean
    EXPECT_THROW(handle.call(99), RuntimeError);
    EXPECT_TRUE(driver.openRequests().empty());
}

TEST(DialogFilter, BarePatternStandsForItselfAndPairsGetDescriptions)
{
    EXPECT_EQ(nameFiltersOf("*.qvm"), QStringList({"*.qvm"}));
    EXPECT_EQ(nameFiltersOf("*.*"), QStringList({"*.*"}));
    EXPECT_EQ(nameFiltersOf("Models|*.qvm;*.qvz|All files|*.*"),
              QStringList({"Models (*.qvm *.qvz)", "All files (*.*)"}));
    EXPECT_TRUE(nameFiltersOf("").isEmpty());
}

}  // namespace
