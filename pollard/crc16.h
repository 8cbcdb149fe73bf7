#pragma once
// The CRC-16 that guards every frame on the wire: reflected polynomial 0xA001, start value
// 0xFFFF, no final exclusive-or, appended low byte first.
#include <cstddef>
#include <cstdint>

namespace pollard {

uint16_t CalcCRC(const uint8_t* bytes, size_t length);

// Writes the CRC of the first length bytes behind them (low byte, high byte) and returns
// length + 2. The buffer must hold length + 2 bytes.
size_t AppendCRC(uint8_t* frame, size_t length);

// length - 2 when the last two bytes (low, high) equal the CRC of the bytes before them,
// -1 when they differ. A length of 3 or less is returned unchanged without a check.
int CheckCRC(const uint8_t* frame, int length);

}  // namespace pollard
