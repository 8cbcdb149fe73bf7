#pragma once
// A serial device (a COM port, a USB serial adapter, a pseudo-terminal in tests).
#include "pollard/port.h"

#include <QSerialPort>

namespace pollard {

class CommSettings;

class SerialPort : public Port {
    Q_OBJECT
public:
    explicit SerialPort(QObject* parent = nullptr);

    // Opens the device with the settings' line parameters; false with ErrorText() when the
    // device cannot be opened or configured.
    bool Open(const CommSettings& settings);

    bool IsOpen() const override { return port_.isOpen(); }
    void Close() override;
    qint64 Write(const QByteArray& bytes) override;
    qint64 BytesAvailable() const override { return port_.bytesAvailable(); }
    QByteArray Read(qint64 maxBytes) override { return port_.read(maxBytes); }
    void FlushInput() override;
    void FlushOutput() override;
    int BaudRate() const { return port_.baudRate(); }
    QSerialPort& Device() { return port_; }

private:
    void OnError(QSerialPort::SerialPortError error);

    QSerialPort port_;
};

}  // namespace pollard
