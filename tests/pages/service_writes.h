#pragma once
// What the simulated analyzer was asked to write, for the service page tests: the point rows
// of its single-point writes (numbers and texts) in arrival order, and the same for a list of
// DbIds to compare with.
#include "tests/sim/core/analyzer_core.h"

#include <QByteArray>

#include <cstdint>
#include <cstring>
#include <vector>

namespace pagetest {

// Rows of the point writes (message types 4 and 6) in the order the unit got them.
inline std::vector<int> WrittenRows(const sim::AnalyzerCore& unit)
{
    std::vector<int> rows;
    for (const QByteArray& r : unit.Requests()) {
        if (r.size() < 4 || (r[1] != 4 && r[1] != 6)) continue;
        uint16_t row = 0;
        std::memcpy(&row, r.constData() + 2, 2);
        rows.push_back(row);
    }
    return rows;
}

inline std::vector<int> RowsOf(const std::vector<int>& dbIds)
{
    std::vector<int> rows;
    for (int id : dbIds) rows.push_back(sim::AnalyzerCore::RowOfDbId(id));
    return rows;
}

}  // namespace pagetest
