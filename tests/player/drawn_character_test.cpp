// A drawn character in motion: which drawn mouth shows each sound, where the
// pose puts each layer, and what the player draws from them.
#include "components/player/content/artwork_model.h"
#include "components/player/drawing/artwork_mouth.h"
#include "components/player/drawing/artwork_pose.h"
#include "components/player/drawing/artwork_renderer.h"
#include "components/player/content/svg_document.h"
#include "player_test_support.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>

namespace vizmo::player {
namespace {

using dispatch::Bool;
using dispatch::I2;
using dispatch::I4;
using dispatch::Str;

std::size_t slot(ArtLayer mouth) { return std::size_t(int(mouth) - int(kFirstMouth)); }

DrawnMouths drawn(std::initializer_list<ArtLayer> shapes)
{
    DrawnMouths out{};
    for (ArtLayer s : shapes)
        out[slot(s)] = true;
    return out;
}

TEST(DrawnMouth, ADrawingWithOnlyRestAndOpenOpensOnEveryVowelAndRestsOnConsonants)
{
    const DrawnMouths two = drawn({ArtLayer::MouthRest, ArtLayer::MouthOpen});
    for (int v : {viseme::aa, viseme::E, viseme::ih, viseme::oh, viseme::ou}) {
        EXPECT_EQ(nearestMouth(v, two), ArtLayer::MouthOpen) << visemeNames()[std::size_t(v)].toStdString();
        // Spoken at the lightest weight a vowel gets, it still opens.
        EXPECT_GT(mouthWeights(visemeShape(v, 0.5), two)[slot(ArtLayer::MouthOpen)], 0.95);
    }
    for (int v : {viseme::Silence, viseme::PP, viseme::FF, viseme::SS})
        EXPECT_EQ(nearestMouth(v, two), ArtLayer::MouthRest) << visemeNames()[std::size_t(v)].toStdString();
    // On the way from a closed mouth to "aa" the open shape fades in without a jump.
    double last = 0;
    for (int step = 0; step <= 100; ++step) {
        const MouthWeights w = mouthWeights(lerp(visemeShape(viseme::PP), visemeShape(viseme::aa), step / 100.0), two);
        EXPECT_NEAR(w[slot(ArtLayer::MouthRest)] + w[slot(ArtLayer::MouthOpen)], 1.0, 1e-9);
        EXPECT_GE(w[slot(ArtLayer::MouthOpen)], last - 1e-9);
        EXPECT_LT(w[slot(ArtLayer::MouthOpen)] - last, 0.2) << "at step " << step;
        last = w[slot(ArtLayer::MouthOpen)];
    }
    EXPECT_GT(last, 0.99);
}

TEST(DrawnMouth, EachVisemeShowsItsOwnKindOfDrawnShape)
{
    const DrawnMouths all = drawn({ArtLayer::MouthRest, ArtLayer::MouthClosed, ArtLayer::MouthF, ArtLayer::MouthOpen,
                                   ArtLayer::MouthWide, ArtLayer::MouthRound});
    const std::pair<int, ArtLayer> expected[] = {
        {viseme::Silence, ArtLayer::MouthRest}, {viseme::PP, ArtLayer::MouthClosed}, {viseme::FF, ArtLayer::MouthF},
        {viseme::aa, ArtLayer::MouthOpen},      {viseme::E, ArtLayer::MouthWide},    {viseme::ih, ArtLayer::MouthWide},
        {viseme::oh, ArtLayer::MouthRound},     {viseme::ou, ArtLayer::MouthRound}};
    for (const auto& [v, shape] : expected) {
        EXPECT_EQ(nearestMouth(v, all), shape) << visemeNames()[std::size_t(v)].toStdString();
        // Held at its target, the viseme shows that shape alone, not a blend.
        EXPECT_GT(mouthWeights(visemeShape(v), all)[slot(shape)], 0.99) << visemeNames()[std::size_t(v)].toStdString();
    }
    // A lightly said "aa" opens half way, with the wide shape.
    EXPECT_GT(mouthWeights(visemeShape(viseme::aa, 0.6), all)[slot(ArtLayer::MouthWide)], 0.9);
    // A consonant said with the jaw nearly shut shows a vowel's shape only as
    // far as it opens against that vowel, resting the rest of the way.
    EXPECT_EQ(nearestMouth(viseme::SS, all), ArtLayer::MouthWide);
    EXPECT_EQ(nearestMouth(viseme::CH, all), ArtLayer::MouthRound);
    const MouthWeights s = mouthWeights(visemeShape(viseme::SS), all);
    EXPECT_NEAR(s[slot(ArtLayer::MouthWide)], visemeShape(viseme::SS).open / visemeShape(viseme::E).open, 0.01);
    EXPECT_NEAR(s[slot(ArtLayer::MouthRest)], 1 - s[slot(ArtLayer::MouthWide)], 0.01);
    // Without a closed shape, P, B and M fall back to rest; without rest, a drawing rests on its most closed shape.
    EXPECT_EQ(nearestMouth(viseme::PP, drawn({ArtLayer::MouthRest, ArtLayer::MouthOpen})), ArtLayer::MouthRest);
    EXPECT_EQ(nearestMouth(viseme::Silence, drawn({ArtLayer::MouthWide, ArtLayer::MouthOpen})), ArtLayer::MouthWide);
}

// A made-up face, 100 units square: a head of 40 by 50 about (50, 45).
ArtworkGeometry face()
{
    ArtworkGeometry g;
    g.frame = QRectF(0, 0, 100, 100);
    const auto set = [&](ArtLayer l, QRectF r) { g.bounds[std::size_t(l)] = r; };
    set(ArtLayer::BackHair, {25, 15, 50, 45});
    set(ArtLayer::Neck, {45, 65, 10, 20});
    set(ArtLayer::Body, {20, 80, 60, 20});
    set(ArtLayer::Head, {30, 20, 40, 50});
    g.headExtent = g[ArtLayer::Head];
    set(ArtLayer::LeftEyeWhite, {35, 38, 10, 5});
    set(ArtLayer::LeftEyeIris, {38, 38, 4, 4});
    set(ArtLayer::LeftEyeLid, {34, 34, 12, 9});
    set(ArtLayer::RightEyeWhite, {55, 38, 10, 5});
    set(ArtLayer::RightEyeIris, {58, 38, 4, 4});
    set(ArtLayer::LeftBrow, {35, 33, 10, 2});
    set(ArtLayer::RightBrow, {55, 33, 10, 2});
    set(ArtLayer::Nose, {48, 45, 4, 6});
    set(ArtLayer::MouthRest, {44, 56, 12, 3});
    set(ArtLayer::MouthOpen, {44, 55, 12, 7});
    g.headPivot = {50, 64};
    g.eyePivots = {QPointF(40, 40), QPointF(60, 40)};
    return g;
}

QPointF centreOf(const ArtworkFrame& f, const ArtworkGeometry& g, ArtLayer l)
{
    return f.place[std::size_t(l)].map(g[l].center());
}

double shiftX(const ArtworkFrame& f, const ArtworkGeometry& g, ArtLayer l) { return centreOf(f, g, l).x() - g[l].center().x(); }

TEST(DrawnPose, ATurnMovesEachLayerByItsDepth)
{
    const ArtworkGeometry g = face();
    FacePose pose;
    pose.headX = 1;  // to the viewer's right
    const ArtworkFrame f = poseArtwork(g, pose);
    const double nose = shiftX(f, g, ArtLayer::Nose), eye = shiftX(f, g, ArtLayer::LeftEyeWhite),
                 head = shiftX(f, g, ArtLayer::Head), hair = shiftX(f, g, ArtLayer::BackHair);
    EXPECT_GT(nose, eye) << "the nose stands in front of the eyes";
    EXPECT_GT(eye, head);
    EXPECT_GT(head, 0);
    EXPECT_LT(hair, 0) << "hair behind the head moves the other way";
    EXPECT_LT(nose, 0.4 * g[ArtLayer::Head].width()) << "the face stays on the head";
    EXPECT_DOUBLE_EQ(shiftX(f, g, ArtLayer::Body), 0) << "the body does not turn with the head";
    // The eye turning away narrows; the one turning towards the viewer does not.
    const auto width = [&](ArtLayer l) { return f.place[std::size_t(l)].mapRect(g[l]).width(); };
    EXPECT_LT(width(ArtLayer::RightEyeWhite), 0.8 * g[ArtLayer::RightEyeWhite].width());
    EXPECT_GT(width(ArtLayer::LeftEyeWhite), 0.95 * g[ArtLayer::LeftEyeWhite].width());
    // An eye's layers move together.
    EXPECT_EQ(f.place[std::size_t(ArtLayer::LeftEyeIris)], f.place[std::size_t(ArtLayer::LeftEyeWhite)]);

    pose.headX = 0, pose.headY = 1;  // a nod: chin down
    const ArtworkFrame nod = poseArtwork(g, pose);
    EXPECT_GT(centreOf(nod, g, ArtLayer::MouthOpen).y(), g[ArtLayer::MouthOpen].center().y() + 1);
}

TEST(DrawnPose, ATiltTurnsTheHeadAboutItsPivotAndNotTheBody)
{
    const ArtworkGeometry g = face();
    FacePose pose;
    pose.headZ = 1;  // the top of the head leans to the viewer's right
    const ArtworkFrame f = poseArtwork(g, pose);
    const QTransform& head = f.place[std::size_t(ArtLayer::Head)];
    EXPECT_NEAR(head.map(g.headPivot).x(), g.headPivot.x(), 1e-9);
    EXPECT_NEAR(head.map(g.headPivot).y(), g.headPivot.y(), 1e-9);
    EXPECT_GT(head.map(QPointF(50, 20)).x(), 55) << "the crown leans right";
    EXPECT_TRUE(f.place[std::size_t(ArtLayer::Body)].isIdentity());
    EXPECT_TRUE(f.place[std::size_t(ArtLayer::Neck)].isIdentity());
    EXPECT_GT(f.place[std::size_t(ArtLayer::BackHair)].map(QPointF(50, 15)).x(), 55) << "hair follows the head";
}

TEST(DrawnPose, IrisesLooksWithinTheirWhitesAndLidsCloseOverThem)
{
    const ArtworkGeometry g = face();
    FacePose pose;
    pose.eyes[0] = {1.0, 1.0, 0.0};  // right and up
    ArtworkFrame f = poseArtwork(g, pose);
    EXPECT_GT(f.irisShift[0].x(), 1.5);
    EXPECT_LT(f.irisShift[0].x(), g[ArtLayer::LeftEyeWhite].width() / 2);
    EXPECT_LT(f.irisShift[0].y(), 0) << "up is towards the top of the picture";
    EXPECT_EQ(f.irisShift[1], QPointF()) << "each eye on its own";

    // Open, the lid lies wholly above its white; shut, it lies where it is drawn.
    const QRectF white = g[ArtLayer::LeftEyeWhite], lid = g[ArtLayer::LeftEyeLid];
    pose = {};
    f = poseArtwork(g, pose);
    EXPECT_DOUBLE_EQ(f.lidCover[0], 0);
    EXPECT_LE(lid.bottom() + f.lidShift[0].y(), white.top());
    pose.blink = 1;
    f = poseArtwork(g, pose);
    EXPECT_DOUBLE_EQ(f.lidCover[0], 1);
    EXPECT_EQ(f.lidShift[0], QPointF());
    pose.blink = 0.5;
    f = poseArtwork(g, pose);
    EXPECT_LT(lid.bottom() + f.lidShift[0].y(), white.bottom());
    EXPECT_GT(lid.bottom() + f.lidShift[0].y(), white.top());
    // A wink shuts one eye; the other, without a lid of its own, closes by flattening.
    pose.blink = 0;
    pose.eyes[1].wink = 1;
    f = poseArtwork(g, pose);
    EXPECT_DOUBLE_EQ(f.lidCover[0], 0);
    EXPECT_DOUBLE_EQ(f.lidCover[1], 1);
    EXPECT_LT(f.place[std::size_t(ArtLayer::RightEyeWhite)].mapRect(g[ArtLayer::RightEyeWhite]).height(), 0.2);
}

TEST(DrawnPose, ExpressionsMoveTheBrowsAndShouldersTheBody)
{
    const ArtworkGeometry g = face();
    const auto browY = [&](Expression e) {
        FacePose pose;
        pose.expressions[std::size_t(e)] = 1;
        return centreOf(poseArtwork(g, pose), g, ArtLayer::LeftBrow).y();
    };
    const double rest = g[ArtLayer::LeftBrow].center().y();
    EXPECT_LT(browY(Expression::Surprise), rest - 1);
    EXPECT_GT(browY(Expression::Angry), rest + 0.5);
    FacePose angry;
    angry.expressions[std::size_t(Expression::Angry)] = 1;
    const ArtworkFrame f = poseArtwork(g, angry);
    // Anger lowers each brow's inner end: the left brow's right end, the right brow's left end.
    const QRectF left = g[ArtLayer::LeftBrow], right = g[ArtLayer::RightBrow];
    const auto& placeL = f.place[std::size_t(ArtLayer::LeftBrow)];
    const auto& placeR = f.place[std::size_t(ArtLayer::RightBrow)];
    EXPECT_GT(placeL.map(QPointF(left.right(), left.center().y())).y(), placeL.map(QPointF(left.left(), left.center().y())).y());
    EXPECT_GT(placeR.map(QPointF(right.left(), right.center().y())).y(), placeR.map(QPointF(right.right(), right.center().y())).y());

    FacePose shrug;
    shrug.shoulderLeft = shrug.shoulderRight = 1;
    EXPECT_LT(centreOf(poseArtwork(g, shrug), g, ArtLayer::Body).y(), g[ArtLayer::Body].center().y() - 2);
}

// A drawing whose parts are told apart by colour: a green head, a white eye
// with a blue iris, a red rest mouth and a blue open one in the same place.
const QByteArray kColours = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 100 100">
  <g id="head"><rect x="20" y="10" width="60" height="80" fill="#00ff00"/></g>
  <g id="eye-left-white"><polygon points="30,34 38,30 46,34 38,38" fill="#ffffff"/></g>
  <g id="eye-left-iris"><rect x="35" y="30" width="6" height="8" fill="#0000ff"/></g>
  <g id="mouth-rest"><rect x="40" y="60" width="20" height="10" fill="#ff0000"/></g>
  <g id="mouth-open"><rect x="40" y="60" width="20" height="10" fill="#0000ff"/></g>
</svg>)";

// Paints a drawing on a canvas whose pixels are the drawing's units (times
// `side` / 100): the player's fit, with room for motion, taken out.
struct Canvas {
    explicit Canvas(const QByteArray& svg) : artwork(readArtwork(svg, QStringLiteral("c.svg")).value()), renderer(artwork) {}
    QImage paint(const FacePose& pose, int side = 100)
    {
        QImage image(side, side, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        const double k = side / 100.0;
        const QRectF shown = frameWithRoom(artwork->geometry);
        const QRectF area(shown.x() * k, shown.y() * k, shown.width() * k, shown.height() * k);
        renderer.paint(painter, area, pose, {{}, Qt::black, [](QPainter&) {}});
        return image;
    }
    std::shared_ptr<const Artwork> artwork;
    ArtworkRenderer renderer;
};

int count(const QImage& image, const std::function<bool(QColor)>& match, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += match(image.pixelColor(x, y));
    return n;
}

TEST(DrawnRendering, LayersAreRenderedOncePerSizeAndComposedPerFrame)
{
    Canvas c(kColours);
    FacePose pose;
    const QImage still = c.paint(pose);
    EXPECT_EQ(still.pixelColor(50, 20), QColor(0, 255, 0));
    EXPECT_EQ(still.pixelColor(50, 65), QColor(255, 0, 0)) << "the rest mouth";
    pose.headX = 0.5, pose.eyes[0].x = 1, pose.mouth = visemeShape(viseme::aa);
    const QPointF mouth = poseArtwork(c.artwork->geometry, pose).place[std::size_t(ArtLayer::MouthOpen)].map(QPointF(50, 65));
    EXPECT_GT(mouth.x(), 52) << "the mouth turned with the head";
    EXPECT_EQ(c.paint(pose).pixelColor(mouth.toPoint()), QColor(0, 0, 255)) << "the open mouth";
    EXPECT_EQ(c.renderer.renders(), 1);
    c.paint(pose, 150);
    EXPECT_EQ(c.renderer.renders(), 2);
}

TEST(DrawnRendering, TheIrisIsCutToItsWhite)
{
    Canvas c(kColours);
    FacePose pose;
    pose.eyes[0].x = 1;  // as far right as it goes: past the white's edge, were it not cut
    const QImage image = c.paint(pose);
    const auto blue = [](QColor p) { return p.blue() > 128 && p.red() < 100; };
    int inside = 0, outside = 0;
    for (int y = 28; y <= 40; ++y) {
        for (int x = 28; x <= 56; ++x) {
            // The white is a diamond about (38, 34), 16 wide and 8 high.
            const double reach = std::abs(x + 0.5 - 38) / 8 + std::abs(y + 0.5 - 34) / 4;
            (reach < 1 ? inside : outside) += blue(image.pixelColor(x, y)) && (reach < 0.85 || reach > 1.15);
        }
    }
    EXPECT_GT(inside, 10);
    EXPECT_EQ(outside, 0) << "nothing of the iris beyond the white";
}

// Two mouths drawn as differently as an emoji's: a thin red line at rest and
// a tall blue opening lower down.
const QByteArray kTwoMouths = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 100 100">
  <g id="head"><rect x="20" y="10" width="60" height="80" fill="#00ff00"/></g>
  <g id="mouth-rest"><rect x="36" y="60" width="28" height="2" fill="#ff0000"/></g>
  <g id="mouth-open"><rect x="44" y="62" width="12" height="18" fill="#0000ff"/></g>
</svg>)";

// The opening of an "aa" at which the rest and open shapes weigh the same.
double halfWayToOpen(const DrawnMouths& mouths)
{
    double low = 0, high = 1;
    for (int i = 0; i < 40; ++i) {
        const double mid = (low + high) / 2;
        (mouthWeights(visemeShape(viseme::aa, mid), mouths)[slot(ArtLayer::MouthOpen)] < 0.5 ? low : high) = mid;
    }
    return low;
}

// Every frame of a change from rest to "aa" shows one mouth: never the red
// and the blue shape together, and never one see-through over the head.
TEST(DrawnRendering, AChangeOfMouthShowsOneShapeAtEveryFrame)
{
    Canvas c(kTwoMouths);
    const QRect mouth(30, 54, 40, 32);
    const auto red = [](QColor p) { return p.red() > 200 && p.blue() < 40 && p.green() < 40; };
    const auto blue = [](QColor p) { return p.blue() > 200 && p.red() < 40 && p.green() < 40; };
    // Red and blue in one pixel: one shape seen through the other.
    const auto both = [](QColor p) { return p.red() > 40 && p.blue() > 40; };
    int redFrames = 0, blueFrames = 0;
    for (int step = 0; step <= 60; ++step) {
        FacePose pose;
        pose.mouth = visemeShape(viseme::aa, step / 60.0);
        const QImage frame = c.paint(pose);
        const int reds = count(frame, red, mouth), blues = count(frame, blue, mouth);
        EXPECT_TRUE(reds == 0 || blues == 0) << "two shapes at step " << step;
        EXPECT_GT(reds + blues, 20) << "no mouth at step " << step;
        EXPECT_EQ(count(frame, both, mouth), 0) << "one shape through the other at step " << step;
        redFrames += reds > 0, blueFrames += blues > 0;
    }
    EXPECT_GT(redFrames, 0);
    EXPECT_GT(blueFrames, 0);
}

// Half way between a thin and a tall mouth, the shape shown fills the box
// between theirs: each edge between the two shapes' edges, where either
// shape shown there stands in the same place.
TEST(DrawnRendering, HalfWayThroughAMouthChangeTheShapeFillsTheBoxBetweenBoth)
{
    Canvas c(kTwoMouths);
    const double half = halfWayToOpen(drawnMouths(c.artwork->geometry));
    const auto covered = [&](double opening) {
        FacePose pose;
        pose.mouth = visemeShape(viseme::aa, opening);
        const QImage frame = c.paint(pose);
        QRect box;
        for (int y = 50; y < 90; ++y)
            for (int x = 25; x < 75; ++x)
                if (frame.pixelColor(x, y).green() < 128)
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    const QRect before = covered(half - 0.002), after = covered(half + 0.002);
    for (const QRect& box : {before, after}) {
        // Rest spans 36..64 across, 60..62 down; open 44..56 and 62..80.
        EXPECT_NEAR(box.left(), 40, 1.5);
        EXPECT_NEAR(box.right() + 1, 60, 1.5);
        EXPECT_NEAR(box.top(), 61, 1.5);
        EXPECT_NEAR(box.bottom() + 1, 71, 1.5);
    }
    EXPECT_LE(std::abs(before.top() - after.top()) + std::abs(before.bottom() - after.bottom()), 2)
        << "the swap of shapes moves the mouth";
}

// The share of pixels that differ by more than 48 levels in a channel.
double differing(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            n += std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))}) > 48;
        }
    return double(n) / (a.width() * a.height());
}

