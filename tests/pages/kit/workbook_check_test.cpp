// The look into a finished workbook before it replaces the old file: a sheet that ends as a
// sheet ends is still refused when it holds another number of rows than were written.
#include "tevrin/pages/widgets/adv_column_grid.h"
#include "tevrin/pages/widgets/workbook_check.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(WorkbookCheckTest, ASheetIsWholeOnlyWithEveryRowItWasGiven)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.xlsx");
    QAdvColumnGrid grid;
    grid.SetColCount(2);
    grid.SetColumnHeader(0, "Seq");
    grid.SetColumnHeader(1, "Name");
    grid.SetAllTexts({{"1", "On Run"}, {"2", "Hourly"}, {"3", "Daily"}});
    ASSERT_TRUE(grid.SaveToXLSX(path));   // the header row and three rows, complete

    const struct {
        long long rows;
        const char* why;   // empty: whole
    } cases[] = {
        {4, ""},
        {5, "the workbook is not whole (its sheet holds 4 of 5 rows)"},
        {1000000, "the workbook is not whole (its sheet holds 4 of 1000000 rows)"},
        {3, "the workbook is not whole (its sheet holds 4 of 3 rows)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows);
        QString why;
        EXPECT_EQ(workbook_check::SheetHoldsRows(path, "xl/worksheets/sheet1.xml", c.rows, why), !*c.why);
        EXPECT_EQ(why.toStdString(), c.why);
    }
    QString why;
    EXPECT_FALSE(workbook_check::SheetHoldsRows(path, "xl/worksheets/sheet2.xml", 0, why));
    EXPECT_EQ(why.toStdString(), "the workbook is not whole (no sheet)");
}
