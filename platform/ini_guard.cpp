#include "platform/ini_guard.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

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

}  // namespace

bool IniTextIsPlain(const QByteArray& text)
{
    // QSettings removes quotes and joins lines ended by a backslash before it looks at a value,
    // and turns hexadecimal and octal escapes into characters. The text is looked at the same
    // way: without quotes and line joints, a comma inside quotes marked as no separator, and an
    // escape that makes a printable character refused outright (the program's own files escape
    // only control characters), since it could spell a decoded value's mark. Other escapes stand
    // for a blank when they make white space and for a mark of their own otherwise.
    constexpr char kOther = '\x01';
    const auto escaped = [](int value) { return value == '\t' || value == '\n' || value == '\r' || value == '\v' || value == '\f' ? ' ' : kOther; };
    QByteArray flat;
    flat.reserve(text.size());
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
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
            if (value >= 0x20 && value != 0x7F) return false;
            flat += escaped(value);
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
    GuardIniFile(QSettings(QSettings::IniFormat, QSettings::UserScope, key).fileName());
    return QSettings(QSettings::IniFormat, QSettings::UserScope, key);
}

}  // namespace platform
