#pragma once
// One archived sample of a log, and the readers that turn an archive frame's bytes into it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Value texts per entry: value j (0 to 6) of log position i (0 to 5) is text i*8+j.
constexpr int kLogEntryTexts = 47;
constexpr int kLogValuesPerLog = 7;
constexpr int kLogTextStride = 8;

struct LogEntry {
    double Time = 0.0;        // TDateTime of the sample
    uint32_t Token = 0;       // the frame's raw time token; the sort key
    int32_t LogPosition = 0;  // 0 to 5
    std::array<std::string, kLogEntryTexts> Values;
};

// Bytes to text for one archived value; picked by the point's catalogue type code.
class LogValueFormatter {
public:
    virtual ~LogValueFormatter() = default;
    // Bytes needed by the value.
    virtual size_t Width() const = 0;
    // bytes holds at least Width() bytes, little-endian.
    virtual std::string ToText(const uint8_t* bytes) const = 0;
};

class FloatValueFormatter : public LogValueFormatter {
public:
    size_t Width() const override { return 4; }
    std::string ToText(const uint8_t* bytes) const override;
};
class UInt32ValueFormatter : public LogValueFormatter {
public:
    size_t Width() const override { return 4; }
    std::string ToText(const uint8_t* bytes) const override;
};
class UInt16ValueFormatter : public LogValueFormatter {
public:
    size_t Width() const override { return 2; }
    std::string ToText(const uint8_t* bytes) const override;
};
class UInt8ValueFormatter : public LogValueFormatter {
public:
    size_t Width() const override { return 1; }
    std::string ToText(const uint8_t* bytes) const override;
};

// The formatter of a type code: 0 float, 1 u32, 2 u16, every other code u8. Never null.
const LogValueFormatter& LogValueFormatterFor(int typeCode);
// Bytes a value of the type code takes in a frame.
size_t LogValueWidth(int typeCode);
// The text of one value; bytes holds at least LogValueWidth(typeCode) bytes.
std::string LogValueToText(int typeCode, const uint8_t* bytes);
// The value as a number (for the points shown counted from 1).
double LogValueToNumber(int typeCode, const uint8_t* bytes);

// CRC-16: start 0xFFFF, reflected polynomial 0xA001, no final exclusive-or.
uint16_t CalcCRC16(const uint8_t* bytes, size_t count);

// Four bytes as a little-endian u32.
uint32_t ReadToken(const uint8_t* bytes);
// The same token as a TDateTime, through the given converter (0 when there is none).
double ReadTokenTime(const uint8_t* bytes, double (*tokenToDate)(uint32_t));
