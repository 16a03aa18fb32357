#include "components/player/image_header.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>

namespace vizmo::player {

QSize gifScreenSize(const QString& path, const QByteArray& format)
{
    if (format != "gif")
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(10);
    if (head.size() < 10 || !head.startsWith("GIF8"))
        return {};
    auto word = [&](int at) { return int(quint8(head[at])) | int(quint8(head[at + 1])) << 8; };
    return {word(6), word(8)};
}

QString pngChunkFault(const QString& path)
{
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.read(8) != signature)
        return {};
    const qint64 size = file.size();
    // Each chunk: 4 bytes of length, 4 of type, the data, 4 of CRC. Only the
    // headers are read; the data is skipped.
    for (qint64 at = 8; at + 8 <= size;) {
        if (!file.seek(at))
            return {};
        const QByteArray head = file.read(8);
        if (head.size() < 8)
            return {};
        const quint32 length = qFromBigEndian<quint32>(head.constData());
        const QByteArray type = head.mid(4);
        if (type == "IEND")
            return {};
        const qint64 left = size - at - 12;
        if (qint64(length) > left)
            return QStringLiteral("the file is broken or cut short: its %1 chunk at byte %2 claims %3 bytes, and %4 are left")
                .arg(QString::fromLatin1(type.toPercentEncoding()))
                .arg(at)
                .arg(length)
                .arg(std::max<qint64>(left, 0));
        at += 12 + qint64(length);
    }
    return {};
}

}  // namespace vizmo::player
