#include "tevrin/pages/widgets/date_text.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace datetext {

namespace {

// Day zero, 30 December 1899, as a Julian day (a number, so that no static order matters).
constexpr qint64 kDayZeroJulian = 2415019;
QDate DayOf(qint64 dayCount) { return QDate::fromJulianDay(kDayZeroJulian + dayCount); }
qint64 DayCount(const QDate& day) { return day.toJulianDay() - kDayZeroJulian; }
constexpr double kMsPerDay = 86400000.0;
constexpr qint64 kMsPerDayInt = 86400000;

// The day count of a moment in whole days and milliseconds of the day, without going
// through a time zone.
void Split(double when, qint64& dayCount, int& ms)
{
    if (!std::isfinite(when)) when = 0;
    const double days = std::floor(when);
    qint64 m = std::llround((when - days) * kMsPerDay);
    dayCount = static_cast<qint64>(days);
    if (m >= kMsPerDayInt) {
        m -= kMsPerDayInt;
        ++dayCount;
    }
    ms = static_cast<int>(m);
}

void Split(double when, QDate& day, QTime& time)
{
    qint64 dayCount = 0;
    int ms = 0;
    Split(when, dayCount, ms);
    day = DayOf(dayCount);
    time = QTime::fromMSecsSinceStartOfDay(ms);
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == 0x00A0 || c == 0x202F || c == 0x2009; }

// One piece of a date or time pattern.
// Hour counts 1 to 12 in a pattern with AM/PM, HourOfDay always 0 to 23.
enum class Tok : uint8_t { Text, Day, Day2, Month, Month2, Year4, Hour, Hour2, HourOfDay, HourOfDay2, Minute, Minute2, Second, Second2, AmPm };

struct Item {
    Tok tok = Tok::Text;
    QString text;       // Text: the literal
    std::string utf8;   // the same as UTF-8
};

// A pattern in Qt's letters, taken apart once. Patterns with anything this file does not
// write itself (names of days or months, two-digit years, time zones, milliseconds) are
// left to QLocale (slow but the same text).
struct Pattern {
    QString qt;
    std::vector<Item> items;
    bool direct = true;
    bool twelveHour = false;   // AM/PM in the pattern: h and hh count 1 to 12
    bool upperAmPm = true;
};

Pattern Compile(const QString& format)
{
    Pattern p;
    p.qt = format;
    auto literal = [&p](const QString& text) {
        if (!p.items.empty() && p.items.back().tok == Tok::Text) {
            p.items.back().text += text;
        } else {
            Item item;
            item.text = text;
            p.items.push_back(item);
        }
    };
    auto field = [&p](Tok tok) {
        Item item;
        item.tok = tok;
        p.items.push_back(item);
    };
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = format[i];
        qsizetype run = 1;
        while (i + run < n && format[i + run] == c) ++run;
        switch (c.unicode()) {
        case u'\'': {
            if (run >= 2) {   // '' is a quote
                literal(QStringLiteral("'"));
                i += 2;
                break;
            }
            const qsizetype end = format.indexOf(QLatin1Char('\''), i + 1);
            if (end < 0) {
                p.direct = false;
                i = n;
                break;
            }
            literal(format.mid(i + 1, end - i - 1));
            i = end + 1;
            break;
        }
        case u'd':
        case u'M':
            if (run > 2) p.direct = false;
            field(c == u'd' ? (run == 2 ? Tok::Day2 : Tok::Day) : (run == 2 ? Tok::Month2 : Tok::Month));
            i += run;
            break;
        case u'y':
            if (run != 4) p.direct = false;
            field(Tok::Year4);
            i += run;
            break;
        case u'h':
        case u'H':
            if (run > 2) p.direct = false;
            if (c == u'H')
                field(run == 2 ? Tok::HourOfDay2 : Tok::HourOfDay);
            else
                field(run == 2 ? Tok::Hour2 : Tok::Hour);
            i += run;
            break;
        case u'm':
        case u's':
            if (run > 2) p.direct = false;
            field(c == u'm' ? (run == 2 ? Tok::Minute2 : Tok::Minute) : (run == 2 ? Tok::Second2 : Tok::Second));
            i += run;
            break;
        case u'a':
        case u'A':
            p.twelveHour = true;
            p.upperAmPm = c == u'A';
            field(Tok::AmPm);
            i += 1;
            if (i < n && (format[i] == u'p' || format[i] == u'P')) ++i;
            if (run > 1) p.direct = false;
            break;
        default:
            // Letters are Qt's to interpret (t, z, ...); everything else stands for itself.
            if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) p.direct = false;
            literal(format.mid(i, run));
            i += run;
            break;
        }
    }
    for (Item& item : p.items)
        if (item.tok == Tok::Text) item.utf8 = item.text.toStdString();
    return p;
}

