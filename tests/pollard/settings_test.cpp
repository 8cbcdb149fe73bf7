// The engine's settings in the per-user ini file.
#include "pollard/comm_settings.h"
#include "tests/common/fake_prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

void RemoveIni() { QFile::remove(pollard::SettingsFilePath()); }

TEST(CommSettings, FreshInstallationTakesTheDesignDefaults)
{
    RemoveIni();
    pollard::CommSettings s;
    s.Load();
    EXPECT_EQ(s.connectType, -1);
    EXPECT_EQ(s.Connection(), pollard::ctComPortDirect);
    EXPECT_EQ(s.comNumber, 1);
    EXPECT_EQ(s.SerialDevice(), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(s.baud, 9600);
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.parity, 0);
    EXPECT_EQ(s.stopBits, 1);
    EXPECT_TRUE(s.allStations);
    EXPECT_EQ(s.FrameAddress(), 0xFF);
    EXPECT_EQ(s.retries, QStringLiteral("2"));
    EXPECT_EQ(s.backoffTimer, QStringLiteral("5"));
    EXPECT_EQ(s.winSock.port, QStringLiteral("telnet"));
    EXPECT_EQ(s.timeBtwnAttempts, QStringLiteral("30"));
    EXPECT_FALSE(QFile::exists(pollard::SettingsFilePath()));   // reading writes nothing
}

// A settings file with a value that QSettings decodes from binary asks it for tens of gigabytes
// (the list's count is 0x7fffffff); the engine puts the file aside, starts from its defaults and
// saves a plain file of its own.
TEST(CommSettings, AFileWithAValueDecodedFromBinaryIsPutAside)
{
    RemoveIni();
    const QString path = pollard::SettingsFilePath();
    const QByteArray bomb = "[Comm]\nBaud=19200\nCreateLog=@Variant(\\0\\0\\0\\xb\\x7f\\xff\\xff\\xff)\n";
    QDir().mkpath(QFileInfo(path).absolutePath());
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bomb);
    }
    FakePrompter prompter;
    pollard::CommSettings s;
    s.Load();
    EXPECT_EQ(s.baud, 9600);
    EXPECT_FALSE(s.createLog);
    EXPECT_FALSE(QFile::exists(path));
    QFile aside(path + QStringLiteral(".refused"));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), bomb);
    aside.remove();
    // The user is told once which file went aside and that the defaults are used.
    ASSERT_EQ(prompter.Texts().size(), 1);
    const QString told = prompter.Texts()[0];
    EXPECT_TRUE(told.contains(QDir::toNativeSeparators(path) + QStringLiteral("\"")) &&
                told.contains(QDir::toNativeSeparators(path) + QStringLiteral(".refused\"")) &&
                told.contains(QStringLiteral("default settings are used")))
        << told.toStdString();

    s.baud = 38400;
    s.Save();
    pollard::CommSettings back;
    back.Load();
    EXPECT_EQ(back.baud, 38400);
    EXPECT_EQ(prompter.Texts().size(), 1);
    RemoveIni();
}

TEST(CommSettings, SavedValuesComeBackUnderTheirSectionsAndKeys)
{
    RemoveIni();
    pollard::CommSettings s;
    s.connectType = 3;
    s.comNumber = 4;
    s.baud = 19200;
    s.retries = QStringLiteral("5");
    s.allStations = false;
    s.modbusNodeAddress = QStringLiteral("17");
    s.dialNum = QStringLiteral("5551234");
    s.proxyPassword = QStringLiteral("secret");
    s.winSock = {QStringLiteral("10.1.2.3"), QStringLiteral("4001")};
    s.winSock2 = {QStringLiteral("10.9.9.9"), QStringLiteral("telnet")};
    s.Save();

    QSettings ini(pollard::SettingsFilePath(), QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("Comm/ComNumber")).toInt(), 4);
    EXPECT_EQ(ini.value(QStringLiteral("Comm/ConnectType")).toInt(), 3);
    EXPECT_EQ(ini.value(QStringLiteral("Tapi/DialNum")).toString(), QStringLiteral("5551234"));
    EXPECT_EQ(ini.value(QStringLiteral("Proxy/pw")).toString(), QStringLiteral("secret"));
    EXPECT_EQ(ini.value(QStringLiteral("WinSock/Address")).toString(), QStringLiteral("10.1.2.3"));
    EXPECT_EQ(ini.value(QStringLiteral("WinSock2/Address")).toString(), QStringLiteral("10.9.9.9"));

    pollard::CommSettings back;
    back.Load();
    EXPECT_EQ(back.Connection(), pollard::ctEthernet);
    EXPECT_EQ(back.baud, 19200);
    EXPECT_EQ(back.RetryCount(), 5);
    EXPECT_EQ(back.FrameAddress(), 17);
    EXPECT_EQ(back.winSock.port, QStringLiteral("4001"));
    EXPECT_EQ(back.winSock2.address, QStringLiteral("10.9.9.9"));
    RemoveIni();
}

