// The archive page's Graph tab: a selected block of a column charted with its statistics,
// rows that hold no number left out, and the chart's buttons in the page's tool bar.
#include "tests/pages/kit/archive_viewer_fixture.h"
#include "tevrin/pages/analysis/archive_chart.h"
#include "tevrin/pages/analysis/fra_archive_viewer.h"

#include <QComboBox>
#include <QLineSeries>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cmath>

using archivetest::ArchiveViewerFixture;

namespace {

class ArchiveGraphTest : public ::testing::Test, public ArchiveViewerFixture {
protected:
    void SetUp() override
    {
        OpenViewer();
        Fill();
        page->UpdateLogView();
    }
    void Select(int column, int top, int bottom)
    {
        grid->SelectRange(column, top, column, bottom);
        grid->selectionModel()->setCurrentIndex(grid->model()->index(top, column), QItemSelectionModel::NoUpdate);
    }
};

}  // namespace

TEST_F(ArchiveGraphTest, ASelectedBlockIsChartedWithItsStatisticsOnTheGraphTab)
{
    // On Run: five 8-bit samples 222, 7, 8, 9, 10 with Seq 1..5.
    Select(3, 0, 4);
    ASSERT_TRUE(page->btnGraphSelCol()->isEnabled());
    page->btnGraphSelCol()->click();
    TArchiveChart* chart = page->chartArchive();
    EXPECT_EQ(page->pcViewer()->currentWidget()->objectName(), "tsGraph");
    EXPECT_FALSE(page->btnGraphSelCol()->isVisible());
    EXPECT_FALSE(page->btnGraphSelCol()->isEnabled());
    EXPECT_TRUE(chart->tbtnZoomMode()->isVisible());
    EXPECT_EQ(chart->tbtnZoomMode(), page->findChild<QToolButton*>("tbtnZoomMode"));
    EXPECT_EQ(chart->Title(), "Archive: On Run - Column: " + grid->ColumnHeader(3));

    const double values[] = {222, 7, 8, 9, 10};
    double mean = 0;
    for (double v : values) mean += v / 5;
    double squares = 0;
    for (double v : values) squares += (v - mean) * (v - mean);
    const double sd = std::sqrt(squares / 4);
    EXPECT_EQ(chart->Statistics().count, 5u);
    EXPECT_NEAR(chart->Statistics().mean, mean, 1e-9);
    EXPECT_NEAR(chart->Statistics().sd, sd, 1e-9);
    ASSERT_EQ(chart->Samples().size(), 5u);
    EXPECT_EQ(chart->Samples().x.front(), 1);
    EXPECT_EQ(chart->Samples().x.back(), 5);
    EXPECT_TRUE(chart->DataSeries()->pointsVisible());
}

TEST_F(ArchiveGraphTest, CellsThatHoldNoNumberAreLeftOutOfTheLineAndTheStatistics)
{
    // Hourly: 1.5, NAN, -0.125.
    page->cbArchive()->setCurrentIndex(1);
    emit page->cbArchive()->activated(1);
    Select(3, 0, 2);
    page->btnGraphSelCol()->click();
    const TArchiveChart* chart = page->chartArchive();
    ASSERT_EQ(chart->Statistics().count, 2u);
    EXPECT_NEAR(chart->Statistics().mean, (1.5 - 0.125) / 2, 1e-9);
    EXPECT_NEAR(chart->Statistics().sd, 1.625 / std::sqrt(2.0), 1e-7);
    EXPECT_EQ(chart->Samples().x[1], 3);

    // A fixed column is no value column: said so, nothing charted.
    page->pcViewer()->setCurrentIndex(0);
    Select(0, 0, 2);
    page->btnGraphSelCol()->click();
    EXPECT_TRUE(prompter.Saw("Select two or more rows of a value column to graph."));
    EXPECT_EQ(page->chartArchive()->Statistics().count, 2u);
}
