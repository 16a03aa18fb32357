// The speech page: engine and voice lists, text, Play, Pause and Stop.

#include "components/speech_component.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QComboBox>

using namespace vizmo;
using namespace vizmo::testing;

class SpeechCommands : public WindowTest {
protected:
    void SetUp() override { makeContent(); }
    QStringList engineChange(int index)
    {
        log.clear();
        c().Combo1->setListIndex(index);
        return log.lines();
    }
};

TEST_F(SpeechCommands, AnEngineChangeRewritesTheInterfaceAndRebuildsTheVoiceList)
{
    setVoices({"Anna", "Bert", "Carl"});
    startUp();
    EXPECT_EQ(engineChange(1), (QStringList{
                                   "KVTTSComponent1 put Interface(String(\"Microsoft SAPI 5.0\"))",
                                   "KVTTSComponent1 get VoiceCount()",
                                   "KVTTSComponent1 get VoiceName(I4(0))",
                                   "KVTTSComponent1 put VoiceIndex(I2(0))",
                                   "KVTTSComponent1 get VoiceName(I4(1))",
                                   "KVTTSComponent1 get VoiceName(I4(2))",
                               }));
    EXPECT_EQ(c().Combo2->listCount(), 3);
    EXPECT_EQ(c().Combo2->list(2), "Carl");
    EXPECT_EQ(c().Combo2->listIndex(), 0);
}

TEST_F(SpeechCommands, TheSameEngineChosenAgainRunsTheWholeSequenceAgain)
{
    setVoices({"Solo"});
    startUp();
    // Nothing is compared with the engine before: the user choosing the
    // selected entry again rewrites the interface and rebuilds the list.
    log.clear();
    emit static_cast<QComboBox*>(c().Combo1->widget())->activated(0);
    EXPECT_EQ(log.lines(), (QStringList{
                                   "KVTTSComponent1 put Interface(String(\"Microsoft SAPI 4.1\"))",
                                   "KVTTSComponent1 get VoiceCount()",
                                   "KVTTSComponent1 get VoiceName(I4(0))",
                                   "KVTTSComponent1 put VoiceIndex(I2(0))",
                               }));
}

TEST_F(SpeechCommands, AnEngineWithoutVoicesLeavesTheListEmptyAndSendsNoVoiceIndex)
{
    startUp();
    setVoices({});
    EXPECT_EQ(engineChange(1), (QStringList{"KVTTSComponent1 put Interface(String(\"Microsoft SAPI 5.0\"))",
                                            "KVTTSComponent1 get VoiceCount()"}));
    EXPECT_EQ(c().Combo2->listCount(), 0);
    EXPECT_EQ(c().Combo2->listIndex(), -1);
}

TEST_F(SpeechCommands, ARefusedVoiceNameKeepsTheNamesBeforeItAndIsReported)
{
    setVoices({"Anna", "Bert", "Carl", "Dora"});
    startUp();
    speech.failOn(dispatch::MemberKind::PropertyGet, speech::id::VoiceName, 5, /*after=*/2);
    engineChange(1);
    EXPECT_EQ(c().Combo2->listCount(), 2);
    EXPECT_EQ(c().Combo2->list(1), "Bert");
    EXPECT_EQ(c().Combo2->listIndex(), 0);
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].member(), "KVTTSComponent1.VoiceName");
    // The window goes on working.
    c().Command28->click();
    EXPECT_EQ(log.lines().last(), "KVTTSComponent1 call Stop()");
}

TEST_F(SpeechCommands, PickingAVoiceSendsItsIndexAsA16BitInteger)
{
    setVoices({"Anna", "Bert", "Carl"});
    startUp();
    c().Combo2->setListIndex(2);
    EXPECT_EQ(log.lines(), QStringList{"KVTTSComponent1 put VoiceIndex(I2(2))"});
}

TEST_F(SpeechCommands, PlaySendsTheCurrentTextWithItsLineBreaksFirst)
{
    startUp();
    c().Text2->setText("One\r\ntwo");
    c().Command27->click();
    c().Command31->click();
    c().Command28->click();
    c().Command31->click();  // nothing tracks whether it is speaking
    c().Text2->setText("");
    c().Command27->click();
    EXPECT_EQ(log.lines(), (QStringList{
                               "KVTTSComponent1 put Text(String(\"One\r\ntwo\"))",
                               "KVTTSComponent1 call Play()",
                               "KVTTSComponent1 call Pause()",
                               "KVTTSComponent1 call Stop()",
                               "KVTTSComponent1 call Pause()",
                               "KVTTSComponent1 put Text(String(\"\"))",
                               "KVTTSComponent1 call Play()",
                           }));
}

TEST_F(SpeechCommands, LeavingTheTextBoxCommitsTheTextEveryTime)
{
    startUp();
    ASSERT_TRUE(showActive());
    c().SSTab1->setTab(2);
    c().Text2->setText("Typed");
    c().Text2->widget()->setFocus();
    c().Command27->widget()->setFocus();
    if (QApplication::focusWidget() != c().Command27->widget())
        GTEST_SKIP() << "this platform gives no keyboard focus to an unshown window";
    c().Text2->widget()->setFocus();
    c().Command28->widget()->setFocus();
    EXPECT_EQ(log.matching("KVTTSComponent1 put Text"),
              (QStringList{"KVTTSComponent1 put Text(String(\"Typed\"))", "KVTTSComponent1 put Text(String(\"Typed\"))"}));
}
