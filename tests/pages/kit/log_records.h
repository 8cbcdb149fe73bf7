#pragma once
// Log configuration records for the archive and log tests.
#include "tevrin/rtdb/analyzer_records.h"
#include "tevrin/rtdb/database.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace logtest {

// An enabled log with this id code that records these points in the places after the first
// (the first place, the time point, is left to the caller).
inline LogConfigRecord Log(uint8_t id, const std::vector<uint16_t>& points)
{
    LogConfigRecord r{};
    r.Enable = 1;
    r.LogIdCode = id;
    r.ParametersInLog = static_cast<uint8_t>(points.size() + 1);
    int k = 1;
    for (uint16_t p : points) r.UniqueId[k++] = p;
    return r;
}
inline LogConfigRecord Log(uint8_t id, std::initializer_list<uint16_t> points)
{
    return Log(id, std::vector<uint16_t>(points));
}

// Keeps a database's log records as they are and puts them back when it goes.
class KeptLogRecords {
public:
    explicit KeptLogRecords(DataBase* db) : db_(db) { std::memcpy(saved_, db_->LogRecords(), sizeof saved_); }
    ~KeptLogRecords() { std::memcpy(db_->LogRecords(), saved_, sizeof saved_); }
    KeptLogRecords(const KeptLogRecords&) = delete;
    KeptLogRecords& operator=(const KeptLogRecords&) = delete;

private:
    DataBase* db_;
    LogConfigRecord saved_[kLogCount];
};

}  // namespace logtest
