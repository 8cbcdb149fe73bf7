#pragma once
// Dates and times as the program shows them in tables, files and filter conditions, on the
// day count that the analyzer's time tokens convert to (days since 30 December 1899, the
// time of day as the fraction).
//
// The date is the user's short date with a four-digit year, the time the user's long time
// without a time zone. Where the user's short date is not all numbers with separators (a
// month's name, as the C and POSIX locales give, or numbers with blanks between them), the
// date and time are ISO 8601: "2026-12-06 01:07:00". Every text written here reads back.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <memory>

namespace datetext {

// The day count of a moment, and back (local time, to the millisecond).
double FromQDateTime(const QDateTime& moment);
double FromQDate(const QDate& day);
QDateTime ToQDateTime(double when);

// The date format and the time format in use (Qt pattern letters), by the rule above.
QString ShortDateFormat();
QString LongTimeFormat();

// The formats of one locale, made once and then used for many dates without consulting the
// locale again (the archive file and the exports write and read hundreds of thousands).
class Formats {
public:
    // The longest text Write gives.
    static constexpr size_t kMaxText = 96;

    explicit Formats(const QLocale& locale);
    ~Formats();
    Formats(const Formats&) = delete;
    Formats& operator=(const Formats&) = delete;

    QString DateFormat() const;
    QString TimeFormat() const;

    // The text of a moment as UTF-8, without a terminating zero: the date alone when the
    // time of day is exactly midnight; the time alone for a value from 0 to below 1 (day
    // zero, the time of a sample whose time stamp did not read). Returns the end.
    char* Write(double when, char* out) const;
    QString DateTimeToStr(double when) const;
    QString DateToStr(double when) const;
    // Reads a date with or without a time, or a time alone, as Write gives them; also the
    // ISO form, and the date form that earlier versions wrote for this locale. Blanks around
    // the text are ignored. False when it is none of them.
    bool Read(QStringView text, double& when) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// The formats of the current default locale (QLocale()), made again when it changes.
// Valid until the default locale next changes, on the calling thread.
const Formats& Current();

QString DateTimeToStr(double when);
// The date alone.
QString DateToStr(double when);
// Reads a text written by DateTimeToStr or DateToStr (a date with or without a time, or a
// time alone). False when it is neither.
bool StrToDateTime(const QString& text, double& when);

}  // namespace datetext
