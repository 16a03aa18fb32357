// The start-up: the exact call sequence into both components, the state it
// leaves, the development-directory rule and broken content folders.

#include "components/player_control.h"
#include "platform/window.h"
#include "shell/environment.h"
#include "shell/layout_table.h"
#include "support/window_fixture.h"

using namespace vizmo;
using namespace vizmo::testing;

namespace {

QString str(const QString& s) { return QStringLiteral("String(\"%1\")").arg(s); }

}  // namespace

class StartUp : public WindowTest {};

TEST_F(StartUp, CallsTheComponentsInOrderWithNestedEngineSelectionAndPathsTwice)
{
    makeContent();
    startUp(/*clearLog=*/false);
    const QString model = path(QStringLiteral("qvm/ann.QVM"));
    const QString script = path(QStringLiteral("qvs/hello.qvs"));
    const QStringList expected{
        "KVTTSComponent1 call Initialize()",
        "KVTTSComponent1 call AttachPlayer(Object(set))",
        "KVTTSComponent1 put Interface(String(\"Microsoft SAPI 4.1\"))",
        "KVTTSComponent1 get VoiceCount()",
        "KVTTSComponent1 get VoiceName(I4(0))",
        "KVTTSComponent1 put VoiceIndex(I2(0))",
        "KVTTSComponent1 get VoiceName(I4(1))",
        "KVTTSComponent1 put Text(" + str(shell::initialSpeechText()) + ")",
        "Vizmo41 put ModelName(" + str(model) + ")",
        "Vizmo41 put ScriptName(" + str(script) + ")",
        "Vizmo41 put ModelName(" + str(model) + ")",
        "Vizmo41 put ScriptName(" + str(script) + ")",
        "Vizmo41 call Play(I4(0))",
    };
    EXPECT_EQ(log.lines(), expected);
    EXPECT_TRUE(reporter.reports.empty());
}

TEST_F(StartUp, LeavesTheWindowCompactOnDemoWithTheStripHiddenAndTheTimerRunning)
{
    makeContent();
    startUp();
    EXPECT_EQ(form->baseDir(), appDir);
    EXPECT_EQ(c().Command32->caption(), ">");
    EXPECT_EQ(form->window().clientWidthPixels(), 264);
    EXPECT_FLOAT_EQ(form->window().widthTwips(), 270.0f * 15.0f);
    EXPECT_FALSE(c().KVTTSComponent1->visible());
    EXPECT_TRUE(c().ProgressBar1->visible());
    EXPECT_EQ(c().Timer1->interval(), 100);
    EXPECT_EQ(c().SSTab1->tab(), 0);
    EXPECT_EQ(c().File1->listIndex(), 0);
    EXPECT_EQ(c().File2->listIndex(), 0);
    EXPECT_EQ(c().Combo1->listIndex(), 0);
    ASSERT_EQ(c().Combo2->listCount(), 2);
    EXPECT_EQ(c().Combo2->list(0), "Voice A");
    EXPECT_EQ(c().Combo2->listIndex(), 0);
    // Nothing writes the event fields before a component raises an event.
    EXPECT_EQ(c().Text1->text(), "");
    EXPECT_EQ(c().Text3->text(), "");
    EXPECT_EQ(c().Text4->text(), "");
    EXPECT_EQ(c().Text5->text(), "");
}

TEST_F(StartUp, CompactWidthIsInPixelsWhateverTheTwipsPerPixel)
{
    makeContent();
    screen.setTwipsPerPixel(12.0f, 12.0f);
    startUp();
    EXPECT_FLOAT_EQ(form->window().widthTwips(), 270.0f * 12.0f);
    EXPECT_EQ(form->window().clientWidthPixels(), 264);
}

