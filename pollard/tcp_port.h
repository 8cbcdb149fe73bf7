#pragma once
// A TCP connection to the analyzer (or to a gateway in front of it).
#include "pollard/port.h"

#include <QNetworkProxy>
#include <QTcpSocket>
#include <functional>

namespace pollard {

class CommSettings;

class TcpPort : public Port {
    Q_OBJECT
public:
    explicit TcpPort(QObject* parent = nullptr);

    void SetEndpoint(const QString& address, const QString& port) { address_ = address; service_ = port; }
    QString Address() const { return address_; }
    QString Service() const { return service_; }
    // The proxy the next connection goes through (NoProxy: straight to the endpoint).
    void SetProxy(const QNetworkProxy& proxy) { socket_.setProxy(proxy); }
    QNetworkProxy Proxy() const { return socket_.proxy(); }

    // Connects, waiting (with the application processing its messages) until the connection
    // is made, fails, stop() becomes true or limitMs passes. False with ErrorText() on failure.
    bool Open(int limitMs, const std::function<bool()>& stop);

    bool IsOpen() const override { return socket_.state() == QAbstractSocket::ConnectedState; }
    void Close() override;
    qint64 Write(const QByteArray& bytes) override;
    qint64 BytesAvailable() const override { return socket_.bytesAvailable(); }
    QByteArray Read(qint64 maxBytes) override { return socket_.read(maxBytes); }
    void FlushInput() override;
    void FlushOutput() override {}

    // A port given by name ("telnet") or number; 0 when it is neither.
    static quint16 PortNumber(const QString& service);
    // The SOCKS server of the settings when "Use Proxy" is on and it has an address and a
    // port, else no proxy at all (not even the system's).
    static QNetworkProxy ProxyFor(const CommSettings& settings);

signals:
    void Connected();
    void Error(int code, const QString& text);

private:
    QTcpSocket socket_;
    QString address_;
    QString service_ = QStringLiteral("telnet");
    bool closing_ = false;
};

}  // namespace pollard
