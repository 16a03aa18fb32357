#pragma once
// The readers that take a path get each fuzz input through one scratch file,
// rewritten per run, in a folder of this process's own.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace vizmo::fuzz {

inline QString writeInput(const std::uint8_t* data, std::size_t size, const char* name)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    return path;
}

}  // namespace vizmo::fuzz
