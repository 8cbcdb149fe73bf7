#pragma once
// Event-log memories for the event tests: records as the analyzer stores them (framed, with
// stuffing) and as the event-log window reads them (plain 9-byte records).
#include "tevrin/pages/analysis/log_entry.h"

#include <cstdint>
#include <vector>

namespace eventtest {

// Time token (little-endian), type, detail and value: the seven bytes the CRC covers.
inline std::vector<uint8_t> Seven(uint32_t token, uint8_t type, uint8_t detail, uint8_t value)
{
    return {static_cast<uint8_t>(token), static_cast<uint8_t>(token >> 8), static_cast<uint8_t>(token >> 16),
            static_cast<uint8_t>(token >> 24), type, detail, value};
}

// A framed record: start byte, the seven bytes and the CRC, every 0xDE after the start byte
// stuffed.
inline void AppendFramed(std::vector<uint8_t>& memory, uint32_t token, uint8_t type, uint8_t detail, uint8_t value)
{
    std::vector<uint8_t> body = Seven(token, type, detail, value);
    const uint16_t crc = CalcCRC16(body.data(), body.size());
    body.push_back(static_cast<uint8_t>(crc & 0xFF));
    body.push_back(static_cast<uint8_t>(crc >> 8));
    memory.push_back(0xDE);
    for (uint8_t b : body) {
        memory.push_back(b);
        if (b == 0xDE) memory.push_back(0xAD);
    }
}

// A plain record: the seven bytes and their CRC (spoilt when good is false).
inline void AppendPlain(std::vector<uint8_t>& buffer, uint32_t token, uint8_t type, uint8_t detail, uint8_t value,
                        bool good = true)
{
    const std::vector<uint8_t> seven = Seven(token, type, detail, value);
    uint16_t crc = CalcCRC16(seven.data(), seven.size());
    if (!good) crc ^= 0x8000;
    buffer.insert(buffer.end(), seven.begin(), seven.end());
    buffer.push_back(static_cast<uint8_t>(crc & 0xFF));
    buffer.push_back(static_cast<uint8_t>(crc >> 8));
}

// 0xDE 0xAD pairs in a memory.
inline int StuffedPairs(const std::vector<uint8_t>& memory)
{
    int pairs = 0;
    for (size_t i = 0; i + 1 < memory.size(); ++i)
        if (memory[i] == 0xDE && memory[i + 1] == 0xAD) ++pairs;
    return pairs;
}

}  // namespace eventtest
