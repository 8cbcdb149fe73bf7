#include "tevrin/pages/widgets/csv_text.h"

QString CsvField(const QString& text, QChar separator)
{
    const bool quote = text.contains(separator) || text.contains(QLatin1Char('"')) ||
                       text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    if (!quote) return text;
    QString out = text;
    out.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}
