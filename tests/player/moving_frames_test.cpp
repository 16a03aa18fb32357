// A face that speaks is painted frame by frame from what the last frames
// kept (pictures of the parts that held still). Whatever it kept, each frame
// must be the one a renderer that keeps nothing paints for the same pose:
// the same pixels, within anti-aliasing, over a whole spoken
// passage in which the mouth changes every frame, the eyes jump, the head
// nods and turns and the lids blink.
#include "bench/player/speaking_passage.h"
#include "components/player/content/face_model.h"
#include "components/player/content/artwork_model.h"
#include "components/player/drawing/artwork_renderer.h"
#include "components/player/drawing/figure_renderer.h"
#include "components/player/drawing/one_thread_painting.h"
#include "components/player/drawing/procedural_renderer.h"
#include "components/player/drawing/sprite_coverage.h"
#include "player_test_support.h"

#include <QImage>
#include <QPainter>
#include <QThread>
#include <QThreadPool>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace vizmo::player {
namespace {

using testing::blurredDifference;
using testing::largestChannelDifference;

constexpr double kFps = 30;
// A part is kept while what it is drawn from moves less than a quarter of a
// device pixel: a sharp edge moved a quarter of a pixel changes the mean of
// the 3 x 3 pixels about it by up to a twelfth of its contrast, about 20
// levels; a mouth or a lid that changed shape, or a part a frame behind,
// differs by far more.
constexpr int kAntiAliasing = 20;

// The poses of the spoken passage, a frame each.
std::vector<FacePose> passagePoses(const QString& model)
{
    Vizmo4 player;
    EXPECT_TRUE(player.put(id::ModelName, dispatch::Str(model)).ok());
    bench::SpeakingPassage passage(player);
    std::vector<FacePose> poses;
    for (int frame = 0; frame < int(bench::SpeakingPassage::kSeconds * kFps); ++frame) {
        passage.at(frame * 1000.0 / kFps);
        poses.push_back(player.currentPose());
    }
    return poses;
}

FigureBackdrop backdrop()
{
    const QColor ground(0x90, 0x60, 0x30);
    return {{1}, ground, [ground](QPainter& painter) { painter.fillRect(painter.window(), ground); }};
}

QImage paintWith(FigureRenderer& renderer, int side, double ratio, const FacePose& pose)
{
    QImage image(QSize(side, side) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    QPainter painter(&image);
    renderer.paint(painter, QRectF(0, 0, side, side), pose, backdrop());
    return image;
}

struct Passage {
    const char* model;
    int side;
    double ratio;
};

class MovingFrames : public ::testing::TestWithParam<Passage> {};

TEST_P(MovingFrames, EachFrameIsTheFigurePaintedAfreshForItsPose)
{
    const Passage& p = GetParam();
    const QString path = QStringLiteral(VIZMO_CONTENT_DIR "/qvm/%1.qvm").arg(QLatin1String(p.model));
    const auto model = loadFaceModel(path);
    ASSERT_TRUE(model.ok());
    const std::vector<FacePose> poses = passagePoses(path);
    ASSERT_FALSE(poses.empty());
    const auto kept = makeFigureRenderer(model.value());
    QImage previousAfresh;
    int framesUnlikeTheLast = 0;
    double blink = 0;
    for (std::size_t frame = 0; frame < poses.size(); ++frame) {
        const QImage fast = paintWith(*kept, p.side, p.ratio, poses[frame]);
        const QImage afresh = paintWith(*makeFigureRenderer(model.value()), p.side, p.ratio, poses[frame]);
        ASSERT_LE(blurredDifference(fast, afresh), kAntiAliasing) << p.model << " frame " << frame;
        // The check tells a frame from the one before: a part kept a frame
        // too long would fail it.
        framesUnlikeTheLast += !previousAfresh.isNull() && blurredDifference(fast, previousAfresh) > kAntiAliasing;
        previousAfresh = afresh;
        blink = std::max(blink, poses[frame].blink);
    }
    EXPECT_GE(framesUnlikeTheLast, int(poses.size()) / 3)
        << "in many frames of the passage the figure moves further than the check lets pass";
    EXPECT_GT(blink, 0.9) << "the lids shut once in the passage";
}

INSTANTIATE_TEST_SUITE_P(Passages, MovingFrames,
                         ::testing::Values(Passage{"anna", 160, 1}, Passage{"anna", 333, 2}, Passage{"anna", 333, 1},
                                           Passage{"anna", 160, 2}, Passage{"mira", 160, 1}, Passage{"mira", 333, 2},
                                           Passage{"mira", 333, 1}, Passage{"mira", 160, 2}),
                         [](const ::testing::TestParamInfo<Passage>& info) {
                             return std::string(info.param.model) + "_" + std::to_string(info.param.side) + "px_ratio" +
                                    std::to_string(int(info.param.ratio));
                         });

// A part that holds still is copied from its picture, not painted again;
// one that moves is painted straight onto the frame, and its picture is
// made only once it holds for a frame.
TEST(MovingFrames, OnlyWhatMovedIsPaintedAgain)
{
    const auto model = loadFaceModel(QStringLiteral(VIZMO_CONTENT_DIR "/qvm/anna.qvm"));
    ASSERT_TRUE(model.ok());
    ProceduralRenderer renderer(model.value());
    FacePose pose;
    for (int frame = 0; frame < 3; ++frame)
        paintWith(renderer, 256, 1, pose);
    const auto straight = [&](FacePart part) { return renderer.layer(part).straightDraws(); };
    const auto pictures = [&](FacePart part) { return renderer.layer(part).refills(); };
    for (FacePart part : {FacePart::Mouth, FacePart::LeftEye, FacePart::HeadTop}) {
        EXPECT_EQ(straight(part), 1) << int(part) << ": the first frame";
        EXPECT_EQ(pictures(part), 1) << int(part) << ": the second";
    }

    pose.mouth = visemeShape(viseme::aa);
    paintWith(renderer, 256, 1, pose);
    EXPECT_EQ(straight(FacePart::Mouth), 2) << "a mouth that moved is painted straight";
    EXPECT_EQ(pictures(FacePart::Mouth), 1);
    EXPECT_EQ(straight(FacePart::LeftEye), 1) << "the eyes, which held, are copied";
    EXPECT_EQ(pictures(FacePart::LeftEye), 1);
    paintWith(renderer, 256, 1, pose);
    EXPECT_EQ(pictures(FacePart::Mouth), 2) << "held a frame, it is kept";
    paintWith(renderer, 256, 1, pose);
    EXPECT_EQ(pictures(FacePart::Mouth), 2);
    EXPECT_EQ(straight(FacePart::Mouth), 2);
    ASSERT_GT(pose.mouth.open, 0.45);
    pose.mouth.open -= 0.1;  // the jaw alone, with every piece of the mouth still showing
    paintWith(renderer, 256, 1, pose);
    EXPECT_EQ(straight(FacePart::Mouth), 3) << "a mouth that only closed a little";

    pose.eyes[0].x = 0.5;
    paintWith(renderer, 256, 1, pose);
    EXPECT_EQ(straight(FacePart::LeftEye), 2) << "the left eye looked aside";
    EXPECT_EQ(straight(FacePart::RightEye), 1) << "the right one did not";
    EXPECT_EQ(straight(FacePart::Mouth), 3);

    std::array<int, kFacePartCount> before{};
    for (int part = 0; part < kFacePartCount; ++part)
        before[std::size_t(part)] = straight(FacePart(part));
    pose.headY = 0.3;
    paintWith(renderer, 256, 1, pose);
    for (FacePart part : {FacePart::HeadBase, FacePart::LeftEye, FacePart::RightEye, FacePart::BrowsAndNose,
                          FacePart::Mouth, FacePart::HeadTop})
        EXPECT_EQ(straight(part), before[std::size_t(part)] + 1) << int(part) << ": everything on a nodding head moves";
    EXPECT_EQ(straight(FacePart::Torso), 1) << "the torso does not follow the head";
}


// Whichever of the mouth's measures changes, alone, while the mouth was
// kept as a picture, the frame shows the new mouth: none of them is left
// out of what the picture is kept by.
TEST(MovingFrames, EachMeasureOfTheMouthAloneRedrawsIt)
{
    const auto model = loadFaceModel(QStringLiteral(VIZMO_CONTENT_DIR "/qvm/anna.qvm"));
    ASSERT_TRUE(model.ok());
    FacePose held;
    held.mouth = visemeShape(viseme::oh);
    held.mouth.tongue = 0.3, held.mouth.teeth = 0.5;
    int shown = 0;
    const std::array<double MouthShape::*, 7> measures = {&MouthShape::open,  &MouthShape::width, &MouthShape::round,
                                                          &MouthShape::teeth, &MouthShape::tongue, &MouthShape::press,
                                                          &MouthShape::lipBite};
    for (std::size_t m = 0; m < measures.size(); ++m) {
        const auto kept = makeFigureRenderer(model.value());
        for (int frame = 0; frame < 3; ++frame)
            paintWith(*kept, 333, 1, held);  // the mouth held still: kept as a picture
        FacePose moved = held;
        double& value = moved.mouth.*measures[m];
        value = value > 0.5 ? value - 0.5 : value + 0.5;
        const QImage afresh = paintWith(*makeFigureRenderer(model.value()), 333, 1, moved);
        EXPECT_LE(blurredDifference(paintWith(*kept, 333, 1, moved), afresh), kAntiAliasing) << "measure " << m;
        shown += blurredDifference(afresh, paintWith(*makeFigureRenderer(model.value()), 333, 1, held)) > kAntiAliasing;
    }
    // Pressing and biting show only on a closed mouth.
    EXPECT_GE(shown, 5) << "the measures change the picture, or the test shows nothing";
}

// After a change of size or of pixel ratio, a renderer that kept its
// pictures (the parts, the shading's gradients, a character's layers) draws
// the frame as a new one does.
TEST(MovingFrames, AChangeOfSizeOrPixelRatioIsDrawnAsAFreshRendererDrawsIt)
{
    for (const char* name : {"anna", "mira"}) {
        const QString path = QStringLiteral(VIZMO_CONTENT_DIR "/qvm/%1.qvm").arg(QLatin1String(name));
        const auto model = loadFaceModel(path);
        ASSERT_TRUE(model.ok());
        FacePose pose;
        pose.mouth = visemeShape(viseme::aa);
        pose.headX = 0.3;
        const auto kept = makeFigureRenderer(model.value());
        for (const auto& [side, ratio] : {std::pair{333, 1.0}, std::pair{333, 2.0}, std::pair{520, 1.0}, std::pair{250, 2.0},
                                          std::pair{333, 1.0}}) {
            const QImage afresh = paintWith(*makeFigureRenderer(model.value()), side, ratio, pose);
            for (int frame = 0; frame < 3; ++frame) {
                ASSERT_LE(blurredDifference(paintWith(*kept, side, ratio, pose), afresh), kAntiAliasing)
                    << name << " at " << side << " px, ratio " << ratio << ", frame " << frame << " after the change";
            }
        }
    }
}

// A drawn character's large pictures are drawn only where they have paint
// and no later layer hides them. That must leave every frame as drawing each
// picture whole leaves it: over the spoken passage, and at the limits of
// turn, nod and tilt (where the pictures shrink and turn the most), for
// characters drawn in other programs as well. Qt interpolates a turned
// picture with weights in sixteenths where it works four pixels at a time
// and in 256ths at the ends of a row, so where a clip cuts a row a pixel may
// get the other kind: up to a sixteenth of the contrast across an edge.
// Paint left out where it shows, or a hidden part drawn over what hides it,
// differs by the whole contrast between the two.
constexpr int kResampling = 16;

TEST(DrawnWhereItShows, EachFrameIsTheCharacterWithEveryPictureDrawnWhole)
{
    const QString mira = QStringLiteral(VIZMO_CONTENT_DIR "/qvm/mira.qvm");
    // Every third frame of the passage, then the limits.
    std::vector<FacePose> poses;
    const std::vector<FacePose> passage = passagePoses(mira);
    for (std::size_t frame = 0; frame < passage.size(); frame += 3)
        poses.push_back(passage[frame]);
    for (double x : {-1.0, 1.0}) {
        for (double y : {-1.0, 1.0}) {
            FacePose far;
            far.headX = x, far.headY = y, far.headZ = x * y;
            far.mouth = visemeShape(viseme::aa);
            poses.push_back(far);
        }
    }
    const auto miraModel = loadFaceModel(mira);
    ASSERT_TRUE(miraModel.ok());
    std::vector<std::pair<QString, std::shared_ptr<const Artwork>>> characters = {{mira, miraModel.value().artwork}};
    // (The emoji face's eyes have no whites: its irises are drawn where they move.)
    for (const char* name : {"juno.svg", "lorelei.svg", "openmoji-person.svg", "twemoji-face.svg"}) {
        const QString path = QStringLiteral(VIZMO_PLAYER_TEST_DIR "/drawings/") + QLatin1String(name);
        const auto art = loadArtwork(path);
        ASSERT_TRUE(art.ok()) << name;
        characters.emplace_back(path, art.value());
    }
    for (const auto& [path, artwork] : characters) {
        ASSERT_TRUE(artwork);
        for (const auto& [side, ratio] : {std::pair{333, 1.0}, std::pair{160, 2.0}}) {
            ArtworkRenderer culled(artwork), whole(artwork);
            whole.setCulling(false);
            for (std::size_t frame = 0; frame < poses.size(); ++frame) {
                ASSERT_LE(largestChannelDifference(paintWith(culled, side, ratio, poses[frame]),
                                                   paintWith(whole, side, ratio, poses[frame])),
                          kResampling)
                    << path.toStdString() << " at " << side << " px, ratio " << ratio << ", pose " << frame;
            }
        }
    }
}

// An eye's parts move over each other and are cut to its white: a lid drawn
// shut larger than its white, and one with no white at all (shown only once
// mostly shut), hide nothing of the head under them while the eye is open.
TEST(DrawnWhereItShows, AnEyesLidHidesNothingWhereItIsNotShown)
{
    const auto artwork = readArtwork(R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 100 100">
      <g id="head"><rect x="10" y="5" width="80" height="90" fill="#00ff00"/></g>
      <g id="eye-left-white"><rect x="26" y="34" width="12" height="6" fill="#ffffff"/></g>
      <g id="eye-left-lid"><rect x="18" y="26" width="28" height="22" fill="#ff8000"/></g>
      <g id="eye-right-lid"><rect x="54" y="26" width="28" height="22" fill="#ff8000"/></g>
      <g id="mouth-rest"><rect x="40" y="70" width="20" height="4" fill="#ff0000"/></g>
    </svg>)",
                                     QStringLiteral("lids.svg"));
    ASSERT_TRUE(artwork.ok());
    for (double blink : {0.0, 0.3, 1.0}) {
        FacePose pose;
        pose.blink = blink;
        ArtworkRenderer culled(artwork.value()), whole(artwork.value());
        whole.setCulling(false);
        EXPECT_LE(largestChannelDifference(paintWith(culled, 333, 1, pose), paintWith(whole, 333, 1, pose)), kResampling)
            << "blink " << blink;
    }
}

// Where a layer's picture has paint and where it is opaque, in tiles: paint
// is never left out, and a place counts as opaque only where the picture
// and every pixel about it within the margin are opaque, so that it stays
// opaque however it is resampled.
TEST(SpriteCoverage, PaintIsNeverLeftOutAndOpaqueMeansOpaqueAllAround)
{
    constexpr int tile = 16, margin = 2;
    QImage picture(64, 48, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    picture.setPixel(20, 5, qRgba(1, 0, 0, 1));  // the faintest paint
    SpriteCoverage c = measureCoverage(picture, tile, margin);
    for (const QPoint p : {QPoint(20, 5), QPoint(16, 0), QPoint(31, 15), QPoint(33, 17), QPoint(14, 0)})
        EXPECT_TRUE(c.painted.contains(p)) << p.x() << "," << p.y() << ": the tile and the margin about it";
    for (const QPoint p : {QPoint(34, 5), QPoint(20, 18), QPoint(50, 40), QPoint(13, 5)})
        EXPECT_FALSE(c.painted.contains(p)) << p.x() << "," << p.y() << ": tiles without paint";
    EXPECT_TRUE(c.opaque.isEmpty());

    // An opaque block over the four tiles at the top left, at the picture's
    // corner, and one pixel in the next tile a shade short of opaque.
    picture.fill(Qt::transparent);
    for (int y = 0; y < 2 * tile; ++y)
        for (int x = 0; x < 3 * tile; ++x)
            picture.setPixel(x, y, qRgba(200, 10, 10, 255));
    picture.setPixel(40, 20, qRgba(200, 10, 10, 254));
    c = measureCoverage(picture, tile, margin);
    for (const QPoint p : {QPoint(2, 2), QPoint(16, 16), QPoint(29, 29), QPoint(29, 2), QPoint(45, 5)})
        EXPECT_TRUE(c.opaque.contains(p)) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(1, 10), QPoint(10, 1), QPoint(10, 30), QPoint(30, 20), QPoint(31, 31), QPoint(40, 20),
                           QPoint(34, 25), QPoint(46, 5)})
        EXPECT_FALSE(c.opaque.contains(p)) << p.x() << "," << p.y()
                                           << ": within the margin of the edge, of a tile not opaque, or in one";
    EXPECT_TRUE(c.painted.contains(QPoint(47, 33))) << "the margin below the painted tiles";

