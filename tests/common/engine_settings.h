#pragma once
// Points the engine library's settings (the user's INI file) at a simulated analyzer serving
// TCP on this machine.
#include <QSettings>
#include <QString>

#include <cstdint>

namespace testsupport {

// Writes the settings for TCP to 127.0.0.1:port; the INI file's path, for removing it again.
inline QString PointEngineAtTcp(uint16_t port)
{
    QSettings ini(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("DesktopK41XRT"));
    ini.setValue(QStringLiteral("Comm/ConnectType"), 3);
    ini.setValue(QStringLiteral("WinSock/Address"), QStringLiteral("127.0.0.1"));
    ini.setValue(QStringLiteral("WinSock/Port"), QString::number(port));
    ini.sync();
    return ini.fileName();
}

}  // namespace testsupport
