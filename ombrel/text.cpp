// Text routines: fixed-width character fields and the display text of analyzer floats.
#include "ombrel/ombrel_exports.h"
#include "ombrel/out_text.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace ombrel {

std::string FieldToText(const char* chars, int maxLength)
{
    if (!chars || maxLength <= 0 || chars[0] == '\0') return std::string();
    // The field ends at its width, at a NUL, or at the first byte above 0xB0 (0xFF padding).
    int n = 0;
    while (n < maxLength) {
        const unsigned char c = static_cast<unsigned char>(chars[n]);
        if (c == 0 || c > 0xB0) break;
        ++n;
    }
    // Trailing blanks and control characters go.
    while (n > 0 && static_cast<unsigned char>(chars[n - 1]) <= ' ') --n;
    return std::string(chars, static_cast<size_t>(n));
}

namespace {

// The analyzer marks a value invalid with an exponent field of 254 or 255: the byte that holds
// the sign and the exponent's seven high bits is 0x7F once the sign is cleared.
bool IsValidFlt(float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return ((bits >> 24) & 0x7Fu) != 0x7Fu;
}

std::string Fixed(double value, int decimals)
{
    char buffer[64];
    const auto res = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (res.ec != std::errc()) return std::string();
    return std::string(buffer, res.ptr);
}

std::string FormatFltText(float value)
{
    if (!IsValidFlt(value)) return "NAN";
    const float m = std::fabs(value);
    const double v = value;
    if (m > 100.0f) return Fixed(v, 2);
    if (m > 10.0f) return Fixed(v, 3);
    if (m > 1.0f) return Fixed(v, 4);
    if (m > 0.0f) return Fixed(v, 5);
    return "0";   // both zeros
}

}  // namespace
}  // namespace ombrel

extern "C" {

int CharArr2AnsiString(const char* chars, int maxLength, char* out, int outSize)
{
    return ombrel::CopyOut(ombrel::FieldToText(chars, maxLength), out, outSize);
}

int FormatFlt(float value, char* out, int outSize)
{
    return ombrel::CopyOut(ombrel::FormatFltText(value), out, outSize);
}

}  // extern "C"
