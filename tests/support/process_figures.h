#pragma once
// Resident memory, heap in use and open file handles of this process.

#include <QDir>
#include <QFile>

#include <malloc.h>

namespace vizmo::testing {

inline double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096.0 / (1024.0 * 1024.0) : 0;
}

// What the program's live allocations hold, after freed pages that malloc
// still keeps are handed back (so resident memory read next counts them out).
// 0 where the allocator does not say (under a sanitizer).
inline double heapInUseMegabytes()
{
    malloc_trim(0);
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

inline int openFileHandles()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

}  // namespace vizmo::testing
