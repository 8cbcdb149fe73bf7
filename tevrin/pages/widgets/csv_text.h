#pragma once
// One field of a comma-separated line: as it is, unless it holds the separator, a double
// quote or a line break; then in double quotes with its quotes doubled, so that it stays in
// its column.
#include <QString>

QString CsvField(const QString& text, QChar separator = QLatin1Char(','));
