// Colours given as 0x00BBGGRR and system colour references, and the graphical
// button whose face shows its BackColor.

#include "platform/command_button.h"
#include "platform/ole_color.h"
#include "support/fake_error_reporter.h"

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <gtest/gtest.h>

using namespace vizmo;
using namespace vizmo::platform;

namespace {

TEST(OleColour, RedIsInTheLowByteBothWays)
{
    EXPECT_EQ(toQColor(0x0000FFFFu), QColor(255, 255, 0));  // yellow
    EXPECT_EQ(toQColor(0x00C00000u), QColor(0, 0, 0xC0));   // dark blue
    for (std::uint32_t ole : {0x00000000u, 0x00123456u, 0x00FFFFFFu, 0x000080FFu})
        EXPECT_EQ(fromQColor(toQColor(ole)), ole) << std::hex << ole;
}

TEST(OleColour, SystemColoursResolveThroughThePalette)
{
    const QPalette palette = QApplication::palette();
    EXPECT_EQ(toQColor(0x8000000Fu), palette.color(QPalette::Button));      // button face
    EXPECT_EQ(toQColor(0x80000007u), palette.color(QPalette::WindowText));  // menu text
    EXPECT_EQ(toQColor(0x80000012u), palette.color(QPalette::ButtonText));
    EXPECT_TRUE(isSystemColor(0x8000000Bu));
    EXPECT_FALSE(isSystemColor(0x0000FFFFu));
}

QColor faceCentre(const CommandButton& button)
{
    const QImage shot = button.widget()->grab().toImage();
    return shot.pixelColor(shot.width() / 2, shot.height() / 2);
}

TEST(GraphicalButton, FaceShowsItsBackColour)
{
    vizmo::testing::RecordingErrorReporter reporter;
    QWidget window;
    CommandButton swatch(&window, reporter);
    swatch.widget()->resize(61, 17);
    swatch.setGraphical(true);
    swatch.setBackColor(0x0000FFFFu);
    EXPECT_EQ(faceCentre(swatch), QColor(255, 255, 0));
    swatch.setBackColor(0x80000007u);
    EXPECT_EQ(faceCentre(swatch), QApplication::palette().color(QPalette::WindowText));
    EXPECT_EQ(swatch.backColor(), 0x80000007u);
}

TEST(GraphicalButton, PlainStyleDoesNotPaintTheBackColour)
{
    vizmo::testing::RecordingErrorReporter reporter;
    QWidget window;
    CommandButton button(&window, reporter);
    button.widget()->resize(61, 17);
    button.setBackColor(0x000000FFu);
    EXPECT_NE(faceCentre(button), QColor(255, 0, 0));
}

}  // namespace
