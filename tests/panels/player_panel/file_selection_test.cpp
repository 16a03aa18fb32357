// The model and script lists and the three file dialogs hand paths to the player.

#include "components/player_control.h"
#include "support/window_fixture.h"

using namespace vizmo;
using namespace vizmo::testing;

namespace {
QString put(const QString& member, const QString& value)
{
    return QStringLiteral("Vizmo41 put %1(String(\"%2\"))").arg(member, value);
}
}  // namespace

class FileSelection : public WindowTest {
protected:
    void SetUp() override
    {
        makeContent();
        startUp();
    }
};

TEST_F(FileSelection, ClickingAListEntryLoadsThatModelOrScript)
{
    c().File1->setListIndex(1);
    c().File2->setListIndex(2);
    EXPECT_EQ(log.lines(), (QStringList{put("ModelName", path("qvm/bob.qvm")), put("ScriptName", path("qvs/wave.qvs"))}));
}

TEST_F(FileSelection, EachDialogStartsInItsContentFolderAndHandsOverTheChosenFile)
{
    struct Case {
        platform::CommandButton* button;
        QString folder, filter, member;
    };
    const Case cases[] = {
        {c().Command1, "qvm", "*.qvm", "ModelName"},
        {c().Command4, "qvs", "*.qvs", "ScriptName"},
        {c().Command22, "bg", "*.*", "BackImage"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.member.toStdString());
        log.clear();
        // No check of existence or extension: a typed name goes through as it is.
        const QString chosen = dir.path() + "/elsewhere/typed-name.txt";
        dialogs.answerFile(chosen);
        k.button->click();
        ASSERT_FALSE(dialogs.openRequests().empty());
        const platform::OpenFileRequest& request = dialogs.openRequests().back();
        EXPECT_EQ(request.initDir, appDir + "/" + k.folder);
        EXPECT_EQ(request.filter, k.filter);
        EXPECT_EQ(request.filterIndex, 2);
        EXPECT_EQ(request.flags, 4);
        EXPECT_EQ(log.lines(), QStringList{put(k.member, chosen)});
    }
    EXPECT_TRUE(reporter.reports.empty());
}

TEST_F(FileSelection, ADialogRemembersItsLastFileAndCancelChangesNothingQuietly)
{
    dialogs.answerFile("/models/first.qvm");
    c().Command1->click();
    log.clear();
    dialogs.answerCancel();
    c().Command1->click();
    EXPECT_EQ(dialogs.openRequests().back().fileName, "/models/first.qvm");
    EXPECT_TRUE(log.lines().isEmpty());
    EXPECT_TRUE(reporter.reports.empty());
    // The script dialog is an instance of its own: it does not know the model's file.
    dialogs.answerCancel();
    c().Command4->click();
    EXPECT_EQ(dialogs.openRequests().back().fileName, "");
}

TEST_F(FileSelection, APathThePlayerRefusesAfterADialogEndsQuietlyButFromAListItIsReported)
{
    player.failOn(dispatch::MemberKind::PropertyPut, player::id::ModelName, 321);
    dialogs.answerFile("/models/broken.qvm");
    c().Command1->click();
    EXPECT_TRUE(reporter.reports.empty());
    c().File1->setListIndex(1);
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].member(), "Vizmo41.ModelName");
    // The dialog did not move the list.
    EXPECT_EQ(c().File1->listIndex(), 1);
}

class FileSelectionDevelopment : public WindowTest {};

TEST_F(FileSelectionDevelopment, DialogsStartUnderTheDevelopmentDataWhileListsStayPut)
{
    appDir = shell::kDevelopmentDirectory;
    startUp();
    dialogs.answerCancel();
    c().Command22->click();
    ASSERT_EQ(dialogs.openRequests().size(), 1u);
    EXPECT_EQ(dialogs.openRequests()[0].initDir, developmentDataDir + "/bg");
}
