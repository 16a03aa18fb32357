// The file list: which names it lists, in which order, and how its selection
// by the user or by code raises Click.

#include "platform/file_list_box.h"
#include "support/fake_error_reporter.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>

using namespace vizmo;
using namespace vizmo::platform;

namespace {

class FileListBoxTest : public ::testing::Test {
protected:
    FileListBoxTest() : list(&window, reporter)
    {
        list.setName("File1");
        list.onClick([this] { clicks << list.fileName(); });
    }
    void touch(const QString& name)
    {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
    }

    vizmo::testing::RecordingErrorReporter reporter;
    QWidget window;
    FileListBox list;
    QTemporaryDir folder;
    QStringList clicks;
};

QStringList entries(const FileListBox& list)
{
    QStringList names;
    for (int i = 0; i < list.listCount(); ++i)
        names << list.list(i);
    return names;
}

TEST_F(FileListBoxTest, UpperCasePatternMatchesLowerCaseNamesInNameOrder)
{
    touch("zeta.qvm");
    touch("Alpha.QVM");
    touch("beta.qvm");
    touch("notes.txt");
    touch("qvm");
    QDir(folder.path()).mkdir("folder.qvm");
    list.setPattern("*.QVM");
    list.setPath(folder.path());
    EXPECT_EQ(entries(list), QStringList({"Alpha.QVM", "beta.qvm", "zeta.qvm"}));
    EXPECT_EQ(list.listIndex(), -1);
    EXPECT_EQ(list.fileName(), "");
    EXPECT_TRUE(clicks.isEmpty());
}

// A name whose bytes are not UTF-8 could not be passed on as a path: the
// list leaves it out, and keeps names in any script, hidden files excepted.
TEST_F(FileListBoxTest, NamesThatAreNotUtf8AreLeftOut)
{
    touch(QStringLiteral("caf\u00e9.qvm"));
    touch(".hidden.qvm");
    const QByteArray latin1 = QFile::encodeName(folder.path()) + "/bad\xe9.qvm";
    FILE* raw = std::fopen(latin1.constData(), "w");
    ASSERT_NE(raw, nullptr);
    std::fclose(raw);
    list.setPath(folder.path());
    EXPECT_EQ(entries(list), QStringList({QStringLiteral("caf\u00e9.qvm")}));
    EXPECT_EQ(matchingFileNames(folder.path(), "*.*"), QStringList({QStringLiteral("caf\u00e9.qvm")}));
}

TEST_F(FileListBoxTest, SeveralPatternsAndEveryFile)
{
    touch("a.qvs");
    touch("b.QVM");
    touch("README");
    list.setPath(folder.path());
    EXPECT_EQ(entries(list), QStringList({"a.qvs", "b.QVM", "README"}));
    list.setPattern("*.qvm;*.qvs");
    EXPECT_EQ(entries(list), QStringList({"a.qvs", "b.QVM"}));
}

TEST_F(FileListBoxTest, MissingFolderIsPathNotFoundAndKeepsTheList)
{
    touch("a.qvm");
    list.setPath(folder.path());
    try {
        list.setPath(folder.filePath("missing"));
        FAIL() << "a missing folder was accepted";
    } catch (const dispatch::RuntimeError& e) {
        EXPECT_EQ(e.number(), 76);
        EXPECT_EQ(e.description(), "Path not found");
        EXPECT_EQ(e.member(), "File1.Path");
    }
    EXPECT_EQ(list.path(), folder.path());
    EXPECT_EQ(entries(list), QStringList({"a.qvm"}));
}

TEST_F(FileListBoxTest, EmptyFolderListsNothingAndRefusesSelection)
{
    list.setPath(folder.path());
    EXPECT_EQ(list.listCount(), 0);
    try {
        list.setSelected(0, true);
        FAIL() << "entry 0 of an empty list was selected";
    } catch (const dispatch::RuntimeError& e) {
        EXPECT_EQ(e.number(), 381);
        EXPECT_EQ(e.description(), "Invalid property array index");
        EXPECT_EQ(e.member(), "File1.Selected");
    }
    EXPECT_THROW(list.setListIndex(0), dispatch::RuntimeError);
    EXPECT_TRUE(clicks.isEmpty());
}

TEST_F(FileListBoxTest, SelectionByCodeRaisesClickWithTheNewEntry)
{
    touch("a.qvs");
    touch("b.qvs");
    list.setPath(folder.path());
    list.setSelected(0, true);
    EXPECT_EQ(clicks, QStringList({"a.qvs"}));
    list.setSelected(0, true);
    EXPECT_EQ(clicks.size(), 1);
    list.setListIndex(1);
    EXPECT_EQ(clicks, QStringList({"a.qvs", "b.qvs"}));
    EXPECT_TRUE(list.selected(1));
    EXPECT_FALSE(list.selected(0));
    EXPECT_THROW(list.setListIndex(2), dispatch::RuntimeError);
    EXPECT_EQ(list.listIndex(), 1);
}

TEST_F(FileListBoxTest, SettingPathAgainClearsTheSelectionWithoutClick)
{
    touch("a.qvs");
    list.setPath(folder.path());
    list.setListIndex(0);
    list.setPath(folder.path());
    EXPECT_EQ(list.listIndex(), -1);
    EXPECT_EQ(clicks.size(), 1);
}

TEST_F(FileListBoxTest, UserClickOnAnEntryRaisesOneClickAndCtrlClickKeepsIt)
{
    touch("a.qvs");
    touch("b.qvs");
    window.resize(200, 200);
    list.widget()->setGeometry(0, 0, 200, 200);
    list.setPath(folder.path());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* qt = static_cast<QListWidget*>(list.widget());
    const QRect entry = qt->visualItemRect(qt->item(1));
    QTest::mouseClick(qt->viewport(), Qt::LeftButton, {}, entry.center());
    EXPECT_EQ(clicks, QStringList({"b.qvs"}));
    QTest::mouseClick(qt->viewport(), Qt::LeftButton, {}, entry.center());
    EXPECT_EQ(clicks.size(), 1);
    QTest::mouseClick(qt->viewport(), Qt::LeftButton, Qt::ControlModifier, entry.center());
    QTest::keyClick(qt, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(list.listIndex(), 1);
    EXPECT_EQ(clicks.size(), 1);
}

TEST_F(FileListBoxTest, TabbingIntoTheListSelectsNothing)
{
    touch("a.qvs");
    list.setPath(folder.path());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    list.widget()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(list.listIndex(), -1);
    EXPECT_TRUE(clicks.isEmpty());
}

}  // namespace
