#pragma once
// The per-user settings files (ini files read and written through QSettings) hold plain texts,
// numbers and yes/no values only. QSettings also reads values written as "@Variant(...)" or
// "@DateTime(...)" through a data stream whose counts the file sets: a settings file of a few
// hundred bytes can make it ask for tens of gigabytes. Such a file is not one the program wrote,
// so before a settings file is opened it is checked, and one that is not plain is put aside
// (renamed to "<name>.refused"): the program then starts from its defaults and writes a plain
// file of its own.
//
// QSettings writes its file with no regard for a disk that fills: the file is left empty or cut
// and status() says all is well. The program's settings are therefore stored through
// SaveUserIni, which keeps the file as it was unless the new one was written whole.
#include <QByteArray>
#include <QSettings>
#include <QString>

#include <functional>

namespace platform {

// Settings files larger than this are not the program's.
constexpr qint64 kMaxSettingsFileBytes = 1 << 20;

// Whether QSettings would take every value of this ini text as a plain value: no value that is
// decoded from binary, however it is quoted, escaped or split over lines.
bool IniTextIsPlain(const QByteArray& text);

// Checks the settings file at path before it is opened: a missing or plain file is left as it
// is; a file too large or not plain is renamed to path + ".refused" (replacing an older one),
// or removed when it cannot be renamed. True when the file was left as it is.
bool GuardIniFile(const QString& path);

// The per-user settings file named `key` (ini format), opened once GuardIniFile has looked at it.
// A file put aside is said to the user, with the defaults that stand in for it.
QSettings OpenUserIni(const QString& key);

// Changes the settings file at path whole or not at all: `change` is made to the settings the
// file holds, QSettings writes the result under a name of its own beside the file, and that
// replaces the file only when it reads back with every value. Otherwise the file stays as it
// was and false is returned, with the reason in words in `why`.
// What the user gave the file stays as QSettings keeps it: the new file gets the old one's
// permission bits (a new file those of any new file), a symbolic link stays a link and the file
// it points to is written, and a file the user may not change is refused. From reading the file
// until it is replaced, the lock QSettings takes ("<path>.lock") is held, so that instances of
// the program storing into the same file at once keep each other's settings.
bool WriteIniWhole(const QString& path, const std::function<void(QSettings&)>& change, QString* why = nullptr);

// Changes the per-user settings file named `key` (see WriteIniWhole) once GuardIniFile has looked
// at it. When the settings could not be stored the user is told which file and why; false then.
bool SaveUserIni(const QString& key, const std::function<void(QSettings&)>& change);

}  // namespace platform
