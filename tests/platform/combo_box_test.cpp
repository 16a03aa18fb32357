// The drop-down list: filling and clearing select nothing and raise nothing;
// every new selection, by the user or by code, raises Click.

#include "platform/combo_box.h"
#include "support/fake_error_reporter.h"

#include <QTest>
#include <QComboBox>
#include <gtest/gtest.h>

using namespace vizmo;
using namespace vizmo::platform;

namespace {

class ComboBoxTest : public ::testing::Test {
protected:
    ComboBoxTest() : combo(&window, reporter) { combo.onClick([this] { ++clicks; }); }
    vizmo::testing::RecordingErrorReporter reporter;
    QWidget window;
    ComboBox combo;
    int clicks = 0;
};

TEST_F(ComboBoxTest, FirstAddItemSelectsNothingAndRaisesNothing)
{
    combo.addItem("Microsoft SAPI 4.1");
    EXPECT_EQ(combo.listIndex(), -1);
    combo.addItem("Microsoft SAPI 5.0");
    EXPECT_EQ(combo.listIndex(), -1);
    EXPECT_EQ(combo.listCount(), 2);
    EXPECT_EQ(combo.list(1), "Microsoft SAPI 5.0");
    EXPECT_EQ(combo.text(), "");
    EXPECT_EQ(clicks, 0);
}

TEST_F(ComboBoxTest, AddItemKeepsAnExistingSelection)
{
    combo.addItem("a");
    combo.addItem("b");
    combo.setListIndex(1);
    combo.addItem("c");
    EXPECT_EQ(combo.listIndex(), 1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ComboBoxTest, ClearRaisesNothingAndLeavesNoSelection)
{
    combo.addItem("a");
    combo.setListIndex(0);
    clicks = 0;
    combo.clear();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(combo.listIndex(), -1);
    EXPECT_EQ(combo.listCount(), 0);
}

TEST_F(ComboBoxTest, SelectionByCodeRaisesClickOnlyWhenNew)
{
    combo.addItem("a");
    combo.addItem("b");
    combo.setListIndex(0);
    EXPECT_EQ(clicks, 1);
    combo.setListIndex(0);
    EXPECT_EQ(clicks, 1);
    combo.setListIndex(1);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(combo.text(), "b");
    combo.setListIndex(-1);
    EXPECT_EQ(combo.listIndex(), -1);
}

TEST_F(ComboBoxTest, IndexBeyondTheListIsInvalidPropertyValue)
{
    combo.setName("Combo1");
    combo.addItem("a");
    for (int bad : {1, -2}) {
        try {
            combo.setListIndex(bad);
            FAIL() << bad << " was accepted";
        } catch (const dispatch::RuntimeError& e) {
            EXPECT_EQ(e.number(), 380);
            EXPECT_EQ(e.description(), "Invalid property value");
            EXPECT_EQ(e.member(), "Combo1.ListIndex");
        }
    }
    EXPECT_EQ(clicks, 0);
}

TEST_F(ComboBoxTest, UserSelectionRaisesClick)
{
    combo.addItem("a");
    combo.addItem("b");
    combo.setListIndex(0);
    clicks = 0;
    QTest::keyClick(combo.widget(), Qt::Key_Down);
    EXPECT_EQ(combo.listIndex(), 1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ComboBoxTest, TheUserChoosingTheSelectedEntryAgainRaisesClickOnce)
{
    combo.addItem("a");
    combo.addItem("b");
    combo.setListIndex(1);
    clicks = 0;
    auto* box = static_cast<QComboBox*>(combo.widget());
    emit box->activated(1);  // the user picks the entry that is already selected
    EXPECT_EQ(clicks, 1);
    combo.setListIndex(1);   // code setting it again stays silent
    EXPECT_EQ(clicks, 1);
    QTest::keyClick(combo.widget(), Qt::Key_Up);  // a real change by the user: one Click, not two
    EXPECT_EQ(combo.listIndex(), 0);
    EXPECT_EQ(clicks, 2);
    emit box->activated(0);
    EXPECT_EQ(clicks, 3);
}

}  // namespace
