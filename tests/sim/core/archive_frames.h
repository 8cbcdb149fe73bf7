#pragma once
// Archive memories as the analyzer writes them: frames of
//   0xDE, log id, L, u32 time token, values (little-endian), CRC-16 low, high
// with every 0xDE after the start byte sent as 0xDE 0xAD. Faults are made on request (a
// wrong CRC, a length byte of any value, a frame cut short), and a whole memory can be laid
// as a ring that wrapped at a given frame.
#include <QByteArray>
#include <QDateTime>

#include <cstdint>
#include <vector>

namespace sim {

struct ArchiveValue {
    uint32_t bits = 0;   // the value's bytes, little-endian
    int width = 4;       // 1, 2 or 4
};

struct ArchiveFrame {
    uint8_t id = 1;
    uint32_t token = 0;
    std::vector<ArchiveValue> values;
    int crcDelta = 0;      // added to the right CRC
    int lengthByte = -1;   // -1: the right length
    int cutAfter = -1;     // -1: whole; else only this many bytes of the stuffed frame
};

// CRC-16, start 0xFFFF, reflected polynomial 0xA001 (over id, length and payload).
uint16_t ArchiveCrc(const QByteArray& bytes);

// One frame, stuffed.
QByteArray ArchiveFrameBytes(const ArchiveFrame& frame);

// The frames (oldest first) as the memory holds them; with wrapAt > 0 the ring wrapped:
// frames wrapAt.. (the newest, written from address 0 again) come first, then the older
// frames 0..wrapAt-1 that they did not overwrite.
QByteArray ArchiveMemory(const std::vector<ArchiveFrame>& frames, size_t wrapAt = 0);

// The payload bits of a float.
uint32_t FloatBits(float value);

// One event-log record: 0xDE, u32 time token, event type, detail code, value code, CRC-16 low,
// high (the CRC over the seven bytes after the start byte), stuffed like an archive frame.
struct EventRecord {
    uint32_t token = 0;
    uint8_t type = 0;
    uint8_t detail = 0;
    uint8_t value = 0;
};
QByteArray EventRecordBytes(const EventRecord& record);

// The analyzer's packed date-time (seconds in bits 0-5, minutes 6-11, hours 12-16, day 17-21,
// month 22-25, years since 2000 from bit 26) of a wall-clock time, taken as it reads (the
// analyzer keeps no time zone); 0 for a time a token cannot carry. TokenTime reads it back as
// a UTC date-time with the same fields (invalid for a token that names no real time).
uint32_t TimeToken(const QDateTime& time);
QDateTime TokenTime(uint32_t token);

}  // namespace sim
