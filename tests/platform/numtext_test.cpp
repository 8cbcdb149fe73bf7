#include "platform/numtext.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

using namespace numtext;

TEST(NumText, AtoLParsesLikeCWith32BitWraparound)
{
    struct Case { const char* text; int32_t expected; };
    const Case cases[] = {
        {"0", 0}, {"42", 42}, {"-42", -42}, {"+7", 7}, {"  12", 12}, {"\t-3x", -3},
        {"12abc", 12}, {"abc", 0}, {"", 0}, {"-", 0}, {"1.9", 1}, {"300", 300},
        {"2147483647", 2147483647}, {"2147483648", std::numeric_limits<int32_t>::min()},
        {"4294967295", -1}, {"4294967296", 0}, {"4294967301", 5}, {"-4294967295", 1},
        {"-2147483648", std::numeric_limits<int32_t>::min()},
    };
    for (const auto& c : cases) EXPECT_EQ(AtoL(c.text), c.expected) << c.text;
    EXPECT_EQ(AtoL(static_cast<const char*>(nullptr)), 0);
}

TEST(NumText, AtoFParsesDecimalFormsAndStopsAtTheFirstUnfitCharacter)
{
    struct Case { const char* text; double expected; };
    const Case cases[] = {
        {"0", 0.0}, {"2.5", 2.5}, {"-2.5", -2.5}, {"+.5", 0.5}, {" 1e3", 1000.0}, {"1E-2", 0.01},
        {"1e", 1.0}, {"1e+", 1.0}, {"3.25kg", 3.25}, {"abc", 0.0}, {"", 0.0}, {".", 0.0},
        {"1,5", 1.0}, {"0x10", 0.0}, {"5.", 5.0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(AtoF(c.text), c.expected) << c.text;
    EXPECT_TRUE(std::isinf(AtoF("1e999")));
    EXPECT_EQ(AtoF("1e-999"), 0.0);
}

TEST(NumText, FormatsIntegersAndGeneralFloats)
{
    EXPECT_EQ(FormatU(4294967295u), "4294967295");
    EXPECT_EQ(FormatD(-1), "-1");
    struct Case { double value; const char* g; };
    const Case cases[] = {
        {0.0, "0"}, {2.5, "2.5"}, {-2.5, "-2.5"}, {100000.0, "100000"}, {1000000.0, "1e+06"},
        {0.0001, "0.0001"}, {0.00001, "1e-05"}, {1.0 / 3.0, "0.333333"}, {123456789.0, "1.23457e+08"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatG(c.value), c.g) << c.g;
}

TEST(NumText, FloatToStrGivesFifteenSignificantDigits)
{
    struct Case { double value; const char* text; };
    const Case cases[] = {
        {0.0, "0"}, {1.0, "1"}, {-1.5, "-1.5"}, {2500.0, "2500"},
        {static_cast<double>(0.1f), "0.100000001490116"}, {static_cast<double>(2.5f * 1000.0f), "2500"},
        {1e20, "1E20"}, {1.5e-7, "1.5E-7"}, {0.00001, "0.00001"}, {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1.23456789012346E15"}, {1.0 / 3.0, "0.333333333333333"},
    };
    for (const auto& c : cases) EXPECT_EQ(FloatToStr(c.value), c.text) << c.text;
    EXPECT_EQ(FloatToStr(std::nan("")), "NAN");
    EXPECT_EQ(FloatToStr(HUGE_VAL), "INF");
    EXPECT_EQ(FloatToStr(-HUGE_VAL), "-INF");
}

TEST(NumText, IgnoresACommaDecimalLocale)
{
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    // Any comma-decimal locale the machine has; without one the test still runs in "C".
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "nl_NL.UTF-8"})
        if (std::setlocale(LC_ALL, name)) break;
    EXPECT_DOUBLE_EQ(AtoF("2.5"), 2.5);
    EXPECT_EQ(FormatG(2.5), "2.5");
    EXPECT_EQ(FloatToStr(2.5), "2.5");
    EXPECT_EQ(AtoL("1234"), 1234);
    std::setlocale(LC_ALL, saved.c_str());
}
