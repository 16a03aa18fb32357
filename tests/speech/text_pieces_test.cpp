// Splitting long texts for streaming, and code points to UTF-16 positions.
#include "components/speech/sentence_pieces.h"
#include "components/speech/text_positions.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace vizmo::speech;

TEST(SentencePieces, SplitAtSentenceEndsAndKeepOffsets)
{
    const QString text = QStringLiteral("Hi there. Version 2.5 is out!\nNext line? Yes");
    const auto pieces = splitIntoSentences(text);
    QStringList got;
    for (const auto& p : pieces) {
        EXPECT_EQ(text.mid(p.start, p.text.size()), p.text);
        got << p.text.trimmed();
    }
    EXPECT_EQ(got, (QStringList{"Hi there.", "Version 2.5 is out!", "Next line?", "Yes"}));
}

TEST(SentencePieces, LongRunsAreCutAtSpacesAndBlankPiecesDropped)
{
    QString text;
    for (int i = 0; i < 100; ++i)
        text += QStringLiteral("word ");
    text += QStringLiteral("\n\n   \n");
    const auto pieces = splitIntoSentences(text, 42);
    ASSERT_GT(pieces.size(), 10u);
    int covered = 0;
    for (const auto& p : pieces) {
        EXPECT_LE(p.text.size(), 42);
        EXPECT_FALSE(p.text.trimmed().isEmpty());
        EXPECT_TRUE(p.text.endsWith(u' ') || p.text.endsWith(u'\n')) << "cut inside a word";
        covered += int(p.text.size());
    }
    EXPECT_EQ(covered, 501);  // the first line break ends the last piece; the blank lines go
}

TEST(SentencePieces, TheFirstPieceEndsEarlyForAQuickStart)
{
    const QString text = QStringLiteral("Good morning, and welcome to the show. It starts now, right away.");
    const auto pieces = splitIntoSentences(text, 400, 60);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].text, QStringLiteral("Good morning,"));
    EXPECT_EQ(pieces[1].text.trimmed(), QStringLiteral("and welcome to the show."));
    EXPECT_EQ(pieces[2].text.trimmed(), QStringLiteral("It starts now, right away."));  // later commas stay
}

TEST(CodePointIndex, SurrogatePairsCountOnceAsCodePointsAndTwiceInUtf16)
{
    const QString text = QStringLiteral("a😀bc");
    const CodePointIndex index(text);
    EXPECT_EQ(index.toUtf16(0, 1), std::make_pair(0, 1));
    EXPECT_EQ(index.toUtf16(1, 1), std::make_pair(1, 2));
    EXPECT_EQ(index.toUtf16(2, 2), std::make_pair(3, 2));
    EXPECT_EQ(index.toUtf16(3, 10), std::make_pair(4, 1));  // clamped to the end
}
