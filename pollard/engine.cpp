#include "pollard/engine.h"

#include "platform/clock.h"
#include "platform/prompter.h"
#include "pollard/dialer.h"
#include "pollard/frame.h"
#include "pollard/modem.h"
#include "pollard/notices.h"
#include "pollard/serial_port.h"
#include "pollard/setup_window.h"
#include "pollard/tcp_port.h"
#include "pollard/transaction.h"

#include <QCoreApplication>
#include <cstring>

namespace pollard {

using namespace pollard_api;

namespace {
Engine* gComm = nullptr;
}

Engine* Engine::Instance() { return gComm; }

void Engine::Create()
{
    if (!gComm) gComm = new Engine();
}

void Engine::Destroy()
{
    Engine* engine = gComm;
    gComm = nullptr;
    if (!engine) return;
    if (engine->depth_ > 0) {
        engine->dying_ = true;
        engine->userCancel_ = true;   // the wait ends at once
        return;
    }
    delete engine;
}

Engine::Engine()
{
    settings_.Load();
    trace_.SetFileName(settings_.logFileName);
    trace_.SetMaxBytes(settings_.MaxLogBytes());
    trace_.SetAllHex(settings_.allHex);

    serial_ = std::make_unique<SerialPort>();
    tcp_ = std::make_unique<TcpPort>();
    modem_ = std::make_unique<Modem>(*serial_, trace_);
    transaction_ = std::make_unique<pollard::Transaction>(settings_, trace_, userCancel_);
    transaction_->gatewayAnswer = [this](const QByteArray& bytes) { OnGatewayAnswer(bytes); };
    SetDialer(std::make_unique<NmcliDialer>());

    connect(serial_.get(), &Port::Failure, this, [this](const QString& text) { trace_.Add(text); });
    connect(tcp_.get(), &TcpPort::Connected, this, [this] {
        wsStatusImage_ = 2;
        trace_.Add(QStringLiteral("winsock connect"));
        statusText_ = QStringLiteral("Winsock connected");
        emit IndicatorsChanged();
    });
    connect(tcp_.get(), &Port::Lost, this, [this] {
        wsStatusImage_ = 1;
        emit IndicatorsChanged();
    });
    connect(tcp_.get(), &TcpPort::Error, this, [this](int code, const QString& text) {
        statusText_ = QStringLiteral("Message: (%1) %2").arg(code).arg(text);
        trace_.Add(statusText_);
        emit IndicatorsChanged();
    });
    connect(modem_.get(), &Modem::InfoChanged, this, [this] { emit IndicatorsChanged(); });
}

Engine::~Engine()
{
    transaction_->SetPort(nullptr);
    if (rasState_ == 0) dialer_->HangUp();   // a dial-up connection does not outlive the engine
    // The window writes the settings as it goes; without it, what the engine changed is kept.
    if (!setupWindow_ && settingsChanged_) settings_.Save();
    setupWindow_.reset();
    serial_->Close();
    tcp_->Close();
}

void Engine::SetDialer(std::unique_ptr<Dialer> dialer)
{
    dialer_ = std::move(dialer);
    connect(dialer_.get(), &Dialer::Connected, this, [this] { rasState_ = 0; });
    connect(dialer_.get(), &Dialer::Disconnected, this, [this] { rasState_ = 2; });
    connect(dialer_.get(), &Dialer::DialError, this, [this](int code) {
        if (code != Dialer::kLineDisconnected)
            platform::MessageDlg(dialer_->ErrorText(code), platform::DlgType::Error, platform::mbOK);
        rasState_ = 3;
    });
}

QString Engine::ModemInfo() const { return modem_->Info(); }

int Engine::SendReceive(const uint8_t* request, int requestLength, uint8_t* reply, int* replyLength, bool notify)
{
    if (userCancel_) return crCancelled;   // whatever the request, nothing goes out
    if (!request || requestLength <= 0 || requestLength > kMaxRequestMessage) return crInvalidResponse;
    std::memcpy(request_, request, static_cast<size_t>(requestLength));
    const int result = RunTransaction(requestLength, notify);
    if (result != crSuccess) return result;

    const QByteArray& message = transaction_->Reply();
    const int capacity = replyLength ? *replyLength : kReplyBufferSize;
    if (reply) {
        if (message.size() > capacity) {
            trace_.Add(QStringLiteral("Reply of %1 bytes does not fit the caller's %2 bytes").arg(message.size()).arg(capacity));
            return crInvalidResponse;
        }
        std::memcpy(reply, message.constData(), static_cast<size_t>(message.size()));
    }
    if (replyLength) *replyLength = message.size();
    return crSuccess;
}

int Engine::RunTransaction(int requestLength, bool notifyDone)
{
    const ConnectType type = settings_.Connection();
    if ((type == ctDialUp || type == ctEthernet) && !tcp_->IsOpen()) CommConnect(false);
    Port* port = ActivePort();
    transaction_->SetPort(port);
    if (!port || !port->IsOpen()) return crPortNotOpen;
    return transaction_->Run(request_, requestLength, notifyDone);
}

void Engine::SetUserCancel(bool cancel)
{
    userCancel_ = cancel;
    QCoreApplication::processEvents();
    platform::Sleep(100);
}

void Engine::WriteToCommLog(const QString& text)
{
    if (trace_.IsOn()) trace_.Add(QStringLiteral("ProgComment:") + text);
}

void Engine::ShowSetup()
{
    if (!setupWindow_) setupWindow_ = CreateSetupWindow(*this);
    if (setupWindow_) setupWindow_->Show();
}

}  // namespace pollard
