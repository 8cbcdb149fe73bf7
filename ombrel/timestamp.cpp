// The analyzer's packed 32-bit date-time and the day-count date-time of the program.
// Both directions are pure arithmetic on their argument: no locale, no process-wide date
// setting, nothing kept, so the archive reader's thread and the GUI thread use them at once.
#include "ombrel/ombrel_exports.h"

#include <QDate>

#include <cmath>

namespace {

constexpr int64_t kMsPerDay = 86400000;
constexpr int kFirstYear = 2000;
constexpr int kLastYear = 2000 + 63;

int64_t DayZero() { return QDate(1899, 12, 30).toJulianDay(); }

}  // namespace

extern "C" {

double TimestampTokenToDate(uint32_t token)
{
    const int second = static_cast<int>(token & 0x3Fu);
    const int minute = static_cast<int>((token >> 6) & 0x3Fu);
    const int hour = static_cast<int>((token >> 12) & 0x1Fu);
    int day = static_cast<int>((token >> 17) & 0x1Fu);
    int month = static_cast<int>((token >> 22) & 0x0Fu);
    const int year = kFirstYear + static_cast<int>(token >> 26);
    if (month == 0 || month > 12) month = 1;
    if (day == 0) day = 1;
    if (!QDate::isValid(year, month, day) || hour > 23 || minute > 59 || second > 59) return 0.0;
    const int64_t days = QDate(year, month, day).toJulianDay() - DayZero();
    const int64_t ms = (static_cast<int64_t>(hour) * 3600 + minute * 60 + second) * 1000;
    return static_cast<double>(days) + static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

uint32_t DateToTimestampToken(double dateTime)
{
    // Only the token's years can be carried; anything else is refused, never wrapped.
    // (Before 2000 the day count is below 36526, after 2063 above 59000: both far from the
    // limits of the arithmetic below.)
    if (!std::isfinite(dateTime) || dateTime < 0.0 || dateTime > 100000.0) return OMBREL_INVALID_TOKEN;
    // Milliseconds as the day count holds them (rounded to the nearest), then dropped.
    const int64_t total = std::llround(dateTime * static_cast<double>(kMsPerDay));
    const int64_t days = total / kMsPerDay;
    const int64_t msOfDay = total % kMsPerDay;
    const QDate date = QDate::fromJulianDay(DayZero() + days);
    if (!date.isValid() || date.year() < kFirstYear || date.year() > kLastYear) return OMBREL_INVALID_TOKEN;
    const uint32_t secondsOfDay = static_cast<uint32_t>(msOfDay / 1000);
    const uint32_t hour = secondsOfDay / 3600;
    const uint32_t minute = secondsOfDay / 60 % 60;
    const uint32_t second = secondsOfDay % 60;
    const uint32_t year6 = static_cast<uint32_t>(date.year() - kFirstYear);
    return (((((year6 * 16 + static_cast<uint32_t>(date.month())) * 32 + static_cast<uint32_t>(date.day())) * 32 +
              hour) * 64 + minute) * 64) + second;
}

}  // extern "C"
