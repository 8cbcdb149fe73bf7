// The simulated analyzer's state and the accessors tests use to preset and inspect it.
#include "tests/sim/core/analyzer_core.h"

#include "tests/sim/core/value_codec.h"
#include "tevrin/rtdb/catalogue/catalogue_rows.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>
#include <unordered_map>

namespace sim {

namespace {

constexpr uint32_t kDatabaseVersion = 17041417;
// Settings whose valid range excludes 0, with the value a unit leaves the factory with: the
// trend filter length (1 to 10), the Modbus address (1 to 255) and the tape saturation cutoffs
// (1 to 2500 mV) of the sets of streams 1, 3 and 4 but reference 2.
struct FactoryValue {
    int dbId;
    uint64_t value;
};
constexpr FactoryValue kFactoryValues[] = {
    {34, 1},     {389, 1},    {24, 2000},  {403, 2000}, {406, 2000}, {522, 2000}, {667, 2000}, {720, 2000},
    {750, 2000}, {780, 2000}, {817, 2000}, {870, 2000}, {900, 2000}, {930, 2000},
};

const rosetta::CatalogueRow& Entry(int row)
{
    return rosetta::kCatalogueRows[row];
}

int CheckedRow(int row)
{
    if (row < 0 || row >= rosetta::kCatalogueRowCount)
        throw std::out_of_range("no catalogue row " + std::to_string(row));
    return row;
}

QByteArray LittleEndian(uint64_t bits, int width)
{
    QByteArray out;
    for (int i = 0; i < width; ++i) out.append(char((bits >> (8 * i)) & 0xFF));
    return out;
}

uint64_t FromLittleEndian(const QByteArray& bytes)
{
    uint64_t v = 0;
    for (int i = int(bytes.size()) - 1; i >= 0; --i) v = (v << 8) | uint8_t(bytes[i]);
    return v;
}

// The first N bytes of a block, zero-filled when it is shorter.
template <int N>
std::array<uint8_t, N> ToArray(const QByteArray& bytes)
{
    std::array<uint8_t, N> out{};
    std::memcpy(out.data(), bytes.constData(), size_t(std::min<qsizetype>(bytes.size(), N)));
    return out;
}

bool IsFalseText(const QByteArray& text)
{
    return text.isEmpty() || text == "False" || text == "false" || text == "FALSE" || text == "F" ||
           text == "f" || text == "0";
}

}  // namespace

Point::Point(Row row) : row_(CheckedRow(row.index)) {}

Point::Point(DbId dbId) : row_(AnalyzerCore::RowOfDbId(dbId.id))
{
    if (row_ < 0) throw std::out_of_range("no point with DbId " + std::to_string(dbId.id));
}

int AnalyzerCore::RowOfDbId(int dbId)
{
    static const std::unordered_map<int, int> rows = [] {
        std::unordered_map<int, int> map;
        for (int row = 0; row < rosetta::kCatalogueRowCount; ++row) map.emplace(Entry(row).dbId, row);
        return map;
    }();
    const auto it = rows.find(dbId > 0x7FFF && dbId <= 0xFFFF ? dbId - 0x10000 : dbId);
    return it == rows.end() ? -1 : it->second;
}

QByteArray AnalyzerCore::DefaultValue(int row)
{
    const int type = Entry(row).typeCode;
    if (IsTextType(type)) return {};
    if (row == 0) return LittleEndian(kDatabaseVersion, StorageWidth(type));
    for (const FactoryValue& v : kFactoryValues) {
        if (Entry(row).dbId != v.dbId) continue;
        if (type == 0) {   // floats are stored as their single-precision bits
            const float f = static_cast<float>(v.value);
            uint32_t bits = 0;
            std::memcpy(&bits, &f, sizeof bits);
            return LittleEndian(bits, StorageWidth(type));
        }
        return LittleEndian(v.value, StorageWidth(type));
    }
    return QByteArray(StorageWidth(type), '\0');
}

AnalyzerCore::AnalyzerCore(Contents contents)
    : AnalyzerCore(contents == Contents::Living ? QDateTime::currentDateTime() : QDateTime())
{
}

AnalyzerCore::AnalyzerCore(const QDateTime& now)
{
    defaults_.values.reserve(rosetta::kCatalogueRowCount);
    for (int row = 0; row < rosetta::kCatalogueRowCount; ++row) defaults_.values.push_back(DefaultValue(row));
    for (int i = 0; i < kModbusEntryCount; ++i) defaults_.modbusEntries[size_t(i)].index = uint16_t(i);
    for (int i = 0; i < kLogCount; ++i) defaults_.logs[size_t(i)].LOG_NUMBER = uint8_t(i);
    working_ = defaults_;
    flash_ = defaults_;
    if (now.isValid()) MakeLiving(now);
}

const AnalyzerCore::Config& AnalyzerCore::Of(Copy which) const
{
    return which == Copy::Flash ? flash_ : working_;
}

template <typename F>
void AnalyzerCore::ForEach(Copy which, F&& change)
{
    if (which != Copy::Flash) change(working_);
    if (which != Copy::Working) change(flash_);
}

// --- request log ---------------------------------------------------------------------------------

std::vector<QByteArray> AnalyzerCore::Requests() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
}

