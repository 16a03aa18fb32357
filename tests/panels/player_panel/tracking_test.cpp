// Mouse-follow tracking: the pose for each pointer position, and the tick's calls.

#include "player_panel/tracking.h"
#include "components/player_control.h"
#include "components/dispatch/conversion.h"
#include "components/dispatch/error.h"
#include "support/window_fixture.h"

using namespace vizmo;
using namespace vizmo::testing;

class Tracking : public WindowTest {
protected:
    void SetUp() override
    {
        makeContent();
        startUp();
    }
    QStringList tickAt(std::int32_t x, std::int32_t y)
    {
        log.clear();
        cursor.moveTo(x, y);
        c().Timer1->tick();
        return log.lines();
    }
    static QStringList calls(const char* eye, const char* head)
    {
        return {QStringLiteral("Vizmo41 call SetEye(%1)").arg(QLatin1String(eye)),
                QStringLiteral("Vizmo41 call SetHead(%1)").arg(QLatin1String(head))};
    }
};

TEST_F(Tracking, PosesEyesAndHeadFromThePointerOnA1024By768Screen)
{
    struct Case {
        int x, y;
        const char* eye;
        const char* head;
    };
    const Case cases[] = {
        {512, 384, "I2(0), I2(0), I2(0), I2(0)", "I2(0), I2(0), I2(0)"},
        {768, 192, "I2(32), I2(32), I2(32), I2(32)", "I2(127), I2(-128), I2(64)"},
        {513, 383, "I2(0), I2(0), I2(0), I2(0)", "I2(0), I2(-1), I2(0)"},
        {523, 384, "I2(1), I2(0), I2(1), I2(0)", "I2(5), I2(0), I2(2)"},
        {533, 384, "I2(2), I2(0), I2(2), I2(0)", "I2(10), I2(0), I2(5)"},
        {1023, 767, "I2(64), I2(-64), I2(64), I2(-64)", "I2(254), I2(254), I2(127)"},
        {0, 0, "I2(-64), I2(64), I2(-64), I2(64)", "I2(-255), I2(-255), I2(-128)"},
        {2048, 384, "I2(191), I2(0), I2(191), I2(0)", "I2(765), I2(0), I2(382)"},  // a second monitor
    };
    for (const Case& k : cases)
        EXPECT_EQ(tickAt(k.x, k.y), calls(k.eye, k.head)) << k.x << "," << k.y;
}

TEST_F(Tracking, AFailedPointerQueryPosesAsTheTopLeftCornerOnAnyScreen)
{
    screen.setPixelSize(1920, 1080);
    cursor.moveTo(900, 500);
    cursor.setFailing(true);
    log.clear();
    c().Timer1->tick();
    EXPECT_EQ(log.lines(), calls("I2(-64), I2(64), I2(-64), I2(64)", "I2(-255), I2(-255), I2(-128)"));
}

TEST_F(Tracking, TheScreenCentreComesFromWholePixelsAndOddSizesGiveHalves)
{
    EXPECT_DOUBLE_EQ(player_panel::screenCentre(1024 * 15.0f, 15.0f), 512.0);
    EXPECT_DOUBLE_EQ(player_panel::screenCentre(1023 * 15.0f, 15.0f), 511.5);
    EXPECT_DOUBLE_EQ(player_panel::screenCentre(1024 * 12.0f + 11.0f, 12.0f), 512.0);  // the pixel count is truncated
    screen.setPixelSize(1023, 767);
    EXPECT_EQ(tickAt(1022, 766), calls("I2(64), I2(-64), I2(64), I2(-64)", "I2(254), I2(254), I2(127)"));
}

TEST_F(Tracking, WithTheBoxClearATickOnlyReadsTheBox)
{
    c().Check3->setValue(0);
    const int queries = cursor.queries();
    EXPECT_TRUE(tickAt(700, 100).isEmpty());
    EXPECT_EQ(cursor.queries(), queries);
}

TEST_F(Tracking, EveryTickSendsBothCallsEvenWhenThePointerHasNotMoved)
{
    tickAt(600, 300);
    EXPECT_EQ(tickAt(600, 300).size(), 2);
}

TEST_F(Tracking, FarOffScreenTheHeadOverflowsAfterTheEyesWereSentAndTheErrorIsReportedOnce)
{
    // 70000 px right: the eye value still fits in 16 bits, the head value does not.
    EXPECT_EQ(tickAt(70000, 384), QStringList{"Vizmo41 call SetEye(I2(8652), I2(0), I2(8652), I2(0))"});
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].number(), dispatch::err::Overflow);
}

TEST_F(Tracking, ARefusedSetEyeMeansNoSetHeadThatTick)
{
    player.failOn(dispatch::MemberKind::Method, player::id::SetEye);
    EXPECT_EQ(tickAt(600, 300).size(), 1);
    EXPECT_EQ(reporter.reports.size(), 1u);
}