// Whatever the user types into a text field is stored and read back as it was, and the file the
// program wrote is never put aside as one it did not write: QSettings writes a control character
// as an escape and the hex digits after it as escapes too ("\x1\x41\x35").
TEST(CommSettings, EveryTextAndValueTheProgramStoresComesBackAndTheFileIsKept)
{
    using Text = QString pollard::CommSettings::*;
    const Text fields[] = {
        &pollard::CommSettings::backoffTimer, &pollard::CommSettings::retries,
        &pollard::CommSettings::logFileName, &pollard::CommSettings::maxLogSize,
        &pollard::CommSettings::comment, &pollard::CommSettings::modbusNodeAddress,
        &pollard::CommSettings::portName, &pollard::CommSettings::dialNum,
        &pollard::CommSettings::maxAttempts, &pollard::CommSettings::timeBtwnAttempts,
        &pollard::CommSettings::proxyAddress, &pollard::CommSettings::proxyUsername,
        &pollard::CommSettings::proxyPassword,
    };
    const QString texts[] = {
        QStringLiteral("\x01" "A5"),
        QString(QChar(0)) + QStringLiteral("ab9"),
        QStringLiteral("\x1b" "F1\x7f" "e"),
        QStringLiteral("pw\t0\n1"),
        QString::fromUtf8("Z\xc3\xbcrich, Stra\xc3\x9f" "e 4; \"A\"=B "),
        QStringLiteral("C:\\Logs\\x41\\"),
        QStringLiteral("@Variant(\\0\\0\\0\\x7f)"),
        QStringLiteral(" "),
        QString(),
    };
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        RemoveIni();
        QFile::remove(pollard::SettingsFilePath() + QStringLiteral(".refused"));
        pollard::CommSettings s;
        for (const Text field : fields) s.*field = text;
        s.winSock = {text, text};
        s.winSock2 = {text, text};
        s.comNumber = -7;
        s.baud = 2147483647;
        s.connectType = -1;
        s.proxyPort = 65535;
        s.createLog = s.append = s.writeReset = s.createTapiLog = s.useProxy = true;
        s.allHex = s.allStations = false;
        ASSERT_TRUE(s.Save());

        pollard::CommSettings back;
        back.Load();
        EXPECT_FALSE(QFile::exists(pollard::SettingsFilePath() + QStringLiteral(".refused")));
        for (const Text field : fields) EXPECT_EQ(back.*field, text);
        EXPECT_EQ(back.winSock.address, text);
        EXPECT_EQ(back.winSock2.port, text);
        EXPECT_EQ(back.comNumber, -7);
        EXPECT_EQ(back.baud, 2147483647);
        EXPECT_EQ(back.connectType, -1);
        EXPECT_EQ(back.proxyPort, 65535);
        EXPECT_TRUE(back.createLog && back.append && back.writeReset && back.createTapiLog && back.useProxy);
        EXPECT_FALSE(back.allHex || back.allStations);
    }
    RemoveIni();
}

TEST(CommSettings, NumbersInTextFieldsAreReadLeniently)
{
    const struct {
        const char* text;
        int atLeastOne;
    } cases[] = {{"3", 3}, {" 7", 7}, {"4x", 4}, {"0", 1}, {"-2", 1}, {"abc", 1}, {"", 1}};
    for (const auto& c : cases) {
        pollard::CommSettings s;
        s.retries = s.backoffTimer = s.maxAttempts = s.timeBtwnAttempts = QString::fromLatin1(c.text);
        EXPECT_EQ(s.RetryCount(), c.atLeastOne) << c.text;
        EXPECT_EQ(s.BackoffTicks(), c.atLeastOne) << c.text;
        EXPECT_EQ(s.ModemAttempts(), c.atLeastOne) << c.text;
        EXPECT_EQ(s.ModemSecondsBetweenAttempts(), c.atLeastOne) << c.text;
    }
}

TEST(CommSettings, WaitsFromTheTextFieldsAreBounded)
{
    const struct {
        const char* text;
        int ticks;
        int seconds;
    } cases[] = {
        {"65535", 65535, 1000},
        {"65536", 65535, 1000},
        {"39045040", 65535, 1000},   // 55 ms ticks past 2^31 ms
        {"2147483647", 65535, 1000},
        {"1000", 1000, 1000},
        {"2147484", 65535, 1000},    // seconds past 2^31 ms
    };
    for (const auto& c : cases) {
        pollard::CommSettings s;
        s.backoffTimer = s.timeBtwnAttempts = QString::fromLatin1(c.text);
        EXPECT_EQ(s.BackoffTicks(), c.ticks) << c.text;
        EXPECT_EQ(s.ModemSecondsBetweenAttempts(), c.seconds) << c.text;
    }
}

}  // namespace
