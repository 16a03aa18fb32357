#include "components/speech/sentence_pieces.h"

#include <algorithm>

namespace vizmo::speech {

namespace {

bool endsSentence(const QString& text, int i)
{
    const QChar c = text.at(i);
    if (c == u'\n')
        return true;
    const bool mark = c == u'.' || c == u'!' || c == u'?' || c == u';';
    return mark && (i + 1 == text.size() || text.at(i + 1).isSpace());
}

void add(std::vector<TextPiece>& pieces, const QString& text, int from, int to)
{
    const QString piece = text.mid(from, to - from);
    if (!piece.trimmed().isEmpty())
        pieces.push_back({from, piece});
}

}  // namespace

std::vector<TextPiece> splitIntoSentences(const QString& text, int maxLength, int firstMaxLength)
{
    std::vector<TextPiece> pieces;
    int from = 0;
    int lastSpace = -1;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i).isSpace())
            lastSpace = i;
        const bool first = pieces.empty();
        const bool clause = first && firstMaxLength < maxLength && text.at(i) == u',' && i + 1 < text.size()
                            && text.at(i + 1).isSpace();
        if (endsSentence(text, i) || clause) {
            add(pieces, text, from, i + 1);
            from = i + 1;
            lastSpace = -1;
        } else if (i + 1 - from >= (first ? std::min(firstMaxLength, maxLength) : maxLength)) {
            const int cut = lastSpace > from ? lastSpace + 1 : i + 1;
            add(pieces, text, from, cut);
            from = cut;
            lastSpace = -1;
        }
    }
    add(pieces, text, from, int(text.size()));
    return pieces;
}

}  // namespace vizmo::speech
