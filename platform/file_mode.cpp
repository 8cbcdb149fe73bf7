#include "platform/file_mode.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

namespace platform {

namespace {

// The mask as the system shows it ("Umask:" in the process status, since Linux 4.7); false
// when it does not.
bool ShownMask(mode_t& mask)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return false;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (!line.startsWith("Umask:")) continue;
        bool ok = false;
        const uint value = line.mid(6).trimmed().toUInt(&ok, 8);
        if (!ok || value > 0777) return false;
        mask = static_cast<mode_t>(value);
        return true;
    }
    return false;
}

// Where the system does not show the mask, a file made in the temporary folder shows what it
// leaves; when none can be made there, a new file is kept to its user.
mode_t ProbedNewFileMode()
{
    static std::atomic<quint64> count{0};
    const QByteArray probe = QFile::encodeName(
        QDir::temp().filePath(QStringLiteral(".mode-%1-%2").arg(QCoreApplication::applicationPid()).arg(++count)));
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return 0600;
    struct stat st {};
    const bool known = ::fstat(fd, &st) == 0;
    ::close(fd);
    ::unlink(probe.constData());
    return known ? st.st_mode & 0666 : 0600;
}

}  // namespace

mode_t NewFileMode()
{
    mode_t mask = 0;
    return ShownMask(mask) ? 0666 & ~mask : ProbedNewFileMode();
}

mode_t ReplacingMode(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : NewFileMode();
}

}  // namespace platform
