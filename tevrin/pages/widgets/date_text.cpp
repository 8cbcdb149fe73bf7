#include "tevrin/pages/widgets/date_text.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTime>

#include <cmath>

namespace datetext {

namespace {

const QDate kDayZero(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;

QString LongTimeOnly()
{
    return LongTimeFormat();
}

}  // namespace

double FromQDate(const QDate& day) { return static_cast<double>(kDayZero.daysTo(day)); }

double FromQDateTime(const QDateTime& moment)
{
    return FromQDate(moment.date()) + moment.time().msecsSinceStartOfDay() / kMsPerDay;
}

QDateTime ToQDateTime(double when)
{
    if (!std::isfinite(when)) return QDateTime(kDayZero, QTime(0, 0));
    const double days = std::floor(when);
    qint64 ms = std::llround((when - days) * kMsPerDay);
    qint64 dayCount = static_cast<qint64>(days);
    if (ms >= static_cast<qint64>(kMsPerDay)) {
        ms -= static_cast<qint64>(kMsPerDay);
        ++dayCount;
    }
    return QDateTime(kDayZero.addDays(dayCount), QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

QString ShortDateFormat()
{
    QString f = QLocale().dateFormat(QLocale::ShortFormat);
    // Two-digit years do not read back across centuries: always four.
    if (!f.contains(QStringLiteral("yyyy"))) f.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    // Month names make a long text of a short date: numbers instead.
    f.replace(QRegularExpression(QStringLiteral("M{3,4}")), QStringLiteral("MM"));
    return f;
}

QString LongTimeFormat()
{
    QString f = QLocale().timeFormat(QLocale::LongFormat);
    f.remove(QRegularExpression(QStringLiteral("\\s*t+")));
    return f.trimmed();
}

QString DateTimeToStr(double when)
{
    const QDateTime m = ToQDateTime(when);
    const QLocale locale;
    if (when < 1.0 && when >= 0.0) return locale.toString(m.time(), LongTimeOnly());
    if (m.time() == QTime(0, 0)) return locale.toString(m.date(), ShortDateFormat());
    return locale.toString(m.date(), ShortDateFormat()) + QLatin1Char(' ') + locale.toString(m.time(), LongTimeOnly());
}

QString DateToStr(double when) { return QLocale().toString(ToQDateTime(when).date(), ShortDateFormat()); }

bool StrToDateTime(const QString& text, double& when)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    const QLocale locale;
    const QString date = ShortDateFormat();
    const QString time = LongTimeOnly();
    const QDateTime both = locale.toDateTime(t, date + QLatin1Char(' ') + time);
    if (both.isValid()) {
        when = FromQDateTime(both);
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
