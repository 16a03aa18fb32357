#include "components/speech/speech_strip.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace vizmo::speech {

namespace {
constexpr int kMargin = 4;
}

void paintStrip(QPainter& painter, const QRect& area, const StripContent& content)
{
    painter.fillRect(area, content.back);
    // Line breaks become spaces so the positions of the text stay the same.
    QString line = content.text;
    for (QChar& c : line) {
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
    }
    const QFontMetrics metrics(painter.font());
    const QRect inner = area.adjusted(kMargin, 0, -kMargin, 0);
    const bool hasWord = content.wordStart >= 0 && content.wordStart < line.size() && content.wordLength > 0;
    const int wordLength = hasWord ? std::min<int>(content.wordLength, int(line.size()) - content.wordStart) : 0;

    // Scroll so the spoken word sits a third of the way in once the line is longer than the strip.
    int scroll = 0;
    int wordX = 0, wordWidth = 0;
    if (hasWord) {
        wordX = metrics.horizontalAdvance(line.left(content.wordStart));
        wordWidth = metrics.horizontalAdvance(line.mid(content.wordStart, wordLength));
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
        painter.drawText(inner.left() - scroll + wordX, baseline, line.mid(content.wordStart, wordLength));
    }
    painter.restore();
}

}  // namespace vizmo::speech
