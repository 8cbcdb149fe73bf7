#include "tevrin/pages/analysis/archive_parser.h"

#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/analysis/log_entry.h"
#include "tevrin/rtdb/database.h"

#include <cmath>
#include <memory>
#include <string>

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
}

void LogFrameParser::PutByte(uint8_t b)
{
    if (state_ == Escape) {
        if (b == kArchiveStuffed) {
            state_ = savedState_;
            Machine(kArchiveFrameStart);
        } else {
            // A broken pair drops the frame; a 0xDE here opens the next one.
            state_ = Idle;
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
        uint8_t covered[2 + kArchiveMaxPayload];
        covered[0] = id_;
        covered[1] = length_;
        const int payloadBytes = length_ - 2;   // 1..32 here
        for (int i = 0; i < payloadBytes; ++i) covered[2 + i] = payload_[i];
        if (CalcCRC16(covered, length_) == receivedCrc_) Decode();
        ++framesSeen_;
        state_ = Idle;
        break;
    }
    default:
        break;
    }
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
    const LogConfigRecord& record = db->LogRecord(position);

    auto entry = std::make_unique<LogEntry>();
    entry->Token = ReadToken(payload_);
    entry->Time = ReadTokenTime(payload_, manager_->TokenToDate());
    entry->LogPosition = position;

    // Entry 0 of the record stands for the time stamp; at most seven values follow it.
    int values = static_cast<int>(record.ParametersInLog) - 1;
    if (values > kLogValuesPerLog) values = kLogValuesPerLog;
    int at = 4;
    for (int j = 0; j < values; ++j) {
        const uint16_t dbId = record.UniqueId[j + 1];
        const int type = db->GetTypeCode(dbId);
        const int width = static_cast<int>(LogValueWidth(type));
        // A frame shorter than its record asks keeps the values it carries; the rest stay empty.
        if (at + width > received) break;
        std::string text;
        if (dbId == kStreamNumberId || dbId == kRunNumberId) {
            const double v = LogValueToNumber(type, payload_ + at);
            text = (std::isfinite(v) && std::fabs(v) < 9.0e18) ? std::to_string(static_cast<long long>(v) + 1) : LogValueToText(type, payload_ + at);
        } else {
            text = LogValueToText(type, payload_ + at);
        }
        entry->Values[static_cast<size_t>(position * kLogTextStride + j)] = std::move(text);
        at += width;
    }
    manager_->FileEntry(std::move(entry));
}
