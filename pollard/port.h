#pragma once
// One open line to the analyzer, whatever carries it (serial port, modem line, TCP socket).
// Events arrive on the GUI thread while the application processes its messages.
#include <QByteArray>
#include <QObject>
#include <QString>

namespace pollard {

class Port : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;
    virtual qint64 Write(const QByteArray& bytes) = 0;
    virtual qint64 BytesAvailable() const = 0;
    virtual QByteArray Read(qint64 maxBytes) = 0;
    // Drops everything received and not yet read, here and in the driver.
    virtual void FlushInput() = 0;
    virtual void FlushOutput() = 0;
    // Text of the last failure (opening, writing, the line going down).
    QString ErrorText() const { return errorText_; }

signals:
    void DataAvailable();
    void OutputSent();
    // The line went down by itself (device gone, peer closed the connection); the port is
    // closed when this is emitted.
    void Lost();
    // A failure worth a line in the trace log.
    void Failure(const QString& text);

protected:
    // Writes what the descriptor takes at once (a socket without SIGPIPE); the count written,
    // which may fall short of length (driver buffer full, line down).
    static qint64 WriteNow(qintptr descriptor, bool socket, const char* data, qint64 length);

    QString errorText_;
};

}  // namespace pollard
