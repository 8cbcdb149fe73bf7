#pragma once
// The filter drop-downs of the archive and event tables: the date ranges of a time-stamp
// column and the free conditions of the other columns.
#include <QDate>
#include <QString>

class QWidget;

namespace columnfilter {

// The condition of a date item of a time-stamp column on a given day: "Today", "Yesterday",
// "This Month" (up to and including today), "Last Month". Each range runs from midnight of
// its first day on (a sample at exactly that midnight is in it) to the midnight after its
// last day. Empty for "[All]", "[Custom]" and any other name.
QString DateRangeCondition(const QString& friendlyName, const QDate& today);
// The same for two dates of the date-range dialog, in either order; the later one is included.
QString DateRangeCondition(const QDate& first, const QDate& second);

// A time-stamp column's item: "[Custom]" asks for two dates in the date-range dialog
// (a cancelled dialog leaves the condition as it was), the date items give their range,
// "[All]" keeps the condition.
void TimeCondition(const QString& friendlyName, QWidget* dialogParent, QString& condition);

// Another column's "[Custom]": the column's remembered condition ("*" when it has none) is
// offered in the input box "Set Filter (<,>,=,*,&,^)" with the item's name as prompt; the
// answer (a cancelled box keeps the offered text, an empty one becomes "*") becomes the
// condition and is remembered. Other items keep the condition.
void CustomCondition(const QString& friendlyName, QString& remembered, QString& condition);

}  // namespace columnfilter
