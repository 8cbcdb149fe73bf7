// Finding the analyzer's USB serial adapter by its device name.
#include "pollard/usb_discovery.h"

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
    // Whatever this machine has: every listed port has a name the port list can show.
    for (const SerialPortListing& port : pollard::PresentSerialPorts()) EXPECT_FALSE(port.portName.isEmpty());
}

}  // namespace
