#include "platform/save_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace platform {

namespace {

QString ErrnoText(int failure) { return QString::fromLocal8Bit(std::strerror(failure)); }

}  // namespace

qint64 SaveFile::writeData(const char* data, qint64 len)
{
    errno = 0;
    const qint64 taken = QSaveFile::writeData(data, len);
    if (taken < len) {
        // A write that stops short leaves the system's reason behind; one that took nothing
        // more without a reason ran out of room all the same.
        if (lost_ == 0) failure_ = errno != 0 ? errno : ENOSPC;
        lost_ += len - std::max<qint64>(taken, 0);
    }
    return taken;
}

bool CommitWhole(SaveFile& file, QString* why)
{
    bool written = file.isOpen() && file.error() == QFileDevice::NoError && file.lost_ == 0;
    int failure = file.failure_;
    if (written) {
        errno = 0;
        written = file.flush() && file.error() == QFileDevice::NoError;
        failure = errno;
    }
    if (!written) {
        // Qt leaves "Unknown error" after a failed flush; the system's words say why.
        const QString reason = failure != 0 ? ErrnoText(failure) : file.errorString();
        file.cancelWriting();
        file.commit();  // drops the temporary file; the target is untouched
        if (why) *why = reason;
        return false;
    }
    if (!file.commit()) {
        if (why) *why = file.errorString();
        return false;
    }
    return true;
}

bool SaveWhole(const QString& path, const QByteArray& bytes, QString* why)
{
    SaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (why) *why = file.errorString();
        return false;
    }
    // A write that fell short is refused by the commit, which gives the reason.
    const bool handed = file.write(bytes) == bytes.size();
    return CommitWhole(file, why) && handed;
}

}  // namespace platform
