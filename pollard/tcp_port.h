#pragma once
// A TCP connection to the analyzer (or to a gateway in front of it).
#include "pollard/port.h"

#include <QTcpSocket>
#include <functional>

namespace pollard {

class TcpPort : public Port {
    Q_OBJECT
public:
    explicit TcpPort(QObject* parent = nullptr);

    void SetEndpoint(const QString& address, const QString& port) { address_ = address; service_ = port; }
    QString Address() const { return address_; }
    QString Service() const { return service_; }

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
