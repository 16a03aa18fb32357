// Pixel checks on grabbed frames: the things a viewer would notice first if
// drawing went wrong.
#include "player_test_support.h"

#include <QImage>
#include <gtest/gtest.h>

#include <functional>

namespace vizmo::player {
namespace {

using dispatch::Bool;
using dispatch::I2;
using dispatch::I4;
using dispatch::Str;
using testing::PlayerFixture;

// A model whose irises and mouth cavity are easy to find by colour.
const QByteArray kMarkedModel =
    "QVM 1\nname Marked\neyes.color #0000ff\nskin.color #e0b090\nbrows.color #303030\nclothes.color #808080\n";

struct Frame {
    QImage image;
    int count(const std::function<bool(QColor)>& match, QRect area = {}) const
    {
        if (area.isNull())
            area = image.rect();
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += match(image.pixelColor(x, y));
        return n;
    }
    double meanX(const std::function<bool(QColor)>& match) const
    {
        double sum = 0;
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (match(image.pixelColor(x, y)))
                    sum += x, ++n;
        return n ? sum / n : -1;
    }
};

Frame grab(Vizmo4& player)
{
    return {player.grab().toImage().convertToFormat(QImage::Format_RGB32)};
}

bool isIris(QColor c) { return c.blue() > 150 && c.red() < 90 && c.green() < 110; }
// The dark inside of an open mouth.
bool isCavity(QColor c) { return c.red() > 50 && c.red() < 110 && c.green() < 40 && c.blue() < 45; }
int cavityPixels(const Frame& frame)
{
    // The mouth's part of a 256-pixel frame, clear of hair and eyes.
    return frame.count(isCavity, QRect(80, 125, 96, 50));
}

struct RenderFixture : PlayerFixture {
    RenderFixture()
    {
        player.resize(256, 256);
        player.put(id::ModelName, Str(write("marked.qvm", kMarkedModel)));
        player.put(id::BackColor, I4(0x0000FF00));  // pure green: no face part is green
    }
};

TEST(Rendering, BackColourFillsTheCorners)
{
    RenderFixture f;
    const QImage image = grab(f.player).image;
    for (const QPoint corner : {QPoint(0, 0), QPoint(255, 0), QPoint(0, 255), QPoint(255, 255)})
        EXPECT_EQ(image.pixelColor(corner), QColor(0, 255, 0)) << corner.x() << "," << corner.y();
    // A system colour reference resolves through the palette.
    ASSERT_TRUE(f.player.put(id::BackColor, I4(std::int32_t(0x8000000Fu))).ok());
    EXPECT_EQ(grab(f.player).image.pixelColor(0, 0), f.player.palette().color(QPalette::Button).toRgb());
}

TEST(Rendering, DrawsAtAnySizeAndScalesTheFace)
{
    RenderFixture f;
    const int irisSmall = grab(f.player).count(isIris);
    f.player.resize(512, 512);
    const Frame large = grab(f.player);
    EXPECT_EQ(large.image.width(), 512);
    EXPECT_EQ(large.image.pixelColor(511, 511), QColor(0, 255, 0));
    const int irisLarge = large.count(isIris);
    ASSERT_GT(irisSmall, 10);
    EXPECT_NEAR(double(irisLarge) / irisSmall, 4.0, 1.0) << "twice the size, four times the area";
}

TEST(Rendering, MouthOpensWiderForAaThanForPP)
{
    RenderFixture f;
    ASSERT_TRUE(f.player.call(id::SpeechActive, {Bool(true)}).ok());
    f.nowMs += 500;  // past the switch to the speech mouth
    f.player.call(id::SpeechViseme, {I2(viseme::PP), I2(255), I4(0)});
    const int closed = cavityPixels(grab(f.player));
    f.player.call(id::SpeechViseme, {I2(viseme::aa), I2(255), I4(0)});
    const int open = cavityPixels(grab(f.player));
    EXPECT_LT(closed, 5);
    EXPECT_GT(open, 60);
    // Half weight opens about half as far.
    f.player.call(id::SpeechViseme, {I2(viseme::aa), I2(128), I4(0)});
    const int half = cavityPixels(grab(f.player));
    EXPECT_GT(half, closed);
    EXPECT_LT(half, open);
}

TEST(Rendering, TheJawDropsWithTheOpeningAndShowsTheLowerTeethOnEverySampleModel)
{
    for (const char* model : {"anna", "bruno", "chen", "dora"}) {
        SCOPED_TRACE(model);
        RenderFixture f;
        ASSERT_TRUE(f.player.put(id::ModelName, Str(QStringLiteral(VIZMO_CONTENT_DIR "/qvm/%1.qvm").arg(model))).ok());
        f.player.call(id::SpeechActive, {Bool(true)});
        f.nowMs += 500;
        f.player.call(id::SpeechViseme, {I2(viseme::PP), I2(255), I4(0)});
        const QImage closed = grab(f.player).image;
        f.player.call(id::SpeechViseme, {I2(viseme::aa), I2(255), I4(0)});
        const QImage open = grab(f.player).image;
        // Below the mouth: the chin, and a beard if there is one, have moved down.
        int chinChanged = 0;
        for (int y = 170; y < 200; ++y)
            for (int x = 90; x < 166; ++x)
                chinChanged += closed.pixel(x, y) != open.pixel(x, y);
        EXPECT_GT(chinChanged, 40);
        const auto isLowerTooth = [](QColor c) { return c.red() > 220 && c.green() > 215 && c.blue() > 200; };
        EXPECT_GT(Frame{open}.count(isLowerTooth, QRect(80, 125, 96, 60)),
                  Frame{closed}.count(isLowerTooth, QRect(80, 125, 96, 60)) + 10);
    }
}

TEST(Rendering, SpeechMouthEasesOverTheBlendTime)
{
    RenderFixture f;
    f.player.call(id::SpeechActive, {Bool(true)});
    f.nowMs += 500;
    f.player.call(id::SpeechViseme, {I2(viseme::Silence), I2(0), I4(0)});
    f.player.call(id::SpeechViseme, {I2(viseme::aa), I2(255), I4(200)});
    const int start = cavityPixels(grab(f.player));
    f.nowMs += 100;
    const int middle = cavityPixels(grab(f.player));
    f.nowMs += 150;
    const int end = cavityPixels(grab(f.player));
    EXPECT_LT(start, middle);
    EXPECT_LT(middle, end);
}

TEST(Rendering, HeadTurnMovesTheEyesAcrossTheFace)
{
    RenderFixture f;
    const double centre = grab(f.player).meanX(isIris);
    ASSERT_GT(centre, 0);
    f.player.call(id::SetHead, {I2(200), I2(0), I2(0)});
    const double right = grab(f.player).meanX(isIris);
    f.player.call(id::SetHead, {I2(-200), I2(0), I2(0)});
    const double left = grab(f.player).meanX(isIris);
    EXPECT_GT(right - centre, 10.0);
    EXPECT_GT(centre - left, 10.0);
}

TEST(Rendering, GazeMovesThePupilsButNotTheHead)
{
    RenderFixture f;
    const Frame ahead = grab(f.player);
    f.player.call(id::SetEye, {I2(120), I2(0), I2(120), I2(0)});
    const Frame aside = grab(f.player);
    EXPECT_GT(aside.meanX(isIris) - ahead.meanX(isIris), 2.0);
    // The skin outline stays where it was: count skin-coloured pixels per half.
    auto skinLeftHalf = [](const Frame& fr) {
        int n = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 128; ++x)
                n += fr.image.pixelColor(x, y) != QColor(0, 255, 0);
        return n;
    };
    EXPECT_NEAR(skinLeftHalf(aside), skinLeftHalf(ahead), 40);
}

TEST(Rendering, OpenEyeIsRingedByADarkRimRoundItsWhite)
{
    RenderFixture f;
    f.player.resize(512, 512);  // a rim a few pixels thick
    const Frame frame = grab(f.player);
    // The left eye's iris centre.
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 256; ++x)
            if (isIris(frame.image.pixelColor(x, y)))
                sx += x, sy += y, ++n;
    ASSERT_GT(n, 80);
    const QPoint iris(int(sx / n), int(sy / n));
    const auto isDark = [](QColor c) { return c.red() < 90 && c.green() < 70 && c.blue() < 70; };
    const auto isWhite = [](QColor c) { return c.red() > 220 && c.green() > 220 && c.blue() > 210; };
    const auto isSkin = [](QColor c) { return c.red() > 180 && c.green() > 130 && c.green() < 210 && c.blue() < 170; };
    const QRect eye(iris.x() - 44, iris.y() - 28, 89, 57);
    EXPECT_GT(frame.count(isWhite, eye), 100);
    EXPECT_GT(frame.count(isDark, eye), 160);
    // Out from the iris down, left and right, the rim comes before the skin
    // (upwards the lid, skin itself, lies over the top of the white).
    for (const QPoint step : {QPoint(0, 1), QPoint(-1, 0), QPoint(1, 0)}) {
        // The pupil is dark too: the rim counts once the scan has left it.
        bool outOfPupil = false, rim = false, skin = false;
        for (QPoint at = iris; eye.contains(at) && !skin; at += step) {
            const QColor c = frame.image.pixelColor(at);
            outOfPupil = outOfPupil || !isDark(c);
            rim = rim || (outOfPupil && isDark(c));
            skin = isSkin(c) && !isWhite(c);
        }
        EXPECT_TRUE(rim) << "no rim going " << step.x() << ", " << step.y();
        EXPECT_TRUE(skin) << "no skin going " << step.x() << ", " << step.y();
    }
}