// Two digits, or one when the value is below ten and the field does not pad.
char* PutNumber(char* out, int value, bool pad)
{
    if (value >= 10 || pad) *out++ = static_cast<char>('0' + value / 10 % 10);
    *out++ = static_cast<char>('0' + value % 10);
    return out;
}

// Reads one or two digits (one to four for a year) at pos.
bool GetNumber(QStringView text, qsizetype& pos, int most, int& value)
{
    int got = 0;
    value = 0;
    while (got < most && pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
        value = value * 10 + (text[pos].unicode() - u'0');
        ++pos;
        ++got;
    }
    return got > 0;
}

}  // namespace

struct Formats::Impl {
    QLocale locale;
    Pattern date, time;
    // The forms read besides the ones written: ISO, and what earlier versions wrote.
    Pattern isoDate, isoTime, oldDate, oldTime;
    std::string am, pm;     // as written (upper or lower case, by the time pattern)
    QString amText, pmText; // as read (any case)
    bool directDigits = true;

    char* PutDate(const Pattern& p, char* out, int y, int m, int d) const
    {
        for (const Item& item : p.items) {
            switch (item.tok) {
            case Tok::Text:
                std::memcpy(out, item.utf8.data(), item.utf8.size());
                out += item.utf8.size();
                break;
            case Tok::Day:
            case Tok::Day2: out = PutNumber(out, d, item.tok == Tok::Day2); break;
            case Tok::Month:
            case Tok::Month2: out = PutNumber(out, m, item.tok == Tok::Month2); break;
            case Tok::Year4:
                *out++ = static_cast<char>('0' + y / 1000);
                *out++ = static_cast<char>('0' + y / 100 % 10);
                *out++ = static_cast<char>('0' + y / 10 % 10);
                *out++ = static_cast<char>('0' + y % 10);
                break;
            default: break;   // time fields have no place in a date
            }
        }
        return out;
    }

    char* PutTime(const Pattern& p, char* out, int ms) const
    {
        const int h = ms / 3600000;
        const int mi = ms / 60000 % 60;
        const int s = ms / 1000 % 60;
        for (const Item& item : p.items) {
            switch (item.tok) {
            case Tok::Text:
                std::memcpy(out, item.utf8.data(), item.utf8.size());
                out += item.utf8.size();
                break;
            case Tok::Hour:
            case Tok::Hour2: {
                const int hour = p.twelveHour ? (h % 12 == 0 ? 12 : h % 12) : h;
                out = PutNumber(out, hour, item.tok == Tok::Hour2);
                break;
            }
            case Tok::HourOfDay:
            case Tok::HourOfDay2: out = PutNumber(out, h, item.tok == Tok::HourOfDay2); break;
            case Tok::Minute:
            case Tok::Minute2: out = PutNumber(out, mi, item.tok == Tok::Minute2); break;
            case Tok::Second:
            case Tok::Second2: out = PutNumber(out, s, item.tok == Tok::Second2); break;
            case Tok::AmPm: {
                const std::string& t = h < 12 ? am : pm;
                std::memcpy(out, t.data(), t.size());
                out += t.size();
                break;
            }
            default: break;
            }
        }
        return out;
    }

