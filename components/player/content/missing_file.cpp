#include "components/player/content/missing_file.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <dirent.h>

#include <memory>

namespace vizmo::player {

namespace {

// The names in `folder` that are not valid UTF-8, decoded as the rest of
// the program would see them (with U+FFFD for the bad bytes).
QStringList namesNotInUtf8(const QString& folder)
{
    QStringList out;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(QFile::encodeName(folder).constData()), closedir);
    if (!dir)
        return out;
    while (const dirent* entry = readdir(dir.get())) {
        QStringDecoder strict(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString name = strict(QByteArray(entry->d_name));
        if (strict.hasError())
            out << name;
    }
    return out;
}

}  // namespace

QString fileNotFoundMessage(const QString& path)
{
    const QFileInfo info(path);
    const QStringList odd = namesNotInUtf8(info.absolutePath());
    if (odd.contains(info.fileName()) || (path.contains(QChar::ReplacementCharacter) && !odd.isEmpty()))
        return QStringLiteral("File not found: %1 (its folder holds a file whose name is not valid UTF-8; file names "
                              "are text in UTF-8 here, so that file cannot be named: rename it)")
            .arg(path);
    return QStringLiteral("File not found: %1").arg(path);
}

}  // namespace vizmo::player