TEST(Rendering, BlinkClosesTheLids)
{
    RenderFixture f;
    const int open = grab(f.player).count(isIris);
    ASSERT_TRUE(f.player.put(id::AutoPlay, I2(0)).ok());
    ASSERT_TRUE(f.player.put(id::ScriptName, Str(f.write("blink.qvs", "QVS 1\nlength 2000\nblink 500\n"))).ok());
    f.player.call(id::Play, {I4(0)});
    f.nowMs += 625;  // in the middle of the closed phase
    const int closed = grab(f.player).count(isIris);
    f.nowMs += 400;
    const int reopened = grab(f.player).count(isIris);
    EXPECT_GT(open, 40);
    EXPECT_LT(closed, open / 10);
    EXPECT_NEAR(reopened, open, open / 10);
}

TEST(Rendering, ShouldersRiseWithSetShoulder)
{
    RenderFixture f;
    auto topOfLeftShoulder = [](const Frame& fr) {
        for (int y = 120; y < 256; ++y)
            if (fr.image.pixelColor(40, y) != QColor(0, 255, 0))
                return y;
        return 256;
    };
    const int rest = topOfLeftShoulder(grab(f.player));
    f.player.call(id::SetShoulder, {I2(255), I2(0)});
    const int raised = topOfLeftShoulder(grab(f.player));
    EXPECT_LT(raised, rest - 5);
}