    // A date from pos; pos moves past it.
    bool GetDate(const Pattern& p, QStringView text, qsizetype& pos, qint64& dayCount) const
    {
        int y = -1, m = -1, d = -1;
        for (const Item& item : p.items) {
            switch (item.tok) {
            case Tok::Text:
                if (!GetText(item.text, text, pos)) return false;
                break;
            case Tok::Day:
            case Tok::Day2:
                if (!GetNumber(text, pos, 2, d)) return false;
                break;
            case Tok::Month:
            case Tok::Month2:
                if (!GetNumber(text, pos, 2, m)) return false;
                break;
            case Tok::Year4:
                if (!GetNumber(text, pos, 4, y)) return false;
                break;
            default: return false;
            }
        }
        if (!QDate::isValid(y, m, d)) return false;
        dayCount = DayCount(QDate(y, m, d));
        return true;
    }

    bool GetTime(const Pattern& p, QStringView text, qsizetype& pos, int& ms) const
    {
        int h = -1, mi = 0, s = 0;
        int half = -1;   // 0 AM, 1 PM
        bool twelve = false;
        for (const Item& item : p.items) {
            switch (item.tok) {
            case Tok::Text:
                if (!GetText(item.text, text, pos)) return false;
                break;
            case Tok::Hour:
            case Tok::Hour2:
                if (!GetNumber(text, pos, 2, h)) return false;
                if (p.twelveHour) twelve = true;
                break;
            case Tok::HourOfDay:
            case Tok::HourOfDay2:
                if (!GetNumber(text, pos, 2, h)) return false;
                break;
            case Tok::Minute:
            case Tok::Minute2:
                if (!GetNumber(text, pos, 2, mi)) return false;
                break;
            case Tok::Second:
            case Tok::Second2:
                if (!GetNumber(text, pos, 2, s)) return false;
                break;
            case Tok::AmPm: {
                const QStringView rest = text.mid(pos);
                if (!amText.isEmpty() && rest.startsWith(amText, Qt::CaseInsensitive)) {
                    half = 0;
                    pos += amText.size();
                } else if (!pmText.isEmpty() && rest.startsWith(pmText, Qt::CaseInsensitive)) {
                    half = 1;
                    pos += pmText.size();
                } else {
                    return false;
                }
                break;
            }
            default: return false;
            }
        }
        if (half >= 0 && twelve) {
            if (h < 1 || h > 12) return false;
            h = h % 12 + 12 * half;
        }
        if (h < 0 || h > 23 || mi > 59 || s > 59) return false;
        ms = ((h * 60 + mi) * 60 + s) * 1000;
        return true;
    }

    // A literal: blanks in it match any run of blanks.
    static bool GetText(const QString& literal, QStringView text, qsizetype& pos)
    {
        for (qsizetype i = 0; i < literal.size(); ++i) {
            const char16_t c = literal[i].unicode();
            if (IsBlank(c)) {
                if (pos >= text.size() || !IsBlank(text[pos].unicode())) return false;
                while (pos < text.size() && IsBlank(text[pos].unicode())) ++pos;
                while (i + 1 < literal.size() && IsBlank(literal[i + 1].unicode())) ++i;
                continue;
            }
            if (pos >= text.size() || text[pos].unicode() != c) return false;
            ++pos;
        }
        return true;
    }

    bool Direct(const Pattern& date, const Pattern& time) const { return directDigits && date.direct && time.direct; }

    // A date, a date and a time, or a time alone, in one pair of patterns.
    bool ReadWith(const Pattern& date, const Pattern& time, QStringView t, double& when) const
    {
        if (!Direct(date, time)) return ReadWithLocale(date, time, t, when);
        qsizetype pos = 0;
        qint64 days = 0;
        if (GetDate(date, t, pos, days)) {
            if (pos == t.size()) {
                when = static_cast<double>(days);
                return true;
            }
            if (IsBlank(t[pos].unicode())) {
                while (pos < t.size() && IsBlank(t[pos].unicode())) ++pos;
                int ms = 0;
                if (GetTime(time, t, pos, ms) && pos == t.size()) {
                    when = static_cast<double>(days) + ms / kMsPerDay;
                    return true;
                }
            }
        }
        pos = 0;
        int ms = 0;
        if (GetTime(time, t, pos, ms) && pos == t.size()) {
            when = ms / kMsPerDay;
            return true;
        }
        return false;
    }

