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
constexpr int kLogEntryRawBytes = 28;   // seven values of at most four bytes

// One archived sample, held compactly: the values of its own log position as the frame
// carried them (their texts are made when asked for, LogDBManager::ValueText). A sample read
// from an archive file holds its values the same way, as numbers whose text is the file's;
// a value that is no such number is held as the index of a text kept by the archive database.
struct LogEntry {
    enum : uint8_t { FromFrame = 0, FromFile = 1 };
    // Value kinds, four bits per value: the width code of LogValueWidthCode, plus
    // kLogKindPlusOne for the points shown counted from 1, or kLogKindText (with the u32
    // width) for a text index.
    static constexpr uint32_t kLogKindPlusOne = 4;
    static constexpr uint32_t kLogKindText = 8;

    double Time = 0.0;        // TDateTime of the sample
    uint32_t Token = 0;       // the frame's raw time token; the sort key
    int8_t LogPosition = 0;   // 0 to 5
    uint8_t ValueCount = 0;   // values held, at most 7
    uint8_t Source = FromFrame;
    uint8_t Spare = 0;
    uint32_t Kinds = 0;
    uint8_t Raw[kLogEntryRawBytes] = {};

    uint32_t Kind(int j) const { return (Kinds >> (4 * j)) & 0xFu; }
};
static_assert(sizeof(LogEntry) == 48, "an archived sample takes 48 bytes");

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
// The width code of a catalogue type code: 0 float, 1 u32, 2 u16, 3 u8 (every other code).
uint32_t LogValueWidthCode(int typeCode);
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
