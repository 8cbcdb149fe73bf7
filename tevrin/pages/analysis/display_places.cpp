#include "tevrin/pages/analysis/display_places.h"

#include "platform/data_folder.h"

#include <QDir>
#include <QFile>

int ReadDisplayPlaces()
{
    QFile file(platform::UserDataFile(QStringLiteral("dispPlace.cfg")));
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QByteArray text = file.read(64).trimmed();
    bool ok = false;
    const int places = text.toInt(&ok);
    return ok && places >= 0 && places <= 4 ? places : -1;
}

QString DisplayFormatFor(int places)
{
    if (places < 0 || places > 4) places = 2;
    return places == 0 ? QStringLiteral("0") : QStringLiteral("0.") + QString(places, QLatin1Char('0'));
}
