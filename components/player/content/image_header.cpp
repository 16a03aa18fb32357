#include "components/player/content/image_header.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cstring>

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
    // The headers are read from blocks of the file: a file of millions of
    // empty chunks is walked in a tenth of a second, not in seconds.
    constexpr qint64 kBlock = 64 * 1024;
    QByteArray block;
    qint64 blockStart = 0;
    auto header = [&](qint64 at) -> const char* {
        if (at < blockStart || at + 8 > blockStart + block.size()) {
            if (!file.seek(at))
                return nullptr;
            block = file.read(kBlock);
            blockStart = at;
            if (block.size() < 8)
                return nullptr;
        }
        return block.constData() + (at - blockStart);
    };
    // Each chunk: 4 bytes of length, 4 of type, the data, 4 of CRC.
    for (qint64 at = 8; at + 8 <= size;) {
        const char* head = header(at);
        if (!head)
            return {};
        const quint32 length = qFromBigEndian<quint32>(head);
        if (std::memcmp(head + 4, "IEND", 4) == 0)
            return {};
        const qint64 left = size - at - 12;
        if (qint64(length) > left)
            return QStringLiteral("the file is broken or cut short: its %1 chunk at byte %2 claims %3 bytes, and %4 are left")
                .arg(QString::fromLatin1(QByteArray(head + 4, 4).toPercentEncoding()))
                .arg(at)
                .arg(length)
                .arg(std::max<qint64>(left, 0));
        at += 12 + qint64(length);
    }
    return {};
}

}  // namespace vizmo::player
