// Engineering units, the time-unit texts and the mean and standard deviation.
#include "ombrel/ombrel_exports.h"
#include "tests/common/fake_prompter.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

void AddTo(void* list, const char* line) { static_cast<QStringList*>(list)->append(QString::fromLatin1(line)); }

QStringList Groups()
{
    QStringList names;
    GetDUTDescriptions(AddTo, &names);
    return names;
}

QStringList Units(int group, int* count = nullptr)
{
    QStringList names;
    const int n = GetUnitDescriptions(group, AddTo, &names);
    if (count) *count = n;
    return names;
}

std::string GroupName(int group)
{
    char b[80];
    GetDUTDesc(group, b, sizeof b);
    return b;
}

std::string UnitName(int group, int unit)
{
    char b[80];
    GetUnitsDesc(uint16_t(group | unit << 8), b, sizeof b);
    return b;
}

TEST(Units, GroupsAndTheirUnitCounts)
{
    const QStringList groups = Groups();
    ASSERT_EQ(groups.size(), 22);
    EXPECT_EQ(groups[0], "Scalar");
    EXPECT_EQ(groups[5], "Length (Distance)");
    EXPECT_EQ(groups[6], "Mass && Weight");
    EXPECT_EQ(groups[11], "Temperature");
    EXPECT_EQ(groups[19], "<Do not use>");
    EXPECT_EQ(groups[21], "Real Time Clock (RTC)");

    const int counts[22] = {0, 5, 15, 15, 4, 38, 32, 6, 14, 27, 24, 4, 9, 4, 17, 42, 6, 0, 0, 0, 0, 12};
    for (int g = -1; g <= 22; ++g) {
        SCOPED_TRACE(g);
        int n = -1;
        const QStringList units = Units(g, &n);
        const int expected = (g >= 0 && g < 22) ? counts[g] : 0;
        EXPECT_EQ(n, expected);
        EXPECT_EQ(units.size(), expected);
        EXPECT_EQ(GroupName(g), (g >= 0 && g < 22) ? groups[g].toStdString() : "unknown type");
        for (int u = 0; u < expected; ++u) EXPECT_EQ(UnitName(g, u), units[u].toStdString());
        EXPECT_EQ(UnitName(g, expected), "unknown units");
    }
}

TEST(Units, NamesLetterForLetter)
{
    struct Case {
        int group, unit;
        const char* name;
    };
    const Case cases[] = {
        {1, 0, "Meters/sec./sec."},         {2, 14, "Square Chains (gunters)"},
        {5, 35, "Rods (surveyors''meas.)"}, {5, 37, "Yards"},
        {6, 6, "Daitons"},                  {7, 5, "Pounds/million Gal.(U.S.)"},
        {9, 26, "Torr (same as mm Hg)"},    {10, 21, "Miner''s inches"},
        {11, 1, "Degrees Farenheit"},       {11, 3, "Degrees Rankin"},
        {12, 8, "Samples (60 per second)"}, {15, 41, "Teaspoons"},
        {16, 5, "Pounds/mil-foot"},         {21, 11, "Day of Week"},
    };
    for (const Case& c : cases) EXPECT_EQ(UnitName(c.group, c.unit), c.name);
    EXPECT_EQ(UnitName(0xFF, 0), "unknown units");
    EXPECT_EQ(UnitName(17, 0), "unknown units");
    EXPECT_EQ(GroupName(255), "unknown type");
}