    // Many opaque islands: only the largest are kept, and the largest of all
    // among them.
    QImage islands(32 * tile, 8 * tile, QImage::Format_ARGB32_Premultiplied);
    islands.fill(Qt::transparent);
    for (int t = 0; t < 16; ++t)
        for (int y = 0; y < tile; ++y)
            for (int x = 0; x < tile; ++x)
                islands.setPixel(2 * t * tile + x, y, qRgba(0, 0, 0, 255));
    for (int y = 2 * tile; y < 8 * tile; ++y)
        for (int x = 0; x < 6 * tile; ++x)
            islands.setPixel(x, y, qRgba(0, 0, 0, 255));
    c = measureCoverage(islands, tile, margin);
    EXPECT_LE(c.opaque.rectCount(), kOpaqueRects);
    EXPECT_TRUE(c.opaque.contains(QPoint(3 * tile, 5 * tile))) << "the largest island";
    EXPECT_EQ(c.painted.rectCount() > 0, true);
}

// A picture's regions moved as a clip takes them, in whole pixels: where it
// has paint, every pixel the moved rectangles touch; where it hides what is
// under it, only pixels wholly inside them, and none where the corners would
// trade places.
TEST(SpriteCoverage, MovedRegionsCoverAllOfThePaintAndHideOnlyWithinTheOpaque)
{
    const QRegion region = QRegion(0, 0, 40, 20) + QRegion(10, 20, 20, 20);
    const QTransform turned = QTransform().translate(50.3, 30.6).rotate(4).scale(0.9, 1.1);
    const QRegion covering = coveringRegion(region, turned), inner = innerRegion(region, turned);
    // Pixel centres of the moved rectangles, sampled finely.
    int inside = 0;
    for (const QRect& rect : region) {
        for (double y = rect.top(); y <= rect.bottom() + 1; y += 0.25) {
            for (double x = rect.left(); x <= rect.right() + 1; x += 0.25) {
                const QPointF p = turned.map(QPointF(x, y));
                const QPoint pixel(int(std::floor(p.x())), int(std::floor(p.y())));
                ASSERT_TRUE(covering.contains(pixel)) << p.x() << "," << p.y();
                ++inside;
            }
        }
    }
    ASSERT_GT(inside, 1000);
    // Every corner of every pixel inside lies within what was moved.
    const QTransform back = turned.inverted();
    const auto moved = [&](QPointF p) {
        const QPointF q = back.map(p);
        for (const QRect& rect : region) {
            if (QRectF(rect).adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(q))
                return true;
        }
        return false;
    };
    for (const QRect& rect : inner) {
        for (int y = rect.top(); y <= rect.bottom() + 1; ++y)
            for (int x = rect.left(); x <= rect.right() + 1; ++x)
                ASSERT_TRUE(moved(QPointF(x, y))) << x << "," << y << " lies outside what was moved";
    }
    // Most of it is inside, little of the covering lies outside.
    const auto area = [](const QRegion& r) {
        long long a = 0;
        for (const QRect& rect : r)
            a += qlonglong(rect.width()) * rect.height();
        return a;
    };
    const double movedArea = (40 * 20 + 20 * 20) * 0.9 * 1.1;
    EXPECT_GT(area(inner), 0.6 * movedArea);
    EXPECT_LT(area(covering), 1.5 * movedArea);

    EXPECT_TRUE(innerRegion(region, QTransform().rotate(50)).isEmpty()) << "corners trade places";
    EXPECT_TRUE(innerRegion(region, QTransform().scale(-1, 1)).isEmpty()) << "a mirror";
    EXPECT_FALSE(coveringRegion(region, QTransform().scale(-1, 1)).isEmpty());
}

