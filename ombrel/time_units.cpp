// Time counts as seconds text (milliseconds, and samples at 60 per second), and the mean and
// standard deviation of a run of values.
#include "ombrel/ombrel_exports.h"
#include "ombrel/out_text.h"

#include "platform/prompter.h"

#include <QString>

#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

std::string Trim(const char* text)
{
    if (!text) return std::string();
    std::string s(text);
    size_t begin = 0;
    size_t end = s.size();
    while (begin < end && static_cast<unsigned char>(s[begin]) <= ' ') ++begin;
    while (end > begin && static_cast<unsigned char>(s[end - 1]) <= ' ') --end;
    return s.substr(begin, end - begin);
}

// Seconds text "[sign][digits][.digits]" as whole seconds and milliseconds (at most three
// fraction digits count; further digits are cut, not rounded). The sign applies to the whole
// value. False for anything that is not such a number or whose seconds are out of all reason.
bool ParseSeconds(const std::string& text, bool& negative, int64_t& seconds, int64_t& ms)
{
    size_t i = 0;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = (text[i++] == '-');
    seconds = 0;
    ms = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        seconds = seconds * 10 + (text[i] - '0');
        if (seconds > INT_MAX) return false;
        digits = true;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        int kept = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            if (kept < 3) {
                ms = ms * 10 + (text[i] - '0');
                ++kept;
            }
            digits = true;
        }
        for (; kept < 3; ++kept) ms *= 10;
    }
    return digits && i == text.size();
}

int FormatSeconds(uint32_t whole, uint32_t thousandths, char* out, int outSize)
{
    char buffer[32];
    const int n = std::snprintf(buffer, sizeof buffer, "%u.%03u", whole, thousandths);
    return ombrel::CopyOut(buffer, static_cast<size_t>(n), out, outSize);
}

}  // namespace

extern "C" {

int msec2secA(uint32_t milliseconds, char* out, int outSize)
{
    return FormatSeconds(milliseconds / 1000, milliseconds % 1000, out, outSize);
}

int samp2secA(uint32_t samples, char* out, int outSize)
{
    return FormatSeconds(samples / 60, samples % 60 * 1000 / 60, out, outSize);
}

int secA2msec(const char* text)
{
    const std::string trimmed = Trim(text);
    if (trimmed.empty()) return 0;
    bool negative = false;
    int64_t seconds = 0;
    int64_t ms = 0;
    const bool ok = ParseSeconds(trimmed, negative, seconds, ms);
    const int64_t total = seconds * 1000 + ms;
    if (!ok || total > INT_MAX) {
        platform::ShowMessage(QStringLiteral("\"") + QString::fromUtf8(trimmed.c_str()) +
                              QStringLiteral("\" is not numeric"));
        return 0;
    }
    return static_cast<int>(negative ? -total : total);
}

int secA2samp(const char* text, bool* ok)
{
    bool negative = false;
    int64_t seconds = 0;
    int64_t ms = 0;
    const bool parsed = ParseSeconds(Trim(text), negative, seconds, ms);
    const int64_t total = 60 * seconds + 60 * ms / 1000;
    const bool good = parsed && total <= INT_MAX;
    if (ok) *ok = good;
    if (!good) return 0;
    return static_cast<int>(negative ? -total : total);
}

void StdDevAndMean(const double* values, int n, double* mean, double* standardDeviation)
{
    double m = 0.0;
    double sd = 0.0;
    if (values && n > 0) {
        long double s = 0.0L;
        // The sums for the deviation are taken of the distances from the first value: the
        // same sample formula, but large values no longer cancel each other's digits away,
        // and constant data give exactly 0.
        const long double shift = values[0];
        long double ds = 0.0L;
        long double dq = 0.0L;
        for (int i = 0; i < n; ++i) {
            s += values[i];
            const long double d = values[i] - shift;
            ds += d;
            dq += d * d;
        }
        m = static_cast<double>(s / n);
        if (n > 1) {
            const long double variance = (n * dq - ds * ds) / (static_cast<long double>(n) * (n - 1));
            sd = variance > 0.0L ? static_cast<double>(std::sqrt(variance)) : 0.0;
        }
    }
    if (mean) *mean = m;
    if (standardDeviation) *standardDeviation = sd;
}

}  // extern "C"