TEST(UnitConvert, RulesAndMultipliers)
{
    struct Case {
        int group, from, to;
        float value;
        double expected, tolerance;
    };
    const Case cases[] = {
        // Temperature by its offsets.
        {11, 1, 0, 212.0f, 100.0, 1e-9},
        {11, 0, 2, 0.0f, 273.18, 1e-9},
        {11, 3, 1, 671.67f, 211.67, 1e-4},
        {11, 2, 3, 273.18f, 492.0, 1e-4},
        {11, 0, 1, -40.0f, -40.0, 1e-9},
        {11, 1, 7, 50.0f, 50.0, 0.0},    // no such target: unconverted
        {11, 9, 1, 100.0f, 212.0, 1e-9},  // no such source: read as Centigrade
        // The clock group passes values through.
        {21, 3, 5, 17.0f, 17.0, 0.0},
        {21, 40, 90, 3.0f, 3.0, 0.0},
        // Ordinary groups through their base unit.
        {12, 1, 0, 2.0f, 120.0, 1e-12},
        {12, 8, 0, 60.0f, 1.0000002, 1e-12},   // the stored sample multiplier
        {12, 7, 0, 1500.0f, 1.5, 1e-12},
        {12, 2, 1, 1.0f, 60.0, 1e-12},
        {7, 4, 0, 1.0f, 10000.0, 1e-9},        // percent to ppm
        {9, 23, 0, 1.0f, 0.06804, 1e-12},      // psi to atmospheres
        {9, 15, 23, 1.0f, 0.145, 1e-12},       // kPa to psi
        {9, 0, 1, 1.0f, 1.01325, 1e-9},        // atmospheres to bars
        {5, 4, 0, 1.0f, 0.3048, 1e-12},
        {5, 23, 16, 1.0f, 1.609344, 1e-12},
        {15, 2, 4, 1.0f, 3.785411784, 1e-9},
        {2, 2, 9, 1.0f, 0.40468564224, 1e-12},
        {3, 6, 1, 1.0f, 3.6e6, 1e-6},
        {6, 2, 1, 1.0f, 0.45359237, 1e-12},
        {14, 15, 11, 60.0f, 96.56064, 1e-9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.group << "/" << c.from << "->" << c.to);
        EXPECT_NEAR(UnitConvert(c.group, c.from, c.to, c.value), c.expected, c.tolerance);
    }
}

TEST(UnitConvert, UnitsThatAreNotInTheTableGiveNoNumber)
{
    struct Case {
        int group, from, to;
    };
    const Case cases[] = {{0, 0, 0}, {18, 0, 0}, {20, 1, 1}, {22, 0, 0}, {-1, 0, 0}, {5, 38, 0}, {5, 0, 38}, {5, -1, 0}, {12, 0, 1000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.group << "/" << c.from << "->" << c.to);
        EXPECT_TRUE(std::isnan(UnitConvert(c.group, c.from, c.to, 1.0f)));
    }
}

TEST(UnitConvert, EveryOrdinaryUnitHasPositiveMultipliers)
{
    for (int g = 0; g < 22; ++g) {
        if (g == 11 || g == 21) continue;
        const int n = GetUnitDescriptions(g, nullptr, nullptr);
        for (int u = 0; u < n; ++u) {
            SCOPED_TRACE(UnitName(g, u));
            const double there = UnitConvert(g, u, 0, 1.0f);
            EXPECT_TRUE(std::isfinite(there) && there > 0.0);
            EXPECT_NEAR(UnitConvert(g, u, u, 1.0f), 1.0, 1e-12);
        }
    }
}

std::string Seconds(int (*f)(uint32_t, char*, int), uint32_t n)
{
    char b[32];
    f(n, b, sizeof b);
    return b;
}

TEST(TimeUnits, CountsAsSecondsText)
{
    EXPECT_EQ(Seconds(msec2secA, 1500), "1.500");
    EXPECT_EQ(Seconds(msec2secA, 7), "0.007");
    EXPECT_EQ(Seconds(msec2secA, 0), "0.000");
    EXPECT_EQ(Seconds(msec2secA, 4294967295u), "4294967.295");
    EXPECT_EQ(Seconds(samp2secA, 90), "1.500");
    EXPECT_EQ(Seconds(samp2secA, 61), "1.016");
    EXPECT_EQ(Seconds(samp2secA, 59), "0.983");
    EXPECT_EQ(Seconds(samp2secA, 4294967295u), "71582788.250");
}