TEST_F(StartUp, TheDevelopmentDirectoryMovesOnlyTheDialogRoot)
{
    appDir = shell::kDevelopmentDirectory;
    startUp();
    EXPECT_EQ(form->baseDir(), developmentDataDir);
    // The lists still look under the application folder, which has no content here.
    ASSERT_EQ(reporter.reports.size(), 2u);
    EXPECT_TRUE(reporter.reports[0].description().endsWith(appDir + "/qvm")) << reporter.reports[0].description().toStdString();
}

TEST_F(StartUp, NearMissesOfTheDevelopmentDirectoryKeepTheApplicationFolder)
{
    for (const QString& near : {shell::kDevelopmentDirectory.toLower(), shell::kDevelopmentDirectory + "\\",
                                QStringLiteral("C:\\Program Files\\Microsoft Visual Studio\\VB9")}) {
        appDir = near;
        startUp();
        EXPECT_EQ(form->baseDir(), near);
        form.reset();
    }
}

TEST_F(StartUp, AMissingModelFolderIsReportedAndTheRestOfTheStartUpRuns)
{
    makeFolder(QStringLiteral("qvs"), {QStringLiteral("a.qvs")});
    startUp(/*clearLog=*/false);
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].number(), 76);
    EXPECT_TRUE(reporter.reports[0].description().contains(path(QStringLiteral("qvm"))));
    EXPECT_EQ(c().File1->listCount(), 0);
    EXPECT_TRUE(log.matching("Vizmo41 put ModelName").isEmpty());
    EXPECT_EQ(log.matching("Vizmo41 put ScriptName").size(), 2);
    EXPECT_EQ(log.lines().last(), "Vizmo41 call Play(I4(0))");
    EXPECT_EQ(c().Command32->caption(), ">");
}

TEST_F(StartUp, AnEmptyScriptFolderIsReportedAndTheModelStillLoads)
{
    makeFolder(QStringLiteral("qvm"), {QStringLiteral("a.qvm")});
    makeFolder(QStringLiteral("qvs"), {QStringLiteral("notes.txt")});
    startUp(/*clearLog=*/false);
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].description(), "No files matching *.QVS in " + path(QStringLiteral("qvs")));
    EXPECT_EQ(reporter.reports[0].member(), "File2.Selected");
    EXPECT_EQ(log.matching("Vizmo41 put ModelName").size(), 2);
    EXPECT_TRUE(log.matching("Vizmo41 put ScriptName").isEmpty());
    EXPECT_EQ(log.lines().last(), "Vizmo41 call Play(I4(0))");
}

TEST_F(StartUp, ARefusedComponentCallEndsTheStartUpAtThatStepWithoutEndingTheProgram)
{
    makeContent();
    // The second ModelName (step 14) is refused; the list's own put went through.
    player.failOn(dispatch::MemberKind::PropertyPut, player::id::ModelName, 53, /*after=*/1);
    startUp(/*clearLog=*/false);
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].number(), 53);
    EXPECT_EQ(reporter.reports[0].member(), "Vizmo41.ModelName");
    EXPECT_EQ(log.lines().last(), "Vizmo41 put ModelName(" + str(path("qvm/ann.QVM")) + ") -> error 53");
    EXPECT_TRUE(log.matching("Vizmo41 call Play").isEmpty());
    // What was done stays done, the later steps never ran, and the window goes on working.
    EXPECT_EQ(c().File1->listIndex(), 0);
    EXPECT_EQ(c().Command32->caption(), "<");
    c().Command32->click();
    EXPECT_EQ(c().Command32->caption(), ">");
    EXPECT_EQ(form->window().clientWidthPixels(), 264);
}

TEST_F(StartUp, NoVoicesLeaveTheVoiceListEmptyAndSendNoVoiceIndex)
{
    makeContent();
    setVoices({});
    startUp(/*clearLog=*/false);
    EXPECT_EQ(c().Combo2->listCount(), 0);
    EXPECT_EQ(c().Combo2->listIndex(), -1);
    EXPECT_TRUE(log.matching("KVTTSComponent1 put VoiceIndex").isEmpty());
    EXPECT_TRUE(log.matching("KVTTSComponent1 get VoiceName").isEmpty());
}
