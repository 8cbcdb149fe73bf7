#pragma once
// Numbers as text, always in the C locale ('.' as decimal separator), whatever the
// desktop's locale. Values cross the database as text, and files always use '.'.
#include <cstdint>
#include <string>

namespace numtext {

// Like C atol on a 32-bit long: skips leading white space, takes an optional sign and
// the digits that follow, stops at the first unfit character (0 for none). Digits are
// accumulated with 32-bit wraparound, so "4294967295" and "-1" give the same bits.
int32_t AtoL(const char* text);
int32_t AtoL(const std::string& text);

// Like C atof in the C locale: leading white space, optional sign, digits, '.', digits,
// exponent; stops at the first unfit character; 0 for a text that starts with none.
double AtoF(const char* text);
double AtoF(const std::string& text);

std::string FormatU(uint32_t value);   // "%u"
std::string FormatD(int32_t value);    // "%d"
std::string FormatG(double value);     // "%g" (6 significant digits, C locale)

// A float in the fewest significant digits, six or more, that AtoF reads back to the same
// float: the "%g" text wherever six digits already hold it ("0.1", "1e+06", "1.4013e-45"),
// else "%.7g" to "%.9g" ("-8888.888", "1234567", "3.4028235e+38"). For a text that is
// written back into the unit. NaN and infinities as FormatG gives them.
std::string FormatFloatWhole(float value);

// General float text with 15 significant digits, as the class library's FloatToStr gives
// it: fixed notation for exponents -5..14, otherwise mantissa, 'E' and the exponent
// ("1E20", "1.5E-7"); "NAN" for a NaN, "INF" / "-INF" for infinities.
std::string FloatToStr(double value);
// The same text into out (room for kFloatTextMax bytes, no terminating zero); returns the end.
constexpr int kFloatTextMax = 32;
char* FloatToChars(double value, char* out);

// True for a finite number (not NaN, not infinite).
bool IsValidFloat(double value);

}  // namespace numtext
