#pragma once
// Huge files for the readers' tests: sparse, so that gigabytes cost no disk and no time to
// make, and the memory a read took, from the process's peak resident size.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <sys/resource.h>

namespace testsupport {

// `start` followed by zero bytes up to `size` bytes in all.
inline bool MakeSparseFile(const QString& path, const QByteArray& start, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    if (file.write(start) != start.size()) return false;
    return file.resize(size);
}

// The process's peak resident size so far, in megabytes.
inline long PeakResidentMb()
{
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return use.ru_maxrss / 1024;
}

}  // namespace testsupport
