#pragma once
// The line syntax shared by the model and script formats: a magic first line
// "<MAGIC> <version>", then one statement per line as whitespace-separated
// words, '#' starting a comment. Every helper reports errors as
// "<file>: line N: <what is wrong>" so the user can find the fault.

#include "components/player/content/load_result.h"

#include <QColor>
#include <QString>
#include <QList>
#include <QStringView>

#include <vector>

namespace vizmo::player {

// Larger files are refused before they are read: real models and scripts are
// a few kilobytes.
inline constexpr qint64 kMaxTextFileBytes = 1024 * 1024;

struct TextLine {
    int number = 0;              // 1-based, as an editor shows it
    QList<QStringView> words;    // never empty; views into the file's text
    // The statement's text from word `index` to its last word, with the spaces
    // between words kept as written (file names and titles may hold two).
    QString rest(int index) const;

    QStringView text;                     // the line without its comment
    std::vector<qsizetype> starts, ends;  // each word's place in `text`
};

// The statements after the magic line, split one line at a time as the reader
// asks for them: a fault on line 2 is reported without touching the rest.
// The lines it hands out look into its text: they live no longer than it.
class TextFile {
public:
    QString displayName;  // the file name used in messages
    int version = 0;

    // Fills `line` with the next statement; false at the end of the file.
    bool next(TextLine& line);
    // The number of the last statement handed out, 1 before the first.
    int lastNumber() const { return lastNumber_; }

private:
    friend LoadResult<TextFile> parseTextFile(const QByteArray&, const QString&, const QString&, int);
    QString text_;
    qsizetype pos_ = 0;
    int lineNumber_ = 0;
    int lastNumber_ = 1;
};

// Reads `path` (53 if missing, 321 if too large, not UTF-8 text or without the
// magic line, 380 for an unsupported version).
LoadResult<TextFile> readTextFile(const QString& path, const QString& magic, int supportedVersion);
// The same for text already in memory; `displayName` names it in messages.
LoadResult<TextFile> parseTextFile(const QByteArray& bytes, const QString& displayName, const QString& magic,
                                   int supportedVersion);

// Builds the "<file>: line N: <what>" error of a malformed statement.
LoadError lineError(const TextFile& file, const TextLine& line, const QString& what);

// Strict number readers: the whole word must be a number inside [low, high].
// On failure they fill `error` and return false.
bool readInt(const TextFile& file, const TextLine& line, int index, int low, int high, int& out, LoadError& error);
bool readReal(const TextFile& file, const TextLine& line, int index, double low, double high, double& out,
              LoadError& error);
// "#rrggbb".
bool readColor(const TextFile& file, const TextLine& line, int index, QColor& out, LoadError& error);
// Refuses a statement whose word count is outside [low, high] (the keyword counts).
bool expectWords(const TextFile& file, const TextLine& line, int low, int high, LoadError& error);

}  // namespace vizmo::player
