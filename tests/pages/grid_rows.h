#pragma once
// What a column grid shows, in the order shown (filters and sorting applied).
#include "tevrin/pages/widgets/adv_column_grid.h"

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

}  // namespace gridtest
