// The player's value buttons and its playback buttons.

#include "components/player_control.h"
#include "support/window_fixture.h"

using namespace vizmo;
using namespace vizmo::testing;

class PropertyCommands : public WindowTest {
protected:
    void SetUp() override
    {
        makeContent();
        startUp();
    }
};

TEST_F(PropertyCommands, EveryValueButtonPutsItsValueAsA16BitInteger)
{
    struct Case {
        platform::CommandButton* button;
        const char* line;
    };
    const Case cases[] = {
        {c().Command10, "ControStyle(I2(0))"}, {c().Command9, "ControStyle(I2(1))"},
        {c().Command12, "BorderStyle(I2(0))"}, {c().Command11, "BorderStyle(I2(1))"},
        {c().Command18, "AutoPlay(I2(0))"},    {c().Command13, "AutoPlay(I2(1))"},
        {c().Command2, "MenuStyle(I2(-1))"},   {c().Command19, "MenuStyle(I2(0))"},
        {c().Command20, "MenuStyle(I2(1))"},   {c().Command16, "LifeMode(I2(0))"},
        {c().Command14, "LifeMode(I2(1))"},    {c().Command15, "LifeMode(I2(2))"},
        {c().Command17, "LifeMode(I2(3))"},    {c().Command3, "BackMode(I2(-1))"},
        {c().Command23, "BackMode(I2(0))"},    {c().Command25, "BackMode(I2(1))"},
        {c().Command24, "BackMode(I2(2))"},    {c().Command6, "StrengthMode(I2(0))"},
        {c().Command5, "StrengthMode(I2(1))"},
    };
    for (const Case& k : cases) {
        log.clear();
        k.button->click();
        k.button->click();  // nothing is compared with what was sent before
        const QString line = QStringLiteral("Vizmo41 put ") + k.line;
        EXPECT_EQ(log.lines(), (QStringList{line, line})) << k.button->name().toStdString();
    }
}

TEST_F(PropertyCommands, BorderStyleGoesToItsStandardIdAndTheValueIsNotParsedFromTheCaption)
{
    c().Command2->setCaption("minus one");
    c().Command2->click();
    EXPECT_EQ(log.lines(), QStringList{"Vizmo41 put MenuStyle(I2(-1))"});
    EXPECT_EQ(player.members().find(player::id::BorderStyle, dispatch::MemberKind::PropertyPut)->name, "BorderStyle");
    EXPECT_EQ(player::id::BorderStyle, -504);
}

TEST_F(PropertyCommands, PlayPauseAndStopButtons)
{
    c().Command7->click();
    c().Command26->click();
    c().Command8->click();
    c().Command7->click();
    EXPECT_EQ(log.lines(), (QStringList{"Vizmo41 call Play(I4(0))", "Vizmo41 call Pause()", "Vizmo41 call Stop()",
                                        "Vizmo41 call Play(I4(0))"}));
}

TEST_F(PropertyCommands, ARefusedValueIsReportedAndTheWindowGoesOn)
{
    player.failOn(dispatch::MemberKind::PropertyPut, player::id::LifeMode);
    c().Command17->click();
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].member(), "Vizmo41.LifeMode");
    c().Command8->click();
    EXPECT_EQ(log.lines().last(), "Vizmo41 call Stop()");
}
