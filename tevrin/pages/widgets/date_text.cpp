#include "tevrin/pages/widgets/date_text.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTime>

#include <algorithm>
#include <cmath>

namespace datetext {

namespace {

const QDate kDayZero(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;

// The day and the time of day of a day count, without going through a time zone.
void Split(double when, QDate& day, QTime& time)
{
    if (!std::isfinite(when)) when = 0;
    const double days = std::floor(when);
    qint64 ms = std::llround((when - days) * kMsPerDay);
    qint64 dayCount = static_cast<qint64>(days);
    if (ms >= static_cast<qint64>(kMsPerDay)) {
        ms -= static_cast<qint64>(kMsPerDay);
        ++dayCount;
    }
    day = kDayZero.addDays(dayCount);
    time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
}

}  // namespace

double FromQDate(const QDate& day) { return static_cast<double>(kDayZero.daysTo(day)); }

double FromQDateTime(const QDateTime& moment)
{
    return FromQDate(moment.date()) + moment.time().msecsSinceStartOfDay() / kMsPerDay;
}

QDateTime ToQDateTime(double when)
{
    QDate day;
    QTime time;
    Split(when, day, time);
    return QDateTime(day, time);
}

namespace {

// The formats of the locale in use, worked out once per locale.
struct Formats {
    QLocale locale;
    bool made = false;
    QString date;
    QString time;
};

const Formats& CurrentFormats()
{
    static thread_local Formats cached;
    const QLocale locale;
    if (cached.made && cached.locale == locale) return cached;
    QString date = locale.dateFormat(QLocale::ShortFormat);
    // Two-digit years do not read back across centuries: always four.
    if (!date.contains(QStringLiteral("yyyy"))) date.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    // Month names make a long text of a short date: numbers instead.
    date.replace(QRegularExpression(QStringLiteral("M{3,4}")), QStringLiteral("MM"));
    QString time = locale.timeFormat(QLocale::LongFormat);
    time.remove(QRegularExpression(QStringLiteral("\\s*t+")));
    cached = {locale, true, date, time.trimmed()};
    return cached;
}

}  // namespace

QString ShortDateFormat() { return CurrentFormats().date; }

QString LongTimeFormat() { return CurrentFormats().time; }

QString DateTimeToStr(double when)
{
    QDate day;
    QTime time;
    Split(when, day, time);
    const QLocale locale;
    if (when < 1.0 && when >= 0.0) return locale.toString(time, LongTimeFormat());
    if (time == QTime(0, 0)) return locale.toString(day, ShortDateFormat());
    return locale.toString(day, ShortDateFormat()) + QLatin1Char(' ') + locale.toString(time, LongTimeFormat());
}

QString DateToStr(double when)
{
    QDate day;
    QTime time;
    Split(when, day, time);
    return QLocale().toString(day, ShortDateFormat());
}

bool StrToDateTime(const QString& text, double& when)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    // A date or a time has digits.
    if (std::none_of(t.begin(), t.end(), [](QChar c) { return c.isDigit(); })) return false;
    const QLocale locale;
    const QString& date = ShortDateFormat();
    const QString& time = LongTimeFormat();
    // A date, a blank, a time: tried at each blank, the date part on its own and the time
    // part on its own, so that no time zone is consulted.
    for (qsizetype blank = t.indexOf(QLatin1Char(' ')); blank > 0; blank = t.indexOf(QLatin1Char(' '), blank + 1)) {
        const QDate day = locale.toDate(t.left(blank), date);
        if (!day.isValid()) continue;
        const QTime clock = locale.toTime(t.mid(blank + 1).trimmed(), time);
        if (!clock.isValid()) continue;
        when = FromQDate(day) + clock.msecsSinceStartOfDay() / kMsPerDay;
        return true;
    }
    const QDate day = locale.toDate(t, date);
    if (day.isValid()) {
        when = FromQDate(day);
        return true;
    }
    const QTime clock = locale.toTime(t, time);
    if (clock.isValid()) {
        when = clock.msecsSinceStartOfDay() / kMsPerDay;
        return true;
    }
    return false;
}

}  // namespace datetext
