// Dates and times as text: readable under every locale, the same text as the locale's own
// formatting wherever its short date is numeric, and every text written reads back.
#include "tevrin/pages/widgets/column_filters.h"
#include "tevrin/pages/widgets/date_range_dlg.h"
#include "tevrin/pages/widgets/date_text.h"
#include "tevrin/pages/widgets/grid_filter.h"

#include <QDateEdit>
#include <QLocale>
#include <QTime>
#include <gtest/gtest.h>

namespace {

// 6 December 2026 01:07:00.
const double kMoment = datetext::FromQDate(QDate(2026, 12, 6)) + (1 * 3600 + 7 * 60) / 86400.0;

class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(QLocale::system()); }
};

std::string Utf8(const datetext::Formats& f, double when)
{
    char buffer[datetext::Formats::kMaxText];
    const char* end = f.Write(when, buffer);
    return std::string(static_cast<const char*>(buffer), end);
}

}  // namespace

TEST(DateTextTest, EachLocaleWritesAReadableDateAndReadsItBack)
{
    const struct {
        QLocale locale;
        const char* moment;     // 6 December 2026 01:07:00
        const char* midnight;   // 6 December 2026 00:00:00
        const char* afternoon;  // day zero 13:05:09, a time alone
    } kCases[] = {
        {QLocale::c(), "2026-12-06 01:07:00", "2026-12-06", "13:05:09"},
        {QLocale(QLocale::English, QLocale::UnitedStates), "12/6/2026 1:07:00 AM", "12/6/2026", "1:05:09 PM"},
        {QLocale(QLocale::German, QLocale::Germany), "06.12.2026 01:07:00", "06.12.2026", "13:05:09"},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), "06/12/2026 01:07:00", "06/12/2026", "13:05:09"},
    };
    const double afternoon = (13 * 3600 + 5 * 60 + 9) / 86400.0;
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        DefaultLocale use(c.locale);
        EXPECT_EQ(datetext::DateTimeToStr(kMoment), QLatin1String(c.moment));
        EXPECT_EQ(datetext::DateTimeToStr(std::floor(kMoment)), QLatin1String(c.midnight));
        EXPECT_EQ(datetext::DateToStr(kMoment), QLatin1String(c.midnight));
        EXPECT_EQ(datetext::DateTimeToStr(afternoon), QLatin1String(c.afternoon));
        EXPECT_EQ(Utf8(datetext::Current(), kMoment), c.moment);
        for (double when : {kMoment, std::floor(kMoment), afternoon}) {
            double back = -1;
            ASSERT_TRUE(datetext::StrToDateTime(datetext::DateTimeToStr(when), back)) << when;
            EXPECT_NEAR(back, when, 1e-9);
        }
        // Blanks around the text, ISO whatever the locale; nonsense is refused.
        double back = -1;
        EXPECT_TRUE(datetext::StrToDateTime(QStringLiteral("  ") + QLatin1String(c.moment) + QStringLiteral(" "), back));
        EXPECT_NEAR(back, kMoment, 1e-9);
        EXPECT_TRUE(datetext::StrToDateTime(QStringLiteral("2026-12-06 01:07:00"), back));
        EXPECT_NEAR(back, kMoment, 1e-9);
        for (const char* bad : {"", "tomorrow", "2026-13-06", "2026-02-30", "12:61:00", "2026-12-06 25:00:00",
                                "2026-12-06 01:07:00 x"})
            EXPECT_FALSE(datetext::StrToDateTime(QLatin1String(bad), back)) << bad;
    }
    // Files written under the C locale by earlier versions still read.
    DefaultLocale use(QLocale::c());
    double back = -1;
    ASSERT_TRUE(datetext::StrToDateTime(QStringLiteral("6 12 2026 01:07:00"), back));
    EXPECT_NEAR(back, kMoment, 1e-9);
}

// Wherever the locale's short date is numeric, the text is what the locale itself gives for
// the same formats, byte for byte, and reads back to the second.
TEST(DateTextTest, NumericLocalesKeepTheirOwnTextAndEveryHourReadsBack)
{
    const QLocale kLocales[] = {
        QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::France),        QLocale(QLocale::Japanese, QLocale::Japan),
        QLocale(QLocale::Hungarian, QLocale::Hungary),    QLocale(QLocale::Finnish, QLocale::Finland),
        QLocale(QLocale::Korean, QLocale::SouthKorea),    QLocale(QLocale::Chinese, QLocale::China),
        QLocale(QLocale::Dutch, QLocale::Netherlands),    QLocale(QLocale::Arabic, QLocale::Egypt),
        QLocale(QLocale::English, QLocale::Australia),    QLocale(QLocale::Spanish, QLocale::Mexico),
    };
    for (const QLocale& locale : kLocales) {
        SCOPED_TRACE(locale.name().toStdString());
        const datetext::Formats f(locale);
        for (int hour = 0; hour < 24; ++hour) {
            const QDate day(2025 + hour % 3, 1 + hour % 12, 1 + hour);
            const QTime time(hour, hour * 2 % 60, 59 - hour);
            const double when = datetext::FromQDate(day) + time.msecsSinceStartOfDay() / 86400000.0;
            const QString expected = locale.toString(day, f.DateFormat()) + QLatin1Char(' ') + locale.toString(time, f.TimeFormat());
            EXPECT_EQ(f.DateTimeToStr(when), expected);
            EXPECT_EQ(Utf8(f, when), expected.toStdString());
            double back = -1;
            ASSERT_TRUE(f.Read(expected, back)) << expected.toStdString();
            EXPECT_NEAR(back, when, 1e-9) << expected.toStdString();
        }
    }
}

// The filters write their dates by the same rule and read them back, under the C locale too.
TEST(DateTextTest, DateFiltersReadTheirOwnConditions)
{
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
        SCOPED_TRACE(locale.name().toStdString());
        DefaultLocale use(locale);
        const QString condition = columnfilter::DateRangeCondition(QDate(2026, 12, 7), QDate(2026, 12, 6));
        if (locale == QLocale::c()) {
            EXPECT_EQ(condition, ">=2026-12-06 & <2026-12-08");
        }
        const GridCondition filter(condition);
        const double inside = kMoment;
        const double before = kMoment - 1;
        const double after = std::floor(kMoment) + 2;
        EXPECT_TRUE(filter.Matches(datetext::DateTimeToStr(inside), nullptr));
        EXPECT_TRUE(filter.Matches(datetext::DateTimeToStr(std::floor(kMoment)), nullptr));
        EXPECT_FALSE(filter.Matches(datetext::DateTimeToStr(before), nullptr));
        EXPECT_FALSE(filter.Matches(datetext::DateTimeToStr(after), nullptr));
    }
}

// The date-range dialog shows its dates as the filter conditions write them.
TEST(DateTextTest, DateRangeDialogShowsTheProgramsDates)
{
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
        DefaultLocale use(locale);
        TfrmDateRangeDlg dlg;
        dlg.DateTime1()->setDate(QDate(2026, 12, 6));
        EXPECT_EQ(dlg.DateTime1()->text(), datetext::DateToStr(kMoment));
        EXPECT_EQ(dlg.DateTime2()->displayFormat(), datetext::ShortDateFormat());
    }
    DefaultLocale use(QLocale::c());
    TfrmDateRangeDlg dlg;
    dlg.DateTime1()->setDate(QDate(2026, 12, 6));
    EXPECT_EQ(dlg.DateTime1()->text(), "2026-12-06");
}