// At rest, the layers composed are the file as librsvg draws it whole, less
// what the player does not show at rest (the other mouths, the shut lids):
// clip paths, a mask, a blur, a <symbol> and CSS classes (juno), and a whole
// drawing inside a masked group (lorelei).
TEST(DrawnRendering, AtRestTheCharacterIsTheFileAsLibrsvgDrawsIt)
{
    for (const char* name : {"juno.svg", "lorelei.svg"}) {
        const auto art = loadArtwork(QStringLiteral(VIZMO_PLAYER_TEST_DIR "/drawings/") + QLatin1String(name));
        ASSERT_TRUE(art.ok()) << art.error().description.toStdString();
        const Artwork& a = *art.value();
        constexpr int kSide = 200;
        const QRectF area(0, 0, kSide, kSide);
        QImage ours(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
        ours.fill(Qt::white);
        QPainter painter(&ours);
        ArtworkRenderer renderer(art.value());
        renderer.paint(painter, area, FacePose{}, {{}, Qt::white, [](QPainter&) {}});
        painter.end();
        QStringList hidden;
        for (int i = 0; i < kArtLayerCount; ++i) {
            const auto layer = ArtLayer(i);
            const bool shown = !isMouthLayer(layer) || layer == nearestMouth(viseme::Silence, drawnMouths(a.geometry));
            if (!a.ids[std::size_t(i)].isEmpty() && (!shown || layer == ArtLayer::LeftEyeLid || layer == ArtLayer::RightEyeLid))
                hidden << SvgDocument::selectorOf(a.ids[std::size_t(i)]);
        }
        QImage whole(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
        whole.fill(Qt::white);
        ASSERT_TRUE(a.svg->render(whole, artworkPlacement(a.geometry, area), {}, hidden));
        EXPECT_LT(differing(ours, whole), 0.002) << name;
        // Something was drawn at all.
        EXPECT_GT(differing(ours, QImage(kSide, kSide, QImage::Format_ARGB32_Premultiplied)), 0.05) << name;
    }
}

// The layers stack as the file stacks them: clothes drawn after a head that
// was drawn with its shoulders lie over them, and the back hair, drawn
// first, stays behind the head through a turn.
TEST(DrawnRendering, LayersStackInTheFilesOrder)
{
    Canvas c(R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 100 100">
      <g id="back-hair"><rect x="20" y="10" width="60" height="50" fill="#0000ff"/></g>
      <g id="head"><rect x="30" y="15" width="40" height="50" fill="#00ff00"/><rect x="20" y="70" width="60" height="30" fill="#00ff00"/></g>
      <g id="body"><rect x="15" y="75" width="70" height="25" fill="#ff0000"/></g>
      <g id="mouth-rest"><rect x="45" y="50" width="10" height="2" fill="#000000"/></g>
    </svg>)");
    EXPECT_EQ(c.artwork->stacking, (std::vector<ArtLayer>{ArtLayer::BackHair, ArtLayer::Head, ArtLayer::Body,
                                                          ArtLayer::MouthRest}));
    FacePose pose;
    EXPECT_EQ(c.paint(pose).pixelColor(50, 85), QColor(255, 0, 0)) << "the clothes over the head's shoulders";
    for (double turn : {-1.0, 1.0}) {
        pose.headX = turn;
        const QImage turned = c.paint(pose);
        const QPointF centre = poseArtwork(c.artwork->geometry, pose).place[std::size_t(ArtLayer::Head)].map(QPointF(50, 40));
        EXPECT_EQ(turned.pixelColor(centre.toPoint()), QColor(0, 255, 0)) << "the head over the hair, turned " << turn;
        EXPECT_EQ(turned.pixelColor(50, 12).blue(), 255) << "the hair above it";
    }
    Canvas reversed(R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 100 100">
      <g id="body"><rect x="15" y="75" width="70" height="25" fill="#ff0000"/></g>
      <g id="head"><rect x="30" y="15" width="40" height="50" fill="#00ff00"/><rect x="20" y="70" width="60" height="30" fill="#00ff00"/></g>
      <g id="mouth-rest"><rect x="45" y="50" width="10" height="2" fill="#000000"/></g>
    </svg>)");
    EXPECT_EQ(reversed.paint(FacePose{}).pixelColor(50, 85), QColor(0, 255, 0)) << "as the file says, the other way";
}

// A small round head with features near its edge: at the limits of turn,
// nod and tilt no feature is drawn off the head.
TEST(DrawnPose, FeaturesStayInsideTheHeadAtTheLimitsOfTurnNodAndTilt)
{
    Canvas c(R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 100 100">
      <g id="head"><circle cx="50" cy="45" r="22" fill="#00ff00"/></g>
      <g id="eye-left-white"><ellipse cx="40" cy="42" rx="5" ry="3" fill="#ff0000"/></g>
      <g id="eye-right-white"><ellipse cx="60" cy="42" rx="5" ry="3" fill="#ff0000"/></g>
      <g id="brow-left"><rect x="32" y="34" width="12" height="2" fill="#ff0000"/></g>
      <g id="brow-right"><rect x="56" y="34" width="12" height="2" fill="#ff0000"/></g>
      <g id="nose"><rect x="48" y="46" width="4" height="6" fill="#ff0000"/></g>
      <g id="mouth-rest"><rect x="40" y="56" width="20" height="3" fill="#ff0000"/></g>
    </svg>)");
    const ArtworkGeometry& g = c.artwork->geometry;
    int checked = 0;
    for (double x : {-1.0, 0.0, 1.0})
        for (double y : {-1.0, 0.0, 1.0})
            for (double z : {-1.0, 0.0, 1.0}) {
                FacePose pose;
                pose.headX = x, pose.headY = y, pose.headZ = z;
                const QImage frame = c.paint(pose, 200);
                const QTransform head = poseArtwork(g, pose).place[std::size_t(ArtLayer::Head)].inverted();
                int off = 0;
                for (int py = 0; py < 200; ++py)
                    for (int px = 0; px < 200; ++px) {
                        const QColor p = frame.pixelColor(px, py);
                        if (p.red() < 128)
                            continue;
                        // Where the pixel lies on the head as drawn, at rest.
                        const QPointF at = head.map(QPointF((px + 0.5) / 2, (py + 0.5) / 2));
                        off += std::hypot(at.x() - 50, at.y() - 45) > 22 + 0.75;
                    }
                EXPECT_EQ(off, 0) << "pose " << x << ", " << y << ", " << z;
                ++checked;
            }
    EXPECT_EQ(checked, 27);
}

// A head that fills its page, at the limits of turn, nod and tilt, is
// never cut at the player's edge: the player leaves it room.
TEST(DrawnRendering, AHeadThatFillsThePageIsNotCutAtTheEdge)
{
    const auto art = readArtwork(R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 100 100">
      <g id="head"><circle cx="50" cy="50" r="50" fill="#00ff00"/></g>
      <g id="mouth-rest"><rect x="40" y="70" width="20" height="3" fill="#ff0000"/></g></svg>)", QStringLiteral("f.svg"));
    ASSERT_TRUE(art.ok());
    ArtworkRenderer renderer(art.value());
    for (double x : {-1.0, 0.0, 1.0})
        for (double y : {-1.0, 0.0, 1.0})
            for (double z : {-1.0, 0.0, 1.0}) {
                FacePose pose;
                pose.headX = x, pose.headY = y, pose.headZ = z;
                QImage image(120, 120, QImage::Format_RGB32);
                image.fill(Qt::black);
                QPainter painter(&image);
                renderer.paint(painter, image.rect(), pose, {{}, Qt::black, [](QPainter&) {}});
                painter.end();
                int edge = 0;
                for (int i = 0; i < 120; ++i)
                    for (const QPoint p : {QPoint(i, 0), QPoint(i, 119), QPoint(0, i), QPoint(119, i)})
                        edge += image.pixelColor(p).green() > 64;
                EXPECT_EQ(edge, 0) << "pose " << x << ", " << y << ", " << z;
            }
}

// The upper lid follows the gaze down, and not up.
TEST(DrawnPose, TheLidsComeDownForALookDownAndNotForALookUp)
{
    ArtworkGeometry g = face();
    FacePose pose;
    const double open = poseArtwork(g, pose).lidCover[0];
    pose.eyes[0].y = -1;  // down
    const double down = poseArtwork(g, pose).lidCover[0];
    pose.eyes[0].y = 1;  // up
    const double up = poseArtwork(g, pose).lidCover[0];
    EXPECT_GT(down, open + 0.05);
    EXPECT_DOUBLE_EQ(up, open);
}

// Moved to a screen with another pixel ratio, at the same size, the layers
// are rendered again, sharp at the new ratio.
TEST(DrawnRendering, TheLayersAreRenderedAgainWhenOnlyThePixelRatioChanges)
{
    Canvas c(kColours);
    const auto paint = [&](double ratio) {
        QImage image(int(100 * ratio), int(100 * ratio), QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::black);
        QPainter painter(&image);
        c.renderer.paint(painter, QRectF(0, 0, 100, 100), FacePose{}, {{}, Qt::black, [](QPainter&) {}});
        return image;
    };
    paint(1.0);
    const int before = c.renderer.renders();
    paint(1.0);
    EXPECT_EQ(c.renderer.renders(), before);
    const QImage sharp = paint(2.0);
    EXPECT_EQ(c.renderer.renders(), before + 1);
    // The white's slanted edge at twice the pixels: a layer rendered at the old
    // ratio and scaled up would blur it over two pixels a step.
    const auto softPixels = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor p = image.pixelColor(x, y);
                n += p.red() > 40 && p.red() < 215 && p.green() > 40 && p.blue() > 40;
            }
        return n;
    };
    const int soft = softPixels(sharp);
    const int softUpscaled = softPixels(paint(1.0).scaled(sharp.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    EXPECT_LT(soft, softUpscaled * 3 / 4);
}

QImage grabRgb(Vizmo4& player) { return player.grab().toImage().convertToFormat(QImage::Format_RGB32); }

struct MiraFixture : testing::PlayerFixture {
    MiraFixture()
    {
        player.resize(256, 256);
        player.put(id::BackColor, I4(0x00404040));
        ok = player.put(id::ModelName, Str(QStringLiteral(VIZMO_CONTENT_DIR "/qvm/mira.qvm"))).ok();
    }
    bool ok = false;
};

// The sample character at rest, against a picture of it taken when its look
// was settled; anti-aliasing may differ by a few levels along edges.
TEST(DrawnRendering, TheSampleCharacterAtRestLooksAsItsReference)
{
    MiraFixture f;
    ASSERT_TRUE(f.ok);
    const QImage frame = grabRgb(f.player);
    QImage reference(QStringLiteral(VIZMO_PLAYER_TEST_DIR "/reference/mira-rest.png"));
    ASSERT_FALSE(reference.isNull());
    reference = reference.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(frame.size(), reference.size());
    int differing = 0;
    double total = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb a = frame.pixel(x, y), b = reference.pixel(x, y);
            const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            differing += d > 48;
            total += d;
        }
    }
    EXPECT_LT(differing, frame.width() * frame.height() / 500) << "more than 0.2 % of the pixels differ clearly";
    EXPECT_LT(total / (frame.width() * frame.height()), 1.5) << "the mean difference, in levels";
}

