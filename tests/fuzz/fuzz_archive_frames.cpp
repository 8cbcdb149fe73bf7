// The archive memory's frame reader and the archive database it files samples in: the input
// is archive memory as the unit sends it; the logs name points of every value type.
#include "tests/fuzz/fuzz_support.h"
#include "tests/pages/kit/log_records.h"

#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/rtdb/database.h"

using logtest::Log;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    DataBase* db = DataBase::Instance();
    // Points by type: 395 float, 500 u32, 10 u16, 410 and 392/393 u8, 60000 unknown.
    db->LogRecord(0) = Log(1, {410});
    db->LogRecord(1) = Log(2, {395, 500, 10, 392});
    db->LogRecord(2) = Log(3, {60000, 393});
    db->LogRecord(3) = Log(4, {500, 500, 500, 500, 500, 500, 500});
    db->LogRecord(4) = Log(5, {});
    db->LogRecord(5) = Log(222, {10});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LogDBManager* m = LogDBManager::Instance();
    m->Clear();
    for (size_t i = 0; i < size; ++i) m->FeedByte(data[i]);
    m->BuildLogLists();
    int listed = 0;
    for (int position = 0; position < LogDBManager::kLogs; ++position) {
        listed += static_cast<int>(m->LogList(position).size());
        for (int index = 0; index < 8; ++index)
            for (int k = 0; k < m->EntryCount() && k < 4; ++k) m->CellText(position, index, k);
    }
    fuzz::Require(listed <= m->EntryCount(), "log lists hold more than the entries");
    return 0;
}
