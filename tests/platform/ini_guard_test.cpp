// Settings files that QSettings would decode from binary are put aside before they are opened,
// and settings are stored whole, keeping what the user gave the file (its mode, a link, its
// being read-only) and what other instances of the program stored in it meanwhile.
#include "platform/ini_guard.h"
#include "tests/common/failed_save_check.h"
#include "tests/common/fake_prompter.h"
#include "tests/common/mask_for.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// Where the symbolic link at `path` points, as written in it.
QString LinkText(const QString& path)
{
    char text[4096];
    const ssize_t size = ::readlink(QFile::encodeName(path).constData(), text, sizeof text);
    return size < 0 ? QStringLiteral("<no link>") : QFile::decodeName(QByteArray(text, size));
}

mode_t ModeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : mode_t(010000);
}

// While it lives, the process acts as a user without privileges, to whom `paths` belong: run as
// root, which may change any file, it would not see a file's permission bits as the program's
// users do.
class AsUnprivilegedUser {
public:
    explicit AsUnprivilegedUser(const QStringList& paths)
    {
        if (::geteuid() != 0) return;
        constexpr uid_t kNobody = 65534;
        bool given = true;
        for (const QString& path : paths) given = given && ::chown(QFile::encodeName(path).constData(), kNobody, kNobody) == 0;
        switched_ = given && ::seteuid(kNobody) == 0;
        failed_ = !switched_;
    }
    ~AsUnprivilegedUser()
    {
        if (switched_ && ::seteuid(0) != 0) std::abort();
    }
    AsUnprivilegedUser(const AsUnprivilegedUser&) = delete;
    AsUnprivilegedUser& operator=(const AsUnprivilegedUser&) = delete;
    bool Failed() const { return failed_; }

private:
    bool switched_ = false;
    bool failed_ = false;
};

// The user's settings files are kept in `dir` for a while.
class UserSettingsIn {
public:
    explicit UserSettingsIn(const QString& dir) { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir); }
    ~UserSettingsIn()
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, qEnvironmentVariable("XDG_CONFIG_HOME"));
    }
    UserSettingsIn(const UserSettingsIn&) = delete;
    UserSettingsIn& operator=(const UserSettingsIn&) = delete;
};

bool StoreBaud(const QString& path, int baud, QString* why)
{
    return platform::WriteIniWhole(path, [baud](QSettings& ini) { ini.setValue(QStringLiteral("Comm/Baud"), baud); }, why);
}

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

// The new file keeps the permission bits the user gave the old one (a file holding a password
// stays readable by its user only), however the mask would make a new file; a file that was
// not there gets what the mask leaves, as any new file.
TEST(WriteIniWhole, TheFileKeepsItsModeAndANewFileGetsWhatTheMaskLeaves)
{
    const struct {
        const char* kind;
        mode_t mask;
        mode_t old;   // 0: no file there before
        mode_t expected;
    } cases[] = {
        {"new file", 027, 0, 0640},
        {"new file, private mask", 077, 0, 0600},
        {"the user's file only", 022, 0600, 0600},
        {"its owner and group", 022, 0640, 0640},
        {"more open than the mask", 077, 0664, 0664},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.ini"));
        if (c.old) {
            testsupport::WriteFileBytes(path, "[Proxy]\nPassword=secret\n");
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), c.old), 0);
        }
        const testsupport::MaskFor mask(c.mask);
        QString why;
        ASSERT_TRUE(StoreBaud(path, 9600, &why)) << why.toStdString();
        EXPECT_EQ(ModeOf(path), c.expected) << std::oct << ModeOf(path);
        EXPECT_EQ(QSettings(path, QSettings::IniFormat).value(QStringLiteral("Comm/Baud")).toInt(), 9600);
    }
}

