#pragma once
// The analyzer's event log: its records, their texts and the reader of the event-log memory.
//
// A record in the memory is
//   0xDE, u32 time token (little-endian), event type, detail code, value code, CRC low, CRC high
// with the CRC over the seven bytes after the start byte. Inside a record a data byte 0xDE
// travels as 0xDE 0xAD; 0xDE followed by any other byte abandons the record. The event-log
// window reads another form: plain 9-byte records (the seven bytes and their CRC), no start
// byte and no stuffing.
//
// Events are held by their codes; the texts are made when they are shown.
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

constexpr uint8_t kAuditFrameStart = 0xDE;
constexpr uint8_t kAuditStuffed = 0xAD;
constexpr int kAuditRecordData = 7;          // token, type, detail, value
constexpr int kAuditFramedRecordBytes = 10;  // start byte, the seven, CRC
constexpr int kAuditPlainRecordBytes = 9;    // the seven and the CRC

struct AuditEvent {
    double Time = 0.0;   // TDateTime of the token
    uint32_t Token = 0;
    uint8_t Type = 0;
    uint8_t DetailCode = 0;
    uint8_t ValueCode = 0;

    QString Event() const;
    QString Detail() const;
    QString Value() const;
};

// The texts of an event's type, detail and value codes.
QString AuditEventText(int type);
QString AuditDetailText(int type, int detail);
QString AuditValueText(int type, int value);
// The alarm text of a detail code; "unknown" for a code without one.
QString AuditAlarmText(int code);

// One event from its codes; the time through the token converter (0 without one).
AuditEvent DecodeAuditEvent(uint32_t token, uint8_t type, uint8_t detail, uint8_t value,
                            double (*tokenToDate)(uint32_t));

// Reads the framed event-log memory byte by byte. Records with a bad CRC or a broken stuffing
// pair are dropped; a record cut short by the end of the memory gives nothing.
class AuditFrameParser {
public:
    enum : uint8_t { Idle = 0, Escape = 1, Data = 2, CrcLow = 3, CrcHigh = 4 };

    explicit AuditFrameParser(double (*tokenToDate)(uint32_t) = nullptr);

    // The whole memory; `step` (when given) is called once for every ten bytes read.
    void Parse(const uint8_t* bytes, size_t length, const std::function<void()>& step = {});
    void PutByte(uint8_t b);

    // Sorts the events by time token, ascending as unsigned numbers; events with the same
    // token keep their order in the memory.
    void SortByTime();

    const std::vector<AuditEvent>& Events() const { return events_; }
    std::vector<AuditEvent> TakeEvents() { return std::move(events_); }
    // 0xDE 0xAD pairs met.
    uint32_t EscapeCount() const { return escapeCount_; }
    uint8_t State() const { return state_; }

private:
    void Machine(uint8_t b);

    double (*tokenToDate_)(uint32_t);
    std::vector<AuditEvent> events_;
    uint32_t escapeCount_ = 0;
    uint8_t data_[kAuditRecordData] = {};
    uint16_t receivedCrc_ = 0;
    uint8_t state_ = Idle;
    uint8_t savedState_ = Idle;
    uint8_t payloadCount_ = 0;
};

// The event-log window's form: every whole 9-byte record in order; the records whose CRC
// matches become events (in memory order), the others are only counted. Trailing bytes short
// of a record are ignored.
struct PlainAuditRecords {
    std::vector<AuditEvent> events;
    int walked = 0;   // whole records read, good or bad
};
PlainAuditRecords ReadPlainAuditRecords(const uint8_t* bytes, size_t length, double (*tokenToDate)(uint32_t));

// How full the event memory is. Used bytes above the whole count as full.
struct AuditUsage {
    double percent = 0;   // 0..100
    QString text;         // the percentage with two decimals and "%", e.g. "12.50%"
    int barWidth = 0;     // pixels of a bar `width` wide, to the nearest pixel
};
// used / whole; whole must be above 0.
AuditUsage ComputeAuditUsage(double used, double whole, int width);
// Bytes the events took: ten per record and two per stuffed pair.
double AuditBytesUsed(size_t events, uint32_t escapes);
