// Display text of analyzer floats and fixed-width character fields.
#include "ombrel/ombrel_exports.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>

namespace {

std::string Flt(float v)
{
    char buffer[128];
    const int n = FormatFlt(v, buffer, sizeof buffer);
    EXPECT_EQ(n, int(std::strlen(buffer)));
    return buffer;
}

float FromBits(uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

TEST(FormatFlt, DecimalsFollowTheMagnitude)
{
    struct Case {
        float value;
        const char* text;
    };
    const Case cases[] = {
        {1234.5f, "1234.50"},  {150.0f, "150.00"},       {-150.0f, "-150.00"},    {100.0f, "100.000"},
        {12.25f, "12.250"},    {10.0f, "10.0000"},       {-3.5f, "-3.5000"},      {1.0f, "1.00000"},
        {0.00123f, "0.00123"}, {0.0000001f, "0.00000"},  {0.0f, "0"},             {-0.0f, "0"},
        {100.001f, "100.00"},  {10.0001f, "10.000"},     {-1.00001f, "-1.0000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Flt(c.value), c.text);
    }
}

TEST(FormatFlt, ExponentFields254And255AreNan)
{
    struct Case {
        uint32_t bits;
        const char* text;
    };
    const Case cases[] = {
        {0x7F800000u, "NAN"},   // +infinity
        {0xFF800000u, "NAN"},   // -infinity
        {0x7FC00000u, "NAN"},   // NaN
        {0x7F000000u, "NAN"},   // 2^127, finite but never a measurement
        {0xFF7FFFFFu, "NAN"},   // -max float
        {0x7E800000u, "85070591730234615865843651857942052864.00"},   // 2^126
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        EXPECT_EQ(Flt(FromBits(c.bits)), c.text);
    }
}

TEST(FormatFlt, PointWhateverTheLocaleAndCutToTheBuffer)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");   // where it exists
    const std::string text = Flt(-3.5f);
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(before);
    EXPECT_EQ(text, "-3.5000");

    char small[4];
    EXPECT_EQ(FormatFlt(1234.5f, small, sizeof small), 7);
    EXPECT_STREQ(small, "123");
    EXPECT_EQ(FormatFlt(1234.5f, nullptr, 0), 7);
}

std::string Field(const char* bytes, int width)
{
    char buffer[128];
    const int n = CharArr2AnsiString(bytes, width, buffer, sizeof buffer);
    EXPECT_EQ(n, int(std::strlen(buffer)));
    return buffer;
}

TEST(CharArr2AnsiString, FixedWidthFieldsToText)
{
    struct Case {
        const char* what;
        const char* bytes;
        int width;
        const char* text;
    };
    const Case cases[] = {
        {"blanks then 0xFF padding", "AB  \xFF\xFF\xFF\xFF", 8, "AB"},
        {"first byte 0", "\0AB", 3, ""},
        {"cut at the width", "ABCDEFGH", 4, "ABCD"},
        {"ends at a NUL", "AB\0CD", 5, "AB"},
        {"0xB0 belongs to the text", "AB\xB0" "C", 4, "AB\xB0" "C"},
        {"0xB1 ends it", "AB\xB1" "C", 4, "AB"},
        {"leading blanks stay, trailing controls go", "  AB \t\r\n", 8, "  AB"},
        {"blanks only", "    ", 4, ""},
        {"padding right after the text", "\xFFXYZ", 4, ""},
        {"width 0", "ABC", 0, ""},
        {"negative width", "ABC", -3, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Field(c.bytes, c.width), c.text);
    }
    EXPECT_EQ(Field(nullptr, 8), "");
    // A field exactly as wide as its text, with no NUL after it.
    const char exact[5] = {'H', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(Field(exact, 5), "Hello");
}

}  // namespace