std::vector<QByteArray> AnalyzerCore::RequestsOfType(int type) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<QByteArray> out;
    for (const QByteArray& r : log_)
        if (type == kAnyType || (r.size() >= 2 && uint8_t(r[1]) == type)) out.push_back(r);
    return out;
}

int AnalyzerCore::RequestCount(int type) const
{
    return int(RequestsOfType(type).size());
}

void AnalyzerCore::ClearLog()
{
    std::lock_guard<std::mutex> lock(mutex_);
    log_.clear();
}

// --- faults --------------------------------------------------------------------------------------

void AnalyzerCore::AddFault(const FaultRule& rule)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (rule.times == 0) return;
    faults_.push_back(rule);
}

void AnalyzerCore::FailNext(Fault fault, int times, int type)
{
    FaultRule rule;
    rule.fault = fault;
    rule.times = times;
    rule.type = type;
    AddFault(rule);
}

void AnalyzerCore::ClearFaults()
{
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.clear();
}

int AnalyzerCore::PendingFaults() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return int(faults_.size());
}

// --- point values --------------------------------------------------------------------------------

QByteArray AnalyzerCore::EncodeNumber(int row, double value) const
{
    const int type = Entry(row).typeCode;
    if (IsTextType(type)) throw std::invalid_argument("a text row holds no number");
    const int width = StorageWidth(type);
    if (IsFloatType(type)) {
        const float f = float(value);
        uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        return LittleEndian(bits, width);
    }
    if (IsBoolType(type)) return LittleEndian(value != 0 ? 1 : 0, width);
    return LittleEndian(uint64_t(int64_t(value)), width);
}

double AnalyzerCore::DecodeNumber(int row, const QByteArray& raw) const
{
    const int type = Entry(row).typeCode;
    if (IsTextType(type)) throw std::invalid_argument("a text row holds no number");
    const uint64_t bits = FromLittleEndian(raw);
    if (IsFloatType(type)) {
        const uint32_t b = uint32_t(bits);
        float f;
        std::memcpy(&f, &b, sizeof f);
        return f;
    }
    if (IsBoolType(type)) return bits != 0 ? 1 : 0;
    if (IsSignedType(type) && raw.size() > 0 && raw.size() < 8) {
        const int shift = 64 - 8 * int(raw.size());
        return double(int64_t(bits << shift) >> shift);
    }
    return double(bits);
}

void AnalyzerCore::SetValue(Point point, double value, Copy which)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const QByteArray raw = EncodeNumber(point.row(), value);
    ForEach(which, [&](Config& c) { c.values[size_t(point.row())] = raw; });
}

double AnalyzerCore::Value(Point point, Copy which) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return DecodeNumber(point.row(), Of(which).values[size_t(point.row())]);
}

void AnalyzerCore::SetText(Point point, const QByteArray& text, Copy which)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!IsTextType(Entry(point.row()).typeCode)) throw std::invalid_argument("not a text row");
    ForEach(which, [&](Config& c) { c.values[size_t(point.row())] = text.left(kTextMaxLength); });
}

QByteArray AnalyzerCore::Text(Point point, Copy which) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!IsTextType(Entry(point.row()).typeCode)) throw std::invalid_argument("not a text row");
    return Of(which).values[size_t(point.row())];
}

QByteArray AnalyzerCore::EncodeText(int row, const QByteArray& text) const
{
    const int type = Entry(row).typeCode;
    if (IsTextType(type)) return text.left(kTextMaxLength);
    if (IsBoolType(type)) return EncodeNumber(row, IsFalseText(text) ? 0 : 1);
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok) throw std::invalid_argument("not a number: " + text.toStdString());
    return EncodeNumber(row, value);
}

void AnalyzerCore::SetValueText(Point point, const QByteArray& text, Copy which)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const QByteArray raw = EncodeText(point.row(), text);
    ForEach(which, [&](Config& c) { c.values[size_t(point.row())] = raw; });
}

void AnalyzerCore::QueueReadValues(Point point, const std::vector<QByteArray>& texts)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto& queue = queuedReads_[point.row()];
    for (const QByteArray& text : texts) queue.push_back(EncodeText(point.row(), text));
    if (queue.empty()) queuedReads_.erase(point.row());
}

QByteArray AnalyzerCore::ValueText(Point point, Copy which) const
{
    const int type = Entry(point.row()).typeCode;
    if (IsTextType(type)) return Text(point, which);
    const double value = Value(point, which);
    if (IsBoolType(type)) return value != 0 ? "True" : "False";
    if (IsFloatType(type)) {
        char buffer[32];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, float(value)).ptr;
        return QByteArray(buffer, int(end - buffer));
    }
    return QByteArray::number(qint64(value));
}