// A settings file that is a symbolic link (or a chain of them, relative or not) stays a link
// pointing where it did, and the file at its end holds the save with its mode; nothing is left
// beside either.
TEST(WriteIniWhole, ALinkStaysALinkAndTheFileItPointsToIsWritten)
{
    const struct {
        const char* kind;
        std::vector<std::pair<const char*, const char*>> links;   // name, where it points
        const char* target;   // the file at the end, relative to the folder
        bool exists;
    } cases[] = {
        {"absolute link", {{"s.ini", "@/store/real.ini"}}, "store/real.ini", true},
        {"relative link", {{"s.ini", "store/real.ini"}}, "store/real.ini", true},
        {"relative link upwards", {{"conf/s.ini", "../store/real.ini"}}, "store/real.ini", true},
        {"chain", {{"s.ini", "conf/middle.ini"}, {"conf/middle.ini", "../store/real.ini"}}, "store/real.ini", true},
        {"link to a file not made yet", {{"s.ini", "store/real.ini"}}, "store/real.ini", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        QTemporaryDir dir;
        const QDir root(dir.path());
        ASSERT_TRUE(root.mkpath(QStringLiteral("store")) && root.mkpath(QStringLiteral("conf")));
        const QString target = root.filePath(QString::fromLatin1(c.target));
        if (c.exists) {
            testsupport::WriteFileBytes(target, "[Other]\nKept=yes\n");
            ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0600), 0);
        }
        const auto where = [&](const char* to) { return QString::fromLatin1(to).replace(QLatin1Char('@'), dir.path()); };
        for (const auto& [name, to] : c.links)
            ASSERT_EQ(::symlink(QFile::encodeName(where(to)).constData(), QFile::encodeName(root.filePath(QString::fromLatin1(name))).constData()), 0);
        const auto listing = [&] {
            QStringList all;
            for (const char* sub : {".", "store", "conf"})
                for (const QString& name : QDir(root.filePath(QString::fromLatin1(sub))).entryList(QDir::Files | QDir::System | QDir::Hidden))
                    all << QString::fromLatin1(sub) + QLatin1Char('/') + name;
            return all;
        };
        QStringList before = listing();
        if (!c.exists) before << QStringLiteral("store/real.ini");
        before.sort();

        const QString path = root.filePath(QString::fromLatin1(c.links.front().first));
        QString why;
        ASSERT_TRUE(StoreBaud(path, 1200, &why)) << why.toStdString();
        for (const auto& [name, to] : c.links) EXPECT_EQ(LinkText(root.filePath(QString::fromLatin1(name))), where(to)) << name;
        const QSettings stored(target, QSettings::IniFormat);
        EXPECT_EQ(stored.value(QStringLiteral("Comm/Baud")).toInt(), 1200);
        if (c.exists) {
            EXPECT_EQ(stored.value(QStringLiteral("Other/Kept")).toString(), QStringLiteral("yes"));
            EXPECT_EQ(ModeOf(target), mode_t(0600)) << std::oct << ModeOf(target);
        }
        QStringList after = listing();
        after.sort();
        EXPECT_EQ(after, before);
    }

    // Links that lead round in a circle name no file: the save is refused and they stay.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.ini"));
    ASSERT_EQ(::symlink("t.ini", QFile::encodeName(path).constData()), 0);
    ASSERT_EQ(::symlink("s.ini", QFile::encodeName(dir.filePath(QStringLiteral("t.ini"))).constData()), 0);
    QString why;
    EXPECT_FALSE(StoreBaud(path, 1200, &why));
    EXPECT_EQ(why, QStringLiteral("Too many levels of symbolic links"));
    EXPECT_EQ(LinkText(path), QStringLiteral("t.ini"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden), (QStringList{QStringLiteral("s.ini"), QStringLiteral("t.ini")}));
}

// A file its user may not change is refused as QSettings refuses it, however writable its
// folder: the file keeps what it held, and the user learns which file and why.
TEST(WriteIniWhole, AFileItsUserMayNotChangeIsRefusedAndKept)
{
    QTemporaryDir dir;
    const UserSettingsIn settings(dir.path());
    const QString path = QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Locked")).fileName();
    ASSERT_EQ(QFileInfo(path).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
    const QByteArray old = "[Comm]\nBaud=9600\n";
    for (const mode_t mode : {0444, 0400}) {
        SCOPED_TRACE(mode);
        QFile::remove(path);
        testsupport::WriteFileBytes(path, old);
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
        FakePrompter prompter;
        QString why;
        bool stored = true;
        bool saved = true;
        {
            const AsUnprivilegedUser user({dir.path(), path});
            if (user.Failed()) GTEST_SKIP() << "no user without privileges to act as";
            stored = StoreBaud(path, 1200, &why);
            saved = platform::SaveUserIni(QStringLiteral("Locked"), [](QSettings& ini) { ini.setValue(QStringLiteral("Comm/Baud"), 1200); });
        }
        EXPECT_FALSE(stored);
        EXPECT_EQ(why, QStringLiteral("Permission denied"));
        EXPECT_FALSE(saved);
        EXPECT_EQ(prompter.Texts(),
                  QStringList{QStringLiteral("The settings could not be stored in \"%1\": Permission denied\n"
                                             "The file keeps the settings it held before.")
                                  .arg(QDir::toNativeSeparators(path))});
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0600), 0);
        EXPECT_EQ(testsupport::FileBytes(path), old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(path).fileName()});
    }
}

// Instances of the program storing into one settings file at once keep every save of each
// other, as each one says.
TEST(WriteIniWhole, InstancesStoringAtOnceKeepEachOthersSaves)
{
    constexpr int kInstances = 3;
    constexpr int kSaves = 60;
    constexpr int kPauseMs = 10;   // as far apart as the saves take, so that an instance waiting for the lock finds it
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.ini"));
    std::vector<std::unique_ptr<QProcess>> instances;
    for (int i = 0; i < kInstances; ++i) {
        instances.push_back(std::make_unique<QProcess>());
        instances.back()->start(QStringLiteral(INI_SAVE_INSTANCE),
                                {path, QStringLiteral("Instance%1").arg(i), QString::number(kSaves), QString::number(kPauseMs)});
    }
    for (int i = 0; i < kInstances; ++i) {
        QProcess& instance = *instances[i];
        ASSERT_TRUE(instance.waitForFinished(60000)) << "instance " << i;
        EXPECT_EQ(instance.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(instance.exitCode(), 0) << instance.readAllStandardError().constData();
    }
    const QSettings stored(path, QSettings::IniFormat);
    QStringList lost;
    for (int i = 0; i < kInstances; ++i)
        for (int n = 0; n < kSaves; ++n) {
            const QString key = QStringLiteral("Instance%1/Key%2").arg(i).arg(n);
            if (stored.value(key).toString() != QString::number(n)) lost << key;
        }
    EXPECT_TRUE(lost.isEmpty()) << lost.size() << " of " << kInstances * kSaves << " saves lost, such as "
                                << lost.mid(0, 8).join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("s.ini")});
}

}  // namespace
