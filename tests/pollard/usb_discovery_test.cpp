// Finding the analyzer's USB serial adapter by its device name.
#include "pollard/usb_discovery.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using pollard::FindUSBPort;
using pollard::SerialPortListing;

TEST(UsbDiscovery, DeviceNamesAgainstTheKnownNames)
{
    const struct {
        const char* name;
        std::vector<SerialPortListing> ports;
        const char* found;
    } cases[] = {
        {"no ports", {}, ""},
        {"no matching device", {{"ttyS0", "", {}}, {"ttyUSB0", "FT232R USB UART", {"usb-FTDI_FT232R_USB_UART_A1-if00-port0"}}}, ""},
        {"first name", {{"ttyUSB0", "R27 H2S ANALYZER", {}}}, "ttyUSB0"},
        {"second name with more after it", {{"ttyUSB3", "TORQUINE USB INTERFACE", {}}}, "ttyUSB3"},
        {"third name", {{"ttyACM1", "LINX SDM-USB-QS-S", {}}}, "ttyACM1"},
        {"name cut short", {{"ttyUSB0", "TORQUINE USB IN", {}}}, ""},
        {"other case", {{"ttyUSB0", "torquine usb interface", {}}}, ""},
        {"matches only after the start", {{"ttyUSB0", "USB TORQUINE USB INTERFACE", {}}}, ""},
        {"by-id name when the description is empty",
         {{"ttyUSB2", "", {"usb-TORQUINE_USB_INTERFACE_0042-if00-port0"}}}, "ttyUSB2"},
        {"by-id name of another maker", {{"ttyUSB2", "", {"usb-Prolific_PL2303-if00-port0"}}}, ""},
        {"two matching devices: the last listed",
         {{"ttyUSB0", "R27 H2S ANALYZER", {}}, {"ttyS1", "", {}}, {"ttyUSB1", "LINX SDM-USB-QS-S", {}}}, "ttyUSB1"},
        {"a match then none", {{"ttyUSB0", "R27 H2S ANALYZER", {}}, {"ttyUSB1", "FT232R USB UART", {}}}, "ttyUSB0"},
    };
    for (const auto& c : cases) EXPECT_EQ(FindUSBPort(c.ports), QString::fromUtf8(c.found)) << c.name;
}

TEST(UsbDiscovery, FoundTextNamesThePortOrIsEmpty)
{
    EXPECT_EQ(pollard::UsbFoundText(QString()), QString());
    EXPECT_EQ(pollard::UsbFoundText(QStringLiteral("ttyUSB0")), QStringLiteral("TORQUINE USB INTERFACE was found at ttyUSB0"));
}

TEST(UsbDiscovery, PresentPortsHaveNames)
{
    // A folder standing for /dev: three device files and, under by-id, the names that lead
    // to two of them (one device with two names), plus a name whose device has gone.
    QTemporaryDir dev;
    ASSERT_TRUE(dev.isValid());
    const QDir d(dev.path());
    for (const char* device : {"ttyS0", "ttyUSB0", "ttyUSB1"}) {
        QFile f(d.filePath(QString::fromLatin1(device)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(d.mkpath(QStringLiteral("by-id")));
    const QDir byId(d.filePath(QStringLiteral("by-id")));
    const struct {
        const char* name;
        const char* target;
    } links[] = {
        {"usb-FTDI_FT232R_USB_UART_A1-if00-port0", "../ttyUSB0"},
        {"usb-TORQUINE_USB_INTERFACE_0042-if00-port0", "../ttyUSB1"},
        {"pci-TORQUINE_USB_INTERFACE_0042-port0", "../ttyUSB1"},
        {"usb-TORQUINE_USB_INTERFACE_0099-if00-port0", "../ttyUSB9"},
    };
    for (const auto& l : links)
        ASSERT_TRUE(QFile::link(QString::fromLatin1(l.target), byId.filePath(QString::fromLatin1(l.name))));

    const std::vector<pollard::SystemSerialPort> system = {
        {QStringLiteral("ttyS0"), QString(), d.filePath(QStringLiteral("ttyS0"))},
        {QStringLiteral("ttyUSB0"), QStringLiteral("FT232R USB UART"), d.filePath(QStringLiteral("ttyUSB0"))},
        {QStringLiteral("ttyUSB1"), QString(), d.filePath(QStringLiteral("ttyUSB1"))},
    };
    const std::vector<SerialPortListing> ports = pollard::ListSerialPorts(system, byId.path());
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].portName, QStringLiteral("ttyS0"));
    EXPECT_TRUE(ports[0].byIdNames.isEmpty());
    EXPECT_EQ(ports[1].description, QStringLiteral("FT232R USB UART"));
    EXPECT_EQ(ports[1].byIdNames, QStringList{QStringLiteral("usb-FTDI_FT232R_USB_UART_A1-if00-port0")});
    EXPECT_EQ(ports[2].byIdNames, (QStringList{QStringLiteral("pci-TORQUINE_USB_INTERFACE_0042-port0"),
                                                QStringLiteral("usb-TORQUINE_USB_INTERFACE_0042-if00-port0")}));
    EXPECT_EQ(FindUSBPort(ports), QStringLiteral("ttyUSB1"));

    // Without a by-id folder the ports are listed with their names alone.
    const std::vector<SerialPortListing> bare = pollard::ListSerialPorts(system, d.filePath(QStringLiteral("none")));
    ASSERT_EQ(bare.size(), 3u);
    for (const SerialPortListing& port : bare) EXPECT_TRUE(port.byIdNames.isEmpty());
    EXPECT_EQ(FindUSBPort(bare), QString());

    // Whatever this machine has: every listed port has a name the port list can show.
    for (const SerialPortListing& port : pollard::PresentSerialPorts()) EXPECT_FALSE(port.portName.isEmpty());
}

}  // namespace
