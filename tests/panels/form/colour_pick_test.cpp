// The colour buttons of both pages: the component takes the colour before the
// swatch shows it, and Cancel or a refusal leaves both as they were.

#include "components/speech_component.h"
#include "support/window_fixture.h"

using namespace vizmo;
using namespace vizmo::testing;

class ColourPick : public WindowTest {
protected:
    void SetUp() override
    {
        makeContent();
        startUp();
    }
};

TEST_F(ColourPick, OkPutsTheColourIntoTheComponentFirstThenPaintsTheSwatch)
{
    struct Case {
        platform::CommandButton* button;
        const char* line;
    };
    const Case cases[] = {
        {c().Command21, "Vizmo41 put BackColor(I4(%1))"},
        {c().Command29, "KVTTSComponent1 put BackColor(I4(%1))"},
        {c().Command30, "KVTTSComponent1 put ForeColor(I4(%1))"},
    };
    std::uint32_t colour = 0x00123456;
    for (const Case& k : cases) {
        log.clear();
        ++colour;
        dialogs.answerColor(colour);
        k.button->click();
        EXPECT_EQ(log.lines(), QStringList{QString::fromLatin1(k.line).arg(colour)});
        EXPECT_EQ(k.button->backColor(), colour);
        // Opened fully, with the custom colours, and not told to preselect one.
        EXPECT_EQ(dialogs.colorRequests().back().flags, 2);
    }
}

TEST_F(ColourPick, CancelOrARefusedColourLeavesPropertyAndSwatchAsTheyWere)
{
    const std::uint32_t before = c().Command30->backColor();
    dialogs.answerCancel();
    c().Command30->click();
    EXPECT_TRUE(log.lines().isEmpty());
    EXPECT_EQ(c().Command30->backColor(), before);

    speech.failOn(dispatch::MemberKind::PropertyPut, speech::id::ForeColor);
    dialogs.answerColor(0x000000FF);
    c().Command30->click();
    EXPECT_EQ(log.lines(), QStringList{"KVTTSComponent1 put ForeColor(I4(255)) -> error 380"});
    EXPECT_EQ(c().Command30->backColor(), before);
    EXPECT_TRUE(reporter.reports.empty()) << "errors after the dialog are swallowed";
}
