#include "platform/numtext.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

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

bool IsValidFloat(double value) { return std::isfinite(value); }

std::string FloatToStr(double value)
{
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0.0) return "0";

    // 15 significant digits in scientific form: d.dddddddddddddde[+-]xx
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    std::string sci(buf, res.ptr);
    bool negative = sci[0] == '-';
    if (negative) sci.erase(0, 1);
    const auto ePos = sci.find('e');
    int exponent = std::atoi(sci.c_str() + ePos + 1);
    std::string digits;
    for (size_t i = 0; i < ePos; ++i)
        if (sci[i] != '.') digits += sci[i];
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out;
    if (exponent < -5 || exponent >= 15) {
        out = digits.substr(0, 1);
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += "E" + std::to_string(exponent);
    } else if (exponent < 0) {
        out = "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else {
        const size_t intDigits = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            out = digits + std::string(intDigits - digits.size(), '0');
        } else {
            out = digits.substr(0, intDigits) + "." + digits.substr(intDigits);
        }
    }
    return negative ? "-" + out : out;
}

}  // namespace numtext
