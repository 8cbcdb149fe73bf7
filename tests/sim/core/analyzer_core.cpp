// The simulated analyzer: request dispatch, replies and fault injection. The state accessors
// for tests are in analyzer_state.cpp.
#include "tests/sim/core/analyzer_core.h"

#include "tests/sim/core/value_codec.h"
#include "tevrin/rtdb/catalogue/catalogue_rows.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {

constexpr uint8_t kRejectType = 0xFF;
constexpr int kImageMemoryLimit = 16 * 1024 * 1024;

uint16_t U16At(const QByteArray& bytes, int offset)
{
    return uint16_t(uint8_t(bytes[offset]) | (uint8_t(bytes[offset + 1]) << 8));
}

uint32_t U32At(const QByteArray& bytes, int offset)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | uint8_t(bytes[offset + i]);
    return v;
}

void AppendU16(QByteArray& out, uint16_t v)
{
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

template <typename T>
QByteArray BytesOf(const T& record)
{
    return QByteArray(reinterpret_cast<const char*>(&record), int(sizeof(T)));
}

template <typename T>
void CopyInto(T& record, const QByteArray& bytes)
{
    std::memcpy(&record, bytes.constData(), sizeof(T));
}

QByteArray Reply(int requestType, const QByteArray& payload = {})
{
    QByteArray reply;
    reply.append(char(2 + payload.size()));
    reply.append(char(requestType + 1));
    reply.append(payload);
    return reply;
}

QByteArray Reject()
{
    return QByteArray("\x02\xFF", 2);
}

bool IsReject(const std::optional<QByteArray>& reply)
{
    return reply && reply->size() >= 2 && uint8_t(reply->at(1)) == kRejectType;
}

bool ValidRow(int row)
{
    return row >= 0 && row < rosetta::kCatalogueRowCount;
}

// A single read of a text row: the one reply a text-length fault can change.
bool IsTextRead(const QByteArray& request)
{
    if (request.size() != 4 || uint8_t(request[0]) != 4 || uint8_t(request[1]) != 1) return false;
    const int row = U16At(request, 2);
    return ValidRow(row) && IsTextType(rosetta::kCatalogueRows[row].typeCode);
}

}  // namespace

std::optional<QByteArray> AnalyzerCore::Handle(const QByteArray& request)
{
    std::lock_guard<std::mutex> lock(mutex_);
    log_.push_back(request);

    std::optional<FaultRule> fault;
    if (FaultRule* rule = MatchFault(request)) {
        fault = *rule;
        if (rule->times != kForever && --rule->times <= 0)
            faults_.erase(faults_.begin() + (rule - faults_.data()));
    }

    std::optional<QByteArray> reply;
    if (fault && fault->fault == Fault::Silence) {
        reply = std::nullopt;
    } else if (fault && fault->fault == Fault::Reject) {
        reply = Reject();
    } else {
        reply = Process(request);
        if (fault && reply && !IsReject(reply)) reply = ApplyFault(*fault, request, reply);
    }

    lastOutcome_ = !reply ? Outcome::Silence : IsReject(reply) ? Outcome::Reject : Outcome::Reply;
    return reply;
}

void AnalyzerCore::SetPackedBlockReplies(bool packed)
{
    std::lock_guard<std::mutex> lock(mutex_);
    packedBlockReplies_ = packed;
}

bool AnalyzerCore::PackedBlockReplies() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return packedBlockReplies_;
}

Outcome AnalyzerCore::LastOutcome() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lastOutcome_;
}

FaultRule* AnalyzerCore::MatchFault(const QByteArray& request)
{
    const int type = request.size() >= 2 ? uint8_t(request[1]) : kAnyType;
    for (FaultRule& rule : faults_) {
        if (rule.type != kAnyType && rule.type != type) continue;
        if (rule.fault == Fault::TextTooLong && !IsTextRead(request)) continue;
        if (rule.fault == Fault::CountAboveRequest && type != 50) continue;
        if (rule.skip > 0) {
            --rule.skip;
            return nullptr;
        }
        return &rule;
    }
    return nullptr;
}

std::optional<QByteArray> AnalyzerCore::ApplyFault(const FaultRule& rule, const QByteArray& request,
                                                   std::optional<QByteArray> reply) const
{
    QByteArray r = *reply;
    switch (rule.fault) {
    case Fault::Silence:
    case Fault::Reject:
        break;   // handled before the request is carried out
    case Fault::WrongType:
        r[1] = char(rule.value >= 0 ? rule.value : uint8_t(request[1]));
        break;
    case Fault::ShortReply: {
        const int cut = rule.value >= 0 ? rule.value : 1;
        r.truncate(std::max(1, int(r.size()) - cut));
        r[0] = char(r.size());
        break;
    }
    case Fault::LongReply: {
        const int extra = rule.value >= 0 ? rule.value : 1;
        r.append(QByteArray(std::min(extra, 255 - int(r.size())), char(0xEE)));
        r[0] = char(r.size());
        break;
    }
    case Fault::CountAboveRequest:
        if (r.size() >= 3) r[2] = char(std::min(255, uint8_t(r[2]) + (rule.value >= 0 ? rule.value : 1)));
        break;
    case Fault::TextTooLong: {
        const int n = std::min(rule.value >= 0 ? rule.value : kTextMaxLength + 1, 250);
        QByteArray text = r.mid(5).left(n);
        text.append(QByteArray(n - text.size(), '#'));
        r = r.left(4);
        r.append(char(n));
        r.append(text);
        r[0] = char(r.size());
        break;
    }
    }
    return r;
}

