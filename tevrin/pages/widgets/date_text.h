#pragma once
// Dates and times as the program shows them in tables, files and filter conditions: the
// user's short date and long time formats, on the day count that the analyzer's time tokens
// convert to (days since 30 December 1899, the time of day as the fraction).
#include <QDate>
#include <QDateTime>
#include <QString>

namespace datetext {

// The day count of a moment, and back (local time, to the millisecond).
double FromQDateTime(const QDateTime& moment);
double FromQDate(const QDate& day);
QDateTime ToQDateTime(double when);

// The user's short date format with a four-digit year, and long time format without a
// time zone (Qt pattern letters).
QString ShortDateFormat();
QString LongTimeFormat();

// Date and time text: the date alone when the time of day is exactly midnight; the time
// alone for a value below 1 (day zero, the time of a sample whose time stamp did not parse).
QString DateTimeToStr(double when);
// The date alone.
QString DateToStr(double when);
// Reads a text written by DateTimeToStr or DateToStr (a date with or without a time, or a
// time alone). False when it is neither.
bool StrToDateTime(const QString& text, double& when);

}  // namespace datetext
