// Settings files that QSettings would decode from binary are put aside before they are opened.
#include "platform/ini_guard.h"
#include "tests/common/failed_save_check.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace {

TEST(IniGuard, ValuesDecodedFromBinaryAreFoundHoweverTheyAreWritten)
{
    const struct {
        const char* text;
        bool plain;
    } cases[] = {
        {"[Comm]\nBaud=9600\nComment=\"Z\xc3\xbcrich \\\\path; a,b \\x1 \"\nLogFileName=.\\\\Logs\\\\V.LOG\n", true},
        {"[Comm]\nComment=@@Variant(\\0\\0\\0\\x1)\n", true},          // a text that begins with "@"
        {"[Comm]\nComment=see @Variant( here\n", true},                // not where a value begins
        {"[Comm]\n@Variant(=1\n", true},                               // a key
        {"[Comm]\nA=@Invalid()\nB=@ByteArray(abc)\nC=@Rect(0 0 1 1)\n", true},
        {"[Comm]\nCreateLog=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x10QByteArray)\n", false},
        {"[Comm]\nA=  @DateTime(\\0)\n", false},
        {"[Comm]\nA=\"@Variant(\\0)\"\n", false},                      // quoted
        {"[Comm]\nA=@Va\"ri\"ant(\\0)\n", false},                      // quotes inside
        {"[Comm]\nA=\\x40Variant(\\0)\n", false},                      // hexadecimal escape
        {"[Comm]\nA=@\\x0056ariant(\\0)\n", false},
        {"[Comm]\nA=\\100Variant(\\0)\n", false},                      // octal escape
        {"[Comm]\nA=@Var\\\niant(\\0)\n", false},                      // split over two lines
        {"[Comm]\nA=@Var\\\r\niant(\\0)\n", false},
        {"[Comm]\nA=one, @Variant(\\0)\n", false},                     // an item of a list
        // Hex digits escaped right after a control character's escape, as QSettings writes them.
        {"[Comm]\nA=\\x1\\x41\\x35\nB=\\0\\x61\\x62\\x39\n", true},
        {"[Comm]\nA=@\\x1\\x44\\x61teTime(\\0)\n", true},          // the control character stays in the mark
        {"[Comm]\nA=\\x1 \\x41\n", false},                          // not right after it
        {"[Comm]\nA=\\t\\x41\n", false},                            // a tab's escape
        {"[Comm]\nA=\\x1\\x40Variant(\\0)\n", false},             // "@" is no digit
        {"[Comm]\nA=\\x1\\x56\n", false},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::IniTextIsPlain(QByteArray(c.text)), c.plain) << c.text;
}

TEST(IniGuard, WhatQSettingsWritesIsPlain)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.ini"));
    {
        QSettings ini(path, QSettings::IniFormat);
        ini.setValue(QStringLiteral("Comm/Comment"), QStringLiteral("@Variant(\\0\\0\\0\\x7f)"));
        ini.setValue(QStringLiteral("Comm/List"), QStringLiteral("a, @DateTime(x)"));
        ini.setValue(QStringLiteral("Comm/Text"), QString::fromUtf8("\"@Variant(\" \x01\t\\x40"));
        ini.setValue(QStringLiteral("Comm/Number"), 9600);
        ini.setValue(QStringLiteral("Comm/Flag"), true);
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(platform::IniTextIsPlain(text)) << text.constData();
}

