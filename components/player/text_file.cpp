#include "components/player/text_file.h"

#include "components/dispatch/error.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cmath>

namespace vizmo::player {

namespace err = dispatch::err;

namespace {
LoadError formatError(const QString& displayName, int line, const QString& what)
{
    return {err::InvalidFileFormat, QStringLiteral("%1: line %2: %3").arg(displayName).arg(line).arg(what)};
}

// Drops a comment: a line whose first word starts with '#', or a '#' standing
// alone as a word. A colour such as "#a0b0c0" after a keyword is a value.
QString withoutComment(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(u'#'))
        return {};
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (line[i] == u'#' && line[i - 1].isSpace() && (i + 1 == line.size() || line[i + 1].isSpace()))
            return line.left(i);
    }
    return line;
}
}  // namespace

LoadResult<TextFile> parseTextFile(const QByteArray& bytes, const QString& displayName, const QString& magic,
                                   int supportedVersion)
{
    if (bytes.size() > kMaxTextFileBytes)
        return LoadError{err::InvalidFileFormat,
                         QStringLiteral("%1: the file is larger than %2 bytes").arg(displayName).arg(kMaxTextFileBytes)};
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError() || text.contains(QChar(0)))
        return LoadError{err::InvalidFileFormat, QStringLiteral("%1: the file is not UTF-8 text").arg(displayName)};

    TextFile file;
    file.displayName = displayName;
    const QStringList rawLines = text.split(u'\n');
    bool sawMagic = false;
    for (int i = 0; i < rawLines.size(); ++i) {
        const int number = i + 1;
        const QStringList words = withoutComment(rawLines[i]).split(QRegularExpression(QStringLiteral("\\s+")),
                                                                    Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        if (!sawMagic) {
            if (words[0] != magic || words.size() != 2)
                return formatError(displayName, number,
                                   QStringLiteral("expected the first line \"%1 %2\"").arg(magic).arg(supportedVersion));
            bool isNumber = false;
            const int version = words[1].toInt(&isNumber);
            if (!isNumber || version != supportedVersion)
                return formatError(displayName, number,
                                   QStringLiteral("unsupported version \"%1\" (this program reads version %2)")
                                       .arg(words[1])
                                       .arg(supportedVersion));
            file.version = version;
            sawMagic = true;
            continue;
        }
        file.lines.push_back({number, words});
    }
    if (!sawMagic)
        return LoadError{err::InvalidFileFormat,
                         QStringLiteral("%1: line 1: the file is empty; expected \"%2 %3\"")
                             .arg(displayName, magic)
                             .arg(supportedVersion)};
    return file;
}

LoadResult<TextFile> readTextFile(const QString& path, const QString& magic, int supportedVersion)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return LoadError{err::FileNotFound, QStringLiteral("File not found: %1").arg(path)};
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
    static const QRegularExpression pattern(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    const QString word = line.words.value(index);
    if (!pattern.match(word).hasMatch()) {
        error = lineError(file, line, QStringLiteral("\"%1\" is not a colour of the form #rrggbb").arg(word));
        return false;
    }
    out = QColor(word);
    return true;
}

}  // namespace vizmo::player
