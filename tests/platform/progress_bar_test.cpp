// The progress bar takes any Max and Value without error and keeps the bar sane.

#include "platform/progress_bar.h"
#include "support/fake_error_reporter.h"

#include <QProgressBar>
#include <gtest/gtest.h>

#include <limits>

using namespace vizmo;
using namespace vizmo::platform;

namespace {

class ProgressBarTest : public ::testing::Test {
protected:
    ProgressBarTest() : bar(&window, reporter) {}
    double shown() const
    {
        const auto* qt = static_cast<const QProgressBar*>(bar.widget());
        return double(qt->value() - qt->minimum()) / double(qt->maximum() - qt->minimum());
    }
    vizmo::testing::RecordingErrorReporter reporter;
    QWidget window;
    ProgressBar bar;
};

TEST_F(ProgressBarTest, StartsFromZeroToHundredAndShowsFractions)
{
    EXPECT_FLOAT_EQ(bar.max(), 100.0f);
    EXPECT_FLOAT_EQ(bar.value(), 0.0f);
    bar.setMax(7.5f);
    bar.setValue(2.5f);
    EXPECT_NEAR(shown(), 1.0 / 3.0, 1e-3);
}

TEST_F(ProgressBarTest, ValueOutsideZeroToMaxIsClamped)
{
    bar.setMax(10.0f);
    bar.setValue(12.0f);
    EXPECT_FLOAT_EQ(bar.value(), 10.0f);
    EXPECT_DOUBLE_EQ(shown(), 1.0);
    bar.setValue(-3.0f);
    EXPECT_FLOAT_EQ(bar.value(), 0.0f);
    EXPECT_DOUBLE_EQ(shown(), 0.0);
    bar.setValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_FLOAT_EQ(bar.value(), 0.0f);
}

TEST_F(ProgressBarTest, MaxOfZeroOrLessShowsAnEmptyBar)
{
    bar.setValue(50.0f);
    bar.setMax(0.0f);
    EXPECT_FLOAT_EQ(bar.max(), 0.0f);
    EXPECT_FLOAT_EQ(bar.value(), 0.0f);
    EXPECT_DOUBLE_EQ(shown(), 0.0);
    bar.setMax(-5.0f);
    bar.setValue(1.0f);
    EXPECT_DOUBLE_EQ(shown(), 0.0);
}

TEST_F(ProgressBarTest, LoweringMaxBelowValueKeepsTheBarFull)
{
    bar.setValue(80.0f);
    bar.setMax(40.0f);
    EXPECT_FLOAT_EQ(bar.value(), 40.0f);
    EXPECT_DOUBLE_EQ(shown(), 1.0);
    EXPECT_TRUE(reporter.reports.empty());
}

}  // namespace
