#include "platform/ini_guard.h"

#include "platform/file_mode.h"
#include "platform/prompter.h"
#include "platform/save_file.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The value of a hexadecimal digit, or -1.
int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A name beside `path` that QSettings has not met in this process: it keeps what it read and
// wrote of every file and answers from that while the file's size and time are unchanged, so a
// file is read back under a name of its own.
QString FreshNameBeside(const QString& path, const char* what)
{
    static std::atomic<quint64> count{0};
    return QStringLiteral("%1.%2-%3.%4")
        .arg(path)
        .arg(QCoreApplication::applicationPid())
        .arg(++count)
        .arg(QLatin1String(what));
}

// QSettings reads every value back as its text, and a list as a list.
bool SameValue(const QVariant& written, const QVariant& read)
{
    if (written.typeId() == QMetaType::QStringList || read.typeId() == QMetaType::QStringList)
        return written.toStringList() == read.toStringList();
    return written.toString() == read.toString();
}

// Why a file of `bytes` could not be written beside `path`, asking the disk for the room, or an
// empty text when it takes one.
QString WhyNoRoomBeside(const QString& path, qsizetype bytes)
{
    const QString probe = FreshNameBeside(path, "room");
    QString why;
    if (!SaveWhole(probe, QByteArray(std::max<qsizetype>(bytes, 1), ' '), &why)) return why;
    QFile::remove(probe);
    return {};
}

// Why settings that did not read back whole were lost: QSettings does not say, so the disk is
// asked for the room their keys and values take at the least.
QString WhyNotWhole(const QString& path, const QSettings& settings)
{
    qsizetype least = 0;
    const QStringList keys = settings.allKeys();
    for (const QString& key : keys) least += key.toUtf8().size() + settings.value(key).toString().toUtf8().size() + 2;
    const QString why = WhyNoRoomBeside(path, least);
    return why.isEmpty() ? QStringLiteral("the settings file could not be written whole") : why;
}

// Why the lock beside the settings file was not taken: QLockFile does not say, so the disk is
// asked for the room its few lines take.
QString WhyNotLocked(const QLockFile& lock)
{
    const QString why = WhyNoRoomBeside(lock.fileName(), 256);
    return why.isEmpty() ? QStringLiteral("the lock file \"%1\" could not be made").arg(QDir::toNativeSeparators(lock.fileName()))
                         : why;
}

// The file a settings file named by `path` is: the end of its chain of symbolic links, as
// QSaveFile follows it, so that the links stay links. False when the chain does not end.
bool FollowLinks(const QString& path, QString& target)
{
    QFileInfo file(path);
    for (int depth = 0; depth < 128 && file.isSymLink(); ++depth) file.setFile(file.symLinkTarget());
    if (file.isSymLink()) return false;
    target = file.absoluteFilePath();
    return true;
}

// Makes `draft` empty with `mode`: QSettings writes over it keeping the mode, so the settings
// never lie in a file more open than the one they replace.
bool MakeDraft(const QString& draft, mode_t mode, QString& why)
{
    const int fd = ::open(QFile::encodeName(draft).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 || ::fchmod(fd, mode) != 0) {
        why = QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0) ::close(fd);
        return false;
    }
    ::close(fd);
    return true;
}

// GuardIniFile, and the user told which file went and that the defaults stand in for it. The
// file is gone then, so this is said once.
void GuardUserIni(const QString& path)
{
    if (GuardIniFile(path)) return;
    const QString aside = path + QStringLiteral(".refused");
    const QString where = QFile::exists(aside)
                              ? QStringLiteral("was set aside as \"%1\"").arg(QDir::toNativeSeparators(aside))
                              : QStringLiteral("was removed");
    ShowMessage(QStringLiteral("The settings file \"%1\" is not one this program wrote and %2; the default settings are used.")
                    .arg(QDir::toNativeSeparators(path), where));
}

}  // namespace

bool IniTextIsPlain(const QByteArray& text)
{
    // QSettings removes quotes and joins lines ended by a backslash before it looks at a value,
    // and turns hexadecimal and octal escapes into characters. The text is looked at the same
    // way: without quotes and line joints, a comma inside quotes marked as no separator, and an
    // escape that makes a printable character refused outright, since it could spell a decoded
    // value's mark. The program's own files escape only control characters, and the hexadecimal
    // digits right after such an escape (which would otherwise be read as part of it): those
    // stand for themselves. Other escapes stand for a blank when they make white space and for
    // a mark of their own otherwise.
    constexpr char kOther = '\x01';
    const auto escaped = [](int value) { return value == '\t' || value == '\n' || value == '\r' || value == '\v' || value == '\f' ? ' ' : kOther; };
    QByteArray flat;
    flat.reserve(text.size());
    bool quoted = false;
    bool digitsEscaped = false;   // the last thing read was a control character's escape, or a digit's
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool afterControl = digitsEscaped;
        digitsEscaped = false;
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (c == '\n' || c == '\r') quoted = false;
        if (c == ',' && quoted) {
            flat += kOther;
            continue;
        }
        if (c != '\\' || i + 1 >= text.size()) {
            flat += c;
            continue;
        }
        const char next = text[i + 1];
        if (next == '\n' || next == '\r') {   // a line joint
            ++i;
            if (next == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            continue;
        }
        if (next == 'x' || next == 'X' || (next >= '0' && next <= '7')) {
            const bool hex = next == 'x' || next == 'X';
            int value = 0;
            qsizetype j = hex ? i + 2 : i + 1;
            for (; j < text.size(); ++j) {
                const int digit = hex ? HexDigit(text[j]) : (text[j] >= '0' && text[j] <= '7' ? text[j] - '0' : -1);
                if (digit < 0) break;
                value = std::min(value * (hex ? 16 : 8) + digit, 0x10FFFF);
            }
            if (value >= 0x20 && value != 0x7F) {
                if (!afterControl || value > 0x7F || HexDigit(static_cast<char>(value)) < 0) return false;
                flat += static_cast<char>(value);
            } else {
                flat += escaped(value);
            }
            digitsEscaped = true;
            i = j - 1;
            continue;
        }
        const char made = next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next == 'v' ? '\v' : next == 'f' ? '\f' : 0;
        flat += escaped(made);
        ++i;
    }
    // A mark counts where a value (or an item of a list) begins with it; "@@" is the escape of
    // a plain text that begins with "@".
    for (const char* mark : {"@Variant(", "@DateTime("}) {
        for (qsizetype at = flat.indexOf(mark); at >= 0; at = flat.indexOf(mark, at + 1)) {
            if (at > 0 && flat[at - 1] == '@') continue;
            qsizetype before = at - 1;
            while (before >= 0 && (flat[before] == ' ' || flat[before] == '\t')) --before;
            if (before < 0 || flat[before] == '=' || flat[before] == ',') return false;
        }
    }
    return true;
}

