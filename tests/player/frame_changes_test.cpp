// The player keeps what does not change between frames (the backdrop pixmap,
// for one). These tests make sure that a change a viewer must see still shows
// at once, so caching can never freeze the picture.
#include "player_test_support.h"

#include "components/player/drawing/backdrop.h"
#include "components/player/drawing/face_part_keys.h"
#include "components/player/drawing/face_renderer.h"
#include "components/player/drawing/frame_gate.h"
#include "components/player/drawing/layer_cache.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace vizmo::player {
namespace {

using dispatch::I2;
using dispatch::I4;
using dispatch::Str;
using testing::largestChannelDifference;
using testing::PlayerFixture;

QImage grabImage(Vizmo4& player)
{
    return player.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

struct FrameFixture : PlayerFixture {
    FrameFixture() { player.resize(256, 256); }

    QString solidImage(const QString& name, QColor colour)
    {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = dir.filePath(name);
        image.save(path);
        return path;
    }
    void setImage(const QString& path)
    {
        ASSERT_TRUE(player.put(id::BackImage, Str(path)).ok());
    }
};

TEST(FrameChanges, StretchedImageFollowsImageResizeModeAndColour)
{
    FrameFixture f;
    f.setImage(f.solidImage("red.png", Qt::red));
    ASSERT_TRUE(f.player.put(id::BackMode, I2(1)).ok());
    EXPECT_EQ(grabImage(f.player).pixelColor(2, 2), QColor(Qt::red));

    f.setImage(f.solidImage("blue.png", Qt::blue));
    EXPECT_EQ(grabImage(f.player).pixelColor(2, 2), QColor(Qt::blue)) << "a new image replaces the kept one";

    f.player.resize(300, 200);
    const QImage resized = grabImage(f.player);
    ASSERT_EQ(resized.size(), QSize(300, 200));
    EXPECT_EQ(resized.pixelColor(298, 198), QColor(Qt::blue)) << "the kept backdrop covers the new size";

    ASSERT_TRUE(f.player.put(id::BackMode, I2(0)).ok());
    ASSERT_TRUE(f.player.put(id::BackColor, I4(0x0000FF00)).ok());
    EXPECT_EQ(grabImage(f.player).pixelColor(2, 2), QColor(0, 255, 0));
    ASSERT_TRUE(f.player.put(id::BackColor, I4(0x00FF0000)).ok());
    EXPECT_EQ(grabImage(f.player).pixelColor(2, 2), QColor(0, 0, 255));

    ASSERT_TRUE(f.player.put(id::BackImage, Str(QString())).ok());
    ASSERT_TRUE(f.player.put(id::BackMode, I2(1)).ok());
    EXPECT_EQ(grabImage(f.player).pixelColor(2, 2), QColor(0, 0, 255)) << "without an image mode 1 shows the colour";
}

TEST(FrameChanges, TiledBackdropShowsTheColourUnderTransparentParts)
{
    FrameFixture f;
    QImage half(8, 8, QImage::Format_ARGB32);
    half.fill(Qt::transparent);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 4; ++x)
            half.setPixelColor(x, y, Qt::red);
    const QString path = f.dir.filePath("half.png");
    ASSERT_TRUE(half.save(path));
    f.setImage(path);
    ASSERT_TRUE(f.player.put(id::BackMode, I2(2)).ok());
    ASSERT_TRUE(f.player.put(id::BackColor, I4(0x0000FF00)).ok());
    QImage frame = grabImage(f.player);
    EXPECT_EQ(frame.pixelColor(1, 1), QColor(Qt::red));
    EXPECT_EQ(frame.pixelColor(6, 1), QColor(0, 255, 0));
    ASSERT_TRUE(f.player.put(id::BackColor, I4(0x000000FF)).ok());
    frame = grabImage(f.player);
    EXPECT_EQ(frame.pixelColor(6, 1), QColor(255, 0, 0)) << "a colour change shows through the kept tiles";
    EXPECT_EQ(frame.pixelColor(9, 1), QColor(Qt::red)) << "the next tile starts at 8 pixels";
}

// An image backdrop, stretched or tiled, kept as a picture or not, lies
// where it lies at any pixel ratio: a tile is its own size in logical
// pixels, and a stretched image spans the area.
TEST(FrameChanges, ImageBackdropsKeepTheirSizeAtEveryPixelRatio)
{
    QImage halves(8, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            halves.setPixelColor(x, y, x < 4 ? Qt::red : Qt::blue);
    for (const double ratio : {1.0, 2.0}) {
        BackdropCache cache;
        for (const BackMode mode : {BackMode::Stretched, BackMode::Tiled}) {
            for (int frame = 0; frame < 2; ++frame) {  // painted, then copied from the kept picture
                QImage kept(QSize(40, 40) * ratio, QImage::Format_ARGB32_Premultiplied), direct = kept;
                kept.setDevicePixelRatio(ratio);
                direct.setDevicePixelRatio(ratio);
                kept.fill(Qt::black);
                direct.fill(Qt::black);
                QPainter painter(&kept);
                cache.paint(painter, QRectF(0, 0, 40, 40), mode, Qt::green, halves);
                painter.end();
                QPainter straight(&direct);
                paintBackdrop(straight, QRectF(0, 0, 40, 40), mode, Qt::green, halves);
                straight.end();
                const auto at = [&](const QImage& image, int x, int y) {
                    return image.pixelColor(int(x * ratio), int(y * ratio));
                };
                const bool stretched = mode == BackMode::Stretched;
                for (const QImage& image : {kept, direct}) {
                    EXPECT_EQ(at(image, stretched ? 10 : 1, 20), QColor(Qt::red)) << ratio << " " << int(mode);
                    EXPECT_EQ(at(image, stretched ? 30 : 6, 20), QColor(Qt::blue)) << ratio << " " << int(mode);
                    EXPECT_EQ(at(image, stretched ? 38 : 9, 39), stretched ? QColor(Qt::blue) : QColor(Qt::red))
                        << ratio << " " << int(mode);
                }
            }
        }
    }
    // A photo as fine as the screen's pixels stays as fine at ratio 2: its
    // checks are device pixels, kept or not.
    QImage checks(80, 80, QImage::Format_ARGB32);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x)
            checks.setPixelColor(x, y, (x + y) % 2 ? Qt::white : Qt::black);
    BackdropCache cache;
    for (int frame = 0; frame < 2; ++frame) {
        QImage screen(80, 80, QImage::Format_ARGB32_Premultiplied);
        screen.setDevicePixelRatio(2);
        QPainter painter(&screen);
        cache.paint(painter, QRectF(0, 0, 40, 40), BackMode::Stretched, Qt::green, checks);
        painter.end();
        EXPECT_GT(qGray(screen.pixel(41, 40)) - qGray(screen.pixel(40, 40)), 200) << "frame " << frame;
    }
}

TEST(FrameChanges, ModelSwapAndHeadPoseRedrawTheFace)
{
    FrameFixture f;
    const QImage builtIn = grabImage(f.player);
    ASSERT_TRUE(f.player.put(id::ModelName, Str(QStringLiteral(VIZMO_CONTENT_DIR "/qvm/bruno.qvm"))).ok());
    const QImage bruno = grabImage(f.player);
    EXPECT_NE(builtIn, bruno);
    ASSERT_TRUE(f.player.call(id::SetHead, {I2(0), I2(0), I2(200)}).ok());
    EXPECT_NE(grabImage(f.player), bruno) << "a tilted head is a different picture";
    ASSERT_TRUE(f.player.call(id::SetHead, {I2(0), I2(0), I2(0)}).ok());
    EXPECT_LE(largestChannelDifference(grabImage(f.player), bruno), 2) << "back to the same pose, the same picture";
}

// The frame is put together from kept layers (the skin under the features, the
// hair over them): whatever the pose did since, it must match the face drawn
// whole, with no stale layer and nothing cut off at a layer's edge.
TEST(FrameChanges, KeptLayersDrawTheFaceAsDrawingItWholeDoes)
{
    FrameFixture f;
    ASSERT_TRUE(f.player.put(id::BackColor, I4(0x00306090)).ok());
    const auto whole = [&](const FaceModel& model) {
        QImage image(f.player.size(), QImage::Format_RGB32);
        image.fill(QColor(0x90, 0x60, 0x30));
        QPainter painter(&image);
        drawFace(painter, f.player.rect(), model, f.player.currentPose());
        return image;
    };
    struct Step {
        int head[3], eye[2], viseme;
    };
    const Step steps[] = {{{0, 0, 0}, {0, 0}, 0},          {{0, 0, 0}, {200, -150}, 0},  {{0, 0, 0}, {200, -150}, 10},
                          {{250, -200, 0}, {0, 0}, 10},    {{-250, 200, 255}, {-200, 100}, 4},
                          {{0, 0, -255}, {0, 0}, 0},       {{0, 0, 0}, {0, 0}, 0}};
    for (const char* name : {"anna", "bruno", "chen", "dora"}) {
        const QString path = QStringLiteral(VIZMO_CONTENT_DIR "/qvm/%1.qvm").arg(QLatin1String(name));
        ASSERT_TRUE(f.player.put(id::ModelName, Str(path)).ok());
        const auto model = loadFaceModel(path);
        ASSERT_TRUE(model.ok());
        for (const Step& step : steps) {
            f.player.call(id::SetHead, {I2(std::int16_t(step.head[0])), I2(std::int16_t(step.head[1])),
                                        I2(std::int16_t(step.head[2]))});
            const auto x = I2(std::int16_t(step.eye[0])), y = I2(std::int16_t(step.eye[1]));
            f.player.call(id::SetEye, {x, y, x, y});
            f.player.call(id::SpeechActive, {dispatch::Bool(step.viseme != 0)});
            f.player.call(id::SpeechViseme, {I2(std::int16_t(step.viseme)), I2(255), I4(0)});
            f.nowMs += 1000;  // past any easing
            EXPECT_LE(largestChannelDifference(grabImage(f.player), whole(model.value())), 2)
                << name << " at head " << step.head[0] << "," << step.head[1] << "," << step.head[2] << " viseme "
                << step.viseme;
        }
    }
}

// A frame is skipped only when nothing in it moved a quarter of a device
// pixel since the last one drawn, whichever way it moved.
TEST(FrameGate, DrawsAMoveOfAQuarterPixelEitherWayAndNothingSmaller)
{
    FrameGate gate;
    const FrameMeasures drawn{10.0, 5.0, 0.0};
    EXPECT_TRUE(gate.differs(drawn)) << "nothing drawn yet";
    gate.drawn(drawn);
    EXPECT_FALSE(gate.differs(drawn));
    EXPECT_FALSE(gate.differs({10.2, 4.8, 0.0}));
    EXPECT_TRUE(gate.differs({10.0, 5.3, 0.0}));
    EXPECT_TRUE(gate.differs({10.0, 4.7, 0.0})) << "a measure that falls";
    EXPECT_TRUE(gate.differs({10.0, 5.0})) << "a measure fewer";
    gate.invalidate();
    EXPECT_TRUE(gate.differs(drawn));

    // On a face 256 pixels high: the mouth closing after speech, the lids
    // opening after a blink, the head turning back; each part of the mouth.
    FacePose speaking;
    speaking.mouth = visemeShape(viseme::aa);
    speaking.blink = 1;
    speaking.headX = 0.5;
    gate.drawn(frameMeasures(speaking, 256));
    for (auto part : {&FacePose::blink, &FacePose::headX}) {
        FacePose next = speaking;
        next.*part -= 0.05;
        EXPECT_TRUE(gate.differs(frameMeasures(next, 256)));
        next.*part = speaking.*part - 0.001;
        EXPECT_FALSE(gate.differs(frameMeasures(next, 256))) << "too small to show";
    }
    for (auto part : {&MouthShape::open, &MouthShape::width, &MouthShape::round, &MouthShape::teeth, &MouthShape::tongue,
                      &MouthShape::press, &MouthShape::lipBite}) {
        FacePose next = speaking;
        next.mouth.*part -= 0.05;
        EXPECT_TRUE(gate.differs(frameMeasures(next, 256)));
    }
}

// A syllable's jaw moves the chin, so the skin under the features is drawn
// again; the hair on the skull and the glasses are not, as nothing in them
// moved. A turn of the head redraws both.
TEST(LayerCache, TheJawRedrawsTheSkinButNotTheHairOnTheSkull)
{
    const auto model = loadFaceModel(QStringLiteral(VIZMO_CONTENT_DIR "/qvm/anna.qvm"));
    ASSERT_TRUE(model.ok());
    const QRectF area(0, 0, 256, 256);
    FacePose still;
    FacePose speaking = still;
    speaking.mouth = visemeShape(viseme::aa);
    const auto part = [](const FacePartKeys& keys, FacePart p) { return keys[std::size_t(p)]; };
    const FacePartKeys a = facePartKeys(area, model.value(), still, 1.0), b = facePartKeys(area, model.value(), speaking, 1.0);
    EXPECT_NE(part(a, FacePart::HeadBase), part(b, FacePart::HeadBase)) << "the chin follows the jaw";
    EXPECT_EQ(part(a, FacePart::HeadTop), part(b, FacePart::HeadTop));
    EXPECT_EQ(part(a, FacePart::BackHair), part(b, FacePart::BackHair));
    FacePose turned = speaking;
    turned.headX = 0.3;
    EXPECT_NE(part(facePartKeys(area, model.value(), turned, 1.0), FacePart::HeadTop), part(b, FacePart::HeadTop));
}

// A kept layer is the drawing it stands for. A layer whose key, rectangle,
// ground or pixel ratio changed since the last frame is painted straight
// onto the frame; once it holds a frame its picture is made, and copied
// while it keeps holding; all in the target's own coordinates, within its
// rectangle.
TEST(LayerCache, RedrawsWhenWhatItDependsOnChangesAndOnlyThen)
{
    LayerCache cache;
    QImage target(64, 64, QImage::Format_ARGB32_Premultiplied);
    QColor ink = Qt::red;
    int draws = 0;
    auto paint = [&](const QRect& rect, const QColor& ground, const LayerCache::Key& key) {
        target.fill(Qt::black);
        QPainter painter(&target);
        cache.paint(painter, rect, ground, key, [&](QPainter& layer) {
            ++draws;
            layer.fillRect(QRect(20, 20, 4, 4), ink);
            layer.fillRect(QRect(0, 60, 64, 4), ink);  // outside every rectangle below
        });
    };
    paint({16, 16, 32, 32}, Qt::white, {1, 2});
    EXPECT_EQ(cache.straightDraws(), 1) << "new: painted straight";
    EXPECT_EQ(cache.refills(), 0);
    EXPECT_EQ(target.pixelColor(21, 21), QColor(Qt::red));
    EXPECT_EQ(target.pixelColor(17, 17), QColor(Qt::white));
    EXPECT_EQ(target.pixelColor(10, 10), QColor(Qt::black)) << "nothing outside its rectangle";
    EXPECT_EQ(target.pixelColor(30, 61), QColor(Qt::black)) << "nothing outside its rectangle";

    paint({16, 16, 32, 32}, Qt::white, {1, 2});
    EXPECT_EQ(cache.refills(), 1) << "held a frame: its picture is made";
    EXPECT_EQ(cache.straightDraws(), 1);
    EXPECT_EQ(target.pixelColor(21, 21), QColor(Qt::red));
    EXPECT_EQ(target.pixelColor(17, 17), QColor(Qt::white));
    EXPECT_EQ(target.pixelColor(30, 61), QColor(Qt::black));

    ink = Qt::blue;
    draws = 0;
    paint({16, 16, 32, 32}, Qt::white, {1, 2});
    EXPECT_EQ(draws, 0) << "copied";
    EXPECT_EQ(target.pixelColor(21, 21), QColor(Qt::red)) << "kept";
    paint({16, 16, 32, 32}, Qt::white, {1, 3});
    EXPECT_EQ(cache.straightDraws(), 2);
    EXPECT_EQ(target.pixelColor(21, 21), QColor(Qt::blue));
    draws = 0;
    paint({16, 16, 32, 32}, Qt::white, {1, 2});
    EXPECT_EQ(draws, 0) << "back to the kept key: equal keys draw the same, so its picture serves";
    EXPECT_EQ(target.pixelColor(21, 21), QColor(Qt::red));

    ink = Qt::green;
    paint({8, 8, 32, 32}, Qt::white, {1, 2});
    EXPECT_EQ(cache.straightDraws(), 3) << "a new rectangle";
    EXPECT_EQ(target.pixelColor(21, 21), QColor(Qt::green));
    EXPECT_EQ(target.pixelColor(9, 9), QColor(Qt::white));
    EXPECT_EQ(target.pixelColor(45, 45), QColor(Qt::black));
    paint({8, 8, 32, 32}, Qt::transparent, {1, 2});
    EXPECT_EQ(cache.straightDraws(), 4) << "a new ground";
    EXPECT_EQ(target.pixelColor(9, 9), QColor(Qt::black)) << "the target shows through a transparent ground";
    paint({8, 8, 32, 32}, Qt::transparent, {1, 2});
    EXPECT_EQ(cache.refills(), 2);
    EXPECT_EQ(target.pixelColor(9, 9), QColor(Qt::black));
    EXPECT_EQ(target.pixelColor(21, 21), QColor(Qt::green));

    target.setDevicePixelRatio(2);
    paint({8, 8, 32, 32}, Qt::transparent, {1, 2});
    EXPECT_EQ(cache.straightDraws(), 5) << "a new pixel ratio";
    paint({8, 8, 32, 32}, Qt::transparent, {1, 2});
    EXPECT_EQ(cache.refills(), 3) << "its picture at the target's pixel ratio";
    EXPECT_EQ(target.pixelColor(41, 41), QColor(Qt::green));
    EXPECT_EQ(target.pixelColor(40, 40), QColor(Qt::green));
    EXPECT_EQ(target.pixelColor(48, 48), QColor(Qt::black));
    paint({8, 8, 32, 32}, Qt::transparent, {1, 2});
    EXPECT_EQ(cache.refills(), 3);
    draws = 0;
    paint({8, 8, 0, 16}, Qt::transparent, {1, 4});
    EXPECT_EQ(draws, 0) << "an empty rectangle draws nothing";
}

// A picture covers only what the layer says it needs of its rectangle.
TEST(LayerCache, APictureCoversWhatTheLayerNeeds)
{
    LayerCache cache;
    QImage target(64, 64, QImage::Format_ARGB32_Premultiplied);
    int asked = 0;
    auto paint = [&] {
        target.fill(Qt::black);
        QPainter painter(&target);
        cache.paint(
            painter, {0, 0, 64, 64}, Qt::transparent, {7}, [](QPainter& layer) { layer.fillRect(QRect(10, 10, 30, 30), Qt::red); },
            [&] {
                ++asked;
                return QRect(5, 5, 40, 40);
            });
    };
    paint();
    EXPECT_EQ(asked, 0) << "asked only when a picture is made";
    for (int frame = 0; frame < 3; ++frame)
        paint();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(target.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(target.pixelColor(39, 39), QColor(Qt::red));
    EXPECT_EQ(target.pixelColor(40, 40), QColor(Qt::black));
    EXPECT_EQ(target.pixelColor(9, 9), QColor(Qt::black));
}

}  // namespace
}  // namespace vizmo::player