    bool ReadWithLocale(const Pattern& date, const Pattern& time, QStringView view, double& when) const
    {
        const QString t = view.toString();
        // A date, a blank, a time: tried at each blank, the date part on its own and the time
        // part on its own, so that no time zone is consulted.
        for (qsizetype blank = t.indexOf(QLatin1Char(' ')); blank > 0; blank = t.indexOf(QLatin1Char(' '), blank + 1)) {
            const QDate day = locale.toDate(t.left(blank), date.qt);
            if (!day.isValid()) continue;
            const QTime clock = locale.toTime(t.mid(blank + 1).trimmed(), time.qt);
            if (!clock.isValid()) continue;
            when = FromQDate(day) + clock.msecsSinceStartOfDay() / kMsPerDay;
            return true;
        }
        const QDate day = locale.toDate(t, date.qt);
        if (day.isValid()) {
            when = FromQDate(day);
            return true;
        }
        const QTime clock = locale.toTime(t, time.qt);
        if (clock.isValid()) {
            when = clock.msecsSinceStartOfDay() / kMsPerDay;
            return true;
        }
        return false;
    }
};

namespace {

// Whether a short date pattern is numbers with separators (no names, and not blanks alone
// between its numbers).
bool NumericWithSeparators(const QString& format)
{
    bool separator = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == c) ++run;
        if (c == u'd' || c == u'M') {
            if (run > 2) return false;
        } else if (c == u'y') {
            if (run != 2 && run != 4) return false;
        } else if (c.isLetter() || c == u'\'') {
            return false;
        } else if (!c.isSpace()) {
            separator = true;
        }
        i += run;
    }
    return separator;
}

QString FourDigitYear(QString date)
{
    if (!date.contains(QStringLiteral("yyyy"))) date.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return date;
}

QString TimeWithoutZone(const QLocale& locale)
{
    QString time = locale.timeFormat(QLocale::LongFormat);
    time.remove(QRegularExpression(QStringLiteral("\\s*t+")));
    return time.trimmed();
}

}  // namespace

Formats::Formats(const QLocale& locale) : d_(std::make_unique<Impl>())
{
    d_->locale = locale;
    const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    // What earlier versions wrote: the short date with numbers for a month's name.
    QString old = FourDigitYear(shortDate);
    old.replace(QRegularExpression(QStringLiteral("M{3,4}")), QStringLiteral("MM"));
    d_->oldDate = Compile(old);
    d_->oldTime = Compile(TimeWithoutZone(locale));
    d_->isoDate = Compile(QStringLiteral("yyyy-MM-dd"));
    d_->isoTime = Compile(QStringLiteral("HH:mm:ss"));
    if (NumericWithSeparators(shortDate)) {
        d_->date = Compile(FourDigitYear(shortDate));
        d_->time = d_->oldTime;
    } else {
        d_->date = d_->isoDate;
        d_->time = d_->isoTime;
    }
    d_->amText = locale.amText();
    d_->pmText = locale.pmText();
    const bool upper = d_->time.upperAmPm;
    d_->am = (upper ? d_->amText.toUpper() : d_->amText.toLower()).toStdString();
    d_->pm = (upper ? d_->pmText.toUpper() : d_->pmText.toLower()).toStdString();
    d_->directDigits = locale.zeroDigit() == QLatin1String("0");
    // The direct writer has room for a bounded text only.
    size_t longest = 2 * 4 + d_->am.size() + d_->pm.size() + 1;
    for (const Pattern* p : {&d_->date, &d_->time})
        for (const Item& item : p->items) longest += item.tok == Tok::Text ? item.utf8.size() : 4;
    if (longest > kMaxText) d_->directDigits = false;
}

Formats::~Formats() = default;

QString Formats::DateFormat() const { return d_->date.qt; }
QString Formats::TimeFormat() const { return d_->time.qt; }

