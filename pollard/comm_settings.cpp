#include "pollard/comm_settings.h"

#include "platform/ini_guard.h"
#include "platform/numtext.h"

#include <QSettings>

#include <algorithm>

namespace pollard {

namespace {

const QString kIniKey = QStringLiteral("DesktopK41XRT");

QSettings OpenIni() { return QSettings(QSettings::IniFormat, QSettings::UserScope, kIniKey); }

// The ini file, once a file that is not the program's has been put aside.
QSettings OpenCheckedIni() { return platform::OpenUserIni(kIniKey); }

int AtLeastOne(const QString& text)
{
    const int32_t v = numtext::AtoL(text.toStdString());
    return v < 1 ? 1 : v;
}

template <typename T>
void Read(QSettings& ini, const char* key, T& value)
{
    value = ini.value(QLatin1String(key), QVariant::fromValue(value)).template value<T>();
}

void ReadEndpoint(QSettings& ini, const char* section, Endpoint& e)
{
    ini.beginGroup(QLatin1String(section));
    Read(ini, "Address", e.address);
    Read(ini, "Port", e.port);
    ini.endGroup();
}

void WriteEndpoint(QSettings& ini, const char* section, const Endpoint& e)
{
    ini.beginGroup(QLatin1String(section));
    ini.setValue(QStringLiteral("Address"), e.address);
    ini.setValue(QStringLiteral("Port"), e.port);
    ini.endGroup();
}

}  // namespace

QString SettingsFilePath() { return OpenIni().fileName(); }

void CommSettings::Load()
{
    QSettings ini = OpenCheckedIni();
    ini.beginGroup(QStringLiteral("Comm"));
    Read(ini, "ComNumber", comNumber);
    Read(ini, "Baud", baud);
    Read(ini, "DataBits", dataBits);
    Read(ini, "Parity", parity);
    Read(ini, "StopBits", stopBits);
    Read(ini, "BackoffTimer", backoffTimer);
    Read(ini, "Retries", retries);
    Read(ini, "CreateLog", createLog);
    Read(ini, "Append", append);
    Read(ini, "WriteReset", writeReset);
    Read(ini, "AllHex", allHex);
    Read(ini, "LogFileName", logFileName);
    Read(ini, "MaxLogSize", maxLogSize);
    Read(ini, "Comment", comment);
    Read(ini, "ConnectType", connectType);
    Read(ini, "AllStations", allStations);
    Read(ini, "ModbusNodeAddress", modbusNodeAddress);
    Read(ini, "PortName", portName);
    ini.endGroup();

    ini.beginGroup(QStringLiteral("Tapi"));
    Read(ini, "DialNum", dialNum);
    Read(ini, "MaxAttempts", maxAttempts);
    Read(ini, "TimeBtwnAttempts", timeBtwnAttempts);
    Read(ini, "CreateTapiLog", createTapiLog);
    ini.endGroup();

    ini.beginGroup(QStringLiteral("Proxy"));
    Read(ini, "UseProxy", useProxy);
    Read(ini, "ProxyPort", proxyPort);
    Read(ini, "SocksVersion", socksVersion);
    Read(ini, "Address", proxyAddress);
    Read(ini, "Username", proxyUsername);
    Read(ini, "pw", proxyPassword);
    ini.endGroup();

    ReadEndpoint(ini, "WinSock", winSock);
    ReadEndpoint(ini, "WinSock2", winSock2);
}

bool CommSettings::Save() const
{
    return platform::SaveUserIni(kIniKey, [this](QSettings& ini) {
        ini.beginGroup(QStringLiteral("Comm"));
        ini.setValue(QStringLiteral("ComNumber"), comNumber);
        ini.setValue(QStringLiteral("Baud"), baud);
        ini.setValue(QStringLiteral("DataBits"), dataBits);
        ini.setValue(QStringLiteral("Parity"), parity);
        ini.setValue(QStringLiteral("StopBits"), stopBits);
        ini.setValue(QStringLiteral("BackoffTimer"), backoffTimer);
        ini.setValue(QStringLiteral("Retries"), retries);
        ini.setValue(QStringLiteral("CreateLog"), createLog);
        ini.setValue(QStringLiteral("Append"), append);
        ini.setValue(QStringLiteral("WriteReset"), writeReset);
        ini.setValue(QStringLiteral("AllHex"), allHex);
        ini.setValue(QStringLiteral("LogFileName"), logFileName);
        ini.setValue(QStringLiteral("MaxLogSize"), maxLogSize);
        ini.setValue(QStringLiteral("Comment"), comment);
        ini.setValue(QStringLiteral("ConnectType"), connectType);
        ini.setValue(QStringLiteral("AllStations"), allStations);
        ini.setValue(QStringLiteral("ModbusNodeAddress"), modbusNodeAddress);
        ini.setValue(QStringLiteral("PortName"), portName);
        ini.endGroup();

        ini.beginGroup(QStringLiteral("Tapi"));
        ini.setValue(QStringLiteral("DialNum"), dialNum);
        ini.setValue(QStringLiteral("MaxAttempts"), maxAttempts);
        ini.setValue(QStringLiteral("TimeBtwnAttempts"), timeBtwnAttempts);
        ini.setValue(QStringLiteral("CreateTapiLog"), createTapiLog);
        ini.endGroup();

        ini.beginGroup(QStringLiteral("Proxy"));
        ini.setValue(QStringLiteral("UseProxy"), useProxy);
        ini.setValue(QStringLiteral("ProxyPort"), proxyPort);
        ini.setValue(QStringLiteral("SocksVersion"), socksVersion);
        ini.setValue(QStringLiteral("Address"), proxyAddress);
        ini.setValue(QStringLiteral("Username"), proxyUsername);
        ini.setValue(QStringLiteral("pw"), proxyPassword);
        ini.endGroup();

        WriteEndpoint(ini, "WinSock", winSock);
        WriteEndpoint(ini, "WinSock2", winSock2);
    });
}

ConnectType CommSettings::Connection() const
{
    switch (connectType) {
    case ctModem: return ctModem;
    case ctDialUp: return ctDialUp;
    case ctEthernet: return ctEthernet;
    default: return ctComPortDirect;
    }
}

int CommSettings::RetryCount() const { return AtLeastOne(retries); }

int CommSettings::BackoffTicks() const { return std::min(AtLeastOne(backoffTimer), kMaxBackoffTicks); }

uint8_t CommSettings::FrameAddress() const
{
    if (allStations) return 0xFF;
    return static_cast<uint8_t>(numtext::AtoL(modbusNodeAddress.toStdString()) & 0xFF);
}

QString CommSettings::SerialDevice() const
{
    if (!portName.trimmed().isEmpty()) return portName.trimmed();
    return QStringLiteral("/dev/ttyS%1").arg(comNumber > 0 ? comNumber - 1 : 0);
}

int CommSettings::ModemAttempts() const { return AtLeastOne(maxAttempts); }

int CommSettings::ModemSecondsBetweenAttempts() const
{
    return std::min(AtLeastOne(timeBtwnAttempts), kMaxSecondsBetweenAttempts);
}

int CommSettings::MaxLogBytes() const { return AtLeastOne(maxLogSize); }

}  // namespace pollard
