#pragma once
// Log configuration records for the archive and log tests.
#include "tevrin/rtdb/analyzer_records.h"

#include <cstdint>
#include <initializer_list>

namespace logtest {

// An enabled log with this id code that records these points in the places after the first
// (the first place, the time point, is left to the caller).
inline LogConfigRecord Log(uint8_t id, std::initializer_list<uint16_t> points)
{
    LogConfigRecord r{};
    r.Enable = 1;
    r.LogIdCode = id;
    r.ParametersInLog = static_cast<uint8_t>(points.size() + 1);
    int k = 1;
    for (uint16_t p : points) r.UniqueId[k++] = p;
    return r;
}

}  // namespace logtest
