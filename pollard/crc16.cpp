#include "pollard/crc16.h"

namespace pollard {

uint16_t CalcCRC(const uint8_t* bytes, size_t length)
{
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < length; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            const bool carry = (crc & 1u) != 0;
            crc >>= 1;
            if (carry) crc ^= 0xA001;
        }
    }
    return crc;
}

size_t AppendCRC(uint8_t* frame, size_t length)
{
    const uint16_t crc = CalcCRC(frame, length);
    frame[length] = static_cast<uint8_t>(crc & 0xFF);
    frame[length + 1] = static_cast<uint8_t>(crc >> 8);
    return length + 2;
}

int CheckCRC(const uint8_t* frame, int length)
{
    if (length <= 3) return length;
    const uint16_t crc = CalcCRC(frame, static_cast<size_t>(length - 2));
    const uint16_t got = static_cast<uint16_t>(frame[length - 2] | (frame[length - 1] << 8));
    return crc == got ? length - 2 : -1;
}

}  // namespace pollard
