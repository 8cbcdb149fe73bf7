// Statistics of a charted column against values computed another way; the chart's automatic
// scale, its reduction of long lines to the plot's pixel columns, and the printed rectangle.
#include "tevrin/pages/analysis/archive_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <vector>

TEST(ArchiveStatistics, MeanAndSampleDeviationMatchKnownFigures)
{
    const std::vector<float> textbook = {2, 4, 4, 4, 5, 5, 7, 9};
    const SampleStatistics s = MeanAndStdDev(textbook);
    EXPECT_EQ(s.count, 8u);
    EXPECT_DOUBLE_EQ(s.mean, 5.0);
    EXPECT_NEAR(s.sd, std::sqrt(32.0 / 7.0), 1e-12);
    EXPECT_EQ(StatisticsFoot(s),
              QStringLiteral("Samples: 8     Average: 5.00000     Standard Deviation: 2.13809     %RSD: 42.76180%"));

    // Two rows: |y1 - y2| / sqrt 2.
    const SampleStatistics two = MeanAndStdDev(std::vector<float>{3.5f, 8.25f});
    EXPECT_NEAR(two.sd, 4.75 / std::sqrt(2.0), 1e-12);

    // A mean of exactly 0 gives an rsd of 0.
    const SampleStatistics zeroMean = MeanAndStdDev(std::vector<float>{-1.5f, 1.5f});
    EXPECT_EQ(zeroMean.rsd, 0.0);
    EXPECT_TRUE(StatisticsFoot(zeroMean).endsWith(QStringLiteral("%RSD: 0.00000%")));
}

TEST(ArchiveStatistics, FewerThanTwoSamplesAndConstantDataAreDefined)
{
    const SampleStatistics none = MeanAndStdDev(nullptr, 0);
    EXPECT_EQ(StatisticsFoot(none),
              QStringLiteral("Samples: 0     Average: 0.00000     Standard Deviation: 0.00000     %RSD: 0.00000%"));

    const SampleStatistics one = MeanAndStdDev(std::vector<float>{42.5f});
    EXPECT_EQ(one.count, 1u);
    EXPECT_DOUBLE_EQ(one.mean, 42.5);
    EXPECT_EQ(one.sd, 0.0);
    EXPECT_EQ(one.rsd, 0.0);

    // Half a million equal values far from 0: the sum of squares and the square of the sum
    // cancel exactly in theory, and the deviation must come out 0, never a root of a
    // negative number.
    const std::vector<float> constant(500000, 1234567.1f);
    const SampleStatistics flat = MeanAndStdDev(constant);
    EXPECT_FALSE(std::isnan(flat.sd));
    EXPECT_EQ(flat.sd, 0.0);
    EXPECT_EQ(flat.rsd, 0.0);
    EXPECT_FLOAT_EQ(static_cast<float>(flat.mean), 1234567.1f);
}

TEST(ArchiveStatistics, HalfAMillionSamplesAgreeWithAnIndependentRunningComputation)
{
    std::mt19937 random(7);
    std::normal_distribution<float> noise(250.0f, 3.0f);
    std::vector<float> values(500000);
    for (float& v : values) v = noise(random);
    // Welford's running mean and variance, in double.
    double mean = 0, m2 = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        const double d = values[i] - mean;
        mean += d / static_cast<double>(i + 1);
        m2 += d * (values[i] - mean);
    }
    const double sd = std::sqrt(m2 / static_cast<double>(values.size() - 1));
    const SampleStatistics s = MeanAndStdDev(values);
    EXPECT_NEAR(s.mean, mean, 1e-9 * mean);
    EXPECT_NEAR(s.sd, sd, 1e-9 * sd);
    EXPECT_NEAR(s.rsd, sd / mean * 100.0, 1e-7);
}

namespace {
ChartSamples Line(int count, const std::function<float(int)>& y)
{
    ChartSamples s;
    for (int i = 0; i < count; ++i) {
        s.x.push_back(i + 1);
        s.y.push_back(y(i));
    }
    return s;
}
}  // namespace

