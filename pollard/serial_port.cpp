#include "pollard/serial_port.h"

#include "pollard/comm_settings.h"

namespace pollard {

namespace {
QSerialPort::Parity ToParity(int p)
{
    switch (p) {
    case 1: return QSerialPort::OddParity;
    case 2: return QSerialPort::EvenParity;
    case 3: return QSerialPort::MarkParity;
    case 4: return QSerialPort::SpaceParity;
    default: return QSerialPort::NoParity;
    }
}

QSerialPort::DataBits ToDataBits(int bits)
{
    switch (bits) {
    case 5: return QSerialPort::Data5;
    case 6: return QSerialPort::Data6;
    case 7: return QSerialPort::Data7;
    default: return QSerialPort::Data8;
    }
}
}  // namespace

SerialPort::SerialPort(QObject* parent) : Port(parent)
{
    connect(&port_, &QSerialPort::readyRead, this, &Port::DataAvailable);
    connect(&port_, &QSerialPort::bytesWritten, this, [this] {
        if (port_.bytesToWrite() == 0) emit OutputSent();
    });
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialPort::OnError);
}

bool SerialPort::Open(const CommSettings& settings)
{
    Close();
    errorText_.clear();
    port_.setPortName(settings.SerialDevice());
    if (!port_.open(QIODevice::ReadWrite)) {
        errorText_ = port_.errorString();
        return false;
    }
    const bool configured = port_.setBaudRate(settings.baud) && port_.setDataBits(ToDataBits(settings.dataBits)) &&
                            port_.setParity(ToParity(settings.parity)) &&
                            port_.setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
                            port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        errorText_ = port_.errorString();
        port_.close();
        return false;
    }
    port_.clear();
    return true;
}

void SerialPort::Close()
{
    if (port_.isOpen()) port_.close();
}

qint64 SerialPort::Write(const QByteArray& bytes)
{
    if (!port_.isOpen()) return -1;
    // Out now, not at the event loop's next turn: the reply's time starts with the frame. A
    // frame goes straight to the device when nothing waits before it, so that the event loop
    // need not arm and disarm a write notifier for every exchange; whatever the device does
    // not take at once goes through the port's own buffer.
    qint64 done = 0;
    if (port_.bytesToWrite() == 0 && port_.handle() >= 0)
        done = WriteNow(port_.handle(), false, bytes.constData(), bytes.size());
    if (done == bytes.size()) {
        emit OutputSent();
        return done;
    }
    const qint64 rest = port_.write(bytes.constData() + done, bytes.size() - done);
    port_.flush();
    return rest < 0 ? (done > 0 ? done : -1) : done + rest;
}

void SerialPort::FlushInput()
{
    if (!port_.isOpen()) return;
    port_.readAll();
    port_.clear(QSerialPort::Input);
}

void SerialPort::FlushOutput()
{
    if (port_.isOpen()) port_.clear(QSerialPort::Output);
}

void SerialPort::OnError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError) return;
    const QString text = port_.errorString();
    errorText_ = text;
    emit Failure(text);
    // A device that went away (unplugged adapter, the other end of the line closed).
    if (error == QSerialPort::ResourceError && port_.isOpen()) {
        port_.close();
        emit Lost();
    }
}

}  // namespace pollard