// What the host sets reaches a drawn character as it reaches a built-in
// face: the backdrop's colour, image and mode, the posing methods, the
// expressions of a script scaled by Strength, and life.
TEST(DrawnRendering, ThePlayersPropertiesAndMethodsReachTheDrawnCharacter)
{
    MiraFixture f;
    ASSERT_TRUE(f.ok);
    ASSERT_TRUE(f.player.put(id::BackColor, I4(0x0000FF00)).ok());
    const QImage rest = grabRgb(f.player);
    EXPECT_EQ(rest.pixelColor(2, 2), QColor(0, 255, 0));

    QImage canvas(256, 256, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    ASSERT_TRUE(f.player.put(id::BackMode, I2(-1)).ok());
    f.player.render(&canvas, QPoint(), QRegion(), QWidget::RenderFlags());
    EXPECT_EQ(canvas.pixelColor(2, 2).alpha(), 0) << "BackMode -1 leaves the corners to the host";
    EXPECT_EQ(canvas.pixelColor(128, 110).alpha(), 255);
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(f.dir.filePath(QStringLiteral("red.png"))));
    ASSERT_TRUE(f.player.put(id::BackImage, Str(f.dir.filePath(QStringLiteral("red.png")))).ok());
    ASSERT_TRUE(f.player.put(id::BackMode, I2(1)).ok());
    EXPECT_EQ(grabRgb(f.player).pixelColor(2, 2), QColor(Qt::red));
    ASSERT_TRUE(f.player.put(id::BackMode, I2(0)).ok());
    EXPECT_EQ(grabRgb(f.player), rest);

    const auto differs = [&](const QRect& area) {
        const QImage now = grabRgb(f.player);
        return now.copy(area) != rest.copy(area);
    };
    const QRect head(70, 40, 116, 130), eyes(92, 100, 72, 20), shoulders(0, 200, 256, 56);
    f.player.call(id::SetShoulder, {I2(200), I2(200)});
    EXPECT_TRUE(differs(shoulders));
    EXPECT_FALSE(differs(head)) << "the shoulders rise, the head stays";
    f.player.call(id::SetShoulder, {I2(0), I2(0)});
    f.player.call(id::SetEye, {I2(120), I2(0), I2(120), I2(0)});
    EXPECT_TRUE(differs(eyes));
    EXPECT_FALSE(differs(shoulders));
    f.player.call(id::SetEye, {I2(0), I2(0), I2(0), I2(0)});
    f.nowMs += 2000;  // past the hold of a SetEye
    f.player.call(id::SetHead, {I2(0), I2(0), I2(200)});
    EXPECT_TRUE(differs(head));
    f.player.call(id::SetHead, {I2(0), I2(0), I2(0)});
    EXPECT_EQ(grabRgb(f.player), rest);

    // A surprised script raises the brows; with StrengthMode 1 and Strength 0 it shows nothing.
    ASSERT_TRUE(f.player.put(id::ScriptName, Str(f.write("wow.qvs", "QVS 1\nlength 5000\nexpr 0 surprise 1\n"))).ok());
    f.run(200);
    const QRect brows(88, 80, 80, 20);
    EXPECT_TRUE(differs(brows));
    ASSERT_TRUE(f.player.put(id::StrengthMode, I2(1)).ok());
    ASSERT_TRUE(f.player.put(id::Strength, I4(0)).ok());
    EXPECT_FALSE(differs(brows));
    f.player.call(id::Stop);
}

