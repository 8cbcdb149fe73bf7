// Opening and closing the link for the connection type in force.
#include "pollard/dialer.h"
#include "pollard/engine.h"
#include "pollard/modem.h"
#include "pollard/notices.h"
#include "pollard/pollard_api.h"
#include "pollard/pump.h"
#include "pollard/serial_port.h"
#include "pollard/tcp_port.h"
#include "pollard/transaction.h"

#include "platform/clock.h"
#include "platform/data_folder.h"
#include "platform/prompter.h"

namespace pollard {

Port* Engine::ActivePort()
{
    switch (settings_.Connection()) {
    case ctDialUp:
    case ctEthernet: return tcp_.get();
    default: return serial_.get();
    }
}

void Engine::AttachCallLog()
{
    modem_->SetCallLog(settings_.createTapiLog ? platform::UserDataFile(QStringLiteral("APROTAPI.HIS")) : QString());
}

int Engine::ConnectFailed()
{
    linkState_ = lsOffline;
    SendStatus(kStatusOffline);
    return 1;
}

int Engine::PortNotOpened(const QString& portName, const QString& reason, bool announce)
{
    trace_.Add(QStringLiteral("Port not opened: ") + portName + QStringLiteral(": ") + reason);
    ConnectFailed();
    // The caller that asked for the link is told which port did not open; the engine's own
    // connect before an exchange leaves that to the exchange's result.
    if (announce) {
        platform::MessageDlg(QString::fromLatin1(pollard_api::CommResultText(pollard_api::crPortNotOpen)) + QLatin1Char('\n') + portName +
                                 QStringLiteral(": ") + reason,
                             platform::DlgType::Error, platform::mbOK);
    }
    return pollard_api::crPortNotOpen;
}

void Engine::LockSettings(bool locked)
{
    settingsLocked_ = locked;
    emit IndicatorsChanged();
}

bool Engine::DialUpConnect()
{
    QString entry = dialEntry;
    if (entry.isEmpty()) {
        const QStringList entries = dialer_->Entries();
        if (!entries.isEmpty()) entry = entries.first();
    }
    const int code = dialer_->Dial(entry);
    if (code != 0) {
        platform::MessageDlg(dialer_->ErrorText(code), platform::DlgType::Error, platform::mbOK);
        return false;
    }
    rasState_ = 1;
    PumpUntil([this] { return rasState_ != 1 || userCancel_; }, dialUpLimitMs);
    if (rasState_ == 1) {
        // Neither connected nor failed in time, or the user gave up: stop the dialling.
        trace_.Add(userCancel_ ? QStringLiteral("Dial-up cancelled") : QStringLiteral("Dial-up timed out"));
        dialer_->HangUp();
        rasState_ = 2;
    }
    return rasState_ == 0;
}

int Engine::CommConnect(bool announce)
{
    const ConnectType type = settings_.Connection();
    transaction_->SetPort(nullptr);
    // A call whose line has gone (the port was closed under it) is no call any more.
    if (tapiDialled_ && !serial_->IsOpen()) tapiDialled_ = false;
    if (type != ctModem) {
        serial_->Close();
        tcp_->Close();
    } else if (!tapiDialled_) {
        serial_->Close();
    }
    linkState_ = lsOffline;

    AttachCallLog();
    if (type == ctModem && !tapiDialled_) {
        if (!modem_->Call(settings_, [this] { return userCancel_; })) {
            // A modem whose port did not open is told as a direct port is: which port, and why.
            const bool portNotOpened = modem_->PortNotOpened();
            const QString reason = serial_->ErrorText();
            modem_->HangUp();
            if (portNotOpened) return PortNotOpened(settings_.SerialDevice(), reason, announce);
            return ConnectFailed();
        }
        tapiDialled_ = true;
    }
    if (type == ctDialUp || type == ctEthernet) {
        tcp_->SetEndpoint(settings_.winSock.address, settings_.winSock.port);
        tcp_->SetProxy(TcpPort::ProxyFor(settings_));
        wsStatusImage_ = 2;
    }
    linkState_ = lsConnecting;

    if (type == ctDialUp && !DialUpConnect()) return ConnectFailed();

    if (type == ctComPortDirect) {
        if (!serial_->Open(settings_)) return PortNotOpened(settings_.SerialDevice(), serial_->ErrorText(), announce);
    } else if (type == ctDialUp || type == ctEthernet) {
        if (!tcp_->Open(tcpConnectLimitMs, [this] { return userCancel_; })) {
            wsStatusImage_ = 1;
            if (type == ctDialUp) dialer_->HangUp();
            return PortNotOpened(settings_.winSock.address + QLatin1Char(':') + settings_.winSock.port, tcp_->ErrorText(),
                                 announce);
        }
    }
    platform::Sleep(20);
    transaction_->SetPort(ActivePort());
    SendStatus(kStatusIdle);
    LockSettings(true);
    linkState_ = lsOnline;
    return 0;
}

void Engine::CommDisconnect(bool keepLine)
{
    AttachCallLog();
    if (!keepLine) {
        switch (settings_.Connection()) {
        case ctModem:
            transaction_->SetPort(nullptr);
            modem_->HangUp();
            tapiDialled_ = false;
            break;
        case ctDialUp:
            dialer_->HangUp();
            tcp_->Close();
            break;
        default:
            serial_->Close();
            tcp_->Close();
            break;
        }
    }
    SendStatus(kStatusOffline);
    LockSettings(false);
    linkState_ = lsOffline;
}

}  // namespace pollard
