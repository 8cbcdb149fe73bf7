#pragma once
// The statistics of a charted archive column, and the figures the chart works out from its
// samples: the visible span, the automatic Y scale and the reduction of a long line to what
// the plot's pixel columns can show.
#include <QPointF>
#include <QRect>
#include <QString>

#include <cstddef>
#include <vector>

struct SampleStatistics {
    size_t count = 0;
    double mean = 0;
    double sd = 0;    // sample standard deviation (divisor n - 1)
    double rsd = 0;   // sd / mean x 100; 0 when the mean is 0
};

// Mean and sample standard deviation. Defined for every count: no samples give all zeros, a
// single sample its value as mean and 0 as deviation; constant data give a deviation of 0.
SampleStatistics MeanAndStdDev(const float* values, size_t count);
inline SampleStatistics MeanAndStdDev(const std::vector<float>& values)
{
    return MeanAndStdDev(values.data(), values.size());
}

// A number as "%.5f" (C locale).
QString StatisticText(double value);
// "Samples: n     Average: m     Standard Deviation: s     %RSD: r%".
QString StatisticsFoot(const SampleStatistics& s);

// The samples of the chart: X ascending (the rows' Seq numbers), Y as 32-bit floats.
struct ChartSamples {
    std::vector<double> x;
    std::vector<float> y;

    size_t size() const { return x.size(); }
    bool empty() const { return x.empty(); }
};

// Indexes of the first and last sample whose X lies in [xMin, xMax]; both -1 when none.
struct SampleSpan {
    int first = -1;
    int last = -1;
    int count() const { return first < 0 ? 0 : last - first + 1; }
};
SampleSpan VisibleSpan(const ChartSamples& samples, double xMin, double xMax);

// The sampling step of the automatic scale over a span of last - first points.
int AutoScaleStep(int span);
// Smallest and largest Y over the span, taking every step-th point from first, widened by 6 %
// of their difference on each side. False (nothing to do) when either index is -1 or they
// are equal.
bool AutoScaleRange(const ChartSamples& samples, SampleSpan span, double& low, double& high);

// The line as the plot draws it: for each of `columns` pixel columns over [xMin, xMax] the
// first, lowest, highest and last sample that falls into it, in X order, plus the nearest
// sample outside each end so that the line runs on to the plot's edges. A span that has no
// more samples than twice the columns is returned whole.
std::vector<QPointF> ReduceToColumns(const ChartSamples& samples, double xMin, double xMax, int columns);

// Where a chart goes on a printed page W x H (the page's last pixel indexes): the whole page,
// or, keeping the chart's proportions on screen (chartWidth x chartHeight), the largest
// rectangle of those proportions centred across the page.
QRect PrintRect(int pageWidth, int pageHeight, int chartWidth, int chartHeight, bool keepProportion);
