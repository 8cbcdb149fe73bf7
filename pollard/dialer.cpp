#include "pollard/dialer.h"

namespace pollard {

NmcliDialer::NmcliDialer(QObject* parent) : Dialer(parent)
{
    connect(&process_, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        if (status == QProcess::NormalExit && exitCode == 0)
            emit Connected();
        else
            emit DialError(status == QProcess::NormalExit ? exitCode : 1);
    });
}

NmcliDialer::~NmcliDialer()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(1000);
    }
}

int NmcliDialer::Dial(const QString& entry)
{
    entry_ = entry;
    if (entry.trimmed().isEmpty()) return 10;
    if (process_.state() != QProcess::NotRunning) return 1;
    process_.start(QStringLiteral("nmcli"), {QStringLiteral("--wait"), QStringLiteral("90"), QStringLiteral("connection"),
                                             QStringLiteral("up"), QStringLiteral("id"), entry});
    if (!process_.waitForStarted(3000)) return kNotStarted;
    return 0;
}

void NmcliDialer::HangUp()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(1000);
    }
    if (entry_.trimmed().isEmpty()) return;
    QProcess::startDetached(QStringLiteral("nmcli"),
                            {QStringLiteral("connection"), QStringLiteral("down"), QStringLiteral("id"), entry_});
    emit Disconnected();
}

QString NmcliDialer::ErrorText(int code) const
{
    switch (code) {
    case 1: return QStringLiteral("Unknown or unspecified error.");
    case 2: return QStringLiteral("Invalid user input, wrong nmcli invocation.");
    case 3: return QStringLiteral("Timeout expired.");
    case 4: return QStringLiteral("Connection activation failed.");
    case 8: return QStringLiteral("NetworkManager is not running.");
    case 10: return QStringLiteral("Connection, device, or access point does not exist.");
    case kLineDisconnected: return QStringLiteral("The connection was closed.");
    case kNotStarted: return QStringLiteral("The network manager command (nmcli) could not be started.");
    default: return QStringLiteral("Dial-up error %1.").arg(code);
    }
}

QStringList NmcliDialer::Entries()
{
    QProcess list;
    list.start(QStringLiteral("nmcli"),
               {QStringLiteral("-t"), QStringLiteral("-f"), QStringLiteral("NAME"), QStringLiteral("connection"),
                QStringLiteral("show")});
    if (!list.waitForStarted(3000) || !list.waitForFinished(5000) || list.exitCode() != 0) return {};
    QStringList names;
    for (const QByteArray& line : list.readAllStandardOutput().split('\n'))
        if (!line.trimmed().isEmpty()) names << QString::fromLocal8Bit(line.trimmed());
    return names;
}

}  // namespace pollard
