#pragma once
// The communication engine: one instance per process, behind the library's exported
// functions. It holds the settings, the ports of the four connection types, the link state
// and the framed transaction.
#include "pollard/comm_settings.h"
#include "pollard/trace_log.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

namespace pollard {

class Dialer;
class Modem;
class Port;
class SerialPort;
class SetupWindow;
class TcpPort;
class Transaction;

enum LinkState : uint8_t { lsOffline = 0, lsConnecting = 1, lsOnline = 4 };

class Engine : public QObject {
    Q_OBJECT
public:
    Engine();   // reads the settings; the link stays closed
    ~Engine() override;

    // The engine of the process, or nullptr before Initialize and after Cleanup.
    static Engine* Instance();
    static void Create();
    // Destroys the engine; one whose exchange or connect is still waiting further up the
    // stack (the program went away from inside it) is cancelled and goes when that returns.
    static void Destroy();

    // Held by every export that may wait (and so run the program's handlers) in the engine.
    class InUse {
    public:
        explicit InUse(Engine* engine) : engine_(engine) { ++engine_->depth_; }
        ~InUse()
        {
            if (--engine_->depth_ == 0 && engine_->dying_) delete engine_;
        }
        InUse(const InUse&) = delete;
        InUse& operator=(const InUse&) = delete;

    private:
        Engine* engine_;
    };

    // Exported operations.
    int SendReceive(const uint8_t* request, int requestLength, uint8_t* reply, int* replyLength, bool notify);
    void SetUserCancel(bool cancel);
    bool UserCancel() const { return userCancel_; }
    bool IsOnline() const { return linkState_ == lsOnline; }
    uint8_t GetLinkState() const { return linkState_; }
    void SetLinkState(uint8_t state) { linkState_ = state; }
    // 0: the link is up; 1: the modem call or the dial-up connection was not made;
    // crPortNotOpen: the serial port or the TCP connection did not open (with announce, an
    // error box names the port).
    int CommConnect(bool announce = true);
    void CommDisconnect(bool keepLine);
    void WriteToCommLog(const QString& text);
    void ShowSetup();

    CommSettings& Settings() { return settings_; }
    TraceLog& Trace() { return trace_; }
    pollard::Transaction& Exchange() { return *transaction_; }
    SerialPort& Serial() { return *serial_; }
    TcpPort& Tcp() { return *tcp_; }
    Modem& ModemLine() { return *modem_; }
    Dialer& DialUp() { return *dialer_; }
    void SetDialer(std::unique_ptr<Dialer> dialer);   // takes ownership
    // The modem's call history ("APROTAPI.HIS" in the user's folder) follows "Create Tapi Log".
    void AttachCallLog();

    // The port that carries frames for the connection type in force.
    Port* ActivePort();

    // The dial-up connection to bring up; empty: the first one the dialer lists.
    QString dialEntry;
    // How long a dial-up connection and a TCP connection may take to come up.
    int dialUpLimitMs = 120000;
    int tcpConnectLimitMs = 10000;
    // Connection names from a gateway's last list answer.
    QStringList gatewayConnections;

    // What the setup window shows of the link.
    bool SettingsLocked() const { return settingsLocked_; }
    bool ModemCallPlaced() const { return tapiDialled_; }
    int DialUpState() const { return rasState_; }
    int WinsockStatusImage() const { return wsStatusImage_; }
    QString StatusText() const { return statusText_; }
    QString ModemInfo() const;

signals:
    void IndicatorsChanged();

private:
    int RunTransaction(int requestLength, bool notifyDone);
    int ConnectFailed();
    int PortNotOpened(const QString& portName, const QString& reason, bool announce);
    void LockSettings(bool locked);
    void OnGatewayAnswer(const QByteArray& bytes);
    bool DialUpConnect();

    CommSettings settings_;
    TraceLog trace_;
    bool userCancel_ = false;
    bool settingsChanged_ = false;   // by the engine itself (a gateway's node address)
    int depth_ = 0;        // exports of this engine on the stack
    bool dying_ = false;   // destroyed while in use: goes when the last of them returns
    uint8_t linkState_ = lsOffline;
    bool settingsLocked_ = false;
    bool tapiDialled_ = false;
    int rasState_ = 2;
    int wsStatusImage_ = 0;
    QString statusText_;
    uint8_t request_[512] = {};

    std::unique_ptr<SerialPort> serial_;
    std::unique_ptr<TcpPort> tcp_;
    std::unique_ptr<Modem> modem_;
    std::unique_ptr<Dialer> dialer_;
    std::unique_ptr<pollard::Transaction> transaction_;
    std::unique_ptr<SetupWindow> setupWindow_;
};

}  // namespace pollard