// Every kind of value the program stores, as QSettings writes it, passes the guard and reads back
// as it was: numbers, yes/no values and texts of any characters. QSettings writes a control
// character as a hexadecimal escape, and the hex digits that follow it as escapes too.
TEST(IniGuard, EveryKindOfValueTheProgramStoresPassesTheGuardAndReadsBack)
{
    const QVariant values[] = {
        9600, -1, 0, true, false, QString(),
        QStringLiteral("COM1"),
        QString::fromUtf8("Z\xc3\xbcrich \xe2\x82\xac"),
        QStringLiteral("\x01" "A5"),                      // written as \x1\x41\x35
        QString(QChar(0)) + QStringLiteral("ab9"),         // written as \0\x61\x62\x39
        QStringLiteral("\x1f" "f\x7f" "0\x02" "E"),
        QStringLiteral("\x01\x02\x03"),
        QStringLiteral("\t0 line\n1\r\nend\v\f"),
        QStringLiteral("a\\x40b \\100 C:\\Logs\\"),
        QStringLiteral("\"quoted\" and ;"),
        QStringLiteral(" padded "),
        QStringLiteral("a, b; c=d"),
        QStringLiteral("@Variant(\\0\\0\\0\\x7f)"),
        QStringLiteral("@@x @DateTime(x)"),
        QStringLiteral("\x01" "@Variant("),
    };
    QTemporaryDir dir;
    int n = 0;
    for (const QVariant& value : values) {
        SCOPED_TRACE(value.toString().toStdString());
        // Each value in a file of its own: QSettings answers from what it wrote of a file.
        const QString path = dir.filePath(QStringLiteral("v%1.ini").arg(n++));
        {
            QSettings ini(path, QSettings::IniFormat);
            ini.setValue(QStringLiteral("Comm/Value"), value);
        }
        const QString again = path + QStringLiteral(".again");
        ASSERT_TRUE(QFile::copy(path, again));
        const QByteArray text = testsupport::FileBytes(path);
        EXPECT_TRUE(platform::IniTextIsPlain(text)) << text.constData();
        EXPECT_TRUE(platform::GuardIniFile(path));
        EXPECT_EQ(QSettings(again, QSettings::IniFormat).value(QStringLiteral("Comm/Value")).toString(), value.toString());
    }
}

TEST(IniGuard, AFileThatIsNotPlainIsPutAsideAndAPlainOneIsLeftAlone)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.ini"));
    const auto write = [&](const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    };
    EXPECT_TRUE(platform::GuardIniFile(path));   // none yet

    write("[Comm]\nBaud=9600\n");
    EXPECT_TRUE(platform::GuardIniFile(path));
    EXPECT_TRUE(QFile::exists(path));

    const QByteArray bomb = "[Comm]\nCreateLog=@Variant(\\0\\0\\0\\xb\\x7f\\xff\\xff\\xff)\n";
    write(bomb);
    EXPECT_FALSE(platform::GuardIniFile(path));
    EXPECT_FALSE(QFile::exists(path));
    QFile aside(path + QStringLiteral(".refused"));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), bomb);

    // Far larger than any settings file of the program.
    write(QByteArray("[Comm]\nComment=") + QByteArray(platform::kMaxSettingsFileBytes, 'x'));
    EXPECT_FALSE(platform::GuardIniFile(path));
    EXPECT_FALSE(QFile::exists(path));
}

// Saves in quick succession, each file as large as the one before: what was stored last is what
// is read, and the settings the change did not touch stay.
TEST(WriteIniWhole, ReplacesTheFileKeepingItsOtherSettingsAndIsReadBackAtOnce)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.ini"));
    testsupport::WriteFileBytes(path, "[Other]\nKept=yes\n");
    for (int k = 0; k < 40; ++k) {
        const int baud = k % 2 ? 1200 : 9600;
        QString why;
        ASSERT_TRUE(platform::WriteIniWhole(
            path, [baud](QSettings& ini) { ini.setValue(QStringLiteral("Comm/Baud"), baud); }, &why))
            << why.toStdString();
        const QSettings read(path, QSettings::IniFormat);
        ASSERT_EQ(read.value(QStringLiteral("Comm/Baud")).toInt(), baud) << "save " << k;
        EXPECT_EQ(read.value(QStringLiteral("Other/Kept")).toString(), QStringLiteral("yes"));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("s.ini")});
}

// However little of the new file the disk takes, the file keeps what it held and the reason is
// in words; nothing is left beside it.
TEST(WriteIniWhole, SettingsThatDoNotWhollyFitLeaveTheFileAsItWas)
{
    const struct {
        const char* disk;
        rlim_t room;
        int keys;   // some 40 bytes each
    } cases[] = {
        {"full disk", 0, 50},
        {"room for part of a small file", 400, 50},
        {"room for part of a file larger than a write is buffered", 20 * 1024, 1000},
    };
    const QByteArray old = "[Other]\nKept=yes\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.disk);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.ini"));
        testsupport::WriteFileBytes(path, old);
        QString why;
        bool stored = true;
        {
            testsupport::FileSizeLimit limit(c.room);
            stored = platform::WriteIniWhole(
                path,
                [&c](QSettings& ini) {
                    for (int k = 0; k < c.keys; ++k) ini.setValue(QStringLiteral("Comm/Key%1").arg(k), QString(30, QLatin1Char('v')));
                },
                &why);
        }
        EXPECT_FALSE(stored);
        EXPECT_EQ(why, QStringLiteral("File too large"));
        EXPECT_EQ(testsupport::FileBytes(path), old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("s.ini")});
    }
}

}  // namespace