QByteArray AnalyzerCore::Raw(Point point, Copy which) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return Of(which).values[size_t(point.row())];
}

void AnalyzerCore::SetRaw(Point point, const QByteArray& bytes, Copy which)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const int type = Entry(point.row()).typeCode;
    const QByteArray raw = IsTextType(type) ? bytes.left(kTextMaxLength)
                                            : bytes.left(StorageWidth(type)).leftJustified(StorageWidth(type), '\0');
    ForEach(which, [&](Config& c) { c.values[size_t(point.row())] = raw; });
}

// --- blocks, map and log configurations -------------------------------------------------------------

QByteArray AnalyzerCore::SequencerBlock(Copy which) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return QByteArray(reinterpret_cast<const char*>(Of(which).sequencer.data()), kSequencerBlockSize);
}

void AnalyzerCore::SetSequencerBlock(const QByteArray& block, Copy which)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto b = ToArray<kSequencerBlockSize>(block);
    ForEach(which, [&](Config& c) { c.sequencer = b; });
}

QByteArray AnalyzerCore::TimerBlock(Copy which) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return QByteArray(reinterpret_cast<const char*>(Of(which).timers.data()), kTimerBlockSize);
}

void AnalyzerCore::SetTimerBlock(const QByteArray& block, Copy which)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto b = ToArray<kTimerBlockSize>(block);
    ForEach(which, [&](Config& c) { c.timers = b; });
}

ModbusHeader AnalyzerCore::ModbusMapHeader(Copy which) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return Of(which).modbusHeader;
}

void AnalyzerCore::SetModbusMapHeader(const ModbusHeader& header, Copy which)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ForEach(which, [&](Config& c) { c.modbusHeader = header; });
}

ModbusEntry AnalyzerCore::ModbusMapEntry(int index, Copy which) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (index < 0 || index >= kModbusEntryCount) throw std::out_of_range("Modbus entry index");
    return Of(which).modbusEntries[size_t(index)];
}

void AnalyzerCore::SetModbusMapEntry(const ModbusEntry& entry, Copy which)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (entry.index >= kModbusEntryCount) throw std::out_of_range("Modbus entry index");
    ForEach(which, [&](Config& c) { c.modbusEntries[entry.index] = entry; });
}

LogConfigRecord AnalyzerCore::LogConfig(int log, Copy which) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (log < 0 || log >= kLogCount) throw std::out_of_range("log number");
    return Of(which).logs[size_t(log)];
}

void AnalyzerCore::SetLogConfig(int log, const LogConfigRecord& record, Copy which)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (log < 0 || log >= kLogCount) throw std::out_of_range("log number");
    ForEach(which, [&](Config& c) { c.logs[size_t(log)] = record; });
}

// --- configuration store -----------------------------------------------------------------------------

void AnalyzerCore::StoreToFlash()
{
    std::lock_guard<std::mutex> lock(mutex_);
    flash_ = working_;
}

void AnalyzerCore::PowerCycle()
{
    std::lock_guard<std::mutex> lock(mutex_);
    working_ = flash_;
    writeConfigBusyLeft_ = 0;
    imageWriteBusyLeft_ = 0;
}

int AnalyzerCore::RebootCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return rebootCount_;
}

void AnalyzerCore::SetWriteConfigBusyPolls(int polls)
{
    std::lock_guard<std::mutex> lock(mutex_);
    writeConfigBusyPolls_ = polls;
}

void AnalyzerCore::SetImageWriteBusyPolls(int polls)
{
    std::lock_guard<std::mutex> lock(mutex_);
    imageWriteBusyPolls_ = polls;
}

// --- memories -----------------------------------------------------------------------------------------

void AnalyzerCore::SetArchiveMemory(const QByteArray& bytes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    archive_ = bytes;
    archiveWrite_ = int(bytes.size());
}

QByteArray AnalyzerCore::ArchiveMemory() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return archive_;
}

void AnalyzerCore::SetEventMemory(const QByteArray& bytes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    events_ = bytes;
    eventWrite_ = int(bytes.size());
}

QByteArray AnalyzerCore::EventMemory() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}

void AnalyzerCore::SetLogStatus(const LogStatus& status)
{
    std::lock_guard<std::mutex> lock(mutex_);
    logStatus_ = status;
}

void AnalyzerCore::ResetLogStatus()
{
    std::lock_guard<std::mutex> lock(mutex_);
    logStatus_.reset();
}

LogStatus AnalyzerCore::CurrentLogStatus() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return StatusNow();
}

LogStatus AnalyzerCore::StatusNow() const
{
    return logStatus_ ? *logStatus_ : LogStatus{{0, uint32_t(archive_.size()), uint32_t(events_.size())}};
}

int AnalyzerCore::ArchiveWipeCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return archiveWipes_;
}

int AnalyzerCore::EventLogWipeCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return eventWipes_;
}

void AnalyzerCore::SetImageMemory(const QByteArray& bytes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    image_ = bytes;
}

QByteArray AnalyzerCore::ImageMemory() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return image_;
}

}  // namespace sim
