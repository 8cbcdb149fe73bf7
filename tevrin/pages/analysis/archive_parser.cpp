#include "tevrin/pages/analysis/archive_parser.h"

#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/analysis/log_entry.h"
#include "tevrin/rtdb/database.h"

#include <algorithm>
#include <cstring>

namespace {
// Points the analysis page shows counted from 1 (stream number, current run number).
constexpr uint16_t kStreamNumberId = 392;
constexpr uint16_t kRunNumberId = 393;
}  // namespace

LogFrameParser::LogFrameParser(LogDBManager* manager) : manager_(manager) {}

void LogFrameParser::Reset()
{
    id_ = length_ = payloadCount_ = 0;
    receivedCrc_ = 0;
    state_ = savedState_ = Idle;
    framesSeen_ = 0;
    for (Plan& plan : plans_) plan.made = false;
}

void LogFrameParser::PutByte(uint8_t b)
{
    if (state_ == Escape) {
        if (b == kArchiveStuffed) {
            state_ = savedState_;
            Machine(kArchiveFrameStart);
        } else {
            // A broken pair drops the frame. Inside a frame every data byte 0xDE is stuffed,
            // so the 0xDE of the pair was the start of the next frame and b is its id; when b
            // is itself a 0xDE, the next frame starts with b.
            state_ = Idle;
            if (b != kArchiveFrameStart) Machine(kArchiveFrameStart);
            Machine(b);
        }
        return;
    }
    if (state_ != Idle && b == kArchiveFrameStart) {
        savedState_ = state_;
        state_ = Escape;
        return;
    }
    Machine(b);
}

void LogFrameParser::Put(const uint8_t* bytes, size_t count)
{
    size_t i = 0;
    while (i < count) {
        if (state_ == Payload) {
            // A run of payload bytes up to the next 0xDE goes in at once; the frame machine
            // takes the run's last byte, where the state changes.
            const int total = length_ >= 3 ? length_ - 2 : kArchiveMaxPayload + 1;
            size_t run = std::min(count - i, static_cast<size_t>(std::max(total - payloadCount_ - 1, 0)));
            if (run > 0) {
                if (const void* start = std::memchr(bytes + i, kArchiveFrameStart, run))
                    run = static_cast<size_t>(static_cast<const uint8_t*>(start) - (bytes + i));
                const size_t kept = std::min(run, static_cast<size_t>(std::max(kArchiveMaxPayload - payloadCount_, 0)));
                std::memcpy(payload_ + payloadCount_, bytes + i, kept);
                payloadCount_ = static_cast<uint8_t>(payloadCount_ + run);
                savedState_ = Payload;
                i += run;
                if (run > 0) continue;
            }
        }
        PutByte(bytes[i++]);
    }
}

void LogFrameParser::Machine(uint8_t b)
{
    savedState_ = state_;
    switch (state_) {
    case Idle:
        if (b == kArchiveFrameStart) state_ = Id;
        break;
    case Id:
        id_ = b;
        state_ = Length;
        break;
    case Length:
        if (b > kArchiveMaxLength) {
            state_ = savedState_ = Idle;
            break;
        }
        length_ = b;
        payloadCount_ = 0;
        state_ = Payload;
        break;
    case Payload:
        // A length below 3 never matches its count: 33 bytes go by, then idle. Only the first
        // 32 are kept.
        if (payloadCount_ < kArchiveMaxPayload) payload_[payloadCount_] = b;
        ++payloadCount_;
        if (payloadCount_ > kArchiveMaxPayload)
            state_ = Idle;
        else if (payloadCount_ == static_cast<uint8_t>(length_ - 2))
            state_ = CrcLow;
        break;
    case CrcLow:
        receivedCrc_ = b;
        state_ = CrcHigh;
        break;
    case CrcHigh: {
        receivedCrc_ = static_cast<uint16_t>(receivedCrc_ + b * 256);
        // The CRC covers id, length and payload, which lie in a row (length is 3..34 here).
        if (CalcCRC16(frame_, length_) == receivedCrc_) Decode();
        ++framesSeen_;
        state_ = Idle;
        break;
    }
    default:
        break;
    }
}

const LogFrameParser::Plan& LogFrameParser::PlanFor(int position)
{
    Plan& plan = plans_[position];
    const LogConfigRecord& record = DataBase::Instance()->LogRecord(position);
    if (plan.made && std::memcmp(&plan.record, &record, sizeof record) == 0) return plan;
    DataBase* db = DataBase::Instance();
    plan = Plan{};
    plan.record = record;
    plan.made = true;
    // Entry 0 of the record stands for the time stamp; at most seven values follow it.
    plan.values = std::min(static_cast<int>(record.ParametersInLog) - 1, kLogValuesPerLog);
    if (plan.values < 0) plan.values = 0;
    for (int j = 0; j < plan.values; ++j) {
        const uint16_t dbId = record.UniqueId[j + 1];
        const int type = db->GetTypeCode(dbId);
        uint32_t kind = LogValueWidthCode(type);
        if (dbId == kStreamNumberId || dbId == kRunNumberId) kind |= LogEntry::kLogKindPlusOne;
        plan.kinds |= kind << (4 * j);
        plan.width[j] = static_cast<int>(LogValueWidth(type));
    }
    return plan;
}

void LogFrameParser::Decode()
{
    const int received = length_ - 2;
    // Without a whole time token there is no sample to file.
    if (received < 4 || !manager_) return;

    DataBase* db = DataBase::Instance();
    int position = -1;
    for (int i = 0; i < kLogCount; ++i) {
        if (db->LogRecord(i).LogIdCode == id_) {
            position = i;
            break;
        }
    }
    if (position < 0) return;
    const Plan& plan = PlanFor(position);

    LogEntry entry;
    entry.Token = ReadToken(payload_);
    entry.Time = ReadTokenTime(payload_, manager_->TokenToDate());
    entry.LogPosition = static_cast<int8_t>(position);

    // A frame shorter than its record asks keeps the values it carries whole; the rest stay
    // empty. The values' bytes are kept as they came; their texts are made when shown.
    int at = 4;
    int j = 0;
    for (; j < plan.values; ++j) {
        if (at + plan.width[j] > received) break;
        at += plan.width[j];
    }
    entry.ValueCount = static_cast<uint8_t>(j);
    entry.Kinds = j == 0 ? 0 : (plan.kinds & (j >= 8 ? ~0u : ((1u << (4 * j)) - 1u)));
    std::memcpy(entry.Raw, payload_ + 4, static_cast<size_t>(at - 4));
    manager_->FileEntry(entry);
}
