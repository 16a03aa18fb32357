// The strip as painted: the spoken word inverted, long texts scrolled so the
// word stays in view, and only the text near the word laid out, which must
// look the same as laying out the whole line.
#include "components/dispatch/ole_color.h"
#include "components/speech/kvtts_component.h"
#include "components/speech/speech_strip.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace vizmo;
using namespace vizmo::speech;

namespace {

const QColor kBack(0, 0, 128);
const QColor kFore(255, 255, 0);

QImage paint(const QString& text, int wordStart, int wordLength)
{
    QImage image(256, 25, QImage::Format_RGB32);
    QPainter painter(&image);
    paintStrip(painter, image.rect(), {text, wordStart, wordLength, kBack, kFore});
    return image;
}

int countColumnsWith(const QImage& image, const QColor& color, int& first, int& last)
{
    first = -1;
    last = -1;
    int columns = 0;
    for (int x = 0; x < image.width(); ++x) {
        bool found = false;
        for (int y = 0; y < image.height() && !found; ++y)
            found = image.pixelColor(x, y) == color;
        if (found) {
            if (first < 0)
                first = x;
            last = x;
            ++columns;
        }
    }
    return columns;
}

// Words of varied widths, so a slicing error shows as shifted pixels.
QString filler(int length, int seed)
{
    static const char* words[] = {"mill", "WWW", "a", "illicit", "Mammoth", "of", "jiffy", "quartz"};
    QString text;
    for (int i = seed; text.size() < length; ++i)
        text += QLatin1String(words[i % 8]) + u' ';
    return text.left(length);
}

// Glyphs sit at fractional positions, so the same words after a prefix of
// another width may land up to a pixel apart and be anti-aliased differently:
// about 4 % of the pixels then differ clearly, while the box one letter off
// differs in more than 15 %.
bool sameWithinAPixel(const QImage& a, const QImage& b)
{
    for (int dx = -1; dx <= 1; ++dx) {
        int differing = 0, compared = 0;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 8; x < a.width() - 8; ++x) {
                const QColor p = a.pixelColor(x, y), q = b.pixelColor(x + dx, y);
                ++compared;
                differing += std::abs(p.red() - q.red()) + std::abs(p.blue() - q.blue()) > 128;
            }
        }
        if (differing * 10 < compared)
            return true;
    }
    return false;
}

}  // namespace

TEST(SpeechStrip, SpokenWordIsAForeColourBoxWithBackColourLetters)
{
    const QString text = QStringLiteral("Hello there world");
    const QImage image = paint(text, 6, 5);
    int first = 0, last = 0;
    ASSERT_GT(countColumnsWith(image, kFore, first, last), 10);
    // The box row 3 px down is solid fore colour across the word, and nothing else is.
    const int y = 3;
    int boxStart = -1, boxEnd = -1;
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, y) == kFore) {
            if (boxStart < 0)
                boxStart = x;
            boxEnd = x;
        }
    }
    ASSERT_GE(boxStart, 0);
    EXPECT_GT(boxStart, 20) << "the box starts after \"Hello \"";
    EXPECT_LT(boxEnd, 200);
    for (int x = boxStart; x <= boxEnd; ++x)
        EXPECT_EQ(image.pixelColor(x, y), kFore) << x;
    // Inside the box the letters are drawn in the back colour.
    bool backInside = false;
    for (int x = boxStart + 2; x < boxEnd - 1 && !backInside; ++x) {
        for (int yy = 6; yy < 19 && !backInside; ++yy)
            backInside = image.pixelColor(x, yy) == kBack;
    }
    EXPECT_TRUE(backInside);
}

TEST(SpeechStrip, NoWordMeansNoBox)
{
    const QImage image = paint(QStringLiteral("Hello there world"), -1, 0);
    for (int x = 0; x < image.width(); ++x)
        ASSERT_NE(image.pixelColor(x, 3), kFore) << x;
}

TEST(SpeechStrip, LongTextKeepsTheWordAThirdOfTheWayIn)
{
    const QString text = filler(20000, 0);
    const int at = int(text.indexOf(QLatin1String("quartz"), 12000));
    ASSERT_GT(at, 0);
    const QImage image = paint(text, at, 6);
    int boxStart = -1;
    for (int x = 0; x < image.width() && boxStart < 0; ++x) {
        if (image.pixelColor(x, 3) == kFore)
            boxStart = x;
    }
    EXPECT_NEAR(boxStart, (256 - 8) / 3 + 4, 3);
}

TEST(SpeechStrip, TextFarFromTheWordChangesNothingOnScreen)
{
    // The same 600 characters around the word, behind two different long
    // prefixes and in front of two different long tails, and on their own.
    const QString middle = filler(300, 3) + QStringLiteral("spoken ") + filler(300, 5);
    const QString a = filler(9001, 1) + u' ' + middle + u' ' + filler(7000, 2);
    const QString b = filler(4000, 6) + u' ' + middle + u' ' + filler(9000, 7);
    const QString alone = middle.mid(150);
    const int atA = 9002 + 300, atB = 4001 + 300, atAlone = 150;
    ASSERT_EQ(a.mid(atA, 6), QStringLiteral("spoken"));
    ASSERT_EQ(b.mid(atB, 6), QStringLiteral("spoken"));
    ASSERT_EQ(alone.mid(atAlone, 6), QStringLiteral("spoken"));
    const QImage reference = paint(alone, atAlone, 6);
    EXPECT_TRUE(sameWithinAPixel(paint(a, atA, 6), reference));
    EXPECT_TRUE(sameWithinAPixel(paint(b, atB, 6), reference));
}

TEST(SpeechStrip, LastWordOfALongTextShowsTheEndAsTheWholeTextWould)
{
    // Near its end the line stops scrolling: the end sits at the right edge, as
    // it does for a text short enough to be laid out whole.
    const QString tail = filler(120, 4) + QStringLiteral("finally");
    const QString longText = filler(15000, 2) + u' ' + tail;
    const QString shortText = filler(150, 6) + u' ' + tail;
    const QImage fromLong = paint(longText, int(longText.size()) - 7, 7);
    const QImage fromShort = paint(shortText, int(shortText.size()) - 7, 7);
    EXPECT_TRUE(sameWithinAPixel(fromLong, fromShort));
}

TEST(SpeechStrip, LineBreaksAreShownAsSpaces)
{
    EXPECT_EQ(paint(QStringLiteral("one\r\ntwo\tthree"), 5, 3), paint(QStringLiteral("one  two three"), 5, 3));
}

TEST(SpeechStrip, ComponentResolvesSystemColoursThroughThePalette)
{
    KVTTSComponent component;
    ASSERT_TRUE(component.put(id::BackColor, dispatch::I4(std::int32_t(0x8000000Fu))).ok());
    ASSERT_TRUE(component.put(id::ForeColor, dispatch::I4(0x0000FFFF)).ok());
    ASSERT_TRUE(component.put(id::Text, dispatch::Str(QStringLiteral("Hello"))).ok());
    const QImage image = component.grab().toImage();
    const QColor buttonFace = QGuiApplication::palette().color(QPalette::Button);
    EXPECT_EQ(image.pixelColor(1, 1), buttonFace);
    EXPECT_EQ(image.pixelColor(image.width() - 2, image.height() - 2), buttonFace);
    // Yellow letters, anti-aliased against the light face: red and green stay, blue drops.
    int yellowish = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            yellowish += c.blue() < 160 && c.red() > 200 && c.green() > 200;
        }
    }
    EXPECT_GT(yellowish, 15);
}
