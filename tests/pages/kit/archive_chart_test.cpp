// The archive chart: statistics drawn as text and lines, pointers on short lines, the zoom
// stack through drags, clicks in zoom mode and the menu, the automatic and manual Y scale,
// the right-button drag that scrolls without opening the menu, a chart printed to PDF, the
// clipboard picture, the colours written to the user's settings, and a long line reduced to
// the plot's pixel columns.
#include "brannix/qlabelededit.h"
#include "brannix/qzoominfo.h"
#include "tests/common/fake_prompter.h"
#include "tevrin/pages/analysis/archive_chart.h"
#include "tevrin/pages/widgets/scale_dlg.h"

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QLineSeries>
#include <QMenu>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <QValueAxis>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

ChartSamples Samples(int count, const std::function<float(int)>& y, int firstSeq = 1)
{
    ChartSamples s;
    for (int i = 0; i < count; ++i) {
        s.x.push_back(firstSeq + i);
        s.y.push_back(y(i));
    }
    return s;
}

class ArchiveChartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        chart.resize(900, 600);
        chart.show();
        QApplication::processEvents();
    }
    void TearDown() override { TfrmScaleDlg::SetAnswer(nullptr); }

    // The viewport point of a value.
    QPoint At(double x, double y)
    {
        const QPointF inChart = chart.chart()->mapToPosition(QPointF(x, y), chart.DataSeries());
        return chart.view()->mapFromScene(chart.chart()->mapToScene(inChart));
    }
    void ExpectRange(double xMin, double xMax, double yMin, double yMax)
    {
        EXPECT_NEAR(chart.AxisX()->min(), xMin, 1e-3);
        EXPECT_NEAR(chart.AxisX()->max(), xMax, 1e-3);
        EXPECT_NEAR(chart.AxisY()->min(), yMin, 1e-3);
        EXPECT_NEAR(chart.AxisY()->max(), yMax, 1e-3);
    }

    FakePrompter prompter;
    TArchiveChart chart;
};

}  // namespace

TEST_F(ArchiveChartTest, StatisticsShowAsFootAndReferenceLines)
{
    EXPECT_EQ(chart.Title(), QStringLiteral("Archive Chart"));
    chart.Plot(QStringLiteral("Archive: Hourly - Column: Temp"), Samples(2, [](int i) { return i ? 13.0f : 10.0f; }, 41));
    EXPECT_EQ(chart.Title(), QStringLiteral("Archive: Hourly - Column: Temp"));
    const double sd = 3.0 / std::sqrt(2.0);
    EXPECT_EQ(chart.Foot(), QStringLiteral("Samples: 2     Average: 11.50000     Standard Deviation: 2.12132     %RSD: 18.44626%"));
    const auto expectLine = [](QLineSeries* s, double y) {
        ASSERT_EQ(s->count(), 2);
        EXPECT_DOUBLE_EQ(s->at(0).x(), 41);
        EXPECT_DOUBLE_EQ(s->at(1).x(), 42);
        EXPECT_NEAR(s->at(0).y(), y, 1e-9);
        EXPECT_NEAR(s->at(1).y(), y, 1e-9);
    };
    expectLine(chart.AverageSeries(), 11.5);
    expectLine(chart.DeviationLowSeries(), 11.5 - sd);
    expectLine(chart.DeviationHighSeries(), 11.5 + sd);
    expectLine(chart.RsdSeries(), sd / 11.5 * 100);
    EXPECT_EQ(chart.RsdSeries()->pen().style(), Qt::DotLine);
    EXPECT_TRUE(chart.DataSeries()->pointsVisible());
    // The Y axis takes every line in, the %RSD line included.
    EXPECT_LE(chart.AxisY()->min(), 10.0);
    EXPECT_GE(chart.AxisY()->max(), sd / 11.5 * 100);

    chart.Plot(QStringLiteral("t"), Samples(51, [](int i) { return static_cast<float>(i); }));
    EXPECT_TRUE(chart.DataSeries()->pointsVisible());
    chart.Plot(QStringLiteral("t"), Samples(52, [](int i) { return static_cast<float>(i); }));
    EXPECT_FALSE(chart.DataSeries()->pointsVisible());
}

