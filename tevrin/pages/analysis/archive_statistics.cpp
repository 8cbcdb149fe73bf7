#include "tevrin/pages/analysis/archive_statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

SampleStatistics MeanAndStdDev(const float* values, size_t count)
{
    SampleStatistics s;
    s.count = count;
    if (count == 0) return s;
    // Two passes in extended precision: the mean first, then the squares of the deviations
    // from it, which can never sum below zero (a one-pass difference of sums can, on constant
    // data, by rounding).
    long double sum = 0;
    for (size_t i = 0; i < count; ++i) sum += values[i];
    const long double mean = sum / static_cast<long double>(count);
    s.mean = static_cast<double>(mean);
    if (count < 2) return s;
    long double squares = 0;
    for (size_t i = 0; i < count; ++i) {
        const long double d = values[i] - mean;
        squares += d * d;
    }
    s.sd = static_cast<double>(std::sqrt(squares / static_cast<long double>(count - 1)));
    s.rsd = s.mean != 0 ? s.sd / s.mean * 100.0 : 0.0;
    return s;
}

QString StatisticText(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.5f", value);
    // The C library follows the desktop's locale; the figures always use '.'.
    for (char* c = text; *c; ++c)
        if (*c == ',') *c = '.';
    return QString::fromLatin1(text);
}

QString StatisticsFoot(const SampleStatistics& s)
{
    return QStringLiteral("Samples: ") + QString::number(s.count) + QStringLiteral("     Average: ") +
           StatisticText(s.mean) + QStringLiteral("     Standard Deviation: ") + StatisticText(s.sd) +
           QStringLiteral("     %RSD: ") + StatisticText(s.rsd) + QLatin1Char('%');
}

SampleSpan VisibleSpan(const ChartSamples& samples, double xMin, double xMax)
{
    SampleSpan span;
    const auto begin = std::lower_bound(samples.x.begin(), samples.x.end(), xMin);
    const auto end = std::upper_bound(begin, samples.x.end(), xMax);
    if (begin == end) return span;
    span.first = static_cast<int>(begin - samples.x.begin());
    span.last = static_cast<int>(end - samples.x.begin()) - 1;
    return span;
}

int AutoScaleStep(int span)
{
    if (span < 500) return 1;
    if (span < 1500) return 2;
    if (span < 4000) return 4;
    if (span < 10000) return 8;
    return 12;
}

bool AutoScaleRange(const ChartSamples& samples, SampleSpan span, double& low, double& high)
{
    if (span.first < 0 || span.last < 0 || span.first == span.last) return false;
    if (span.last >= static_cast<int>(samples.size()) || span.first > span.last) return false;
    const int step = AutoScaleStep(span.last - span.first);
    double lo = samples.y[static_cast<size_t>(span.first)];
    double hi = lo;
    for (int i = span.first; i <= span.last; i += step) {
        lo = std::min<double>(lo, samples.y[static_cast<size_t>(i)]);
        hi = std::max<double>(hi, samples.y[static_cast<size_t>(i)]);
    }
    const double margin = 0.06 * (hi - lo);
    low = lo - margin;
    high = hi + margin;
    return true;
}

std::vector<QPointF> ReduceToColumns(const ChartSamples& samples, double xMin, double xMax, int columns)
{
    std::vector<QPointF> out;
    const SampleSpan span = VisibleSpan(samples, xMin, xMax);
    const auto point = [&samples](int i) { return QPointF(samples.x[static_cast<size_t>(i)], samples.y[static_cast<size_t>(i)]); };
    // The neighbours outside the span keep the line running to the edges.
    int from = span.first;
    int to = span.last;
    if (span.first < 0) {
        // Nothing inside: the two samples around the span still draw the line across it.
        const auto after = std::lower_bound(samples.x.begin(), samples.x.end(), xMin);
        const int a = static_cast<int>(after - samples.x.begin());
        if (a > 0 && a < static_cast<int>(samples.size())) {
            out.push_back(point(a - 1));
            out.push_back(point(a));
        }
        return out;
    }
    if (from > 0) --from;
    if (to + 1 < static_cast<int>(samples.size())) ++to;
    if (columns < 1) columns = 1;
    if (span.count() <= 2 * columns || !(xMax > xMin)) {
        out.reserve(static_cast<size_t>(to - from + 1));
        for (int i = from; i <= to; ++i) out.push_back(point(i));
        return out;
    }
    out.reserve(static_cast<size_t>(columns) * 4 + 2);
    if (from < span.first) out.push_back(point(from));
    const double perColumn = columns / (xMax - xMin);
    int i = span.first;
    while (i <= span.last) {
        const int column = std::min(columns - 1, static_cast<int>((samples.x[static_cast<size_t>(i)] - xMin) * perColumn));
        const int firstIndex = i;
        int lowIndex = i, highIndex = i;
        while (i <= span.last &&
               std::min(columns - 1, static_cast<int>((samples.x[static_cast<size_t>(i)] - xMin) * perColumn)) == column) {
            if (samples.y[static_cast<size_t>(i)] < samples.y[static_cast<size_t>(lowIndex)]) lowIndex = i;
            if (samples.y[static_cast<size_t>(i)] > samples.y[static_cast<size_t>(highIndex)]) highIndex = i;
            ++i;
        }
        const int lastIndex = i - 1;
        int picks[4] = {firstIndex, lowIndex, highIndex, lastIndex};
        std::sort(picks, picks + 4);
        const int* end = std::unique(picks, picks + 4);
        for (const int* p = picks; p != end; ++p) out.push_back(point(*p));
    }
    if (to > span.last) out.push_back(point(to));
    return out;
}

QRect PrintRect(int pageWidth, int pageHeight, int chartWidth, int chartHeight, bool keepProportion)
{
    const int w = pageWidth - 1;
    const int h = pageHeight - 1;
    if (!keepProportion || chartWidth <= 0 || chartHeight <= 0 || w <= 0 || h <= 0) return QRect(0, 0, w, h);
    if (static_cast<double>(chartHeight) / chartWidth > static_cast<double>(h) / w) {
        const int width = static_cast<int>(static_cast<long long>(chartWidth) * h / chartHeight);
        return QRect((w - width) / 2, 0, width, h);
    }
    const int height = static_cast<int>(static_cast<long long>(chartHeight) * w / chartWidth);
    return QRect(0, (h - height) / 2, w, height);
}
