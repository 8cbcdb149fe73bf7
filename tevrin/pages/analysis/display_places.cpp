#include "tevrin/pages/analysis/display_places.h"

#include "brannix/qcomponentcommon.h"
#include "platform/data_folder.h"
#include "platform/numtext.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

QString DisplayFormatFor(int places)
{
    if (places < 0 || places > 4) places = 2;
    return places == 0 ? QStringLiteral("0") : QStringLiteral("0.") + QString(places, QLatin1Char('0'));
}

QString FormatResult(const QString& value, const QString& format)
{
    double number = 0;
    if (!TQComponentCommon::StrToFloat(value, number) || !numtext::IsValidFloat(number)) {
        // The database spells a value the analyzer could not give in more than one way.
        const QString word = value.trimmed().toLower();
        if (word == QLatin1String("nan") || word == QLatin1String("-nan") || word == QLatin1String("+nan"))
            return QStringLiteral("NAN");
        if (word == QLatin1String("inf") || word == QLatin1String("+inf")) return QStringLiteral("INF");
        if (word == QLatin1String("-inf")) return QStringLiteral("-INF");
        return value;
    }
    if (format.isEmpty()) return QString::fromStdString(numtext::FloatToStr(number));
    const int dot = format.indexOf(QLatin1Char('.'));
    const int places = dot < 0 ? 0 : format.size() - dot - 1;
    QString text = QString::number(number, 'f', places);
    // A value that rounds to zero is shown without a sign.
    if (text.startsWith(QLatin1Char('-')) && text.count(QRegularExpression(QStringLiteral("[1-9]"))) == 0)
        text.remove(0, 1);
    return text;
}
