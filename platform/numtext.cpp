#include "platform/numtext.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace numtext {

namespace {
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
}  // namespace

int32_t AtoL(const char* text)
{
    if (!text) return 0;
    const char* p = text;
    while (isSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = (*p == '-');
        ++p;
    }
    uint32_t acc = 0;
    while (*p >= '0' && *p <= '9') {
        acc = acc * 10u + static_cast<uint32_t>(*p - '0');
        ++p;
    }
    if (negative) acc = 0u - acc;
    return static_cast<int32_t>(acc);
}

int32_t AtoL(const std::string& text) { return AtoL(text.c_str()); }

double AtoF(const char* text)
{
    if (!text) return 0.0;
    const char* p = text;
    while (isSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = (*p == '-');
        ++p;
    }
    // Only decimal forms: digits, an optional fraction and an optional exponent.
    const char* start = p;
    const char* q = p;
    bool digits = false;
    while (*q >= '0' && *q <= '9') { ++q; digits = true; }
    if (*q == '.') {
        ++q;
        while (*q >= '0' && *q <= '9') { ++q; digits = true; }
    }
    if (!digits) return 0.0;
    if (*q == 'e' || *q == 'E') {
        const char* e = q + 1;
        if (*e == '+' || *e == '-') ++e;
        if (*e >= '0' && *e <= '9') {
            while (*e >= '0' && *e <= '9') ++e;
            q = e;
        }
    }
    double value = 0.0;
    auto res = std::from_chars(start, q, value, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Overflow gives infinity, underflow zero, as strtod does.
        const char* e = start;
        while (e < q && *e != 'e' && *e != 'E') ++e;
        const bool tiny = (e < q && e[1] == '-');
        value = tiny ? 0.0 : HUGE_VAL;
    } else if (res.ec != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

double AtoF(const std::string& text) { return AtoF(text.c_str()); }

std::string FormatU(uint32_t value) { return std::to_string(value); }

std::string FormatD(int32_t value) { return std::to_string(value); }

std::string FormatG(double value)
{
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 6);
    return std::string(buf, res.ptr);
}

std::string FormatFloatWhole(float value)
{
    if (!std::isfinite(value)) return FormatG(value);
    char text[32];
    char* end = text;
    for (int digits = 6; digits <= std::numeric_limits<float>::max_digits10; ++digits) {
        end = std::to_chars(text, text + sizeof text - 1, value, std::chars_format::general, digits).ptr;
        *end = '\0';
        const float back = static_cast<float>(AtoF(text));
        if (std::memcmp(&back, &value, sizeof value) == 0) break;
    }
    return std::string(text, end);
}

bool IsValidFloat(double value) { return std::isfinite(value); }

char* FloatToChars(double value, char* out)
{
    auto put = [&out](const char* text) {
        while (*text) *out++ = *text++;
        return out;
    };
    if (std::isnan(value)) return put("NAN");
    if (std::isinf(value)) return put(value < 0 ? "-INF" : "INF");
    if (value == 0.0) return put("0");

    // 15 significant digits in scientific form: d.dddddddddddddde[+-]xx
    char sci[40];
    const char* end = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, 14).ptr;
    const char* p = sci;
    if (*p == '-') {
        *out++ = '-';
        ++p;
    }
    char digits[16];
    int count = 0;
    for (; p < end && *p != 'e'; ++p)
        if (*p != '.') digits[count++] = *p;
    int exponent = 0;
    const char* e = p + 1;
    if (e < end && *e == '+') ++e;
    std::from_chars(e, end, exponent);
    while (count > 1 && digits[count - 1] == '0') --count;

    if (exponent < -5 || exponent >= 15) {
        *out++ = digits[0];
        if (count > 1) {
            *out++ = '.';
            for (int i = 1; i < count; ++i) *out++ = digits[i];
        }
        *out++ = 'E';
        return std::to_chars(out, out + 8, exponent).ptr;
    }
    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        for (int i = 0; i < -exponent - 1; ++i) *out++ = '0';
        for (int i = 0; i < count; ++i) *out++ = digits[i];
        return out;
    }
    const int intDigits = exponent + 1;
    for (int i = 0; i < intDigits; ++i) *out++ = i < count ? digits[i] : '0';
    if (count > intDigits) {
        *out++ = '.';
        for (int i = intDigits; i < count; ++i) *out++ = digits[i];
    }
    return out;
}

std::string FloatToStr(double value)
{
    char text[kFloatTextMax];
    return std::string(text, FloatToChars(value, text));
}

}  // namespace numtext