TEST_F(ArchiveChartTest, ZoomStackStepsBackThroughEarlierViewsToTheEntireGraph)
{
    chart.Plot(QStringLiteral("t"), Samples(100, [](int i) { return static_cast<float>(i % 10); }));
    EXPECT_FALSE(chart.mnuUndoLastZoom()->isVisible());
    EXPECT_FALSE(chart.tbtnFullGraph()->isEnabled());

    chart.ZoomTo(10, 90, 0, 8);
    chart.ZoomTo(20, 60, 1, 7);
    chart.ZoomTo(30, 40, 2, 6);
    EXPECT_EQ(chart.ZoomInfo()->GetZoomLevel(), 2);
    EXPECT_TRUE(chart.mnuUndoLastZoom()->isVisible());
    EXPECT_TRUE(chart.mnuShowEntireGraph()->isVisible());
    EXPECT_TRUE(chart.mnuAutoScale()->isVisible());
    EXPECT_TRUE(chart.tbtnFullGraph()->isEnabled());
    EXPECT_TRUE(chart.tbtnAutoScale()->isEnabled());

    chart.mnuUndoLastZoom()->trigger();
    ExpectRange(20, 60, 1, 7);
    chart.mnuUndoLastZoom()->trigger();
    ExpectRange(10, 90, 0, 8);
    EXPECT_EQ(chart.ZoomInfo()->GetZoomLevel(), 0);
    // Undo at the first zoom: the entire graph, the stack emptied.
    chart.mnuUndoLastZoom()->trigger();
    EXPECT_EQ(chart.ZoomInfo()->GetZoomLevel(), -1);
    EXPECT_NEAR(chart.AxisX()->min(), 1, 1e-9);
    EXPECT_NEAR(chart.AxisX()->max(), 100, 1e-9);
    EXPECT_FALSE(chart.mnuUndoLastZoom()->isVisible());
    EXPECT_FALSE(chart.tbtnAutoScale()->isEnabled());

    // A drag of a rectangle zooms to it and is recorded.
    const QPoint from = At(20, 8), to = At(50, 2);
    chart.MouseDown(Qt::LeftButton, Qt::NoModifier, from);
    chart.MouseMove(to);
    chart.MouseUp(Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_EQ(chart.ZoomInfo()->GetZoomLevel(), 0);
    EXPECT_NEAR(chart.AxisX()->min(), 20, 0.5);
    EXPECT_NEAR(chart.AxisX()->max(), 50, 0.5);
    chart.tbtnFullGraph()->click();
    EXPECT_EQ(chart.ZoomInfo()->GetZoomLevel(), -1);
    EXPECT_NEAR(chart.AxisX()->max(), 100, 1e-9);
}

TEST_F(ArchiveChartTest, ZoomModeClicksZoomTwofoldInsideTheAxesAndStepBackWithTheRightButton)
{
    chart.Plot(QStringLiteral("t"), Samples(101, [](int i) { return static_cast<float>(i); }));
    chart.ZoomTo(1, 101, 0, 100);
    chart.tbtnZoomMode()->click();
    ASSERT_TRUE(chart.ZoomMode());
    chart.MouseDown(Qt::LeftButton, Qt::NoModifier, At(51, 50));
    EXPECT_EQ(chart.ZoomInfo()->GetZoomLevel(), 1);
    EXPECT_NEAR(chart.AxisX()->max() - chart.AxisX()->min(), 50, 0.5);
    EXPECT_NEAR(chart.AxisY()->max() - chart.AxisY()->min(), 50, 0.5);
    EXPECT_NEAR((chart.AxisX()->max() + chart.AxisX()->min()) / 2, 51, 0.5);

    // Outside the plotted ranges: nothing.
    chart.MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    EXPECT_EQ(chart.ZoomInfo()->GetZoomLevel(), 1);

    // Right button in zoom mode: back one zoom, and no menu.
    chart.MouseDown(Qt::RightButton, Qt::NoModifier, At(51, 50));
    chart.MouseUp(Qt::RightButton, Qt::ShiftModifier, At(51, 50));
    ExpectRange(1, 101, 0, 100);
    EXPECT_FALSE(chart.Menu()->isVisible());

    // Three or fewer visible points: a click does nothing.
    chart.ZoomTo(10, 12.5, 0, 100);
    const int level = chart.ZoomInfo()->GetZoomLevel();
    chart.MouseDown(Qt::LeftButton, Qt::NoModifier, At(11, 50));
    EXPECT_EQ(chart.ZoomInfo()->GetZoomLevel(), level);

    // Without zoom mode, Shift does the same.
    chart.tbtnZoomMode()->click();
    EXPECT_FALSE(chart.ZoomMode());
    chart.ZoomTo(1, 101, 0, 100);
    chart.MouseDown(Qt::LeftButton, Qt::ShiftModifier, At(51, 50));
    EXPECT_NEAR(chart.AxisX()->max() - chart.AxisX()->min(), 50, 0.5);
}

TEST_F(ArchiveChartTest, ARightDragScrollsWithoutOpeningTheMenuAndARightClickOpensIt)
{
    chart.Plot(QStringLiteral("t"), Samples(100, [](int i) { return static_cast<float>(i); }));
    chart.ZoomTo(20, 40, 20, 40);
    const QPoint p = At(30, 30);
    chart.MouseDown(Qt::RightButton, Qt::NoModifier, p);
    chart.MouseMove(p + QPoint(60, 0));
    chart.MouseUp(Qt::RightButton, Qt::NoModifier, p + QPoint(60, 0));
    EXPECT_LT(chart.AxisX()->min(), 20);
    EXPECT_FALSE(chart.Menu()->isVisible());
    // The line follows the scroll: the samples now in view are drawn.
    EXPECT_LE(chart.DataSeries()->at(0).x(), chart.AxisX()->min());

    chart.MouseDown(Qt::RightButton, Qt::NoModifier, p);
    chart.MouseUp(Qt::RightButton, Qt::NoModifier, p);
    EXPECT_TRUE(chart.Menu()->isVisible());
    chart.Menu()->hide();
}

TEST_F(ArchiveChartTest, AutoScaleFitsTheVisiblePointsAndManualScaleTakesTheDialogsNumbers)
{
    chart.Plot(QStringLiteral("t"), Samples(200, [](int i) { return i < 100 ? 0.0f : static_cast<float>(i); }));
    chart.ZoomTo(110, 150, -1000, 1000);
    chart.tbtnAutoScale()->click();
    EXPECT_EQ(chart.ZoomInfo()->GetZoomLevel(), 1);
    // Seq 110..150 hold 109..149; widened by 6 % of 40 on each side.
    ExpectRange(110, 150, 109 - 2.4, 149 + 2.4);

    // One visible point: nothing.
    chart.ZoomTo(120.5, 121.5, 0, 10);
    chart.AutoScaleVisible();
    EXPECT_EQ(chart.ZoomInfo()->GetZoomLevel(), 2);

    TfrmScaleDlg::SetAnswer([](TfrmScaleDlg& dlg) {
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Set Scale for Y-axis"));
        dlg.ledMinY()->setText(QStringLiteral("-5.5"));
        dlg.ledMaxY()->setText(QStringLiteral("12"));
        return int(QDialog::Accepted);
    });
    chart.mnuManual()->trigger();
    EXPECT_FALSE(chart.LeftAxisAutomatic());
    EXPECT_DOUBLE_EQ(chart.AxisY()->min(), -5.5);
    EXPECT_DOUBLE_EQ(chart.AxisY()->max(), 12);

    // A text that is not a number: said so, and the axis keeps what it had.
    TfrmScaleDlg::SetAnswer([](TfrmScaleDlg& dlg) {
        dlg.ledMinY()->setText(QStringLiteral("1"));
        dlg.ledMaxY()->setText(QStringLiteral("abc"));
        return int(QDialog::Accepted);
    });
    chart.mnuManual()->trigger();
    EXPECT_TRUE(prompter.Saw(QStringLiteral("'abc' is not a valid floating point value")));
    EXPECT_DOUBLE_EQ(chart.AxisY()->min(), -5.5);
    EXPECT_DOUBLE_EQ(chart.AxisY()->max(), 12);

    chart.mnuScaletoData()->trigger();
    EXPECT_TRUE(chart.LeftAxisAutomatic());
    EXPECT_DOUBLE_EQ(chart.AxisY()->max(), 199);
}

TEST_F(ArchiveChartTest, PrintsToPdfInTheChosenOrientationAndCopiesAPicture)
{
    chart.Plot(QStringLiteral("Archive: On Run - Column: H2S"), Samples(300, [](int i) { return std::sin(i / 20.0f); }));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("chart.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageOrientation(QPageLayout::Portrait);
    chart.mnuPrintLandscape()->trigger();
    chart.mnuPrintKeepScreenProportion()->trigger();
    ASSERT_TRUE(chart.PrintTo(printer));
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);   // restored
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GT(bytes.size(), 2000);
    // The page was landscape: its media box is wider than high.
    const int box = bytes.indexOf("/MediaBox");
    ASSERT_GE(box, 0);
    const QList<QByteArray> numbers =
        bytes.mid(box, 80).split('[').value(1).split(']').value(0).simplified().split(' ');
    ASSERT_EQ(numbers.size(), 4);
    EXPECT_GT(numbers[2].toDouble(), numbers[3].toDouble());

    chart.mnuCopytoClipboard()->trigger();
    const QImage image = QApplication::clipboard()->image();
    EXPECT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), chart.view()->width());
}

