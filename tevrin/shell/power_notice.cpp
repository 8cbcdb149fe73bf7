#include "tevrin/shell/power_notice.h"

#include <QDBusConnection>

PowerNotice::PowerNotice(QObject* parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return;
    listening_ = bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                             QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
                             SLOT(PrepareForSleep(bool)));
}

void PowerNotice::PrepareForSleep(bool start)
{
    if (start) emit Suspending();
}