TEST(ArchiveChartFigures, AutoScaleSamplesWithItsStepAndWidensBySixPercent)
{
    const int kSteps[][2] = {{0, 1}, {499, 1}, {500, 2}, {1499, 2}, {1500, 4}, {3999, 4}, {4000, 8}, {9999, 8}, {10000, 12}};
    for (const auto& c : kSteps) EXPECT_EQ(AutoScaleStep(c[0]), c[1]) << c[0];

    const ChartSamples ramp = Line(11, [](int i) { return static_cast<float>(i); });
    double low = 0, high = 0;
    ASSERT_TRUE(AutoScaleRange(ramp, VisibleSpan(ramp, 1, 11), low, high));
    EXPECT_NEAR(low, -0.6, 1e-9);
    EXPECT_NEAR(high, 10.6, 1e-9);

    // One visible point, or none, does nothing.
    EXPECT_FALSE(AutoScaleRange(ramp, VisibleSpan(ramp, 3, 3.5), low, high));
    EXPECT_FALSE(AutoScaleRange(ramp, VisibleSpan(ramp, 20, 30), low, high));

    // Above a span of 500 every other point is read: a spike on an odd index is passed over.
    ChartSamples spiky = Line(600, [](int) { return 1.0f; });
    spiky.y[301] = 100;
    spiky.y[0] = 0;
    ASSERT_TRUE(AutoScaleRange(spiky, VisibleSpan(spiky, 1, 600), low, high));
    EXPECT_NEAR(high, 1.06, 1e-9);
}

TEST(ArchiveChartFigures, ReductionKeepsEveryColumnsExtremesAndTheLineToTheEdges)
{
    std::mt19937 random(3);
    std::uniform_real_distribution<float> noise(-1, 1);
    const ChartSamples many = Line(500000, [&](int i) { return std::sin(i / 5000.0f) * 100 + noise(random); });
    const int columns = 800;
    const std::vector<QPointF> line = ReduceToColumns(many, 1, 500000, columns);
    EXPECT_LE(line.size(), static_cast<size_t>(4 * columns + 2));
    // In each pixel column the reduced line reaches the lowest and highest sample.
    std::vector<double> lo(columns, 1e9), hi(columns, -1e9), rlo(columns, 1e9), rhi(columns, -1e9);
    const auto columnOf = [&](double x) { return std::min(columns - 1, static_cast<int>((x - 1) * columns / 499999.0)); };
    for (size_t i = 0; i < many.size(); ++i) {
        const int c = columnOf(many.x[i]);
        lo[c] = std::min<double>(lo[c], many.y[i]);
        hi[c] = std::max<double>(hi[c], many.y[i]);
    }
    for (const QPointF& p : line) {
        const int c = columnOf(p.x());
        rlo[c] = std::min(rlo[c], p.y());
        rhi[c] = std::max(rhi[c], p.y());
    }
    for (int c = 0; c < columns; ++c) {
        ASSERT_EQ(lo[c], rlo[c]) << c;
        ASSERT_EQ(hi[c], rhi[c]) << c;
    }
    for (size_t i = 1; i < line.size(); ++i) ASSERT_LE(line[i - 1].x(), line[i].x());

    // A zoomed span takes its neighbours outside: the line runs on to both edges.
    const std::vector<QPointF> zoomed = ReduceToColumns(many, 1000.5, 1010.5, columns);
    ASSERT_EQ(zoomed.size(), 12u);
    EXPECT_EQ(zoomed.front().x(), 1000);
    EXPECT_EQ(zoomed.back().x(), 1011);
    // Between two samples: the two around the span.
    const std::vector<QPointF> between = ReduceToColumns(many, 20.2, 20.8, columns);
    ASSERT_EQ(between.size(), 2u);
    EXPECT_EQ(between[0].x(), 20);
    EXPECT_EQ(between[1].x(), 21);
}

TEST(ArchiveChartFigures, PrintRectangleFillsThePageOrKeepsTheScreenProportion)
{
    EXPECT_EQ(PrintRect(1001, 801, 500, 500, false), QRect(0, 0, 1000, 800));
    EXPECT_EQ(PrintRect(1001, 801, 500, 500, true), QRect(100, 0, 800, 800));
    EXPECT_EQ(PrintRect(1001, 801, 1000, 200, true), QRect(0, 300, 1000, 200));
    EXPECT_EQ(PrintRect(1001, 801, 0, 0, true), QRect(0, 0, 1000, 800));
}
