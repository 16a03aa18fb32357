#pragma once
// Long texts are spoken piece by piece so that the first sound comes after
// the first sentence has been synthesised, not after the whole text.

#include <QString>

#include <vector>

namespace vizmo::speech {

struct TextPiece {
    int start = 0;  // UTF-16 offset of the piece in the whole text
    QString text;
};

// Splits after sentence ends (. ! ? followed by white space) and line breaks;
// a piece longer than `maxLength` is cut at the last space before the limit.
// Pieces cover the text in order; white-space-only pieces are left out.
// The first piece ends already at the first comma or after `firstMaxLength`
// characters: it is what the listener waits for.
std::vector<TextPiece> splitIntoSentences(const QString& text, int maxLength = 400, int firstMaxLength = 400);

}  // namespace vizmo::speech
