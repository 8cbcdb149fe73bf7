#include "platform/save_file.h"

#include <cerrno>
#include <cstring>

namespace platform {

bool CommitWhole(QSaveFile& file, QString* why)
{
    bool written = file.isOpen() && file.error() == QFileDevice::NoError;
    int failure = 0;
    if (written) {
        errno = 0;
        written = file.flush() && file.error() == QFileDevice::NoError;
        failure = errno;
    }
    if (!written) {
        // Qt leaves "Unknown error" after a failed flush; the system's words say why.
        const QString reason = failure != 0 ? QString::fromLocal8Bit(std::strerror(failure))
                                            : file.errorString();
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

}  // namespace platform
