#include "tevrin/pages/display_places_file.h"

#include "platform/data_folder.h"
#include "platform/save_file.h"

#include <QFile>

namespace {

// Far more than a number of places and the white space a hand edit leaves around it.
constexpr qint64 kMaxFileBytes = 64;

QString FilePath() { return platform::UserDataFile(QStringLiteral("dispPlace.cfg")); }

}  // namespace

int DisplayPlacesFromText(const QByteArray& text)
{
    const QByteArray digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 2) return -1;
    for (char ch : digits)
        if (ch < '0' || ch > '9') return -1;
    const int places = digits.toInt();
    return places <= 4 ? places : -1;
}

int ReadDisplayPlaces()
{
    QFile file(FilePath());
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QByteArray text = file.read(kMaxFileBytes + 1);
    if (text.size() > kMaxFileBytes) return -1;
    return DisplayPlacesFromText(text);
}

bool WriteDisplayPlaces(int places, QString* why)
{
    return platform::SaveWhole(FilePath(), QByteArray::number(places), why);
}
