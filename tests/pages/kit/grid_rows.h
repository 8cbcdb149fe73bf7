#pragma once
// The column grid in tests: what it shows, in the order shown (filters and sorting applied),
// and the answer its date filter's dialog gets.
#include "tevrin/pages/widgets/adv_column_grid.h"
#include "tevrin/pages/widgets/date_range_dlg.h"

#include <QDate>
#include <QDateEdit>
#include <QDialog>
#include <QHeaderView>
#include <QStringList>
#include <QStyle>

#include <vector>

namespace gridtest {

// One column's texts, row by row.
inline QStringList ShownColumn(const QAdvColumnGrid& grid, int column)
{
    QStringList out;
    for (int v = 0; v < grid.ShownRowCount(); ++v) out << grid.Cells(column, grid.ShownRow(v));
    return out;
}

// Every row's texts, column by column.
inline std::vector<QStringList> ShownRows(const QAdvColumnGrid& grid)
{
    std::vector<QStringList> rows;
    for (int v = 0; v < grid.ShownRowCount(); ++v) {
        QStringList row;
        for (int c = 0; c < grid.ColCount(); ++c) row << grid.Cells(c, grid.ShownRow(v));
        rows.push_back(row);
    }
    return rows;
}

// The texts that do not show whole in their column, as "column: text": a cell's text inside
// the style's margins, a header's text centred and clear of the drop-down button at the
// right of a column with a filter list.
inline QStringList CutTexts(const QAdvColumnGrid& grid)
{
    const QFontMetrics cellFont(grid.font());
    const QFontMetrics headFont(grid.horizontalHeader()->font());
    const int headerMargin = grid.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grid.horizontalHeader());
    const int cellMargin = grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
    constexpr int kDropDownWidth = 14;
    QStringList cut;
    for (int c = 0; c < grid.ColCount(); ++c) {
        if (grid.IsHiddenColumn(c)) continue;
        const int width = grid.columnWidth(c);
        const QString header = grid.ColumnHeader(c);
        const int button = grid.FilterDropDown() && !grid.Model()->Column(c).filters.empty() ? kDropDownWidth : 0;
        if (headFont.horizontalAdvance(header) + 2 * headerMargin + 2 * button > width)
            cut << QStringLiteral("%1: %2").arg(c).arg(header);
        for (const QString& text : ShownColumn(grid, c))
            if (cellFont.horizontalAdvance(text) + 2 * cellMargin > width) cut << QStringLiteral("%1: %2").arg(c).arg(text);
    }
    return cut;
}

// The date range dialog is answered with these two dates and OK from now on.
inline void AnswerDateRange(const QDate& first, const QDate& second)
{
    TfrmDateRangeDlg::SetAnswer([first, second](TfrmDateRangeDlg& d) {
        d.DateTime1()->setDate(first);
        d.DateTime2()->setDate(second);
        return int(QDialog::Accepted);
    });
}

}  // namespace gridtest
