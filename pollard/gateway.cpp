#include "pollard/gateway.h"

#include "pollard/engine.h"
#include "pollard/notices.h"
#include "pollard/tcp_port.h"
#include "pollard/transaction.h"

namespace pollard {

namespace {
const QByteArray kPrefix("CCI");
constexpr qint64 kMaxRead = 4096;
// What one answer may hold, however long the gateway goes on: the characters of one name,
// the digits of an address.
constexpr int kMaxNameLength = 255;
constexpr int kMaxNumberLength = 16;
}  // namespace

const QByteArray Gateway::kListRequest("CCICommand,CRC");

int GatewayNodeAddress(const QByteArray& text)
{
    bool ok = false;
    const int value = QString::fromLatin1(text).trimmed().toInt(&ok);
    return ok && value >= 1 && value <= 255 ? value : -1;
}

void GatewayAnswerReader::Reset()
{
    mode_ = Mode::None;
    head_.clear();
    name_.clear();
    number_.clear();
}

void GatewayAnswerReader::Feed(const QByteArray& chunk, QStringList& names, int& address)
{
    QByteArray bytes = chunk;
    // A chunk that begins a new answer ends the one before it; any other chunk continues it.
    if (mode_ != Mode::None && bytes.startsWith(kPrefix)) Reset();
    if (mode_ == Mode::None) {
        head_ += bytes;
        if (head_.size() < kPrefix.size() + 1) {
            if (!(kPrefix.startsWith(head_) || head_.startsWith(kPrefix))) head_.clear();
            return;
        }
        if (!head_.startsWith(kPrefix)) {
            head_.clear();
            return;
        }
        const char kind = head_[kPrefix.size()];
        bytes = head_.mid(kPrefix.size() + 1);
        head_.clear();
        if (kind == 'C') mode_ = Mode::List;
        else if (kind == 'A') mode_ = Mode::Address;
        else return;
    }
    if (mode_ == Mode::List) {
        for (char c : bytes) {
            if (c == ',') {
                names.append(name_);
                name_.clear();
            } else if (name_.size() < kMaxNameLength) {
                name_ += QLatin1Char(c);
            }
        }
    } else if (mode_ == Mode::Address) {
        number_ += bytes.left(kMaxNumberLength + 1 - number_.size());
        address = number_.size() > kMaxNumberLength ? -1 : GatewayNodeAddress(number_);
    }
}

Gateway::Gateway(Engine& engine, QObject* parent) : QObject(parent), engine_(engine) {}

Gateway::~Gateway() { Stop(); }

void Gateway::Stop()
{
    disconnect(listening_);
    listening_ = {};
    reader_.Reset();
}

bool Gateway::Reconnect()
{
    if (engine_.Exchange().Running()) return false;   // never close the port under an exchange
    Stop();
    engine_.Exchange().SetPort(nullptr);   // the answers are read here, not by the exchange
    engine_.SetLinkState(lsOffline);
    TcpPort& tcp = engine_.Tcp();
    tcp.SetProxy(TcpPort::ProxyFor(engine_.Settings()));
    listening_ = connect(&tcp, &Port::DataAvailable, this, &Gateway::OnData);
    if (!tcp.Open(engine_.tcpConnectLimitMs, [this] { return engine_.UserCancel(); })) {
        Stop();
        return false;
    }
    return true;
}

bool Gateway::Detect(const QString& address, const QString& port)
{
    if (engine_.Exchange().Running()) return false;
    engine_.Tcp().SetEndpoint(address.trimmed(), port.trimmed());
    if (!Reconnect()) return false;
    SendStatus(kStatusIdle);
    engine_.gatewayConnections.clear();
    emit ConnectionsChanged();
    return engine_.Tcp().Write(kListRequest) == kListRequest.size();
}

bool Gateway::Select(const QString& name)
{
    if (!Reconnect()) return false;
    const QByteArray command = QByteArray("CCIS") + name.toLatin1();
    const bool written = engine_.Tcp().Write(command) == command.size();
    engine_.SetLinkState(lsOffline);
    return written;
}

void Gateway::OnData()
{
    TcpPort& tcp = engine_.Tcp();
    // Once the engine's exchange reads the port again, the answers are its business.
    if (engine_.Exchange().CurrentPort() == &tcp) {
        Stop();
        return;
    }
    QStringList names;
    int address = 0;
    while (tcp.BytesAvailable() > 0) {
        const QByteArray chunk = tcp.Read(kMaxRead);
        if (chunk.isEmpty()) break;
        reader_.Feed(chunk, names, address);
    }
    if (!names.isEmpty()) {
        engine_.gatewayConnections += names;
        emit ConnectionsChanged();
    }
    if (address > 0) {
        engine_.Settings().modbusNodeAddress = QString::number(address);
        emit NodeAddressChanged(engine_.Settings().modbusNodeAddress);
    }
}

}  // namespace pollard
