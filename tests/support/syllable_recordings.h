#pragma once
// People saying syllables, from Debian's klettres-data: one speaker a
// language, each consonant-vowel syllable in a file of its own
// (/usr/share/klettres/<language>/syllab/ba.ogg, or under $VIZMO_KLETTRES).
// The tests and the listening bench hear them as one stream, joined with
// short pauses, and know where each syllable and its vowel lie.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vizmo::testing {

struct SyllableMark {
    QString name;         // "ba"
    long start = 0;       // its first sound, in samples of the stream
    long vowel = 0;       // where it is first nearly as loud as it gets
    long end = 0;         // after its last sound
};

struct SyllableStream {
    std::vector<float> samples;  // mono, -1..1
    int rate = 0;
    std::vector<SyllableMark> marks;
};

// The folder of a language's syllables.
QString syllableFolder(const QString& language);

// The syllables `names` ("ba", "mo"...) of `language` at `rate`, each cut to
// its sound and following `gapMs` of silence, with `gapMs` more at the end;
// nothing when one cannot be read.
std::optional<SyllableStream> joinSyllables(const QString& language, const QStringList& names, int rate, int gapMs);

// Every consonant-vowel syllable the language has whose consonant is one of
// `consonants` and whose vowel is one of `vowels`, in the order consonant by
// consonant.
QStringList syllablesOf(const QString& language, const QString& consonants, const QString& vowels);

}  // namespace vizmo::testing
