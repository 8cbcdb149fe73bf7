#pragma once
// The archive memory's frame reader. The memory is a run of frames
//   0xDE, id, L, payload (L-2 bytes: u32 time token, then the log's values), CRC low, CRC high
// where, after the start byte, a data byte 0xDE travels as 0xDE 0xAD. Bytes are put one at a
// time; every frame with a good CRC whose id names a log becomes one LogEntry filed in the
// archive database. Bad frames are dropped silently and reading goes on with the next byte.
#include "tevrin/rtdb/analyzer_records.h"

#include <cstddef>
#include <cstdint>

class LogDBManager;
struct LogEntry;

constexpr uint8_t kArchiveFrameStart = 0xDE;
constexpr uint8_t kArchiveStuffed = 0xAD;
constexpr uint8_t kArchiveMaxLength = 34;   // 2 + at most 32 payload bytes
constexpr int kArchiveMaxPayload = 32;

class LogFrameParser {
public:
    enum : uint8_t { Idle = 0, Escape = 1, Id = 2, Length = 3, Payload = 4, CrcLow = 5, CrcHigh = 6 };

    explicit LogFrameParser(LogDBManager* manager);
    LogFrameParser(const LogFrameParser&) = delete;
    LogFrameParser& operator=(const LogFrameParser&) = delete;

    // One byte of the archive memory, in memory order.
    void PutByte(uint8_t b);
    // Bytes of the archive memory, in memory order.
    void Put(const uint8_t* bytes, size_t count);
    // Back to idle, as before the first byte.
    void Reset();

    // Frames that reached their CRC, good or bad.
    uint32_t FramesSeen() const { return framesSeen_; }
    uint8_t State() const { return state_; }

private:
    void Machine(uint8_t b);
    void Decode();

    // How the values of a log record are read, made again whenever the record changes.
    struct Plan {
        LogConfigRecord record{};
        bool made = false;
        int values = 0;
        uint32_t kinds = 0;
        int width[7] = {};
    };
    const Plan& PlanFor(int position);
    Plan plans_[kLogCount];

    LogDBManager* manager_;
    // Id, length and payload in a row, as the CRC covers them.
    uint8_t frame_[2 + kArchiveMaxPayload] = {};
    uint8_t& id_ = frame_[0];
    uint8_t& length_ = frame_[1];
    uint8_t* const payload_ = frame_ + 2;
    uint16_t receivedCrc_ = 0;
    uint8_t state_ = Idle;
    uint8_t savedState_ = Idle;
    uint8_t payloadCount_ = 0;
    uint32_t framesSeen_ = 0;
};
