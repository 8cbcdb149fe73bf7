#include "tevrin/pages/analysis/audit_events.h"

#include "tevrin/pages/analysis/log_entry.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kRunInitiated = 9;
constexpr int kLatchChange = 10;
constexpr int kAlarm = 4;
constexpr int kFirstAlarmLikeType = 12;   // types from here on carry alarm codes
constexpr int kLatches = 16;

QString StreamWord(int stream)
{
    return stream == 1 ? QStringLiteral("Stream") : QStringLiteral("Stream %1").arg(stream);
}

// The per-stream alarms: offset from the stream's base code and the text after its word.
struct StreamAlarm {
    int offset;
    const char* text;
};
constexpr StreamAlarm kStreamAlarms[] = {
    {0, " High High Alarm"},         {1, " Sample Deviation"},         {2, " Sample High Alarm"},
    {6, " Reference 1 Deviation"},   {7, " Reference 1 High Alarm"},   {8, " Reference 2 Deviation"},
    {9, " Reference 2 High Alarm"},  {10, " Zero Deviation"},          {11, " Zero High Alarm"},
    {12, " Calibration Deviation"},  {13, " Calibration High Alarm"},  {14, " Sample Lock Alarm"},
};
constexpr int kStreamBases[] = {50, 70, 90, 110};

}  // namespace

QString AuditEventText(int type)
{
    static const char* const kTexts[] = {
        "Power Up",       "Time Changed",
        "Bypass",         "Configuration Changed",
        "Alarm",          "Exceeded low temperature limit",
        "Exceeded high temperature limit", "Direct Control",
        "Bypass Timeout", "Run initiated",
        "Latch change",   "Automatic Temperature Calibrate",
    };
    if (type < 0 || type >= static_cast<int>(std::size(kTexts))) return QStringLiteral("Unknown");
    return QString::fromLatin1(kTexts[type]);
}

QString AuditAlarmText(int code)
{
    static const char* const kGeneral[] = {
        "Battery",          "Sensor Communication", "High Temperature",     "Sensor LED Current",
        "Maximum Tape Advance", "Maximum Analysis Time", "Low Tape",        "Tape Length",
        "Tape Movement",    "Low Temperature",      "Sensor Calibration",   "Bypass",
        "AC Power",         "DC Power",
    };
    if (code == 0) return QStringLiteral("No Alarm");
    if (code >= 10 && code <= 23) return QString::fromLatin1(kGeneral[code - 10]);
    if (code >= 30 && code <= 33) return QStringLiteral("Digital Input %1-(DRY)").arg(code - 29);
    if (code >= 34 && code <= 37) return QStringLiteral("Digital Input %1-(WET)").arg(code - 33);
    if (code >= 38 && code <= 41) return QStringLiteral("Analog Input %1 > limit").arg(code - 37);
    if (code >= 42 && code <= 45) return QStringLiteral("Analog Input %1 < limit").arg(code - 41);
    if (code == 113) return QStringLiteral("Stream 4 Total Sulphur High High Alarm");
    for (int s = 0; s < 4; ++s)
        for (const auto& alarm : kStreamAlarms)
            if (code == kStreamBases[s] + alarm.offset) return StreamWord(s + 1) + QLatin1String(alarm.text);
    return QStringLiteral("unknown");
}

QString AuditDetailText(int type, int detail)
{
    if (type == kLatchChange)
        return detail >= 0 && detail < kLatches ? QStringLiteral("Latch %1").arg(detail + 1) : QStringLiteral("Unknown");
    if (type == kRunInitiated) {
        switch (detail) {
        case 0: return QStringLiteral("Stream ");
        case 1: return QStringLiteral("Stream 2");
        case 2: return QStringLiteral("Stream 3");
        case 3: return QStringLiteral("Stream 4");
        default: return QString();
        }
    }
    if (type == kAlarm || type >= kFirstAlarmLikeType) return AuditAlarmText(detail);
    return QString();
}

QString AuditValueText(int type, int value)
{
    if (type == 0 || type == 1 || type == 3) return QString();
    if (type == kRunInitiated) {
        switch (value) {
        case 0: return QStringLiteral("Sample");
        case 2: return QStringLiteral("Reference 1");
        case 3: return QStringLiteral("Reference 2");
        case 4: return QStringLiteral("Zero");
        case 5: return QStringLiteral("Calibrate");
        case 6: return QStringLiteral("Runs");
        case 250: return QStringLiteral("Unset");
        default: return QStringLiteral("Unknown");
        }
    }
    switch (value) {
    case 0: return QStringLiteral("Condition On");
    case 1: return QStringLiteral("Condition Off");
    default: return QStringLiteral("Unknown");
    }
}

