// A model's drawing: its layers found by name, what it lacks refused by name,
// and hostile or damaged drawings refused before they are drawn, the player
// keeping the model it had.
#include "components/dispatch/error.h"
#include "components/player/content/artwork_model.h"
#include "components/player/content/face_model.h"
#include "components/player/content/svg_document.h"
#include "components/player/content/svg_safety.h"
#include "player_test_support.h"

#include <QImage>
#include <gtest/gtest.h>

namespace vizmo::player {
namespace {

namespace err = dispatch::err;

QByteArray drawing(const QByteArray& body, const QByteArray& size = R"(viewBox="0 0 100 100")")
{
    return R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" )"
           R"(xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape" )" +
           size + ">\n" + body + "\n</svg>\n";
}

const QByteArray kHead = R"(<g id="head"><circle cx="50" cy="45" r="30" fill="#e0b090"/></g>)";
const QByteArray kOpenMouth = R"(<g id="mouth-open"><ellipse cx="50" cy="60" rx="8" ry="5"/></g>)";

LoadResult<std::shared_ptr<const Artwork>> read(const QByteArray& svg)
{
    return readArtwork(svg, QStringLiteral("d.svg"));
}

TEST(DrawingLayers, HeadAndOneMouthMakeACharacterAndOtherLayersAreOptional)
{
    const auto art = read(drawing(kHead + kOpenMouth));
    ASSERT_TRUE(art.ok()) << art.error().description.toStdString();
    const ArtworkGeometry& g = art.value()->geometry;
    EXPECT_EQ(g.frame, QRectF(0, 0, 100, 100));
    EXPECT_TRUE(g.has(ArtLayer::Head));
    EXPECT_TRUE(g.has(ArtLayer::MouthOpen));
    EXPECT_FALSE(g.has(ArtLayer::MouthRest));
    EXPECT_FALSE(g.has(ArtLayer::BackHair));
    EXPECT_NEAR(g[ArtLayer::Head].left(), 20, 0.5);
    EXPECT_NEAR(g[ArtLayer::Head].bottom(), 75, 0.5);
}

TEST(DrawingLayers, LayersAreFoundByIdOrByInkscapeLayerNameWithTheirGroupsTransforms)
{
    const auto art = read(drawing(R"svg(<g inkscape:label="head" id="layer1" transform="translate(10,0)">
        <circle cx="40" cy="45" r="30"/></g>
        <g transform="translate(0,20)"><g id="mouth-rest"><rect x="40" y="40" width="20" height="4"/></g></g>
        <g id="eye-left-white"><rect x="30" y="35" width="12" height="6"/></g>)svg"));
    ASSERT_TRUE(art.ok()) << art.error().description.toStdString();
    const ArtworkGeometry& g = art.value()->geometry;
    EXPECT_NEAR(g[ArtLayer::Head].center().x(), 50, 0.5) << "the layer's own move counts";
    EXPECT_NEAR(g[ArtLayer::MouthRest].top(), 60, 0.5) << "and so does the group around it";
    EXPECT_EQ(art.value()->ids[std::size_t(ArtLayer::Head)], QStringLiteral("layer1"));
    // Without an iris, the eye looks ahead from the middle of its white.
    EXPECT_NEAR(g.eyePivots[0].x(), 36, 0.5);
    EXPECT_NEAR(g.eyePivots[0].y(), 38, 0.5);
}

TEST(DrawingLayers, PivotsAreTheCentresOfTheirMarkersAndHaveDefaults)
{
    const QByteArray eye = R"(<g id="eye-right-white"><rect x="55" y="35" width="12" height="6"/></g>
        <g id="eye-right-iris"><circle cx="62" cy="38" r="2"/></g>)";
    const auto marked = read(drawing(kHead + kOpenMouth + eye + R"(<g style="display:none">
        <circle id="pivot-head" cx="50" cy="70" r="2"/><circle id="pivot-eye-right" cx="60" cy="37" r="1"/></g>)"));
    ASSERT_TRUE(marked.ok()) << marked.error().description.toStdString();
    EXPECT_NEAR(marked.value()->geometry.headPivot.x(), 50, 0.1);
    EXPECT_NEAR(marked.value()->geometry.headPivot.y(), 70, 0.1);
    EXPECT_NEAR(marked.value()->geometry.eyePivots[1].x(), 60, 0.1);
    EXPECT_NEAR(marked.value()->geometry.eyePivots[1].y(), 37, 0.1);
    const auto unmarked = read(drawing(kHead + kOpenMouth + eye));
    ASSERT_TRUE(unmarked.ok());
    // The top of the neck, a little above the chin; an iris where it is drawn.
    EXPECT_NEAR(unmarked.value()->geometry.headPivot.x(), 50, 0.5);
    EXPECT_GT(unmarked.value()->geometry.headPivot.y(), 60);
    EXPECT_LT(unmarked.value()->geometry.headPivot.y(), 75);
    EXPECT_NEAR(unmarked.value()->geometry.eyePivots[1].x(), 62, 0.5);
}

// The template a user starts from names every layer and every pivot.
TEST(DrawingLayers, TheTemplateHasEveryLayer)
{
    const auto art = loadArtwork(QStringLiteral(VIZMO_CONTENT_DIR "/../docs/character-template.svg"));
    ASSERT_TRUE(art.ok()) << art.error().description.toStdString();
    for (int i = 0; i < kArtLayerCount; ++i) {
        EXPECT_TRUE(art.value()->geometry.has(ArtLayer(i))) << artLayerName(ArtLayer(i)).toStdString();
        EXPECT_EQ(art.value()->ids[std::size_t(i)], artLayerName(ArtLayer(i)));
    }
    const auto near = [](QPointF a, QPointF b) { return std::hypot(a.x() - b.x(), a.y() - b.y()) < 0.2; };
    EXPECT_TRUE(near(art.value()->geometry.headPivot, QPointF(256, 326)));
    EXPECT_TRUE(near(art.value()->geometry.eyePivots[0], QPointF(214, 219)));
    EXPECT_TRUE(near(art.value()->geometry.eyePivots[1], QPointF(298, 219)));
}

// How each layer was found: exact names first, then near misses that can
// mean only one layer; a label as the editor shows it beats an id.
TEST(DrawingLayers, NearMissesThatMeanOneLayerAreTakenAsIt)
{
    const auto art = read(drawing(R"svg(<g id="layer3" inkscape:groupmode="layer" inkscape:label="head">
        <circle cx="50" cy="45" r="30"/></g>
      <g id="Eye_Left_White"><rect x="30" y="35" width="12" height="6"/></g>
      <g id="eye-left-iris-6"><circle cx="36" cy="38" r="2"/></g>
      <g id="brow-left_1_"><rect x="30" y="28" width="12" height="2"/></g>
      <g id="mouth-open" inkscape:label="mouth-wide"><rect x="40" y="60" width="20" height="4"/></g>
      <g id="layer9" inkscape:label="mouth-open"><rect x="44" y="58" width="12" height="9"/></g>
      <g id="nose" inkscape:label="Snout"><rect x="48" y="45" width="4" height="6"/></g>
      <g id="mouth-rest copy"><rect x="42" y="62" width="16" height="2"/></g>)svg"));
    ASSERT_TRUE(art.ok()) << art.error().description.toStdString();
    const Artwork& a = *art.value();
    const auto id = [&](ArtLayer l) { return a.ids[std::size_t(l)].toStdString(); };
    EXPECT_EQ(id(ArtLayer::Head), "layer3") << "by its label over the id the editor made";
    EXPECT_EQ(id(ArtLayer::LeftEyeWhite), "Eye_Left_White") << "another case and separators";
    EXPECT_EQ(id(ArtLayer::LeftEyeIris), "eye-left-iris-6") << "Inkscape's suffix";
    EXPECT_EQ(id(ArtLayer::LeftBrow), "brow-left_1_") << "Illustrator's suffix";
    EXPECT_EQ(id(ArtLayer::MouthRest), "mouth-rest copy") << "a copy";
    // A layer renamed in Inkscape keeps its old id: the new name wins, and the
    // layer now named "mouth-open" is that one, not the old id's.
    EXPECT_EQ(id(ArtLayer::MouthWide), "mouth-open");
    EXPECT_EQ(id(ArtLayer::MouthOpen), "layer9");
    EXPECT_EQ(id(ArtLayer::Nose), "nose") << "a label that names no layer leaves the id its name";
}

TEST(DrawingLayers, AnExactNameWinsOverANearMissAndADuplicateIsNamed)
{
    // A label, as the editor shows it, wins over another element's id.
    const auto labelled = read(drawing(R"svg(<g id="head"><circle cx="50" cy="45" r="10"/></g>
      <g id="layer3" inkscape:label="head"><circle cx="50" cy="45" r="30"/></g>)svg" + kOpenMouth));
    ASSERT_TRUE(labelled.ok()) << labelled.error().description.toStdString();
    EXPECT_EQ(labelled.value()->ids[std::size_t(ArtLayer::Head)], QStringLiteral("layer3"));

    const auto art = read(drawing(kHead + R"svg(
      <g id="mouth-open-2"><rect x="40" y="62" width="20" height="2"/></g>
      <g id="mouth-open"><rect x="40" y="60" width="20" height="4"/></g>
      <g id="mouth-OPEN"><rect x="40" y="60" width="20" height="4"/></g>)svg"));
    ASSERT_TRUE(art.ok()) << art.error().description.toStdString();
    EXPECT_EQ(art.value()->ids[std::size_t(ArtLayer::MouthOpen)], QStringLiteral("mouth-open"));
    int duplicates = 0;
    for (const DrawingNote& note : art.value()->notes)
        duplicates += note.kind == DrawingNote::Kind::Warning && note.text.contains(u"also looks like the layer \"mouth-open\"");
    EXPECT_EQ(duplicates, 2) << "both other candidates are named as unused";
}

// A page in millimetres is read in its own units; one much larger than what
// is drawn on it is framed by the drawing, with a small margin.
TEST(DrawingLayers, AMuchLargerPageIsFramedByWhatIsDrawnOnIt)
{
    const QByteArray a4 = R"(<svg xmlns="http://www.w3.org/2000/svg" width="210mm" height="297mm" viewBox="0 0 210 297">
      <g id="head"><circle cx="40" cy="230" r="15"/></g>
      <g id="mouth-open"><ellipse cx="40" cy="238" rx="4" ry="2" fill="#fff"/></g>
      <g id="body"><rect x="15" y="248" width="50" height="30"/></g></svg>)";
    const auto art = read(a4);
    ASSERT_TRUE(art.ok()) << art.error().description.toStdString();
    const ArtworkGeometry& g = art.value()->geometry;
    EXPECT_EQ(g.page, QRectF(0, 0, 210, 297));
    // What is drawn: 15..65 across, 215..278 down, and a margin of a few units.
    EXPECT_NEAR(g.frame.left(), 15, 5);
    EXPECT_LT(g.frame.left(), 15);
    EXPECT_NEAR(g.frame.right(), 65, 5);
    EXPECT_GT(g.frame.right(), 65);
    EXPECT_NEAR(g.frame.top(), 215, 5);
    EXPECT_NEAR(g.frame.bottom(), 278, 5);
    // A character that covers most of its page keeps the page.
    const auto full = read(drawing(kHead + kOpenMouth));
    ASSERT_TRUE(full.ok());
    EXPECT_EQ(full.value()->geometry.frame, QRectF(0, 0, 100, 100));
}

// What the check reports for each kind of near miss, with the line it is on.
TEST(DrawingCheck, TheReportNamesEachNearMissWhereItIs)
{
    // Twice as many pixels as units: what is far off is told in the drawing's units.
    const QByteArray svg = drawing(R"svg(<g id="Head">
        <circle cx="50" cy="40" r="28"/>
        <rect x="900" y="900" width="3" height="3"/>
      </g>
      <g id="brows"><rect x="30" y="25" width="12" height="2"/><rect x="58" y="25" width="12" height="2"/></g>
      <g id="eye-left-iris-6"><circle cx="36" cy="38" r="2"/></g>
      <g id="layer4" inkscape:label="body"><rect x="20" y="80" width="60" height="30"/></g>
      <g id="mouth-open" inkscape:label="mouth-wide"><rect x="40" y="55" width="20" height="4"/></g>
      <g id="left-eye-white"><rect x="30" y="35" width="12" height="6"/></g>)svg",
                                   R"(viewBox="0 0 100 100" width="200" height="200")");
    const auto art = read(svg);
    ASSERT_TRUE(art.ok()) << art.error().description.toStdString();
    const auto has = [&](DrawingNote::Kind kind, int line, const QString& words) {
        for (const DrawingNote& note : art.value()->notes) {
            if (note.kind == kind && note.line == line && note.text.contains(words))
                return true;
        }
        return false;
    };
    using K = DrawingNote::Kind;
    EXPECT_TRUE(has(K::Resolved, 2, QStringLiteral("layer \"head\": taken from \"Head\" (written in another case")));
    EXPECT_TRUE(has(K::Warning, 2, QStringLiteral("layer \"head\" has something far off the page (it reaches 22 to 903 "
                                                  "across, 12 to 903 down; the page is 0 to 100 across")));
    EXPECT_TRUE(has(K::Warning, 6, QStringLiteral("\"brows\" holds two layers in one")));
    EXPECT_TRUE(has(K::Resolved, 7, QStringLiteral("taken from \"eye-left-iris-6\" (an editor's suffix)")));
    EXPECT_TRUE(has(K::Layer, 8, QStringLiteral("layer \"body\": found by its label (its id \"layer4\" was made")));
    EXPECT_TRUE(has(K::Resolved, 9, QStringLiteral("layer \"mouth-wide\": found by its label")));
    EXPECT_TRUE(has(K::Resolved, 9, QStringLiteral("its id \"mouth-open\" is another word")));
    EXPECT_TRUE(has(K::Warning, 10, QStringLiteral("\"left-eye-white\" looks like the layer \"eye-left-white\"")));
    EXPECT_TRUE(has(K::Missing, 0, QStringLiteral("no layer \"nose\": no nose stands out of a turning face")));
    // The head is measured from what lies on the page, not from the stray bit.
    EXPECT_NEAR(art.value()->geometry.headExtent.left(), 22, 1);
    EXPECT_NEAR(art.value()->geometry.headExtent.bottom(), 68, 1);
}

// The head's outline is its largest piece: a dot drawn apart from it, on
// the page, does not widen it.
TEST(DrawingLayers, TheHeadIsMeasuredByItsLargestPiece)
{
    const auto art = read(drawing(R"svg(<g id="head"><circle cx="50" cy="45" r="30"/><circle cx="95" cy="95" r="2"/></g>)svg" +
                                  kOpenMouth));
    ASSERT_TRUE(art.ok()) << art.error().description.toStdString();
    const ArtworkGeometry& g = art.value()->geometry;
    EXPECT_NEAR(g[ArtLayer::Head].right(), 97, 1) << "the layer's picture keeps the dot";
    EXPECT_NEAR(g.headExtent.right(), 80, 1);
    EXPECT_NEAR(g.headExtent.bottom(), 75, 1);
    const auto span = g.headOutline.at(45);
    ASSERT_TRUE(span.has_value());
    EXPECT_NEAR(span->first, 20, 1);
    EXPECT_NEAR(span->second, 80, 1);
    EXPECT_FALSE(g.headOutline.at(95).has_value()) << "the dot's row is not the head's";
    const auto column = g.headOutline.down(50);
    ASSERT_TRUE(column.has_value());
    EXPECT_NEAR(column->first, 15, 1);
    EXPECT_NEAR(column->second, 75, 1);
    EXPECT_FALSE(g.headOutline.down(95).has_value()) << "nor its column";
}

// Ids become CSS selectors to leave elements out; any id an editor writes
// must choose its element and no other.
TEST(DrawingLayers, ElementsWithAnyIdAreLeftOutByIt)
{
    EXPECT_EQ(SvgDocument::selectorOf(QStringLiteral("eye-left_1")), QStringLiteral("#eye-left_1"));
    EXPECT_EQ(SvgDocument::selectorOf(QStringLiteral("1st")), QStringLiteral("#\\31 st"));
    EXPECT_EQ(SvgDocument::selectorOf(QStringLiteral("a.b c")), QStringLiteral("#a\\2e b\\20 c"));
    const auto art = read(drawing(R"svg(<g id="head"><circle cx="50" cy="45" r="30" fill="#00ff00"/>
        <g id="eye.left.white"><rect x="30" y="35" width="12" height="6" fill="#ff0000"/></g>
        <g id="2nd"><rect x="60" y="35" width="12" height="6" fill="#ff0000"/></g></g>)svg" + kOpenMouth));
    ASSERT_TRUE(art.ok()) << art.error().description.toStdString();
    const Artwork& a = *art.value();
    // "eye.left.white" is a near miss of "eye-left-white", drawn apart from the head.
    ASSERT_EQ(a.ids[std::size_t(ArtLayer::LeftEyeWhite)], QStringLiteral("eye.left.white"));
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const LayerPicture& head = a.pictures[std::size_t(ArtLayer::Head)];
    ASSERT_TRUE(a.svg->render(image, QTransform(), head.element, head.hidden));
    EXPECT_EQ(image.pixelColor(36, 38), QColor(0, 255, 0)) << "the eye left out of the head";
    EXPECT_EQ(image.pixelColor(66, 38), QColor(255, 0, 0)) << "what is not a layer stays in it";
}

TEST(DrawingCheck, AHeadDrawnWithTheShouldersIsReportedAsCoveringTheBody)
{
    const auto art = read(drawing(R"svg(<g id="head"><path d="M50 10 C70 10 72 50 60 62 L90 70 L95 100 L5 100 L10 70 L40 62 C28 50 30 10 50 10 Z"/></g>
      <g id="body"><rect x="8" y="72" width="84" height="28"/></g>)svg" + kOpenMouth));
    ASSERT_TRUE(art.ok()) << art.error().description.toStdString();
    bool reported = false;
    for (const DrawingNote& note : art.value()->notes)
        reported |= note.kind == DrawingNote::Kind::Warning && note.text.startsWith(u"layer \"head\" covers the body");
    EXPECT_TRUE(reported);
    const auto apart = read(drawing(kHead + kOpenMouth + R"(<g id="body"><rect x="8" y="80" width="84" height="20"/></g>)"));
    ASSERT_TRUE(apart.ok());
    for (const DrawingNote& note : apart.value()->notes)
        EXPECT_FALSE(note.text.contains(u"covers the body")) << note.text.toStdString();
}

// A layer drawn inside another is its own layer, left out of the other's
// picture, however deep; what a style sheet hides is hidden again for the
// next layer drawn.
TEST(DrawingLayers, ALayerInsideAnotherIsDrawnOnItsOwn)
{
    const auto art = read(drawing(R"svg(<g id="head"><circle cx="50" cy="45" r="30" fill="#00ff00"/>
        <g id="eye-left-white"><rect x="30" y="35" width="12" height="6" fill="#ffffff"/>
          <g id="eye-left-iris"><circle cx="36" cy="38" r="2" fill="#0000ff"/></g></g></g>)svg" + kOpenMouth));
    ASSERT_TRUE(art.ok()) << art.error().description.toStdString();
    const Artwork& a = *art.value();
    const auto pixel = [&](ArtLayer layer, QPointF at) {
        QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        const LayerPicture& picture = a.pictures[std::size_t(layer)];
        a.svg->render(image, QTransform(), picture.element, picture.hidden);
        return image.pixelColor(at.toPoint());
    };
    EXPECT_EQ(pixel(ArtLayer::Head, {31, 36}), QColor(0, 255, 0)) << "the head without the eye";
    EXPECT_EQ(pixel(ArtLayer::LeftEyeWhite, {31, 36}), QColor(255, 255, 255));
    EXPECT_EQ(pixel(ArtLayer::LeftEyeWhite, {36, 38}), QColor(255, 255, 255)) << "the white without the iris";
    EXPECT_EQ(pixel(ArtLayer::LeftEyeIris, {36, 38}), QColor(0, 0, 255));
    EXPECT_EQ(pixel(ArtLayer::Head, {31, 36}), QColor(0, 255, 0)) << "the eye stays left out of the head";
    EXPECT_EQ(a.stacking.front(), ArtLayer::Head);
}

struct Refusal {
    const char* name;
    QByteArray svg;
    const char* message;
};

class RefusedDrawing : public ::testing::TestWithParam<Refusal> {};

TEST_P(RefusedDrawing, IsRefusedNamingTheFileAndWhatIsWrong)
{
    const auto result = read(GetParam().svg);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().number, err::InvalidFileFormat);
    EXPECT_EQ(result.error().description.toStdString(), GetParam().message);
}

QByteArray nested(int depth)
{
    return QByteArray("<g>").repeated(depth) + kHead + kOpenMouth + QByteArray("</g>").repeated(depth);
}

const QByteArray kLaughs = R"(<?xml version="1.0"?>
<!DOCTYPE svg [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">]>
<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 100 100"><text id="head">&b;</text></svg>)";

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedDrawing,
    ::testing::Values(
        Refusal{"NoHead", drawing(kOpenMouth),
                "d.svg: it has no layer \"head\" (an element with id=\"head\", or an Inkscape layer named so)"},
        Refusal{"EmptyHead", drawing(R"(<g id="head"/>)" + kOpenMouth),
                "d.svg: its layer \"head\" is empty or lies outside the drawing's frame"},
        Refusal{"HeadOutsideTheFrame", drawing(R"(<g id="head"><circle cx="500" cy="500" r="10"/></g>)" + kOpenMouth),
                "d.svg: its layer \"head\" is empty or lies outside the drawing's frame"},
        Refusal{"NoMouth", drawing(kHead),
                "d.svg: it has no mouth: draw at least one of the layers \"mouth-rest\", \"mouth-closed\", "
                "\"mouth-f\", \"mouth-open\", \"mouth-wide\", \"mouth-round\""},
        Refusal{"HiddenMouth", drawing(kHead + R"(<g style="display: none"><g id="mouth-open"><rect width="9" height="9"/></g></g>)"),
                "d.svg: its layer \"mouth-open\" is hidden (display:none, visibility:hidden or opacity 0); the player "
                "draws layers as they are saved: show it"},
        Refusal{"NoSize", drawing(kHead + kOpenMouth, ""),
                "d.svg: it has no size: give its <svg> a viewBox, or a width and a height"},
        Refusal{"NotSvg", "<html><body/></html>", "d.svg: line 1: it is not an SVG drawing (its first element is <html>)"},
        Refusal{"CutShort", drawing(kHead + kOpenMouth).left(220),
                "d.svg: line 2: Premature end of document. (it is not well-formed XML)"},
        Refusal{"Empty", "", "d.svg: line 1: it holds no SVG drawing"},
        Refusal{"LinkedPicture", drawing(kHead + kOpenMouth + R"(<image xlink:href="/etc/face.png" width="9" height="9"/>)"),
                "d.svg: line 2: it holds a picture (<image>); only shapes are drawn: trace the picture or leave it out"},
        Refusal{"EmbeddedPicture", drawing(R"(<image xlink:href="data:image/png;base64,iVBORw0KGgo=" width="9"/>)"),
                "d.svg: line 2: it holds a picture (<image>); only shapes are drawn: trace the picture or leave it out"},
        Refusal{"UseOfAnotherFile", drawing(kHead + kOpenMouth + R"(<use xlink:href="other.svg#face"/>)"),
                "d.svg: line 2: <use> refers to \"other.svg#face\" outside the drawing, which is not followed"},
        Refusal{"PlainHrefToAnotherFile", drawing(kHead + kOpenMouth + R"(<use href="other.svg#face"/>)"),
                "d.svg: line 2: <use> refers to \"other.svg#face\" outside the drawing, which is not followed"},
        Refusal{"PlainHrefRepeatOfARepeat",
                drawing("<g id=\"a\"><rect/></g>\n<g id=\"b\"><use href=\"#a\"/></g>\n<use href=\"#b\"/>"),
                "d.svg: line 4: <use> repeats \"b\", which holds a <use> itself; repeats of repeats are not drawn"},
        Refusal{"PlainHrefRepeatsBeyondTheBound",
                drawing("<g id=\"many\">" + QByteArray("<rect/>").repeated(999) + "</g>\n" +
                        QByteArray("<use href=\"#many\"/>\n").repeated(90)),
                "d.svg: line 81: with its repeats (<use>) it draws more than 80000 elements"},
        Refusal{"HiddenLayerFoundByItsLabel",
                drawing(kHead + R"(<g id="layer7" inkscape:label="mouth-open" style="display:none"><rect width="9" height="9"/></g>)"),
                "d.svg: its layer \"mouth-open\" is hidden (display:none, visibility:hidden or opacity 0); the player "
                "draws layers as they are saved: show it"},
        Refusal{"TransparentLayer",
                drawing(kHead + R"(<g opacity="0"><g id="mouth-open"><rect width="9" height="9"/></g></g>)"),
                "d.svg: its layer \"mouth-open\" is hidden (display:none, visibility:hidden or opacity 0); the player "
                "draws layers as they are saved: show it"},
        Refusal{"PaintFromAnotherFile", drawing(R"svg(<rect fill="url( 'paints.svg#gold')" width="5" height="5"/>)svg"),
                "d.svg: line 2: <rect> refers to \"paints.svg#gold\" outside the drawing, which is not followed"},
        Refusal{"FontFile", drawing(R"(<font-face-uri xlink:href="https://example.com/f.svg"/>)"),
                "d.svg: line 2: <font-face-uri> refers to \"https://example.com/f.svg\" outside the drawing, which "
                "is not followed"},
        Refusal{"ImportedStyle", drawing(R"(<style>@import url(look.css);</style>)"),
                "d.svg: line 2: its style sheet has @import, which is not followed"},
        Refusal{"StyleSheetLink", "<?xml-stylesheet href=\"look.css\"?>\n" + drawing(kHead + kOpenMouth),
                "d.svg: line 1: it links a style sheet (<?xml-stylesheet?>), which is not read"},
        Refusal{"Entities", kLaughs,
                "d.svg: line 2: it declares entities (<!ENTITY>), which are not read: save it as plain SVG"},
        Refusal{"TooDeep", drawing(nested(kMaxDrawingDepth)), "d.svg: line 2: its elements are nested more than 48 deep"},
        Refusal{"TooManyElements", drawing(QByteArray("<g/>").repeated(kMaxDrawingElements)),
                "d.svg: line 2: it has more than 20000 elements"},
        Refusal{"RepeatOfARepeat",
                drawing("<g id=\"a\"><rect/></g>\n<g id=\"b\"><use xlink:href=\"#a\"/></g>\n<use xlink:href=\"#b\"/>"),
                "d.svg: line 4: <use> repeats \"b\", which holds a <use> itself; repeats of repeats are not drawn"},
        Refusal{"RepeatsBeyondTheBound",
                drawing("<g id=\"many\">" + QByteArray("<rect/>").repeated(999) + "</g>\n" +
                        QByteArray("<use xlink:href=\"#many\"/>\n").repeated(90)),
                "d.svg: line 81: with its repeats (<use>) it draws more than 80000 elements"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DrawingSafety, WhatStaysInsideTheFileIsRead)
{
    // A gradient and a repeat of this file, and a hyperlink, which drawing
    // does not follow.
    const auto art = read(drawing(R"svg(<defs><linearGradient id="g"><stop offset="0" stop-color="red"/></linearGradient></defs>
        <g id="head"><circle id="c" cx="50" cy="45" r="30" style="fill:url(#g)"/><use xlink:href="#c" x="1"/></g>
        <a xlink:href="https://example.com/"><g id="mouth-rest"><rect x="40" y="60" width="20" height="3"/></g></a>)svg"));
    EXPECT_TRUE(art.ok()) << art.error().description.toStdString();
}

// What passes the checks and librsvg still cannot read is refused with
// librsvg's reason, and the next drawing reads as ever.
TEST(DrawingSafety, WhatLibrsvgCannotReadIsRefusedWithItsReason)
{
    for (int i = 0; i < 3; ++i) {
        const auto result = read(drawing(kHead + kOpenMouth + "<x:g/>"));
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().number, err::InvalidFileFormat);
        EXPECT_TRUE(result.error().description.startsWith(u"d.svg: it cannot be read as a drawing (XML parse error"))
            << result.error().description.toStdString();
        EXPECT_TRUE(result.error().description.contains(u"Namespace prefix x on g is not defined"));
        EXPECT_TRUE(read(drawing(kHead + kOpenMouth)).ok());
    }
}

TEST(DrawingSafety, ElementsNestedUpTo48DeepAreRead)
{
    // The <svg>, the groups, the head's group and its circle: 48 deep, and one more.
    EXPECT_TRUE(read(drawing(nested(kMaxDrawingDepth - 3))).ok());
    EXPECT_FALSE(read(drawing(nested(kMaxDrawingDepth - 2))).ok());
}

TEST(DrawingSafety, AnOversizedDrawingIsRefusedBeforeItIsRead)
{
    const QByteArray big = drawing(kHead + kOpenMouth + "<!--" + QByteArray(kMaxDrawingBytes, ' ') + "-->");
    const auto result = read(big);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().description.toStdString(), "d.svg: the drawing is larger than 1048576 bytes");
}

struct DrawnModelFixture : testing::PlayerFixture {
    QString model(const QString& name, const QByteArray& svg)
    {
        write(name + QStringLiteral(".svg"), svg);
        return write(name + QStringLiteral(".qvm"), "QVM 1\nname " + name.toUtf8() + "\ndrawing " + name.toUtf8() + ".svg\n");
    }
};

// A drawing that is refused fails the model's put, names the model's line,
// and the player goes on showing the model it had.
TEST(DrawingFiles, ARefusedDrawingFailsTheModelAndThePreviousModelStays)
{
    DrawnModelFixture f;
    f.player.resize(128, 128);
    const QString good = f.model(QStringLiteral("good"), drawing(kHead + kOpenMouth));
    ASSERT_TRUE(f.player.put(id::ModelName, dispatch::Str(good)).ok());
    const QImage before = f.player.grab().toImage();
    const QString hostile = f.model(QStringLiteral("hostile"), drawing(kHead + kOpenMouth +
                                                                       R"(<image xlink:href="/etc/x.png"/>)"));
    const auto refused = f.player.put(id::ModelName, dispatch::Str(hostile));
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().number, err::InvalidFileFormat);
    EXPECT_EQ(refused.error().description.toStdString(),
              "hostile.svg: line 2: it holds a picture (<image>); only shapes are drawn: trace the picture or leave "
              "it out (hostile.qvm: line 3)");
    EXPECT_EQ(f.player.get(id::ModelName).value().asString(), good);
    EXPECT_EQ(f.player.grab().toImage(), before);

    f.write(QStringLiteral("Face.SVG"), drawing(kHead + kOpenMouth));
    const QString upper = f.write(QStringLiteral("upper.qvm"), "QVM 1\nname Upper\ndrawing Face.SVG\n");
    EXPECT_TRUE(f.player.put(id::ModelName, dispatch::Str(upper)).ok()) << "a drawing's name ending in .SVG";

    const QString missing = f.write(QStringLiteral("lost.qvm"), "QVM 1\nname Lost\ndrawing lost.svg\n");
    const auto notFound = f.player.put(id::ModelName, dispatch::Str(missing));
    ASSERT_FALSE(notFound.ok());
    EXPECT_EQ(notFound.error().number, err::FileNotFound);
    EXPECT_EQ(notFound.error().description, QStringLiteral("File not found: %1 (lost.qvm: line 3)").arg(f.dir.filePath(QStringLiteral("lost.svg"))));
}

}  // namespace
}  // namespace vizmo::player
