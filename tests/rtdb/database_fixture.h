#pragma once
// A real-time database wired to the simulated analyzer through the engine seam, with a fake
// prompter and a fixed trace clock. The database is destroyed before the engine goes.
#include "tests/common/fake_prompter.h"
#include "tests/engine/sim_engine.h"
#include "tests/sim/core/analyzer_core.h"
#include "tevrin/rtdb/analog_output_collection.h"
#include "tevrin/rtdb/catalogue/catalogue_rows.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/rtdb/write_trace.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace dbtest {

// 7 March 2026, 9:05:12.073 local time.
inline QDateTime TraceTime() { return QDateTime(QDate(2026, 3, 7), QTime(9, 5, 12, 73)); }

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        write_trace::SetTimeSource(TraceTime);
        QFile::remove(write_trace::TraceFilePath());
        db = DataBase::Instance();
    }
    void TearDown() override
    {
        DataBase::DestroyInstance();
        AnalogOutputCollection::DestroyInstance();
        write_trace::SetTimeSource(nullptr);
    }

    // Connects and forgets the requests the logon made.
    void Connect()
    {
        db->Connect();
        unit.ClearLog();
        prompter.prompts.clear();
    }

    // A point's DbId by its row, and the row by DbId, in the built-in catalogue.
    static int RowOf(int dbId) { return sim::AnalyzerCore::RowOfDbId(dbId); }

    std::string Text(TDbId id) { return db->GetPointText(id); }
    DatabasePoint* P(TDbId id) { return db->PointByDbId(id); }

    QByteArray TraceFile() const
    {
        QFile f(write_trace::TraceFilePath());
        if (!f.open(QIODevice::ReadOnly)) return QByteArray();
        return f.readAll();
    }

    sim::AnalyzerCore unit;
    rtdbtest::SimEngine engine{&unit};
    FakePrompter prompter;
    DataBase* db = nullptr;
};

// The rows of a block-read request message [len][50][count][rows...].
inline std::vector<int> BlockRows(const QByteArray& request)
{
    std::vector<int> rows;
    const int count = static_cast<uint8_t>(request.at(2));
    for (int k = 0; k < count; ++k) {
        uint16_t row;
        std::memcpy(&row, request.constData() + 3 + 2 * k, 2);
        rows.push_back(row);
    }
    return rows;
}

// The address of a point request message [len][type][u16 address]...
inline int RequestAddress(const QByteArray& request)
{
    uint16_t a;
    std::memcpy(&a, request.constData() + 2, 2);
    return a;
}

inline int Width(int row) { return rosetta::ValueWidthOfType(rosetta::kCatalogueRows[row].typeCode); }

}  // namespace dbtest
