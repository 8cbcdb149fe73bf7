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

// What a peak measured under AddressSanitizer may run above the same read's own: the sanitizer
// keeps freed blocks in quarantine (256 MB at most by default) and pads every block. Still far
// below the gigabytes an unbounded read of these files takes.
#if defined(__SANITIZE_ADDRESS__)
constexpr long kSanitizerPeakSlackMb = 256;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr long kSanitizerPeakSlackMb = 256;
#else
constexpr long kSanitizerPeakSlackMb = 0;
#endif
#else
constexpr long kSanitizerPeakSlackMb = 0;
#endif

}  // namespace testsupport
