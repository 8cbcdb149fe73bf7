#include "platform/numtext.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstring>
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

namespace {
uint32_t Bits(float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
float FromBits(uint32_t bits)
{
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
}  // namespace

TEST(NumText, FloatWholeKeepsTheGeneralTextWhereSixDigitsHoldTheValueAndAddsDigitsWhereNot)
{
    struct Case { float value; const char* text; };
    const Case cases[] = {
        // Six digits hold these: the "%g" text as before (the shortest text would differ in form
        // for some: "1e+05", "1e-04", "1e-45").
        {0.0f, "0"}, {-0.0f, "-0"}, {0.1f, "0.1"}, {2.5f, "2.5"}, {-123.456f, "-123.456"},
        {100000.0f, "100000"}, {1000000.0f, "1e+06"}, {0.0001f, "0.0001"}, {0.00001f, "1e-05"},
        {1e-45f, "1.4013e-45"},   // the smallest denormal
        // Seven to nine digits.
        {FLT_MIN, "1.1754944e-38"}, {-8888.8877f, "-8888.888"}, {1234567.0f, "1234567"}, {16777216.0f, "16777216"},
        {12345678.0f, "12345678"}, {1.0f / 3.0f, "0.33333334"}, {FLT_MAX, "3.4028235e+38"},
        {-FLT_MAX, "-3.4028235e+38"}, {FromBits(0x007FFFFF), "1.1754942e-38"},   // largest denormal
        // The seven-digit 7.038531e-26 is closest to this float, but read as a double and then
        // cut to a float it lands on the next one: eight digits are needed.
        {FromBits(0x15AE43FD), "7.0385307e-26"},
        // At a power of two the float below is nearer: eight digits round the wrong way.
        {FromBits(0x0F800000), "1.26217745e-29"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatFloatWhole(c.value), c.text);
        EXPECT_EQ(Bits(static_cast<float>(AtoF(FormatFloatWhole(c.value)))), Bits(c.value));
    }
    // Not numbers: as the general text gives them.
    EXPECT_EQ(FormatFloatWhole(std::numeric_limits<float>::quiet_NaN()), "nan");
    EXPECT_EQ(FormatFloatWhole(std::numeric_limits<float>::infinity()), "inf");
    EXPECT_EQ(FormatFloatWhole(-std::numeric_limits<float>::infinity()), "-inf");
}

TEST(NumText, FloatWholeReadsBackToTheSameFloatAcrossTheRange)
{
    // Every 997th bit pattern, both signs, denormals to the largest: the text reads back to the
    // same bits, and it is the general text whenever that already does.
    int checked = 0;
    for (uint64_t bits = 0; bits <= 0xFFFFFFFFu; bits += 997) {
        const float value = FromBits(static_cast<uint32_t>(bits));
        if (!std::isfinite(value)) continue;
        const std::string text = FormatFloatWhole(value);
        ASSERT_EQ(Bits(static_cast<float>(AtoF(text))), Bits(value)) << text;
        const std::string general = FormatG(value);
        if (Bits(static_cast<float>(AtoF(general))) == Bits(value)) {
            ASSERT_EQ(text, general);
        }
        ++checked;
    }
    EXPECT_GT(checked, 4000000);
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
    EXPECT_EQ(FormatFloatWhole(-8888.8877f), "-8888.888");
    EXPECT_EQ(AtoL("1234"), 1234);
    std::setlocale(LC_ALL, saved.c_str());
}