char* Formats::Write(double when, char* out) const
{
    qint64 days = 0;
    int ms = 0;
    Split(when, days, ms);
    const bool timeAlone = when < 1.0 && when >= 0.0;
    const QDate day = DayOf(days);
    int y = 0, m = 0, d = 0;
    day.getDate(&y, &m, &d);
    if (d_->Direct(d_->date, d_->time) && (timeAlone || (y >= 1000 && y <= 9999))) {
        if (timeAlone) return d_->PutTime(d_->time, out, ms);
        out = d_->PutDate(d_->date, out, y, m, d);
        if (ms == 0) return out;
        *out++ = ' ';
        return d_->PutTime(d_->time, out, ms);
    }
    const QByteArray text = DateTimeToStr(when).toUtf8();
    const size_t size = std::min(static_cast<size_t>(text.size()), kMaxText);
    std::memcpy(out, text.constData(), size);
    return out + size;
}

QString Formats::DateTimeToStr(double when) const
{
    if (d_->Direct(d_->date, d_->time)) {
        qint64 days = 0;
        int ms = 0;
        Split(when, days, ms);
        int y = 0;
        DayOf(days).getDate(&y, nullptr, nullptr);
        if ((when < 1.0 && when >= 0.0) || (y >= 1000 && y <= 9999)) {
            char buffer[kMaxText];
            const char* end = Write(when, buffer);
            return QString::fromUtf8(buffer, end - buffer);
        }
    }
    QDate day;
    QTime time;
    Split(when, day, time);
    if (when < 1.0 && when >= 0.0) return d_->locale.toString(time, d_->time.qt);
    if (time == QTime(0, 0)) return d_->locale.toString(day, d_->date.qt);
    return d_->locale.toString(day, d_->date.qt) + QLatin1Char(' ') + d_->locale.toString(time, d_->time.qt);
}

QString Formats::DateToStr(double when) const
{
    QDate day;
    QTime time;
    Split(when, day, time);
    if (d_->Direct(d_->date, d_->time) && day.year() >= 1000 && day.year() <= 9999) {
        char buffer[kMaxText];
        const char* end = d_->PutDate(d_->date, buffer, day.year(), day.month(), day.day());
        return QString::fromUtf8(buffer, end - buffer);
    }
    return d_->locale.toString(day, d_->date.qt);
}

bool Formats::Read(QStringView text, double& when) const
{
    const QStringView t = text.trimmed();
    if (t.isEmpty()) return false;
    // A date or a time has digits.
    if (std::none_of(t.begin(), t.end(), [](QChar c) { return c.isDigit(); })) return false;
    // Each other pair is tried unless it is the locale's own: a locale whose date is ISO may
    // still have a time of its own.
    auto other = [this](const Pattern& date, const Pattern& time) {
        return date.qt != d_->date.qt || time.qt != d_->time.qt;
    };
    if (d_->ReadWith(d_->date, d_->time, t, when)) return true;
    if (other(d_->isoDate, d_->isoTime) && d_->ReadWith(d_->isoDate, d_->isoTime, t, when)) return true;
    if (other(d_->oldDate, d_->oldTime) && d_->ReadWith(d_->oldDate, d_->oldTime, t, when)) return true;
    return false;
}

double FromQDate(const QDate& day) { return static_cast<double>(DayCount(day)); }

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

const Formats& Current()
{
    // Made again whenever the default locale changes (the tests switch it).
    struct Cache {
        QLocale locale;
        std::unique_ptr<Formats> formats;
    };
    static thread_local Cache cache;
    const QLocale locale;
    if (!cache.formats || !(cache.locale == locale)) {
        cache.formats = std::make_unique<Formats>(locale);
        cache.locale = locale;
    }
    return *cache.formats;
}

QString ShortDateFormat() { return Current().DateFormat(); }

QString LongTimeFormat() { return Current().TimeFormat(); }

QString DateTimeToStr(double when) { return Current().DateTimeToStr(when); }

QString DateToStr(double when) { return Current().DateToStr(when); }

bool StrToDateTime(const QString& text, double& when) { return Current().Read(text, when); }

}  // namespace datetext
