// One instance of the program storing its settings, for the tests of saves made at once by
// several instances: stores `count` times into the settings file at `path`, `pause` ms apart,
// each save adding the key "<group>/Key<n>". Exits with 0 when every save said it was stored.
#include "platform/ini_guard.h"

#include <QCoreApplication>
#include <QSettings>
#include <QString>
#include <QThread>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool counted = false;
    bool timed = false;
    const int count = args.size() == 5 ? args[3].toInt(&counted) : 0;
    const int pause = args.size() == 5 ? args[4].toInt(&timed) : 0;
    if (!counted || !timed) {
        std::fprintf(stderr, "usage: ini_save_instance <settings file> <group> <saves> <pause ms>\n");
        return 2;
    }
    for (int n = 0; n < count; ++n) {
        const QString key = QStringLiteral("%1/Key%2").arg(args[2]).arg(n);
        QString why;
        if (!platform::WriteIniWhole(args[1], [&](QSettings& ini) { ini.setValue(key, n); }, &why)) {
            std::fprintf(stderr, "save %d: %s\n", n, qPrintable(why));
            return 1;
        }
        QThread::msleep(static_cast<unsigned long>(pause));
    }
    return 0;
}