TEST_F(ArchiveChartTest, ChosenColoursAreAppliedAndWrittenToTheSettings)
{
    QSettings ini(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Sentrel"));
    ini.remove(QStringLiteral("ArchiveChart"));
    ini.sync();
    const auto value = [&ini](const char* name) {
        ini.sync();
        return ini.value(QStringLiteral("ArchiveChart/") + QLatin1String(name));
    };

    chart.mnuSetDataTraceColor()->trigger();   // cancelled
    EXPECT_EQ(prompter.colorDialogs, 1);
    EXPECT_FALSE(value("TraceColorData").isValid());
    EXPECT_EQ(chart.DataColor(), QColor(255, 0, 0));

    prompter.colors = {QColor(0, 128, 255), QColor(10, 20, 30), QColor(200, 200, 200)};
    chart.mnuSetDataTraceColor()->trigger();
    chart.mnuSetStatsTraceColor()->trigger();
    chart.mnuSetBackgroundColor()->trigger();
    EXPECT_EQ(chart.DataColor(), QColor(0, 128, 255));
    EXPECT_EQ(chart.StatsColor(), QColor(10, 20, 30));
    EXPECT_EQ(chart.RsdSeries()->pen().color(), QColor(10, 20, 30));
    EXPECT_EQ(chart.chart()->backgroundBrush().color(), QColor(200, 200, 200));
    EXPECT_EQ(value("TraceColorData").toInt(), 0xFF8000);
    EXPECT_EQ(value("TraceColorStats").toInt(), 0x1E140A);
    EXPECT_EQ(value("BackgroundColor").toInt(), 0xC8C8C8);

    chart.mnuResetDefaults()->trigger();
    EXPECT_EQ(chart.DataColor(), QColor(255, 0, 0));
    EXPECT_EQ(chart.StatsColor(), QColor(0, 0, 255));
    EXPECT_NE(chart.chart()->backgroundBrush().color(), QColor(200, 200, 200));
    EXPECT_EQ(value("TraceColorData").toInt(), 255);
    EXPECT_EQ(value("TraceColorStats").toInt(), 0xFF0000);
    EXPECT_EQ(value("BackgroundColor").toInt(), 0x20000000);
}

TEST_F(ArchiveChartTest, HalfAMillionSamplesAreDrawnReducedAndRedrawnAtEachZoom)
{
    chart.Plot(QStringLiteral("t"), Samples(500000, [](int i) { return static_cast<float>((i * 7919LL) % 1000); }));
    const int columns = static_cast<int>(chart.chart()->plotArea().width());
    ASSERT_GT(columns, 100);
    EXPECT_LE(chart.DataSeries()->count(), 4 * columns + 2);
    EXPECT_EQ(chart.Statistics().count, 500000u);

    chart.ZoomTo(1000, 1100, 0, 1000);
    // 101 samples in view and one on each side, every one of them drawn.
    ASSERT_EQ(chart.DataSeries()->count(), 103);
    EXPECT_EQ(chart.DataSeries()->at(0).x(), 999);
    EXPECT_EQ(chart.DataSeries()->at(102).x(), 1101);
    // The statistics stay those of the whole block.
    EXPECT_EQ(chart.Statistics().count, 500000u);
}

TEST_F(ArchiveChartTest, PrintWithoutAPrinterSaysSoAndPrintsNothing)
{
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "this machine has a printer; nothing is sent to it";
    chart.Plot(QStringLiteral("t"), Samples(10, [](int i) { return static_cast<float>(i); }));
    chart.mnuPrintChart()->trigger();
    EXPECT_TRUE(prompter.Saw(QStringLiteral("The chart was not printed: no printer is set up.")));
}
