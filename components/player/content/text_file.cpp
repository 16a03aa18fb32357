#include "components/player/content/text_file.h"

#include "components/dispatch/error.h"
#include "components/player/content/missing_file.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace vizmo::player {

namespace err = dispatch::err;

namespace {
LoadError formatError(const QString& displayName, int line, const QString& what)
{
    return {err::InvalidFileFormat, QStringLiteral("%1: line %2: %3").arg(displayName).arg(line).arg(what)};
}

// Splits one line into words at white space. A comment is a line whose first
// word starts with '#', or a '#' standing alone as a word; a colour such as
// "#a0b0c0" after a keyword is a value.
void splitWords(QStringView raw, TextLine& line)
{
    line.words.clear();
    line.starts.clear();
    line.ends.clear();
    line.text = {};
    qsizetype i = 0;
    const qsizetype n = raw.size();
    while (true) {
        while (i < n && raw[i].isSpace())
            ++i;
        if (i == n)
            break;
        const qsizetype start = i;
        while (i < n && !raw[i].isSpace())
            ++i;
        if (raw[start] == u'#' && (line.starts.empty() || i - start == 1))
            break;
        line.starts.push_back(start);
        line.ends.push_back(i);
    }
    if (line.starts.empty())
        return;
    line.text = raw.left(line.ends.back());
    for (std::size_t w = 0; w < line.starts.size(); ++w)
        line.words.append(line.text.mid(line.starts[w], line.ends[w] - line.starts[w]));
}
}  // namespace

QString TextLine::rest(int index) const
{
    if (index >= int(starts.size()))
        return {};
    return text.mid(starts[std::size_t(index)]).toString();
}

bool TextFile::next(TextLine& line)
{
    while (pos_ <= text_.size()) {
        qsizetype end = text_.indexOf(u'\n', pos_);
        if (end < 0)
            end = text_.size();
        const QStringView raw = QStringView(text_).mid(pos_, end - pos_);
        pos_ = end + 1;
        ++lineNumber_;
        splitWords(raw, line);
        if (!line.words.isEmpty()) {
            line.number = lineNumber_;
            lastNumber_ = lineNumber_;
            return true;
        }
    }
    return false;
}

LoadResult<TextFile> parseTextFile(const QByteArray& bytes, const QString& displayName, const QString& magic,
                                   int supportedVersion)
{
    if (bytes.size() > kMaxTextFileBytes)
        return LoadError{err::InvalidFileFormat,
                         QStringLiteral("%1: the file is larger than %2 bytes").arg(displayName).arg(kMaxTextFileBytes)};
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(bytes);
    if (decoder.hasError() || text.contains(QChar(0)))
        return LoadError{err::InvalidFileFormat, QStringLiteral("%1: the file is not UTF-8 text").arg(displayName)};

    TextFile file;
    file.displayName = displayName;
    file.text_ = std::move(text);
    TextLine first;
    if (!file.next(first))
        return LoadError{err::InvalidFileFormat,
                         QStringLiteral("%1: line 1: the file is empty; expected \"%2 %3\"")
                             .arg(displayName, magic)
                             .arg(supportedVersion)};
    const QList<QStringView>& words = first.words;
    if (words[0] != magic || words.size() != 2)
        return formatError(displayName, first.number,
                           QStringLiteral("expected the first line \"%1 %2\"").arg(magic).arg(supportedVersion));
    bool isNumber = false;
    const int version = words[1].toInt(&isNumber);
    if (!isNumber || version != supportedVersion)
        return formatError(displayName, first.number,
                           QStringLiteral("unsupported version \"%1\" (this program reads version %2)")
                               .arg(words[1])
                               .arg(supportedVersion));
    file.version = version;
    file.lastNumber_ = 1;
    return file;
}

LoadResult<TextFile> readTextFile(const QString& path, const QString& magic, int supportedVersion)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return LoadError{err::FileNotFound, fileNotFoundMessage(path)};
    const QString name = info.fileName();
    if (info.size() > kMaxTextFileBytes)
        return LoadError{err::InvalidFileFormat,
                         QStringLiteral("%1: the file is larger than %2 bytes").arg(name).arg(kMaxTextFileBytes)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LoadError{err::PathNotFound, QStringLiteral("%1: cannot be read (%2)").arg(path, file.errorString())};
    return parseTextFile(file.read(kMaxTextFileBytes + 1), name, magic, supportedVersion);
}

LoadError lineError(const TextFile& file, const TextLine& line, const QString& what)
{
    return formatError(file.displayName, line.number, what);
}

bool expectWords(const TextFile& file, const TextLine& line, int low, int high, LoadError& error)
{
    const int count = int(line.words.size());
    if (count >= low && count <= high)
        return true;
    const QString wanted = low == high ? QString::number(low - 1)
                                       : QStringLiteral("%1 to %2").arg(low - 1).arg(high - 1);
    error = lineError(file, line,
                      QStringLiteral("\"%1\" takes %2 value(s), found %3").arg(line.words[0], wanted).arg(count - 1));
    return false;
}

bool readInt(const TextFile& file, const TextLine& line, int index, int low, int high, int& out, LoadError& error)
{
    bool isNumber = false;
    const int value = line.words.value(index).toInt(&isNumber);
    if (!isNumber) {
        error = lineError(file, line, QStringLiteral("\"%1\" is not a whole number").arg(line.words.value(index)));
        return false;
    }
    if (value < low || value > high) {
        error = lineError(file, line, QStringLiteral("%1 is out of range (%2 to %3)").arg(value).arg(low).arg(high));
        return false;
    }
    out = value;
    return true;
}

bool readReal(const TextFile& file, const TextLine& line, int index, double low, double high, double& out,
              LoadError& error)
{
    bool isNumber = false;
    const double value = line.words.value(index).toDouble(&isNumber);
    if (!isNumber || !std::isfinite(value)) {
        error = lineError(file, line, QStringLiteral("\"%1\" is not a number").arg(line.words.value(index)));
        return false;
    }
    if (value < low || value > high) {
        error = lineError(file, line,
                          QStringLiteral("%1 is out of range (%2 to %3)").arg(line.words.value(index)).arg(low).arg(high));
        return false;
    }
    out = value;
    return true;
}

bool readColor(const TextFile& file, const TextLine& line, int index, QColor& out, LoadError& error)
{
    const QStringView word = line.words.value(index);
    const bool hex = word.size() == 7 && word[0] == u'#' &&
                     std::all_of(word.begin() + 1, word.end(), [](QChar c) { return c.unicode() < 128 && std::isxdigit(c.unicode()); });
    if (!hex) {
        error = lineError(file, line, QStringLiteral("\"%1\" is not a colour of the form #rrggbb").arg(word));
        return false;
    }
    out = QColor(word.toString());
    return true;
}

}  // namespace vizmo::player