bool GuardIniFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) return true;
    bool plain = false;
    if (info.isFile() && info.size() <= kMaxSettingsFileBytes) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) plain = IniTextIsPlain(file.read(kMaxSettingsFileBytes + 1));
    }
    if (plain) return true;
    const QString aside = path + QStringLiteral(".refused");
    QFile::remove(aside);
    if (!QFile::rename(path, aside)) QFile::remove(path);
    return false;
}

QSettings OpenUserIni(const QString& key)
{
    GuardUserIni(QSettings(QSettings::IniFormat, QSettings::UserScope, key).fileName());
    return QSettings(QSettings::IniFormat, QSettings::UserScope, key);
}

bool WriteIniWhole(const QString& path, const std::function<void(QSettings&)>& change, QString* why)
{
    // A settings file that is a symbolic link is written where the link points.
    QString target;
    if (!FollowLinks(path, target)) {
        if (why) *why = QString::fromLocal8Bit(std::strerror(ELOOP));
        return false;
    }
    const QString draft = FreshNameBeside(target, "new");
    const QString check = FreshNameBeside(target, "check");
    const auto fail = [&](const QString& reason) {
        QFile::remove(draft);
        QFile::remove(check);
        if (why) *why = reason;
        return false;
    };
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return fail(QStringLiteral("cannot make the folder %1").arg(QFileInfo(target).absolutePath()));
    // A file its user may not change is refused, as QSettings refuses it.
    if (QFileInfo::exists(target)) {
        QFile file(target);
        if (!file.open(QIODevice::ReadWrite)) return fail(file.errorString());
    }

    // Other instances of the program store into the same file: from reading the file until it
    // is replaced, the lock QSettings takes for its own saves is held, so that no instance
    // writes over a save it did not read.
    QLockFile lock(QFileInfo(path).absoluteFilePath() + QStringLiteral(".lock"));
    if (!lock.lock()) return fail(WhyNotLocked(lock));

    QString reason;
    if (!MakeDraft(draft, ReplacingMode(target), reason)) return fail(reason);
    QSettings next(draft, QSettings::IniFormat);
    {
        const QSettings now(path, QSettings::IniFormat);
        const QStringList keys = now.allKeys();
        for (const QString& key : keys) next.setValue(key, now.value(key));
    }
    change(next);
    next.sync();
    if (next.status() != QSettings::NoError || !QFile::rename(draft, check)) return fail(WhyNotWhole(target, next));
    {
        const QSettings back(check, QSettings::IniFormat);
        QStringList written = next.allKeys();
        QStringList read = back.allKeys();
        written.sort();
        read.sort();
        bool whole = back.status() == QSettings::NoError && read == written;
        for (qsizetype k = 0; k < written.size() && whole; ++k)
            whole = SameValue(next.value(written[k]), back.value(written[k]));
        if (!whole) return fail(WhyNotWhole(target, next));
    }

    const QDateTime before = QFileInfo(target).lastModified();
    if (std::rename(QFile::encodeName(check).constData(), QFile::encodeName(target).constData()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    // QSettings takes a file of the same size and time for the one it read before: the new file
    // is made later than the old one, however close together they were written.
    if (before.isValid() && QFileInfo(target).lastModified() <= before) {
        QFile stored(target);
        if (stored.open(QIODevice::ReadWrite)) stored.setFileTime(before.addMSecs(1), QFileDevice::FileModificationTime);
    }
    return true;
}

bool SaveUserIni(const QString& key, const std::function<void(QSettings&)>& change)
{
    const QString path = QSettings(QSettings::IniFormat, QSettings::UserScope, key).fileName();
    GuardUserIni(path);
    QString why;
    if (WriteIniWhole(path, change, &why)) return true;
    ShowMessage(QStringLiteral("The settings could not be stored in \"%1\": %2\nThe file keeps the settings it held before.")
                    .arg(QDir::toNativeSeparators(path), why));
    return false;
}

}  // namespace platform
