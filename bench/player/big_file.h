#pragma once
// The 1 MiB files the player's benchmarks load.

#include <QByteArray>

namespace vizmo::bench {

// `head`, then `line` repeated until the file is just under 1 MiB.
inline QByteArray fillMiB(const QByteArray& head, const QByteArray& line)
{
    QByteArray out = head;
    while (out.size() + line.size() <= 1024 * 1024)
        out += line;
    return out;
}

}  // namespace vizmo::bench
