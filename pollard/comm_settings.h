#pragma once
// The engine's settings, kept per user in the ini file "DesktopK41XRT" with the sections
// "Comm", "Tapi", "Proxy", "WinSock" and "WinSock2". Read once when the engine is created,
// written when the setup window closes. The text fields are parsed when they are used.
#include <QString>
#include <cstdint>

namespace pollard {

enum ConnectType : int { ctComPortDirect = 0, ctModem = 1, ctDialUp = 2, ctEthernet = 3 };

struct Endpoint {
    QString address;
    QString port = QStringLiteral("telnet");
};

class CommSettings {
public:
    // Bounds of the waits the text fields give, so that no count of milliseconds overflows.
    static constexpr int kMaxBackoffTicks = 65535;
    static constexpr int kMaxSecondsBetweenAttempts = 1000;

    // "Comm"
    int comNumber = 1;
    int baud = 9600;
    int dataBits = 8;
    int parity = 0;        // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int stopBits = 1;
    QString backoffTimer = QStringLiteral("5");
    QString retries = QStringLiteral("2");
    bool createLog = false;
    bool append = false;
    bool writeReset = false;
    bool allHex = true;
    QString logFileName = QStringLiteral(".\\Logs\\VESKAComm.LOG");
    QString maxLogSize = QStringLiteral("20000");
    QString comment = QStringLiteral("Enter comment here");
    int connectType = -1;  // list index; -1 when none was chosen
    bool allStations = true;
    QString modbusNodeAddress = QStringLiteral("1");
    // The serial device to open (a path such as /dev/ttyUSB0). Empty: the device that
    // stands for the port number (port 1 is /dev/ttyS0).
    QString portName;

    // "Tapi" (the modem)
    QString dialNum;
    QString maxAttempts = QStringLiteral("2");
    QString timeBtwnAttempts = QStringLiteral("30");
    bool createTapiLog = false;

    // "Proxy"
    bool useProxy = false;
    int proxyPort = 0;
    int socksVersion = 3;  // SOCKS 5, the third entry of the proxy dialog's list
    QString proxyAddress;
    QString proxyUsername;
    QString proxyPassword;

    // "WinSock" (the Ethernet endpoint) and "WinSock2" (kept and written back only)
    Endpoint winSock;
    Endpoint winSock2;

    // Reads every key, each missing one keeping the value it has (the defaults above).
    void Load();
    // Writes every key, replacing the file whole; when it could not be stored the file keeps
    // what it held, the user is told why, and false is returned.
    bool Save() const;

    // Values as the engine uses them.
    ConnectType Connection() const;       // index -1 counts as the direct serial port
    int RetryCount() const;               // sends of one request; below 1 or no number: 1
    // Reply time-out in ticks; below 1 or no number: 1; above kMaxBackoffTicks (an hour): that.
    int BackoffTicks() const;
    uint8_t FrameAddress() const;         // 0xFF for all stations, else the node address' low byte
    QString SerialDevice() const;
    int ModemAttempts() const;            // at least 1
    int ModemSecondsBetweenAttempts() const;   // 1 to kMaxSecondsBetweenAttempts
    int MaxLogBytes() const;
};

// The ini file in use (per user).
QString SettingsFilePath();

}  // namespace pollard
