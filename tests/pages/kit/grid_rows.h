#pragma once
// The column grid in tests: what it shows, in the order shown (filters and sorting applied),
// and the answer its date filter's dialog gets.
#include "tevrin/pages/widgets/adv_column_grid.h"
#include "tevrin/pages/widgets/date_range_dlg.h"

#include <QDate>
#include <QDateEdit>
#include <QDialog>
#include <QStringList>

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
