// The speech page's sliders: one put per change, of the value read afresh.

#include "support/window_fixture.h"

using namespace vizmo;
using namespace vizmo::testing;

class SpeechSliders : public WindowTest {
protected:
    void SetUp() override
    {
        makeContent();
        startUp();
    }
};

TEST_F(SpeechSliders, PitchSpeedAndVolumeMakeOnePutEachAndLeaveTrackingAlone)
{
    c().Check3->setValue(1);
    log.clear();
    c().Slider4->setValue(0);
    c().Slider3->setValue(100);
    c().Slider5->setValue(0);
    EXPECT_EQ(log.lines(), (QStringList{
                               "KVTTSComponent1 put Pitch(I4(0))",
                               "KVTTSComponent1 put Speed(I4(100))",
                               "KVTTSComponent1 put Volume(I4(0))",
                           }));
    EXPECT_EQ(c().Check3->value(), 1);
}