QString AuditEvent::Event() const { return AuditEventText(Type); }
QString AuditEvent::Detail() const { return AuditDetailText(Type, DetailCode); }
QString AuditEvent::Value() const { return AuditValueText(Type, ValueCode); }

AuditEvent DecodeAuditEvent(uint32_t token, uint8_t type, uint8_t detail, uint8_t value,
                            double (*tokenToDate)(uint32_t))
{
    AuditEvent e;
    e.Token = token;
    e.Time = tokenToDate ? tokenToDate(token) : 0.0;
    e.Type = type;
    e.DetailCode = detail;
    e.ValueCode = value;
    return e;
}

namespace {
AuditEvent DecodeRecordData(const uint8_t* data, double (*tokenToDate)(uint32_t))
{
    uint8_t token[4] = {data[0], data[1], data[2], data[3]};
    AuditEvent e = DecodeAuditEvent(ReadToken(token), data[4], data[5], data[6], nullptr);
    e.Time = ReadTokenTime(token, tokenToDate);
    return e;
}
}  // namespace

AuditFrameParser::AuditFrameParser(double (*tokenToDate)(uint32_t)) : tokenToDate_(tokenToDate) {}

void AuditFrameParser::Parse(const uint8_t* bytes, size_t length, const std::function<void()>& step)
{
    for (size_t i = 0; i < length; ++i) {
        if (step && i % 10 == 0) step();
        PutByte(bytes[i]);
    }
}

void AuditFrameParser::PutByte(uint8_t b)
{
    if (state_ == Escape) {
        if (b == kAuditStuffed) {
            state_ = savedState_;
            ++escapeCount_;
            Machine(kAuditFrameStart);
        } else {
            // A broken pair abandons the record.
            state_ = Idle;
            Machine(b);
        }
        return;
    }
    if (state_ != Idle && b == kAuditFrameStart) {
        savedState_ = state_;
        state_ = Escape;
        return;
    }
    Machine(b);
}

void AuditFrameParser::Machine(uint8_t b)
{
    savedState_ = state_;
    switch (state_) {
    case Idle:
        if (b == kAuditFrameStart) {
            payloadCount_ = 0;
            state_ = Data;
        }
        break;
    case Data:
        data_[payloadCount_++] = b;
        if (payloadCount_ == kAuditRecordData) state_ = CrcLow;
        break;
    case CrcLow:
        receivedCrc_ = b;
        state_ = CrcHigh;
        break;
    case CrcHigh:
        receivedCrc_ = static_cast<uint16_t>(receivedCrc_ + b * 256);
        if (CalcCRC16(data_, kAuditRecordData) == receivedCrc_) events_.push_back(DecodeRecordData(data_, tokenToDate_));
        state_ = Idle;
        break;
    default:
        break;
    }
}

void AuditFrameParser::SortByTime()
{
    // A stable merge sort: O(n log n) on any input, long runs of equal tokens included.
    std::stable_sort(events_.begin(), events_.end(),
                     [](const AuditEvent& a, const AuditEvent& b) { return a.Token < b.Token; });
}

PlainAuditRecords ReadPlainAuditRecords(const uint8_t* bytes, size_t length, double (*tokenToDate)(uint32_t))
{
    PlainAuditRecords out;
    for (size_t at = 0; at + kAuditPlainRecordBytes <= length; at += kAuditPlainRecordBytes) {
        const uint8_t* record = bytes + at;
        ++out.walked;
        const uint16_t crc = static_cast<uint16_t>(record[7] + record[8] * 256);
        if (CalcCRC16(record, kAuditRecordData) == crc) out.events.push_back(DecodeRecordData(record, tokenToDate));
    }
    return out;
}

double AuditBytesUsed(size_t events, uint32_t escapes)
{
    return static_cast<double>(kAuditFramedRecordBytes) * static_cast<double>(events) + 2.0 * escapes;
}

AuditUsage ComputeAuditUsage(double used, double whole, int width)
{
    AuditUsage u;
    if (!(whole > 0)) return u;
    const double share = std::min(used / whole, 1.0);
    u.percent = share * 100.0;
    u.text = QString::number(u.percent, 'f', 2) + QLatin1Char('%');
    u.barWidth = static_cast<int>(std::lround(share * width));
    return u;
}
