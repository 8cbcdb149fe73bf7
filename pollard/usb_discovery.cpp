#include "pollard/usb_discovery.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace pollard {

namespace {

constexpr int kNameLength = 16;   // every known name is this long

bool BeginsWithKnownName(const QString& name)
{
    if (name.size() < kNameLength) return false;
    const QString head = name.left(kNameLength);
    for (const QString& known : KnownUsbDeviceNames())
        if (head == known) return true;
    return false;
}

QString ByIdDeviceName(const QString& byIdName)
{
    QString name = byIdName;
    if (name.startsWith(QLatin1String("usb-"))) name.remove(0, 4);
    name.replace(QLatin1Char('_'), QLatin1Char(' '));
    return name;
}

}  // namespace

const QStringList& KnownUsbDeviceNames()
{
    static const QStringList names{QStringLiteral("R27 H2S ANALYZER"), QStringLiteral("TORQUINE USB INT"),
                                   QStringLiteral("LINX SDM-USB-QS-")};
    return names;
}

QString FindUSBPort(const std::vector<SerialPortListing>& ports)
{
    QString result;
    for (const SerialPortListing& port : ports) {
        bool match = BeginsWithKnownName(port.description);
        for (const QString& byId : port.byIdNames) match = match || BeginsWithKnownName(ByIdDeviceName(byId));
        if (match && !port.portName.isEmpty()) result = port.portName;   // a later match replaces an earlier one
    }
    return result;
}

std::vector<SerialPortListing> PresentSerialPorts()
{
    std::vector<SystemSerialPort> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.push_back({info.portName(), info.description(), info.systemLocation()});
    return ListSerialPorts(ports, QStringLiteral("/dev/serial/by-id"));
}

std::vector<SerialPortListing> ListSerialPorts(const std::vector<SystemSerialPort>& ports, const QString& byIdFolder)
{
    const QFileInfoList byId =
        QDir(byIdFolder).entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    std::vector<SerialPortListing> out;
    for (const SystemSerialPort& system : ports) {
        SerialPortListing port{system.portName, system.description, {}};
        const QString device = QFileInfo(system.systemLocation).canonicalFilePath();
        for (const QFileInfo& link : byId)
            if (!device.isEmpty() && link.canonicalFilePath() == device) port.byIdNames << link.fileName();
        out.push_back(port);
    }
    return out;
}

QString UsbFoundText(const QString& portName)
{
    if (portName.isEmpty()) return QString();
    return QStringLiteral("TORQUINE USB INTERFACE was found at ") + portName;
}

}  // namespace pollard
