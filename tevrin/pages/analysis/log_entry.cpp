#include "tevrin/pages/analysis/log_entry.h"

#include "platform/numtext.h"

#include <cstring>

namespace {

uint32_t U32(const uint8_t* b)
{
    return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
           (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

float F32(const uint8_t* b)
{
    const uint32_t bits = U32(b);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

}  // namespace

std::string FloatValueFormatter::ToText(const uint8_t* bytes) const
{
    return numtext::FloatToStr(static_cast<double>(F32(bytes)));
}

std::string UInt32ValueFormatter::ToText(const uint8_t* bytes) const
{
    return numtext::FloatToStr(static_cast<double>(U32(bytes)));
}

std::string UInt16ValueFormatter::ToText(const uint8_t* bytes) const
{
    return numtext::FloatToStr(static_cast<double>(bytes[0] | (bytes[1] << 8)));
}

std::string UInt8ValueFormatter::ToText(const uint8_t* bytes) const
{
    return std::to_string(static_cast<unsigned>(bytes[0]));
}

const LogValueFormatter& LogValueFormatterFor(int typeCode)
{
    static const FloatValueFormatter f;
    static const UInt32ValueFormatter u32;
    static const UInt16ValueFormatter u16;
    static const UInt8ValueFormatter u8;
    switch (typeCode) {
    case 0: return f;
    case 1: return u32;
    case 2: return u16;
    default: return u8;
    }
}

size_t LogValueWidth(int typeCode) { return LogValueFormatterFor(typeCode).Width(); }

uint32_t LogValueWidthCode(int typeCode) { return typeCode >= 0 && typeCode <= 2 ? static_cast<uint32_t>(typeCode) : 3u; }

std::string LogValueToText(int typeCode, const uint8_t* bytes)
{
    return LogValueFormatterFor(typeCode).ToText(bytes);
}

double LogValueToNumber(int typeCode, const uint8_t* bytes)
{
    switch (typeCode) {
    case 0: return static_cast<double>(F32(bytes));
    case 1: return static_cast<double>(U32(bytes));
    case 2: return static_cast<double>(bytes[0] | (bytes[1] << 8));
    default: return static_cast<double>(bytes[0]);
    }
}

namespace {

// The bitwise CRC of every byte value, and of every byte value followed by 1..7 zero
// bytes, so that a frame costs one step per eight bytes.
struct CrcTables {
    uint16_t t[8][256];
    CrcTables()
    {
        for (int v = 0; v < 256; ++v) {
            uint16_t crc = static_cast<uint16_t>(v);
            for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
            t[0][v] = crc;
        }
        for (int k = 1; k < 8; ++k)
            for (int v = 0; v < 256; ++v) t[k][v] = static_cast<uint16_t>((t[k - 1][v] >> 8) ^ t[0][t[k - 1][v] & 0xFF]);
    }
};
const CrcTables kCrc;

}  // namespace

uint16_t CalcCRC16(const uint8_t* bytes, size_t count)
{
    uint32_t crc = 0xFFFF;
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        // The register folds into the first two bytes; each byte then runs through the zero
        // bytes that follow it in the block.
        const uint32_t lo = (static_cast<uint32_t>(bytes[i]) | (static_cast<uint32_t>(bytes[i + 1]) << 8)) ^ crc;
        crc = kCrc.t[7][lo & 0xFF] ^ kCrc.t[6][lo >> 8] ^ kCrc.t[5][bytes[i + 2]] ^ kCrc.t[4][bytes[i + 3]] ^
              kCrc.t[3][bytes[i + 4]] ^ kCrc.t[2][bytes[i + 5]] ^ kCrc.t[1][bytes[i + 6]] ^ kCrc.t[0][bytes[i + 7]];
    }
    for (; i < count; ++i) crc = (crc >> 8) ^ kCrc.t[0][(crc ^ bytes[i]) & 0xFF];
    return static_cast<uint16_t>(crc);
}

uint32_t ReadToken(const uint8_t* bytes) { return U32(bytes); }

double ReadTokenTime(const uint8_t* bytes, double (*tokenToDate)(uint32_t))
{
    return tokenToDate ? tokenToDate(U32(bytes)) : 0.0;
}
