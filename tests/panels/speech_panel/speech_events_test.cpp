// The speech event monitor.

#include "components/speech_component.h"
#include "support/window_fixture.h"

#include <QApplication>

using namespace vizmo;
using namespace vizmo::testing;

class SpeechEvents : public WindowTest {
protected:
    void SetUp() override
    {
        makeContent();
        startUp();
    }
};

TEST_F(SpeechEvents, EachEventReplacesTheBoxOnWhicheverTabIsInFront)
{
    namespace ev = speech::event;
    ASSERT_EQ(c().SSTab1->tab(), 0);
    speech.raise(ev::Play);
    EXPECT_EQ(c().Text4->text(), "Play");
    speech.raise(ev::Pause);
    EXPECT_EQ(c().Text4->text(), "Pause");
    speech.raise(ev::Stop);
    EXPECT_EQ(c().Text4->text(), "Stop");
    speech.raise(ev::Eof);
    EXPECT_EQ(c().Text4->text(), "EOF");
    speech.raise(ev::Word, {dispatch::I4(0), dispatch::I4(5)});
    EXPECT_EQ(c().Text4->text(), "EOF") << "the word event is not shown";
    EXPECT_EQ(c().Text3->text(), "");
    EXPECT_EQ(c().Text5->text(), "") << "the player's box is another box";
}

TEST_F(SpeechEvents, ValidateIsShownAndNeverCancels)
{
    bool cancel = false;
    // The site raises Validate when the focus leaves the component; its handler is the monitor's.
    ASSERT_TRUE(showActive());
    c().SSTab1->setTab(2);
    c().KVTTSComponent1->component()->setFocus();
    c().Command27->widget()->setFocus();
    if (QApplication::focusWidget() != c().Command27->widget())
        GTEST_SKIP() << "this platform gives no keyboard focus to an unshown window";
    EXPECT_EQ(c().Text4->text(), "Validate");
    EXPECT_FALSE(cancel);
}
