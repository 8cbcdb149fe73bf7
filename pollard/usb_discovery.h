#pragma once
// Finding the analyzer's USB serial adapter among the serial ports present: a device whose
// name begins with one of the known device names. The result is only shown to the user;
// nothing is selected or opened.
#include <QString>
#include <QStringList>
#include <vector>

namespace pollard {

// One serial port as the system lists it.
struct SerialPortListing {
    QString portName;      // as the port list shows it ("ttyUSB0")
    QString description;   // the device's name as the system reports it
    QStringList byIdNames; // its names under /dev/serial/by-id ("usb-...-if00-port0")
};

// The known device names, compared with the start of a device's name, case-sensitively.
const QStringList& KnownUsbDeviceNames();

// The port name of the last listed port whose description, or one of whose by-id names
// (without its "usb-" bus prefix, '_' read as a blank), begins with a known device name;
// empty when none does.
QString FindUSBPort(const std::vector<SerialPortListing>& ports);

// The serial ports present on this machine, with their by-id names.
std::vector<SerialPortListing> PresentSerialPorts();

// One serial port as the serial-port library reports it.
struct SystemSerialPort {
    QString portName;
    QString description;
    QString systemLocation;   // its device file ("/dev/ttyUSB0")
};
// The given ports, each with the names in byIdFolder that lead to its device file.
std::vector<SerialPortListing> ListSerialPorts(const std::vector<SystemSerialPort>& ports, const QString& byIdFolder);

// What the setup window shows for a search result: empty for none.
QString UsbFoundText(const QString& portName);

}  // namespace pollard
