// The packed timestamp token and the day-count date-time, both ways.
#include "ombrel/ombrel_exports.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

namespace {

double DayCount(const QDateTime& t)
{
    return QDate(1899, 12, 30).daysTo(t.date()) + t.time().msecsSinceStartOfDay() / 86400000.0;
}

QDateTime FromDayCount(double d)
{
    const qint64 ms = std::llround(d * 86400000.0);
    return QDateTime(QDate(1899, 12, 30).addDays(ms / 86400000), QTime::fromMSecsSinceStartOfDay(int(ms % 86400000)));
}

uint32_t Token(uint32_t year6, uint32_t month, uint32_t day, uint32_t hour, uint32_t minute, uint32_t second)
{
    return year6 << 26 | month << 22 | day << 17 | hour << 12 | minute << 6 | second;
}

QDateTime At(int y, int mo, int d, int h, int mi, int s, int ms = 0) { return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms)); }

TEST(TimestampToken, FieldsAndTheWayBack)
{
    const uint32_t token = DateToTimestampToken(DayCount(At(2024, 3, 15, 13, 45, 30, 999)));
    EXPECT_EQ(token, Token(24, 3, 15, 13, 45, 30));
    EXPECT_EQ(token >> 26, 24u);
    EXPECT_EQ((token >> 22) & 0xF, 3u);
    EXPECT_EQ((token >> 17) & 0x1F, 15u);
    EXPECT_EQ((token >> 12) & 0x1F, 13u);
    EXPECT_EQ((token >> 6) & 0x3F, 45u);
    EXPECT_EQ(token & 0x3F, 30u);
    // Milliseconds are dropped, never rounded up into the next second.
    EXPECT_EQ(FromDayCount(TimestampTokenToDate(token)), At(2024, 3, 15, 13, 45, 30));
}

TEST(TimestampToken, TokensToDates)
{
    struct Case {
        const char* what;
        uint32_t token;
        QDateTime expected;   // invalid: the token gives 0.0
    };
    const Case cases[] = {
        {"zero: month and day 0 read as 1", 0, At(2000, 1, 1, 0, 0, 0)},
        {"month 13 reads as January", Token(5, 13, 7, 8, 9, 10), At(2005, 1, 7, 8, 9, 10)},
        {"month 15 reads as January", Token(5, 15, 31, 0, 0, 0), At(2005, 1, 31, 0, 0, 0)},
        {"year field 63", Token(63, 12, 31, 23, 59, 59), At(2063, 12, 31, 23, 59, 59)},
        {"leap day", Token(24, 2, 29, 12, 0, 0), At(2024, 2, 29, 12, 0, 0)},
        {"31 April", Token(24, 4, 31, 0, 0, 0), QDateTime()},
        {"30 February", Token(24, 2, 30, 0, 0, 0), QDateTime()},
        {"29 February outside a leap year", Token(23, 2, 29, 0, 0, 0), QDateTime()},
        {"hour 24", Token(24, 1, 1, 24, 0, 0), QDateTime()},
        {"minute 60", Token(24, 1, 1, 0, 60, 0), QDateTime()},
        {"second 63", Token(24, 1, 1, 0, 0, 63), QDateTime()},
        {"the refusal token", OMBREL_INVALID_TOKEN, QDateTime()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const double d = TimestampTokenToDate(c.token);
        if (c.expected.isValid())
            EXPECT_EQ(FromDayCount(d), c.expected);
        else
            EXPECT_EQ(d, 0.0);
    }
}

TEST(TimestampToken, DatesOutsideTheTokensYearsAreRefusedNotWrapped)
{
    struct Case {
        const char* what;
        double dayCount;
        uint32_t expected;
    };
    const Case cases[] = {
        {"first second", DayCount(At(2000, 1, 1, 0, 0, 0)), Token(0, 1, 1, 0, 0, 0)},
        {"last second", DayCount(At(2063, 12, 31, 23, 59, 59, 999)), Token(63, 12, 31, 23, 59, 59)},
        {"1 January 1999", DayCount(At(1999, 1, 1, 0, 0, 0)), OMBREL_INVALID_TOKEN},
        {"31 December 1999 23:59:59", DayCount(At(1999, 12, 31, 23, 59, 59)), OMBREL_INVALID_TOKEN},
        {"1 January 2064", DayCount(At(2064, 1, 1, 0, 0, 0)), OMBREL_INVALID_TOKEN},
        {"the empty date-time", 0.0, OMBREL_INVALID_TOKEN},
        {"before 1899", -700.25, OMBREL_INVALID_TOKEN},
        {"not a number", std::numeric_limits<double>::quiet_NaN(), OMBREL_INVALID_TOKEN},
        {"infinite", std::numeric_limits<double>::infinity(), OMBREL_INVALID_TOKEN},
        {"huge", 1e300, OMBREL_INVALID_TOKEN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DateToTimestampToken(c.dayCount), c.expected);
    }
}

TEST(TimestampToken, EveryDayOfTheRangeAndEverySecondOfADayGoRoundTrip)
{
    for (QDate d(2000, 1, 1); d.year() <= 2063; d = d.addDays(1)) {
        const QDateTime t(d, QTime(17, 3, 41));
        const uint32_t token = DateToTimestampToken(DayCount(t));
        ASSERT_EQ(token, Token(uint32_t(d.year() - 2000), uint32_t(d.month()), uint32_t(d.day()), 17, 3, 41)) << d.toString(Qt::ISODate).toStdString();
        ASSERT_EQ(FromDayCount(TimestampTokenToDate(token)), t);
    }
    for (int s = 0; s < 86400; ++s) {
        const QDateTime t(QDate(2031, 7, 4), QTime(0, 0).addSecs(s));
        const uint32_t token = DateToTimestampToken(DayCount(t));
        ASSERT_EQ(FromDayCount(TimestampTokenToDate(token)), t);
    }
}

TEST(TimestampToken, DayFirstRegionalSettingsChangeNothing)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));   // day/month/year
    const double d = TimestampTokenToDate(Token(21, 4, 3, 10, 0, 0));
    const QLocale during;
    QLocale::setDefault(before);
    EXPECT_EQ(FromDayCount(d), At(2021, 4, 3, 10, 0, 0));   // the 3rd of April, not 4 March
    EXPECT_EQ(during, QLocale(QLocale::English, QLocale::UnitedKingdom));
}

TEST(TimestampToken, TwoThreadsDecodeAtOnce)
{
    // The archive reader decodes on its own thread while the GUI thread does the same.
    std::vector<uint32_t> tokens;
    std::vector<double> expected;
    for (uint32_t i = 0; i < 20000; ++i) {
        const uint32_t t = Token(i % 64, 1 + i % 12, 1 + i % 28, i % 24, i % 60, (i * 7) % 60);
        tokens.push_back(t);
        expected.push_back(TimestampTokenToDate(t));
    }
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (int k = 0; k < 4; ++k)
        threads.emplace_back([&, k] {
            for (int round = 0; round < 5; ++round)
                for (size_t i = 0; i < tokens.size(); ++i)
                    if (TimestampTokenToDate(tokens[i]) != expected[i]) ++mismatches[size_t(k)];
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

}  // namespace