// The player paints its frame on one of Qt's pool threads, where Qt's
// painter does not hand a large fill's rows to the pool piece by piece, and
// waits for it: the frame is done when the call returns.
TEST(OneThreadPainting, RunsOnAPoolThreadAndIsDoneOnReturn)
{
    bool onPool = false, done = false;
    QThread* thread = nullptr;
    EXPECT_TRUE(paintOnOneThread([&] {
        onPool = QThreadPool::globalInstance()->contains(QThread::currentThread());
        thread = QThread::currentThread();
        QThread::msleep(20);
        done = true;
    }));
    EXPECT_TRUE(done);
    EXPECT_TRUE(onPool);
    EXPECT_NE(thread, QThread::currentThread());

    // Called on a pool thread, it paints there and then.
    bool nestedInline = false;
    paintOnOneThread([&] {
        QThread* outer = QThread::currentThread();
        nestedInline = !paintOnOneThread([&] { nestedInline = QThread::currentThread() == outer; }) && nestedInline;
    });
    EXPECT_TRUE(nestedInline);

    Vizmo4 player;
    ASSERT_TRUE(player.put(id::ModelName, dispatch::Str(QStringLiteral(VIZMO_CONTENT_DIR "/qvm/anna.qvm"))).ok());
    player.resize(200, 200);
    QImage frame(200, 200, QImage::Format_ARGB32_Premultiplied);
    player.render(&frame);
    player.render(&frame);
    EXPECT_EQ(player.framesPaintedOnOneThread(), 2);
}

}  // namespace
}  // namespace vizmo::player
