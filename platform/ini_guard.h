#pragma once
// The per-user settings files (ini files read and written through QSettings) hold plain texts,
// numbers and yes/no values only. QSettings also reads values written as "@Variant(...)" or
// "@DateTime(...)" through a data stream whose counts the file sets: a settings file of a few
// hundred bytes can make it ask for tens of gigabytes. Such a file is not one the program wrote,
// so before a settings file is opened it is checked, and one that is not plain is put aside
// (renamed to "<name>.refused"): the program then starts from its defaults and writes a plain
// file of its own.
#include <QByteArray>
#include <QSettings>
#include <QString>

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
QSettings OpenUserIni(const QString& key);

}  // namespace platform
