// The "CSV File Configuration" dialog shows every name it offers whole, without scrolling sideways.
#include "tests/pages/kit/grid_rows.h"
#include "tevrin/pages/analysis/csv_config_dlg.h"

#include <QApplication>
#include <QScrollBar>
#include <gtest/gtest.h>

TEST(CsvConfigDialogTest, TheLongestNameShowsWholeAndShortNamesKeepTheColumnsAsTheyStart)
{
    const struct {
        const char* name;
        std::vector<CsvColumnItem> items;
        bool wider;   // the name column grows past its starting width
    } cases[] = {
        {"short names", {{"Purge Time", 0, 0, true}, {"Stream (Stream)", 0, 1, false}}, false},
        {"the longest loggable name",
         {{"Purge Time", 0, 0, true}, {"Run Type (0=Sample 1=TS 2=R1 3=R2 4=Z 5=C)", 1, 0, true}}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TfmCSVConfig dialog;
        dialog.Items = c.items;
        dialog.FormShow();
        dialog.show();
        QApplication::processEvents();
        const QAdvColumnGrid& grid = *dialog.AdvColGridCSVConfig();
        EXPECT_EQ(gridtest::CutTexts(grid).join(" | ").toStdString(), "");
        EXPECT_FALSE(grid.horizontalScrollBar()->isVisible());
        EXPECT_EQ(grid.columnWidth(0) > 220, c.wider) << grid.columnWidth(0);
        EXPECT_EQ(grid.columnWidth(1), 180);
    }
}