TEST(Rendering, TransparentModeLeavesTheCornersUnpainted)
{
    RenderFixture f;
    f.player.put(id::BackMode, I2(-1));
    QImage canvas(256, 256, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    f.player.render(&canvas, QPoint(), QRegion(), QWidget::RenderFlags());
    EXPECT_EQ(canvas.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(canvas.pixelColor(128, 100).alpha(), 255);
}

TEST(Rendering, BorderStyleDrawsAFrame)
{
    RenderFixture f;
    f.player.put(id::BorderStyle, I2(1));
    const QImage image = grab(f.player).image;
    EXPECT_NE(image.pixelColor(0, 128), QColor(0, 255, 0));
    EXPECT_NE(image.pixelColor(255, 128), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(2, 2), QColor(0, 255, 0));
}

// Twelve seconds of each LifeMode, a frame every 100 ms: still; blinking
// only; breathing too (the shoulders move, the gaze does not); and the gaze
// and head moving on their own.
TEST(Rendering, EachLifeModeAddsItsMotionToThePicture)
{
    struct Seen {
        bool anyChange = false, blinked = false, shouldersMoved = false;
        double irisTravel = 0;
    };
    auto watch = [](int mode) {
        RenderFixture f;
        f.player.setLifeSeed(42);
        f.player.put(id::LifeMode, I2(std::int16_t(mode)));
        const Frame first = grab(f.player);
        const int openIris = first.count(isIris);
        const double irisX = first.meanX(isIris);
        const QImage shoulders = first.image.copy(0, 216, 256, 40);
        Seen seen;
        for (int step = 0; step < 120; ++step) {
            f.nowMs += 100;
            const Frame frame = grab(f.player);
            // A part kept as a picture composes within a level of the part
            // painted straight onto the frame.
            seen.anyChange |= testing::largestChannelDifference(frame.image, first.image) > 2;
            seen.blinked |= frame.count(isIris) < openIris / 2;
            seen.shouldersMoved |= frame.image.copy(0, 216, 256, 40) != shoulders;
            if (frame.count(isIris) > openIris * 3 / 4)
                seen.irisTravel = std::max(seen.irisTravel, std::abs(frame.meanX(isIris) - irisX));
        }
        return seen;
    };
    EXPECT_FALSE(watch(0).anyChange);
    const Seen blinking = watch(1), breathing = watch(2), living = watch(3);
    EXPECT_TRUE(blinking.blinked);
    EXPECT_FALSE(blinking.shouldersMoved);
    EXPECT_LT(blinking.irisTravel, 0.5);
    EXPECT_TRUE(breathing.blinked);
    EXPECT_TRUE(breathing.shouldersMoved);
    EXPECT_LT(breathing.irisTravel, 0.5);
    EXPECT_GT(living.irisTravel, 2.0);
}

}  // namespace
}  // namespace vizmo::player
