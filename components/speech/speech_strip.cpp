#include "components/speech/speech_strip.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace vizmo::speech {

namespace {

constexpr int kMargin = 4;
// Characters laid out on each side of the spoken word. Even in the narrowest
// glyphs this is wider than the strip, so the pixels are those of the whole
// line, while a 20 KB text costs no more to paint than a sentence.
constexpr int kContextChars = 200;

// A slice of the line that holds [from, to) and kContextChars around it, cut
// at white space so the visible words are shaped as in the whole line.
struct Slice {
    int start = 0;
    int end = 0;
};

Slice sliceAround(const QString& line, int from, int to)
{
    const int size = int(line.size());
    Slice slice{std::max(0, from - kContextChars), std::min(size, to + kContextChars)};
    if (slice.start > 0) {
        const int space = int(line.indexOf(u' ', slice.start));
        if (space >= 0 && space < from)
            slice.start = space;
    }
    if (slice.end < size) {
        const int space = int(line.lastIndexOf(u' ', slice.end - 1));
        if (space >= to)
            slice.end = space;
    }
    return slice;
}

// Line breaks become spaces so the positions of the text stay the same.
QString oneLine(QStringView text)
{
    QString line = text.toString();
    for (QChar& c : line) {
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
    }
    return line;
}

}  // namespace

void paintStrip(QPainter& painter, const QRect& area, const StripContent& content)
{
    painter.fillRect(area, content.back);
    const QString& text = content.text;
    const int size = int(text.size());
    const bool hasWord = content.wordStart >= 0 && content.wordStart < size && content.wordLength > 0;
    const int wordStart = hasWord ? content.wordStart : 0;
    const int wordLength = hasWord ? std::min(content.wordLength, size - wordStart) : 0;

    const Slice slice = sliceAround(text, wordStart, wordStart + wordLength);
    const QString line = oneLine(QStringView(text).mid(slice.start, slice.end - slice.start));
    const int wordInLine = wordStart - slice.start;

    const QFontMetrics metrics(painter.font());
    const QRect inner = area.adjusted(kMargin, 0, -kMargin, 0);

    // Scroll so the spoken word sits a third of the way in once the line is longer than the strip.
    int scroll = 0;
    int wordX = 0, wordWidth = 0;
    if (hasWord) {
        wordX = metrics.horizontalAdvance(line.left(wordInLine));
        wordWidth = metrics.horizontalAdvance(line.mid(wordInLine, wordLength));
        const int total = metrics.horizontalAdvance(line);
        if (total > inner.width())
            scroll = std::clamp(wordX - inner.width() / 3, 0, std::max(0, total - inner.width()));
    }

    painter.save();
    painter.setClipRect(inner);
    const int baseline = inner.top() + (inner.height() + metrics.ascent() - metrics.descent()) / 2;
    painter.setPen(content.fore);
    painter.drawText(inner.left() - scroll, baseline, line);
    if (hasWord) {
        const QRect box(inner.left() - scroll + wordX - 1, inner.top() + 2, wordWidth + 2, inner.height() - 4);
        painter.fillRect(box, content.fore);
        painter.setPen(content.back);
        painter.drawText(inner.left() - scroll + wordX, baseline, line.mid(wordInLine, wordLength));
    }
    painter.restore();
}

}  // namespace vizmo::speech
