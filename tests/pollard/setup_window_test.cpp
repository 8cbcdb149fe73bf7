// The communication setup window, driven offscreen as the user would: its defaults, the
// settings it writes, the connection types, OK and "Reset Defaults", the address book, the
// trace log and the proxy dialog.
#include "tests/pollard/engine_fixture.h"

#include "pollard/proxy_dlg.h"
#include "pollard/serial_port.h"
#include "pollard/modem.h"
#include "pollard/setup_window.h"
#include "pollard/tcp_port.h"
#include "tests/common/fake_prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

namespace pollardtest {
namespace {

using pollard::CommSetupWindow;

// A control of a window by its name; the test fails at once when there is none.
template <typename T>
T* Child(QWidget* parent, const char* name)
{
    T* w = parent->findChild<T*>(QLatin1String(name));
    if (!w) throw std::runtime_error(std::string("no control ") + name);
    return w;
}

class SetupWindowTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        S() = pollard::CommSettings();   // exactly what a fresh installation reads
    }
    void TearDown() override
    {
        window.reset();
        EngineTest::TearDown();
    }
    CommSetupWindow& Open()
    {
        window = std::make_unique<CommSetupWindow>(E(), book.path(), spare.path());
        window->Show();
        return *window;
    }
    template <typename T>
    T* C(const char* name) { return Child<T>(window.get(), name); }
    QVariant Ini(const char* key) const
    {
        return QSettings(pollard::SettingsFilePath(), QSettings::IniFormat).value(QLatin1String(key));
    }
    QByteArray BookText() const
    {
        QFile f(book.filePath(QStringLiteral("addrInfo.cfg")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void WriteBook(const QByteArray& text)
    {
        QFile f(book.filePath(QStringLiteral("addrInfo.cfg")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    QTemporaryDir book;
    QTemporaryDir spare;
    FakePrompter prompter;
    std::unique_ptr<CommSetupWindow> window;
};

TEST_F(SetupWindowTest, FreshInstallationShowsTheDesignValues)
{
    Open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Communications Setup"));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(C<QComboBox>("cbConnectType")->currentIndex(), -1);
    EXPECT_EQ(C<QComboBox>("cbConnectType")->count(), 4);
    EXPECT_EQ(C<QComboBox>("cbConnectType")->itemText(2), QStringLiteral("Dial-up Networking (RAS)"));
    EXPECT_EQ(C<QComboBox>("cbBaudRate")->currentText(), QStringLiteral("9600"));
    EXPECT_EQ(C<QComboBox>("cbBaudRate")->count(), 10);
    EXPECT_EQ(C<QComboBox>("cbDataBits")->currentText(), QStringLiteral("8"));
    EXPECT_EQ(C<QComboBox>("cbParity")->currentText(), QStringLiteral("None"));
    EXPECT_EQ(C<QComboBox>("cbStopBits")->currentText(), QStringLiteral("1"));
    EXPECT_TRUE(C<QCheckBox>("ckAllStations")->isChecked());
    EXPECT_EQ(C<QCheckBox>("ckAllStations")->text(), QStringLiteral("\"All Stations\""));
    EXPECT_FALSE(C<QLineEdit>("ledModbusNodeAddress")->isEnabled());
    EXPECT_EQ(C<QLineEdit>("ledModbusNodeAddress")->text(), QStringLiteral("1"));
    EXPECT_EQ(C<QLineEdit>("edRetries")->text(), QStringLiteral("2"));
    EXPECT_EQ(C<QLineEdit>("edBackoffTimer")->text(), QStringLiteral("5"));
    EXPECT_EQ(C<QLineEdit>("ledMaxAttempts")->text(), QStringLiteral("2"));
    EXPECT_EQ(C<QLineEdit>("ledTimeBtwnAttempts")->text(), QStringLiteral("30"));
    EXPECT_EQ(C<QLineEdit>("ledPort")->text(), QStringLiteral("telnet"));
    EXPECT_EQ(C<QLineEdit>("ledLogFileName")->text(), QStringLiteral(".\\Logs\\VESKAComm.LOG"));
    EXPECT_EQ(C<QLineEdit>("edMaxLogSize")->text(), QStringLiteral("20000"));
    EXPECT_EQ(C<QLineEdit>("ledComment")->text(), QStringLiteral("Enter comment here"));
    EXPECT_TRUE(C<QCheckBox>("ckAllHex")->isChecked());
    EXPECT_EQ(C<QCheckBox>("ckWriteReset")->text().replace(QLatin1String("&&"), QLatin1String("&")),
              QStringLiteral("Write & Reset after success"));
    // Hidden as delivered: the diagnostics, the logging group and the proxy controls.
    EXPECT_TRUE(C<QGroupBox>("gbLogging")->isHidden());
    EXPECT_TRUE(C<QPushButton>("btnDiagnostics")->isHidden());
    EXPECT_TRUE(C<QCheckBox>("ckProxy")->isHidden());
    EXPECT_TRUE(C<QPushButton>("btnProxy")->isHidden());
    EXPECT_FALSE(C<QPushButton>("btnProxy")->isEnabled());
    // Nothing is written before the window first closes.
    EXPECT_FALSE(QFile::exists(pollard::SettingsFilePath()));
}

TEST_F(SetupWindowTest, SettingsMadeInTheWindowAreWrittenAtCloseAndComeBack)
{
    Open();
    window->cbConnectTypeSelect(pollard::ctEthernet);
    C<QComboBox>("cbBaudRate")->setCurrentText(QStringLiteral("19200"));
    emit C<QComboBox>("cbBaudRate")->textActivated(QStringLiteral("19200"));
    C<QComboBox>("cbParity")->setCurrentIndex(2);
    emit C<QComboBox>("cbParity")->activated(2);
    C<QLineEdit>("edRetries")->setText(QStringLiteral("4"));
    C<QCheckBox>("ckAllStations")->setChecked(false);
    EXPECT_TRUE(C<QLineEdit>("ledModbusNodeAddress")->isEnabled());
    C<QLineEdit>("ledModbusNodeAddress")->setText(QStringLiteral("17"));
    C<QLineEdit>("ledDialNumber")->setText(QStringLiteral("5551234"));
    C<QComboBox>("ethAddr")->setEditText(QStringLiteral("10.0.0.9"));
    C<QLineEdit>("ledPort")->setText(QStringLiteral("4001"));
    // The engine works with the new values at once.
    EXPECT_EQ(S().RetryCount(), 4);
    EXPECT_EQ(S().FrameAddress(), 17);
    window->close();

    EXPECT_EQ(Ini("Comm/ConnectType").toInt(), 3);
    EXPECT_EQ(Ini("Comm/Baud").toInt(), 19200);
    EXPECT_EQ(Ini("Comm/Parity").toInt(), 2);
    EXPECT_EQ(Ini("Comm/Retries").toString(), QStringLiteral("4"));
    EXPECT_FALSE(Ini("Comm/AllStations").toBool());
    EXPECT_EQ(Ini("Comm/ModbusNodeAddress").toString(), QStringLiteral("17"));
    EXPECT_EQ(Ini("Tapi/DialNum").toString(), QStringLiteral("5551234"));

    // A new engine reads them, and a new window shows them.
    window.reset();
    Cleanup();
    Initialize();
    EXPECT_EQ(S().baud, 19200);
    Open();
    EXPECT_EQ(C<QComboBox>("cbConnectType")->currentIndex(), 3);
    EXPECT_EQ(C<QComboBox>("cbBaudRate")->currentText(), QStringLiteral("19200"));
    EXPECT_EQ(C<QComboBox>("cbParity")->currentText(), QStringLiteral("Even"));
    EXPECT_EQ(C<QLineEdit>("edRetries")->text(), QStringLiteral("4"));
    EXPECT_FALSE(C<QCheckBox>("ckAllStations")->isChecked());
    EXPECT_EQ(C<QLineEdit>("ledModbusNodeAddress")->text(), QStringLiteral("17"));
}

TEST_F(SetupWindowTest, ExitWithTheWindowOpenLosesNothing)
{
    E().ShowSetup();   // the engine's own window, as the program shows it
    CommSetupWindow* shown = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* c = qobject_cast<CommSetupWindow*>(w); c && c->isVisible()) shown = c;
    ASSERT_NE(shown, nullptr);
    Child<QLineEdit>(shown, "edRetries")->setText(QStringLiteral("6"));
    Child<QLineEdit>(shown, "ledComment")->setText(QStringLiteral("left open"));
    Cleanup();
    EXPECT_EQ(Ini("Comm/Retries").toString(), QStringLiteral("6"));
    EXPECT_EQ(Ini("Comm/Comment").toString(), QStringLiteral("left open"));
    Initialize();
}

TEST_F(SetupWindowTest, ConnectionTypesShowTheirGroups)
{
    Open();
    const struct {
        int index;
        bool port, modem, winsock, addresses, ras, detect;
        const char* panel;
    } cases[] = {
        {pollard::ctComPortDirect, true, false, false, false, false, false, ""},
        {pollard::ctModem, false, true, false, false, false, false, ""},
        {pollard::ctDialUp, false, false, true, false, true, false, "Winsock Status:"},
        {pollard::ctEthernet, false, false, true, true, false, true, "Winsock Status:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        window->cbConnectTypeSelect(c.index);
        EXPECT_EQ(S().connectType, c.index);
        EXPECT_EQ(!C<QGroupBox>("gbPortSetup")->isHidden(), c.port);
        EXPECT_EQ(!C<QGroupBox>("gbModemSetup")->isHidden(), c.modem);
        EXPECT_EQ(!C<QGroupBox>("gbWinsock")->isHidden(), c.winsock);
        EXPECT_EQ(C<QComboBox>("ethAddr")->isEnabled(), c.addresses);
        EXPECT_EQ(C<QPushButton>("btnDelete")->isEnabled(), c.addresses);
        EXPECT_EQ(C<QGroupBox>("gbRAS")->isEnabled(), c.ras);
        EXPECT_EQ(C<QPushButton>("btnCCIDetect")->isEnabled(), c.detect);
        EXPECT_EQ(C<QLabel>("StatusPanel1")->text(), QString::fromLatin1(c.panel));
    }
    // Choosing the type in force again only enables "CCI Detect" on Ethernet.
    C<QPushButton>("btnCCIDetect")->setEnabled(false);
    window->cbConnectTypeSelect(pollard::ctEthernet);
    EXPECT_TRUE(C<QPushButton>("btnCCIDetect")->isEnabled());
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(SetupWindowTest, TheWindowIsAsTallAsTheGroupsThatShow)
{
    Open();
    QApplication::processEvents();
    auto* scroll = C<QScrollArea>("settingsScroll");
    const int cap = window->screen()->availableGeometry().height() - 60;
    const auto check = [&] {
        QApplication::processEvents();
        const int settings = scroll->widget()->sizeHint().height();
        const int shown = scroll->viewport()->height();
        // No empty band below the groups, and nothing to scroll unless the screen is too short.
        EXPECT_LE(shown - settings, 4) << shown << " for " << settings;
        if (window->height() < cap) {
            EXPECT_GE(shown, settings);
        }
    };
    check();
    for (int type : {pollard::ctComPortDirect, pollard::ctModem, pollard::ctDialUp, pollard::ctEthernet}) {
        SCOPED_TRACE(type);
        window->cbConnectTypeSelect(type);
        check();
        C<QPushButton>("btnDiagnostics")->click();
        check();
        C<QPushButton>("btnDiagnostics")->click();
        check();
    }
}

TEST_F(SetupWindowTest, OkDropsTheLinkKeepsTheEndpointAndAddsItToTheAddressBook)
{
    WriteBook("Plant,10.0.0.5,502\n");
    ServeTcp();
    ASSERT_EQ(CommConnect(), 0);
    Open();
    EXPECT_FALSE(C<QGroupBox>("gbWinsock")->isEnabled());   // locked while online
    EXPECT_EQ(C<QComboBox>("ethAddr")->currentText(), QStringLiteral("127.0.0.1"));
    form.notices.clear();

    C<QComboBox>("ethAddr")->setEditText(QStringLiteral("10.0.0.77"));
    C<QLineEdit>("ledPort")->setText(QStringLiteral("telnet"));
    window->btnOKClick();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(IsOnline());
    EXPECT_FALSE(E().Tcp().IsOpen());
    EXPECT_EQ(form.Statuses(), std::vector<int>{0});
    EXPECT_TRUE(C<QGroupBox>("gbWinsock")->isEnabled());
    EXPECT_FALSE(C<QGroupBox>("gbPortSetup")->isEnabled());
    EXPECT_EQ(S().winSock.address, QStringLiteral("10.0.0.77"));
    EXPECT_EQ(Ini("WinSock/Address").toString(), QStringLiteral("10.0.0.77"));
    // The new address goes in front, as description and address, with "telnet" as its number.
    EXPECT_EQ(BookText(), QByteArray("10.0.0.77,10.0.0.77,23\nPlant,10.0.0.5,502\n"));

    // An address the book has, under a description of its own, is not added again.
    window->Show();
    C<QComboBox>("ethAddr")->setEditText(QStringLiteral("10.0.0.5"));
    window->btnOKClick();
    EXPECT_EQ(BookText(), QByteArray("10.0.0.77,10.0.0.77,23\nPlant,10.0.0.5,502\n"));
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(SetupWindowTest, OkEndsAModemCall)
{
    ServePty();
    wire.SetModem(true);
    S().connectType = pollard::ctModem;
    S().dialNum = QStringLiteral("5551234");
    auto& timing = E().ModemLine().timing;
    timing.commandMs = 500;
    timing.guardMs = 30;
    ASSERT_EQ(CommConnect(), 0);
    Open();
    EXPECT_EQ(C<QLabel>("lblModemInfo")->text(), QStringLiteral("Connected at 19200 baud"));
    window->btnOKClick();
    EXPECT_FALSE(IsOnline());
    EXPECT_FALSE(E().Serial().IsOpen());
    EXPECT_TRUE(wire.WaitFor([&] { return !wire.ModemInCall(); }, 1000));
    window->Show();
    EXPECT_EQ(C<QLabel>("lblModemInfo")->text(), QStringLiteral("Not Connected"));
    // The next connect places a new call.
    EXPECT_EQ(CommConnect(), 0);
    EXPECT_EQ(wire.DialCount(), 2);
}

TEST_F(SetupWindowTest, OkDuringAnExchangeLeavesItsPortOpen)
{
    ServeTcp();
    ASSERT_EQ(CommConnect(), 0);
    Open();
    wire.FailNext(sim::WireFault::Silence, 1);
    QTimer::singleShot(30, [this] { window->btnOKClick(); });
    const Exchange ex = Send(ReadRow(sim::AnalyzerCore::RowOfDbId(20)));
    EXPECT_EQ(ex.result, 0);   // answered on the retry, on the same connection
    EXPECT_EQ(wire.ConnectionsAccepted(), 1);
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(IsOnline());
}

TEST_F(SetupWindowTest, ResetDefaultsPutsBackTheDesignValuesButTheNodeAddress)
{
    Open();
    window->cbConnectTypeSelect(pollard::ctModem);
    window->btnOKClick();   // the modem is the type in force now
    window->Show();
    window->cbConnectTypeSelect(pollard::ctEthernet);
    emit C<QComboBox>("cbBaudRate")->textActivated(QStringLiteral("38400"));
    emit C<QComboBox>("cbStopBits")->textActivated(QStringLiteral("2"));
    C<QLineEdit>("edRetries")->setText(QStringLiteral("9"));
    C<QLineEdit>("edBackoffTimer")->setText(QStringLiteral("12"));
    C<QCheckBox>("ckAllStations")->setChecked(false);
    C<QLineEdit>("ledModbusNodeAddress")->setText(QStringLiteral("42"));
    C<QCheckBox>("ckAllHex")->setChecked(false);
    C<QLineEdit>("ledDialNumber")->setText(QStringLiteral("123"));

    window->btnResetDefaultsClick();
    EXPECT_EQ(S().baud, 9600);
    EXPECT_EQ(S().stopBits, 1);
    EXPECT_EQ(C<QComboBox>("cbBaudRate")->currentText(), QStringLiteral("9600"));
    EXPECT_EQ(C<QComboBox>("cbStopBits")->currentText(), QStringLiteral("1"));
    EXPECT_EQ(C<QLineEdit>("edRetries")->text(), QStringLiteral("2"));
    EXPECT_EQ(S().retries, QStringLiteral("2"));
    EXPECT_EQ(C<QLineEdit>("edBackoffTimer")->text(), QStringLiteral("5"));
    EXPECT_TRUE(C<QCheckBox>("ckAllStations")->isChecked());
    EXPECT_TRUE(C<QCheckBox>("ckAllHex")->isChecked());
    EXPECT_TRUE(C<QLineEdit>("ledDialNumber")->text().isEmpty());
    EXPECT_EQ(C<QLineEdit>("ledModbusNodeAddress")->text(), QStringLiteral("42"));   // kept
    EXPECT_EQ(C<QComboBox>("cbConnectType")->currentIndex(), pollard::ctModem);      // the one kept by OK
    EXPECT_EQ(S().connectType, pollard::ctModem);
    EXPECT_FALSE(C<QGroupBox>("gbModemSetup")->isHidden());
}

TEST_F(SetupWindowTest, PortNotPresentShowsNoSelectionAndIsKept)
{
    S().portName = QStringLiteral("/dev/no-such-serial-device");
    S().comNumber = 7;
    Open();
    EXPECT_EQ(C<QComboBox>("cbComPortNum")->currentIndex(), -1);
    EXPECT_EQ(static_cast<int>(window->PortTable().size()), C<QComboBox>("cbComPortNum")->count());
    window->close();
    EXPECT_EQ(Ini("Comm/PortName").toString(), QStringLiteral("/dev/no-such-serial-device"));
    EXPECT_EQ(Ini("Comm/ComNumber").toInt(), 7);
}

TEST_F(SetupWindowTest, AddressBookEditedFromTheLists)
{
    WriteBook("Plant,10.0.0.5,502\nLab,10.0.0.6,4001\n");
    S().winSock.address = QStringLiteral("10.0.0.6");
    Open();
    window->cbConnectTypeSelect(pollard::ctEthernet);
    ASSERT_EQ(C<QComboBox>("comDesc")->count(), 2);
    EXPECT_EQ(window->AddrIndex(), 1);   // the entry of the endpoint in force
    EXPECT_EQ(C<QComboBox>("comDesc")->currentText(), QStringLiteral("Lab"));

    // Choosing in one list selects the same entry in the other and shows its port.
    emit C<QComboBox>("ethAddr")->activated(0);
    EXPECT_EQ(C<QComboBox>("comDesc")->currentText(), QStringLiteral("Plant"));
    EXPECT_EQ(C<QLineEdit>("ledPort")->text(), QStringLiteral("502"));

    // Empty fields are refused with a message.
    C<QLineEdit>("ledPort")->clear();
    window->ledPortEnter();
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].caption, QStringLiteral("Attention"));
    EXPECT_EQ(prompter.prompts[0].text, QStringLiteral("Port should not be empty, please input valid Port Value"));

    // A new description for the selected entry, with a comma in it.
    C<QLineEdit>("ledPort")->setText(QStringLiteral("503"));
    C<QComboBox>("comDesc")->setEditText(QStringLiteral("Plant, north"));
    window->comDescEnter();
    EXPECT_EQ(BookText(), QByteArray("\"Plant, north\",10.0.0.5,503\nLab,10.0.0.6,4001\n"));

    // A new address is added at the selected place, as description and address.
    C<QComboBox>("ethAddr")->setEditText(QStringLiteral("10.0.0.8"));
    window->ethAddrEnter();
    EXPECT_EQ(BookText(), QByteArray("10.0.0.8,10.0.0.8,503\n\"Plant, north\",10.0.0.5,503\nLab,10.0.0.6,4001\n"));
    EXPECT_EQ(C<QComboBox>("comDesc")->count(), 3);
    EXPECT_EQ(C<QComboBox>("ethAddr")->count(), 3);

    // Delete removes the selected entry from both lists and the book.
    emit C<QComboBox>("comDesc")->activated(2);
    window->btnDeleteClick();
    EXPECT_EQ(BookText(), QByteArray("10.0.0.8,10.0.0.8,503\n\"Plant, north\",10.0.0.5,503\n"));
    EXPECT_EQ(C<QComboBox>("comDesc")->count(), 2);
    EXPECT_EQ(window->AddrIndex(), -1);
    EXPECT_EQ(prompter.prompts.size(), 1u);

    // A book that cannot be saved says so.
    window->AddrBook() = pollard::PortAddrMgr(book.filePath(QStringLiteral("gone")), BookText().isEmpty() ? QString() : book.filePath(QStringLiteral("addrInfo.cfg")));
    emit C<QComboBox>("comDesc")->activated(0);
    window->btnDeleteClick();
    ASSERT_EQ(prompter.prompts.size(), 2u);
    EXPECT_EQ(prompter.prompts[1].type, platform::DlgType::Error);
}

TEST_F(SetupWindowTest, TraceLogControlsDriveThePortsTraceLog)
{
    QTemporaryDir logs;
    Open();
    window->btnDiagnosticsClick();
    EXPECT_FALSE(C<QGroupBox>("gbLogging")->isHidden());
    EXPECT_EQ(C<QPushButton>("btnDiagnostics")->text(), QStringLiteral("Hide Diagnostics"));

    C<QCheckBox>("ckCreateLog")->setChecked(true);
    EXPECT_TRUE(C<QPushButton>("btnStartStopLog")->isEnabled());
    EXPECT_FALSE(C<QPushButton>("btnAddComment")->isEnabled());
    C<QLineEdit>("ledLogFileName")->setText(logs.filePath(QStringLiteral("comm.log")));
    C<QPushButton>("btnStartStopLog")->click();
    EXPECT_TRUE(E().Trace().IsOn());
    EXPECT_EQ(C<QPushButton>("btnStartStopLog")->text(), QStringLiteral("Send Log to File"));
    EXPECT_FALSE(C<QLineEdit>("ledLogFileName")->isEnabled());
    C<QLineEdit>("ledComment")->setText(QStringLiteral("before the test run"));
    C<QPushButton>("btnAddComment")->click();

    C<QPushButton>("btnPauseLog")->click();
    EXPECT_EQ(C<QPushButton>("btnPauseLog")->text(), QStringLiteral("Paused"));
    EXPECT_EQ(E().Trace().state(), pollard::TraceLog::Pause);
    C<QPushButton>("btnPauseLog")->click();
    EXPECT_EQ(E().Trace().state(), pollard::TraceLog::On);

    C<QPushButton>("btnStartStopLog")->click();
    EXPECT_EQ(C<QPushButton>("btnStartStopLog")->text(), QStringLiteral("Start Logging"));
    QFile log(logs.filePath(QStringLiteral("comm.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("before the test run"));

    // Not tracing: a comment is refused; a file that cannot be written says so.
    C<QPushButton>("btnAddComment")->setEnabled(true);
    C<QPushButton>("btnAddComment")->click();
    EXPECT_TRUE(prompter.Saw(QStringLiteral("Log file is not currently open.")));
    C<QLineEdit>("ledLogFileName")->setText(logs.filePath(QStringLiteral("no/such/folder/comm.log")));
    C<QPushButton>("btnStartStopLog")->click();
    C<QPushButton>("btnStartStopLog")->click();
    ASSERT_FALSE(prompter.prompts.empty());
    EXPECT_TRUE(prompter.prompts.back().text.startsWith(
        QStringLiteral("Error saving the log file.\n\nMake sure the directory exists and that you can write to it.\n\n")))
        << prompter.prompts.back().text.toStdString();
    EXPECT_TRUE(prompter.prompts.back().text.contains(E().Trace().LastError()));
    EXPECT_FALSE(E().Trace().LastError().isEmpty());

    C<QCheckBox>("ckCreateLog")->setChecked(false);
    EXPECT_EQ(E().Trace().state(), pollard::TraceLog::Off);
    EXPECT_FALSE(C<QPushButton>("btnStartStopLog")->isEnabled());
}

TEST_F(SetupWindowTest, ProxyDialogShowsAndWritesTheSocksSettings)
{
    pollard::CommSettings s;
    s.socksVersion = 3;   // the list's third entry
    s.proxyAddress = QStringLiteral("proxy.local");
    s.proxyPort = 1080;
    s.proxyUsername = QStringLiteral("svc");
    s.proxyPassword = QStringLiteral("pw");
    pollard::ProxyDialog dialog;
    dialog.Fill(s);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Proxy Settings"));
    EXPECT_EQ(Child<QComboBox>(&dialog, "cbSocksVersion")->currentText(), QStringLiteral("Socks5"));
    EXPECT_EQ(Child<QLineEdit>(&dialog, "edPassword")->echoMode(), QLineEdit::Password);
    Child<QComboBox>(&dialog, "cbSocksVersion")->setCurrentIndex(1);
    Child<QLineEdit>(&dialog, "edPort")->setText(QStringLiteral("1081"));
    pollard::CommSettings out;
    dialog.Apply(out);
    EXPECT_EQ(out.socksVersion, 2);
    EXPECT_EQ(out.proxyPort, 1081);
    EXPECT_EQ(out.proxyAddress, QStringLiteral("proxy.local"));
    EXPECT_EQ(out.proxyUsername, QStringLiteral("svc"));
    EXPECT_EQ(out.proxyPassword, QStringLiteral("pw"));

    // Cancel changes nothing.
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<pollard::ProxyDialog*>(w)) {
                Child<QLineEdit>(d, "edAddress")->setText(QStringLiteral("changed"));
                d->reject();
            }
    });
    EXPECT_FALSE(pollard::EditProxySettings(nullptr, s));
    EXPECT_EQ(s.proxyAddress, QStringLiteral("proxy.local"));

    // A fresh installation's version is one the list offers, and OK keeps it.
    pollard::ProxyDialog fresh;
    fresh.Fill(pollard::CommSettings());
    EXPECT_EQ(Child<QComboBox>(&fresh, "cbSocksVersion")->currentText(), QStringLiteral("Socks5"));
    pollard::CommSettings kept;
    fresh.Apply(kept);
    EXPECT_EQ(kept.socksVersion, pollard::CommSettings().socksVersion);
}

TEST_F(SetupWindowTest, GatewayListAndAddressReachTheWindow)
{
    ServeTcp();
    Open();
    window->cbConnectTypeSelect(pollard::ctEthernet);
    C<QPushButton>("btnCCIDetect")->click();
    EXPECT_FALSE(C<QGroupBox>("gbWinsock")->isEnabled());
    EXPECT_FALSE(C<QComboBox>("cbConnectType")->isEnabled());
    EXPECT_TRUE(C<QComboBox>("cbCCIConnInfo")->isEnabled());
    ASSERT_TRUE(wire.WaitFor([&] { return wire.ConnectionsAccepted() == 1; }, 2000));

    wire.SendRaw("CCICnorth,south,");
    ASSERT_TRUE(wire.WaitFor([&] { return wire.RepliesWritten() == 1; }, 2000));
    Settle(50);
    QComboBox* list = C<QComboBox>("cbCCIConnInfo");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(1), QStringLiteral("south"));

    list->setCurrentIndex(1);
    emit list->activated(1);
    EXPECT_TRUE(C<QGroupBox>("gbWinsock")->isEnabled());
    EXPECT_FALSE(C<QComboBox>("cbConnectType")->isEnabled());
    EXPECT_FALSE(C<QPushButton>("btnCCIDetect")->isEnabled());
    ASSERT_TRUE(wire.WaitFor([&] { return wire.ConnectionsAccepted() == 2; }, 2000));
    wire.SendRaw("CCIA9");
    ASSERT_TRUE(wire.WaitFor([&] { return wire.RepliesWritten() == 2; }, 2000));
    Settle(50);
    EXPECT_EQ(C<QLineEdit>("ledModbusNodeAddress")->text(), QStringLiteral("9"));
    EXPECT_EQ(S().modbusNodeAddress, QStringLiteral("9"));
    EXPECT_FALSE(IsOnline());
}

}  // namespace
}  // namespace pollardtest
