#pragma once
// A choice among the six log configuration records, and its text as the argument of the write
// that sends only those: the record numbers as digits ("024"). An empty text names all six, so
// that a write posted without an argument sends every record.
#include "tevrin/rtdb/analyzer_records.h"

#include <array>
#include <string>

using LogRecordSet = std::array<bool, kLogCount>;

inline LogRecordSet EveryLogRecord()
{
    LogRecordSet all;
    all.fill(true);
    return all;
}

inline std::string LogRecordSetText(const LogRecordSet& records)
{
    if (records == EveryLogRecord()) return std::string();
    std::string text;
    for (int k = 0; k < kLogCount; ++k)
        if (records[static_cast<size_t>(k)]) text += static_cast<char>('0' + k);
    return text;
}

// The records a text names; characters that name no record are passed over.
inline LogRecordSet LogRecordSetOf(const std::string& text)
{
    if (text.empty()) return EveryLogRecord();
    LogRecordSet records{};
    for (char c : text)
        if (c >= '0' && c < '0' + kLogCount) records[static_cast<size_t>(c - '0')] = true;
    return records;
}