TEST(TimeUnits, SecondsTextToMilliseconds)
{
    FakePrompter prompter;
    struct Case {
        const char* text;
        int ms;
        bool complaint;
    };
    const Case cases[] = {
        {"1.5", 1500, false},   {".25", 250, false},    {"2.", 2000, false},     {"0.0019", 1, false},
        {"12", 12000, false},   {" 3.25 ", 3250, false}, {"+2.5", 2500, false},  {"0.999999", 999, false},
        {"-1.5", -1500, false}, {"-.5", -500, false},
        {"", 0, false},         {"   ", 0, false},
        {"abc", 0, true},       {"1.2.3", 0, true},     {".", 0, true},          {"1e3", 0, true},
        {"1,5", 0, true},       {"99999999", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        prompter.prompts.clear();
        EXPECT_EQ(secA2msec(c.text), c.ms);
        ASSERT_EQ(prompter.prompts.size(), c.complaint ? 1u : 0u);
        if (c.complaint) {
            EXPECT_EQ(prompter.prompts[0].text, "\"" + QString(c.text).trimmed() + "\" is not numeric");
        }
    }
    EXPECT_EQ(secA2msec(nullptr), 0);
}

TEST(TimeUnits, SecondsTextToSamples)
{
    FakePrompter prompter;
    struct Case {
        const char* text;
        int samples;
        bool ok;
    };
    const Case cases[] = {
        {"1.5", 90, true}, {"0.016", 0, true}, {"0.017", 1, true}, {"2", 120, true}, {" 2. ", 120, true},
        {"-1.5", -90, true}, {"abc", 0, false}, {"", 0, false}, {"1.5x", 0, false}, {"99999999", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        bool ok = !c.ok;
        EXPECT_EQ(secA2samp(c.text, &ok), c.samples);
        EXPECT_EQ(ok, c.ok);
    }
    EXPECT_EQ(secA2samp("1.5", nullptr), 90);
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST(StdDevAndMean, SampleFormAndTheDegenerateCases)
{
    struct Case {
        const char* what;
        std::vector<double> values;
        double mean, sd;
    };
    const Case cases[] = {
        {"textbook", {2, 4, 4, 4, 5, 5, 7, 9}, 5.0, std::sqrt(32.0 / 7.0)},
        {"two", {1, 3}, 2.0, std::sqrt(2.0)},
        {"one value", {3.5}, 3.5, 0.0},
        {"no values", {}, 0.0, 0.0},
        {"constant", std::vector<double>(10, 0.1), 0.1, 0.0},
        {"constant, far from zero", std::vector<double>(7, 123456789.123), 123456789.123, 0.0},
        {"constant, large", std::vector<double>(100, 1e10 / 3), 1e10 / 3, 0.0},
        {"constant, huge", std::vector<double>(9, 1e15 + 0.5), 1e15 + 0.5, 0.0},
        {"small spread on a large value", {1e9 + 1, 1e9 + 2, 1e9 + 3}, 1e9 + 2, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        double mean = -1, sd = -1;
        StdDevAndMean(c.values.data(), int(c.values.size()), &mean, &sd);
        EXPECT_NEAR(mean, c.mean, 1e-9 * std::fabs(c.mean) + 1e-15);
        EXPECT_FALSE(std::isnan(sd));
        EXPECT_NEAR(sd, c.sd, 1e-6);
        if (c.sd == 0.0) {
            EXPECT_EQ(sd, 0.0);   // no spread is exactly none, not rounding noise
        }
    }
    double mean = -1, sd = -1;
    StdDevAndMean(nullptr, 5, &mean, &sd);
    EXPECT_EQ(mean, 0.0);
    EXPECT_EQ(sd, 0.0);
    const double v[2] = {1, 2};
    StdDevAndMean(v, 2, nullptr, nullptr);
}

}  // namespace
