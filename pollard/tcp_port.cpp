#include "pollard/tcp_port.h"

#include "pollard/comm_settings.h"
#include "pollard/pump.h"

#include <netdb.h>

namespace pollard {

TcpPort::TcpPort(QObject* parent) : Port(parent)
{
    connect(&socket_, &QTcpSocket::readyRead, this, &Port::DataAvailable);
    connect(&socket_, &QTcpSocket::bytesWritten, this, [this] {
        if (socket_.bytesToWrite() == 0) emit OutputSent();
    });
    connect(&socket_, &QTcpSocket::connected, this, &TcpPort::Connected);
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        errorText_ = socket_.errorString();
        emit Error(static_cast<int>(error), errorText_);
    });
    connect(&socket_, &QTcpSocket::disconnected, this, [this] {
        if (closing_) return;
        socket_.abort();
        emit Lost();
    });
}

quint16 TcpPort::PortNumber(const QString& service)
{
    bool ok = false;
    const uint n = service.trimmed().toUInt(&ok);
    if (ok) return n > 0 && n <= 65535 ? static_cast<quint16>(n) : 0;
    const QByteArray name = service.trimmed().toLatin1();
    if (name.isEmpty()) return 0;
    if (const servent* s = getservbyname(name.constData(), "tcp")) return ntohs(static_cast<uint16_t>(s->s_port));
    // The default port name, also where the system has no services table.
    if (name == "telnet") return 23;
    return 0;
}

QNetworkProxy TcpPort::ProxyFor(const CommSettings& settings)
{
    const QString host = settings.proxyAddress.trimmed();
    if (!settings.useProxy || host.isEmpty() || settings.proxyPort < 1 || settings.proxyPort > 65535)
        return QNetworkProxy(QNetworkProxy::NoProxy);
    // SOCKS 5 is the kind of SOCKS server the socket speaks, whichever version is chosen.
    return QNetworkProxy(QNetworkProxy::Socks5Proxy, host, static_cast<quint16>(settings.proxyPort),
                         settings.proxyUsername, settings.proxyPassword);
}

bool TcpPort::Open(int limitMs, const std::function<bool()>& stop)
{
    Close();
    errorText_.clear();
    const quint16 port = PortNumber(service_);
    if (address_.trimmed().isEmpty() || port == 0) {
        errorText_ = QStringLiteral("No address or port for the connection.");
        return false;
    }
    bool failed = false;
    const auto onError = connect(&socket_, &QTcpSocket::errorOccurred, this, [&failed] { failed = true; });
    socket_.connectToHost(address_.trimmed(), port);
    const bool done = PumpUntil(
        [&] { return failed || socket_.state() == QAbstractSocket::ConnectedState || (stop && stop()); }, limitMs);
    disconnect(onError);
    if (socket_.state() == QAbstractSocket::ConnectedState) return true;
    if (!failed) errorText_ = done ? QStringLiteral("Cancelled by user.") : QStringLiteral("Connection timed out.");
    socket_.abort();
    return false;
}

void TcpPort::Close()
{
    closing_ = true;
    socket_.abort();
    closing_ = false;
}

qint64 TcpPort::Write(const QByteArray& bytes)
{
    if (!IsOpen()) return -1;
    // Straight to the connection when nothing waits before it (and no proxy stands between),
    // so that the event loop need not arm and disarm a write notifier for every exchange.
    qint64 done = 0;
    if (socket_.bytesToWrite() == 0 && socket_.proxy().type() == QNetworkProxy::NoProxy &&
        socket_.socketDescriptor() >= 0)
        done = WriteNow(socket_.socketDescriptor(), true, bytes.constData(), bytes.size());
    if (done == bytes.size()) {
        emit OutputSent();
        return done;
    }
    const qint64 rest = socket_.write(bytes.constData() + done, bytes.size() - done);
    return rest < 0 ? (done > 0 ? done : -1) : done + rest;
}

void TcpPort::FlushInput() { socket_.readAll(); }

}  // namespace pollard
