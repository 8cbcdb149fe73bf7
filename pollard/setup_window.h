#pragma once
// The communication setup window "Communications Setup", shown by ShowCommSetup without
// waiting and on top of the other windows. It shows and changes the engine's settings
// (the connection type, the serial port, modem, dial-up and TCP parameters, the exchange's
// time-out and retries, the node address, the trace log), the gateway in front of a TCP
// analyzer and the address book of TCP endpoints. The settings are written whenever the
// window closes, and when the engine goes with the window open.
#include "pollard/address_book.h"
#include "pollard/comm_settings.h"

#include <QSerialPortInfo>
#include <QWidget>
#include <memory>
#include <vector>

namespace Ui {
class CommSetupForm;
}

namespace pollard {

class Engine;
class Gateway;

class SetupWindow {
public:
    virtual ~SetupWindow() = default;
    virtual void Show() = 0;   // modeless, on top of the other windows
};

// The window for this engine.
std::unique_ptr<SetupWindow> CreateSetupWindow(Engine& engine);

class CommSetupWindow : public QWidget, public SetupWindow {
    Q_OBJECT
public:
    // The address book is kept in bookFolder (empty: the program's folder), or where that
    // cannot be written in bookFallback (empty: the per-user data folder).
    explicit CommSetupWindow(Engine& engine, const QString& bookFolder = QString(),
                             const QString& bookFallback = QString());
    ~CommSetupWindow() override;

    void Show() override;

    Ui::CommSetupForm& Form() { return *ui_; }
    PortAddrMgr& AddrBook() { return addrBook_; }
    int AddrIndex() const { return addrIndex_; }
    Gateway& GatewayLink() { return *gateway_; }
    // The design values, as a fresh installation has them.
    const CommSettings& CommDefaults() const { return defaults_; }

    // The serial devices behind the entries of the port list, in list order.
    const std::vector<QSerialPortInfo>& PortTable() const { return portTable_; }
    // Fills the port list from the ports present and selects the one in the settings.
    void FillComPortList();
    // The number that stands for a serial device when the settings give no device name:
    // n + 1 for /dev/ttySn, else the entry's place in the list plus one.
    static int PortNumberFor(const QSerialPortInfo& info, int listIndex);

    // Handlers, public so that a test can drive them as the user would.
    void btnOKClick();
    void btnResetDefaultsClick();
    void btnDiagnosticsClick();
    void cbConnectTypeSelect(int index);
    void comDescEnter();
    void ethAddrEnter();
    void ledPortEnter();
    void btnDeleteClick();
    void btnCCIDetectClick();
    void cbCCIConnInfoSelect(int index);
    void btnProxyClick();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void MakeSettingsScroll();
    // The window as tall as the groups that show, no taller than the screen.
    void FitToContent();
    void ShowSettings(const CommSettings& s);
    void ApplyRules();
    void ShowPortParameters();
    void SetUpConnectionType(int index);
    void TakeDownConnectionType(int index);
    void CollectSettings();
    void WriteSettings();
    void RefreshIndicators();
    void EnableSettingsGroups(bool enable);
    bool ExchangeRunning();
    void LoadAddressBook();
    void SelectAddress(int index);
    void SaveAddressBook();
    bool FieldsFilled(bool description, bool address, bool port);
    void InsertAddressEntry(const QString& address, int32_t port);
    int32_t PortFieldValue() const;
    void FillDialUpEntries();

    void ckCreateLogClick();
    void btnStartStopLogClick();
    void btnPauseLogClick();
    void btnSelDeviceClick();

    Engine& engine_;
    std::unique_ptr<Ui::CommSetupForm> ui_;
    std::unique_ptr<Gateway> gateway_;
    CommSettings defaults_;
    PortAddrMgr addrBook_;
    int addrIndex_ = -1;
    int prevIndex_ = -1;      // the connection type in force
    int okIndex_ = -1;        // the connection type kept by the last OK
    int wsImage_ = 0;
    bool locked_ = false;
    bool showing_ = false;    // controls being filled: their change signals are not edits
    bool paused_ = false;
    std::vector<QSerialPortInfo> portTable_;
};

}  // namespace pollard