void AnalyzerCore::TakeQueuedValue(int row)
{
    const auto it = queuedReads_.find(row);
    if (it == queuedReads_.end()) return;
    working_.values[size_t(row)] = it->second.front();
    it->second.pop_front();
    if (it->second.empty()) queuedReads_.erase(it);
}

QByteArray AnalyzerCore::ReadPoint(int row)
{
    TakeQueuedValue(row);
    const QByteArray& value = working_.values[size_t(row)];
    if (IsTextType(rosetta::kCatalogueRows[row].typeCode)) {
        QByteArray out;
        out.append(char(value.size()));
        out.append(value);
        return out;
    }
    return value;
}

QByteArray AnalyzerCore::ReadMemory(const QByteArray& memory, const QByteArray& payload, int type) const
{
    MemoryBlock block{};
    block.address = U32At(payload, 0);
    const int asked = uint8_t(payload[4]);
    const qint64 size = memory.size();
    const qint64 left = block.address < size ? size - block.address : 0;
    block.count = uint8_t(std::min<qint64>(asked, left));
    std::memcpy(block.data, memory.constData() + (block.count ? block.address : 0), block.count);
    return Reply(type, BytesOf(block));
}

std::optional<QByteArray> AnalyzerCore::Process(const QByteArray& request)
{
    if (request.size() < 2) return std::nullopt;
    if (uint8_t(request[0]) != request.size()) return Reject();
    const int type = uint8_t(request[1]);
    const QByteArray p = request.mid(2);
    auto size_is = [&p](int n) { return p.size() == n; };

    switch (type) {
    case 1: {   // read one point
        if (!size_is(2)) return Reject();
        const int row = U16At(p, 0);
        if (!ValidRow(row)) return Reject();
        return Reply(type, p.left(2) + ReadPoint(row));
    }
    case 4: {   // write one point
        if (!size_is(6)) return Reject();
        const int row = U16At(p, 0);
        if (!ValidRow(row)) return Reject();
        const auto& entry = rosetta::kCatalogueRows[row];
        if (IsTextType(entry.typeCode) || entry.access != 1) return Reject();
        working_.values[size_t(row)] = p.mid(2, StorageWidth(entry.typeCode));
        return Reply(type, p.left(2));
    }
    case 6: {   // write one text
        if (p.size() < 3) return Reject();
        const int row = U16At(p, 0);
        const int n = uint8_t(p[2]);
        if (p.size() != 3 + n || n > kTextMaxLength || !ValidRow(row)) return Reject();
        const auto& entry = rosetta::kCatalogueRows[row];
        if (!IsTextType(entry.typeCode) || entry.access != 1) return Reject();
        working_.values[size_t(row)] = p.mid(3, n);
        return Reply(type, p.left(2));
    }
    case 8:   // store the configuration in flash
        if (!size_is(0)) return Reject();
        flash_ = working_;
        writeConfigBusyLeft_ = writeConfigBusyPolls_;
        return Reply(type);
    case 10: {
        if (!size_is(0)) return Reject();
        const bool busy = writeConfigBusyLeft_ != 0;
        if (writeConfigBusyLeft_ > 0) --writeConfigBusyLeft_;
        return Reply(type, QByteArray(1, char(busy ? 1 : 0)));
    }
    case 12:   // factory defaults into the working copy
        if (!size_is(0)) return Reject();
        for (int row = 0; row < rosetta::kCatalogueRowCount; ++row) {
            const auto& entry = rosetta::kCatalogueRows[row];
            if (entry.access == 1 && (entry.flags & 0x04)) working_.values[size_t(row)] = defaults_.values[size_t(row)];
        }
        working_.sequencer = defaults_.sequencer;
        working_.timers = defaults_.timers;
        working_.modbusHeader = defaults_.modbusHeader;
        working_.modbusEntries = defaults_.modbusEntries;
        working_.logs = defaults_.logs;
        return Reply(type);
    case 14:   // reboot: unsaved changes are gone
        if (!size_is(0)) return Reject();
        ++rebootCount_;
        working_ = flash_;
        writeConfigBusyLeft_ = 0;
        imageWriteBusyLeft_ = 0;
        return Reply(type);
    case 18:
        if (!size_is(0)) return Reject();
        return Reply(type, BytesOf(working_.modbusHeader));
    case 20: {
        if (!size_is(2)) return Reject();
        const int index = U16At(p, 0);
        if (index >= kModbusEntryCount) return Reject();
        return Reply(type, BytesOf(working_.modbusEntries[size_t(index)]));
    }
    case 22:
        if (!size_is(int(sizeof(ModbusHeader)))) return Reject();
        CopyInto(working_.modbusHeader, p);
        return Reply(type);
    case 24: {
        if (!size_is(int(sizeof(ModbusEntry)))) return Reject();
        ModbusEntry entry;
        CopyInto(entry, p);
        if (entry.index >= kModbusEntryCount) return Reject();
        working_.modbusEntries[entry.index] = entry;
        QByteArray out;
        AppendU16(out, entry.index);
        return Reply(type, out);
    }
    case 36: {
        if (!size_is(1)) return Reject();
        const int log = uint8_t(p[0]);
        if (log >= kLogCount) return Reject();
        return Reply(type, BytesOf(working_.logs[size_t(log)]));
    }
    case 38: {
        if (!size_is(int(sizeof(LogConfigRecord)))) return Reject();
        LogConfigRecord record;
        CopyInto(record, p);
        if (record.LOG_NUMBER >= kLogCount) return Reject();
        working_.logs[record.LOG_NUMBER] = record;
        return Reply(type);
    }
    case 40:
    case 44:
    case 58: {
        if (!size_is(5) || uint8_t(p[4]) > kMemoryBlockData) return Reject();
        const QByteArray& memory = type == 40 ? archive_ : type == 44 ? events_ : image_;
        return ReadMemory(memory, p, type);
    }
    case 42: {
        if (!size_is(0)) return Reject();
        return Reply(type, BytesOf(StatusNow()));
    }
    case 46: {
        if (!size_is(int(sizeof(MemoryBlock)))) return Reject();
        MemoryBlock block;
        CopyInto(block, p);
        if (block.count > kMemoryBlockData || qint64(block.address) + block.count > kImageMemoryLimit)
            return Reject();
        const int end = int(block.address) + block.count;
        if (block.count > 0 && image_.size() < end) image_.append(QByteArray(end - image_.size(), '\0'));
        if (block.count > 0) std::memcpy(image_.data() + block.address, block.data, block.count);
        imageWriteBusyLeft_ = imageWriteBusyPolls_;
        return Reply(type, BytesOf(ImageWriteReply{block.address, block.count}));
    }
    case 48: {
        if (!size_is(0)) return Reject();
        const bool busy = imageWriteBusyLeft_ != 0;
        if (imageWriteBusyLeft_ > 0) --imageWriteBusyLeft_;
        return Reply(type, QByteArray(1, char(busy ? 1 : 0)));
    }
    case 50: {   // block read: values packed in request order, each in its catalogue width, in
                 // the whole 81-byte reply unless packed replies are asked for
        if (!size_is(int(sizeof(BlockReadRequest)))) return Reject();
        BlockReadRequest block;
        CopyInto(block, p);
        if (block.count > kBlockReadRows) return Reject();
        for (int k = 0; k < block.count; ++k)
            if (!ValidRow(block.rows[k])) return Reject();
        QByteArray out(1, char(block.count));
        for (int k = 0; k < block.count; ++k) {
            const int row = block.rows[k];
            const int width = rosetta::ValueWidthOfType(rosetta::kCatalogueRows[row].typeCode);
            TakeQueuedValue(row);
            out.append(working_.values[size_t(row)].left(width));
        }
        if (!packedBlockReplies_) out.append(QByteArray(int(sizeof(BlockReadReply)) - out.size(), '\0'));
        return Reply(type, out);
    }
    case 52:
        if (!size_is(0)) return Reject();
        events_.clear();
        ++eventWipes_;
        return Reply(type);
    case 54:
        if (!size_is(0)) return Reject();
        archive_.clear();
        ++archiveWipes_;
        return Reply(type);
    case 60:
        if (!size_is(0)) return Reject();
        return Reply(type, QByteArray(reinterpret_cast<const char*>(working_.sequencer.data()), kSequencerBlockSize));
    case 62:
        if (!size_is(kSequencerBlockSize)) return Reject();
        std::memcpy(working_.sequencer.data(), p.constData(), kSequencerBlockSize);
        return Reply(type);
    case 64:
        if (!size_is(0)) return Reject();
        return Reply(type, QByteArray(reinterpret_cast<const char*>(working_.timers.data()), kTimerBlockSize));
    case 66:
        if (!size_is(kTimerBlockSize)) return Reject();
        std::memcpy(working_.timers.data(), p.constData(), kTimerBlockSize);
        return Reply(type);
    default:
        return Reject();
    }
}

}  // namespace sim