TEST(DrawnRendering, TheSampleCharacterBlinksAndSpeaks)
{
    MiraFixture f;
    ASSERT_TRUE(f.ok);
    // Between the locks of hair and under the brows; the brown irises, not the skin or the lashes.
    const QRect eyes(92, 100, 72, 20), mouth(104, 132, 48, 36);
    const auto iris = [](QColor c) { return c.red() >= 90 && c.blue() < 90 && c.red() - c.blue() > 60; };
    const auto cavity = [](QColor c) { return c.red() < 110 && c.green() < 50 && c.blue() < 60; };
    const QImage open = grabRgb(f.player);
    ASSERT_TRUE(f.player.put(id::ScriptName, Str(f.write("blink.qvs", "QVS 1\nlength 2000\nblink 500\n"))).ok());
    f.nowMs += 625;  // in the middle of the closed phase
    const QImage shut = grabRgb(f.player);
    EXPECT_GT(count(open, iris, eyes), 150);
    EXPECT_LT(count(shut, iris, eyes), count(open, iris, eyes) / 10);
    f.player.call(id::SpeechActive, {Bool(true)});
    f.nowMs += 500;
    f.player.call(id::SpeechViseme, {I2(viseme::aa), I2(255), I4(0)});
    EXPECT_GT(count(grabRgb(f.player), cavity, mouth), count(open, cavity, mouth) + 100);
}

}  // namespace
}  // namespace vizmo::player
