#include "tevrin/rtdb/comm_db_point_facade.h"

#include "pollard/pollard_api.h"
#include "tevrin/rtdb/communications.h"

#include <algorithm>
#include <cstring>

// Layout of the two areas: the request message starts at offset 2 of the request area
// ([LEN][TYPE][payload], payload at 4); the reply message starts at offset 0 of the reply
// area ([length][type][payload], payload at 2). Multi-byte fields are little-endian, which
// is this machine's order (analyzer_records.h checks it), so values are copied as they stand.
//
// Reply-type rules: writes and unit commands raise 21 on a wrong reply type; block and
// record reads raise 21 too (a wrong reply is a failed read, never a record of zeros);
// the block writes 38, 62, 66 answer whether the reply type was right. Every read, the
// single-point reads (type 1) and the Modbus map reads (18, 20) included, raises 21 on a
// wrong reply type, so a reply to some other request never becomes a value.

namespace {

constexpr int kRequestPayload = 4;   // offset of the request payload in the request area
constexpr int kReplyPayload = 2;     // offset of the reply payload in the reply area
constexpr int kPointValue = 4;       // offset of a single point's value in a type-1 reply

enum : uint8_t {
    kReadPoint = 1,
    kWritePoint = 4,
    kWriteText = 6,
    kWriteConfig = 8,
    kWriteConfigBusy = 10,
    kSetDefaultConfig = 12,
    kReboot = 14,
    kReadModbusHeader = 18,
    kReadModbusEntry = 20,
    kWriteModbusHeader = 22,
    kWriteModbusEntry = 24,
    kReadLogConfig = 36,
    kWriteLogConfig = 38,
    kReadArchiveBlock = 40,
    kReadLogStatus = 42,
    kReadEventBlock = 44,
    kWriteImageBlock = 46,
    kImageWriteBusy = 48,
    kReadBlock = 50,
    kWipeEventLog = 52,
    kWipeArchive = 54,
    kReadImageBlock = 58,
    kReadSequencer = 60,
    kWriteSequencer = 62,
    kReadTimers = 64,
    kWriteTimers = 66,
};

// Every reply that is read lies inside the reply area, and every request inside the request area.
static_assert(kReplyPayload + kSequencerBlockSize <= CommDBPointFacade::kReplyAreaSize, "sequencer reply fits");
static_assert(kReplyPayload + sizeof(MemoryBlock) <= CommDBPointFacade::kReplyAreaSize, "memory block reply fits");
static_assert(kReplyPayload + sizeof(BlockReadReply) <= CommDBPointFacade::kReplyAreaSize, "block reply fits");
static_assert(kPointValue + 1 + CommDBPointFacade::kMaxTextLength <= CommDBPointFacade::kReplyAreaSize, "text fits");
static_assert(kRequestPayload + kSequencerBlockSize <= CommDBPointFacade::kRequestAreaSize, "sequencer request fits");
static_assert(kRequestPayload + sizeof(MemoryBlock) <= CommDBPointFacade::kRequestAreaSize, "image request fits");

CommDBPointFacade* g_facade = nullptr;

}  // namespace

CommDBPointFacade* CommDBPointFacade::Instance()
{
    if (!g_facade) g_facade = new CommDBPointFacade(Communications::Instance());
    return g_facade;
}

void CommDBPointFacade::DestroyInstance()
{
    delete g_facade;
    g_facade = nullptr;
}

CommDBPointFacade::CommDBPointFacade(Communications* comms) : comms_(comms) {}

CommDBPointFacade::~CommDBPointFacade() = default;

// --- the common steps -------------------------------------------------------------------

void CommDBPointFacade::Begin(bool clearRequest)
{
    std::memset(reply_, 0, sizeof reply_);
    if (clearRequest) std::memset(request_, 0, sizeof request_);
}

void CommDBPointFacade::PutPayload(int offset, const void* data, int size)
{
    std::memcpy(request_ + kRequestPayload + offset, data, static_cast<size_t>(size));
}

void CommDBPointFacade::Exchange(uint8_t type, int payloadLength, bool notify)
{
    request_[2] = static_cast<uint8_t>(2 + payloadLength);
    request_[3] = type;
    // A failed exchange throws the engine's code straight through.
    comms_->SendReceive(request_, reply_, kReplyAreaSize, notify);
}

bool CommDBPointFacade::ReplyTypeIs(uint8_t type) const { return reply_[1] == static_cast<uint8_t>(type + 1); }

void CommDBPointFacade::ExpectReplyType(uint8_t type) const
{
    if (!ReplyTypeIs(type)) throw kErrUnexpectedReplyType;
}

void CommDBPointFacade::TakeReply(int offset, void* out, int size) const
{
    std::memcpy(out, reply_ + offset, static_cast<size_t>(size));
}

void CommDBPointFacade::ExchangeForReply(uint8_t type, int payloadLength, void* out, int size)
{
    Exchange(type, payloadLength);
    ExpectReplyType(type);
    TakeReply(kReplyPayload, out, size);
}

template <class T>
T CommDBPointFacade::ExchangeForRecord(uint8_t type, int payloadLength)
{
    T record;
    ExchangeForReply(type, payloadLength, &record, static_cast<int>(sizeof record));
    return record;
}

void CommDBPointFacade::ReadPointRaw(uint16_t address, void* value, int width)
{
    Begin(true);
    PutPayload(0, &address, 2);
    Exchange(kReadPoint, 2);
    ExpectReplyType(kReadPoint);
    // A reply that ends before the value is spoilt or answers another request: no value.
    if (reply_[0] < kPointValue + width) throw static_cast<int>(pollard_api::crInvalidResponse);
    TakeReply(kPointValue, value, width);
}

void CommDBPointFacade::WritePointRaw(uint16_t address, const void* value, int width)
{
    Begin(false);
    PutPayload(0, &address, 2);
    // The value field is four bytes whatever the width: clear it so that a narrow value
    // carries no bytes of an earlier request.
    std::memset(request_ + kRequestPayload + 2, 0, 4);
    PutPayload(2, value, width);
    Exchange(kWritePoint, 6);
    ExpectReplyType(kWritePoint);
}

void CommDBPointFacade::Command(uint8_t type, bool clearRequest, bool notify)
{
    Begin(clearRequest);
    Exchange(type, 0, notify);
    ExpectReplyType(type);
}

// --- single points ----------------------------------------------------------------------

float CommDBPointFacade::ReadFloat(uint16_t address) { return ReadValue<float>(address); }
bool CommDBPointFacade::ReadBool(uint16_t address) { return ReadValue<uint8_t>(address) != 0; }
uint8_t CommDBPointFacade::ReadU8(uint16_t address) { return ReadValue<uint8_t>(address); }
uint16_t CommDBPointFacade::ReadU16(uint16_t address) { return ReadValue<uint16_t>(address); }
uint32_t CommDBPointFacade::ReadU32(uint16_t address) { return ReadValue<uint32_t>(address); }
int8_t CommDBPointFacade::ReadS8(uint16_t address) { return ReadValue<int8_t>(address); }
int16_t CommDBPointFacade::ReadS16(uint16_t address) { return ReadValue<int16_t>(address); }
int32_t CommDBPointFacade::ReadS32(uint16_t address) { return ReadValue<int32_t>(address); }

void CommDBPointFacade::WriteFloat(uint16_t address, float value) { WritePointRaw(address, &value, 4); }

void CommDBPointFacade::WriteBool(uint16_t address, bool value)
{
    const uint8_t v = value ? 1 : 0;
    WritePointRaw(address, &v, 1);
}

void CommDBPointFacade::WriteU8(uint16_t address, uint8_t value) { WritePointRaw(address, &value, 1); }
void CommDBPointFacade::WriteU16(uint16_t address, uint16_t value) { WritePointRaw(address, &value, 2); }
void CommDBPointFacade::WriteU32(uint16_t address, uint32_t value) { WritePointRaw(address, &value, 4); }
void CommDBPointFacade::WriteS8(uint16_t address, int8_t value) { WritePointRaw(address, &value, 1); }
void CommDBPointFacade::WriteS16(uint16_t address, int16_t value) { WritePointRaw(address, &value, 2); }
void CommDBPointFacade::WriteS32(uint16_t address, int32_t value) { WritePointRaw(address, &value, 4); }

int CommDBPointFacade::ReadString(uint16_t address, std::string& text)
{
    Begin(true);
    PutPayload(0, &address, 2);
    Exchange(kReadPoint, 2);
    ExpectReplyType(kReadPoint);
    const int n = reply_[kPointValue];
    if (n > kMaxTextLength) return 0;   // more than a text point holds: keep the old text
    // Fewer characters than the reply's text length counts: spoilt, and no text.
    if (reply_[0] < kPointValue + 1 + n) throw static_cast<int>(pollard_api::crInvalidResponse);
    text.assign(reinterpret_cast<const char*>(reply_ + kPointValue + 1), static_cast<size_t>(n));
    return n;
}

void CommDBPointFacade::WriteString(uint16_t address, const std::string& text)
{
    // A text point holds at most 20 characters; that is all the message carries.
    const int n = static_cast<int>(std::min<size_t>(text.size(), kMaxTextLength));
    Begin(true);
    PutPayload(0, &address, 2);
    request_[kRequestPayload + 2] = static_cast<uint8_t>(n);
    PutPayload(3, text.data(), n);   // the cleared area leaves a terminating zero after it
    Exchange(kWriteText, 3 + n);
    ExpectReplyType(kWriteText);
}

// --- unit operations --------------------------------------------------------------------

void CommDBPointFacade::WriteConfig() { Command(kWriteConfig, false, true); }

bool CommDBPointFacade::IsWriteConfigBusy()
{
    Command(kWriteConfigBusy, false, true);
    return reply_[kReplyPayload] != 0;
}

void CommDBPointFacade::SetDefaultConfig() { Command(kSetDefaultConfig, false, true); }
void CommDBPointFacade::Reboot() { Command(kReboot, false, true); }
void CommDBPointFacade::WipeEventLog() { Command(kWipeEventLog, false, true); }
void CommDBPointFacade::WipeArchive() { Command(kWipeArchive, false, true); }

bool CommDBPointFacade::IsImageWriteBusy()
{
    // The only request that asks the engine not to post its progress notice.
    Command(kImageWriteBusy, false, false);
    return reply_[kReplyPayload] != 0;
}

// --- Modbus map -------------------------------------------------------------------------

ModbusHeader CommDBPointFacade::ReadModbusHeader()
{
    Begin(true);
    return ExchangeForRecord<ModbusHeader>(kReadModbusHeader, 0);
}

ModbusEntry CommDBPointFacade::ReadModbusEntry(uint16_t index)
{
    Begin(true);
    PutPayload(0, &index, 2);
    return ExchangeForRecord<ModbusEntry>(kReadModbusEntry, 2);
}

bool CommDBPointFacade::WriteModbusHeader(const ModbusHeader& h)
{
    Begin(false);
    PutPayload(0, &h, sizeof h);
    Exchange(kWriteModbusHeader, sizeof h);
    ExpectReplyType(kWriteModbusHeader);
    return true;
}

uint16_t CommDBPointFacade::WriteModbusEntry(const ModbusEntry& e)
{
    Begin(false);
    PutPayload(0, &e, sizeof e);
    Exchange(kWriteModbusEntry, sizeof e);
    ExpectReplyType(kWriteModbusEntry);
    uint16_t v = 0;
    TakeReply(kReplyPayload, &v, 2);
    return v;
}

// --- log configuration and memories -----------------------------------------------------

LogConfigRecord CommDBPointFacade::ReadLogConfig(uint8_t logNumber, bool* answered)
{
    Begin(true);
    request_[kRequestPayload] = logNumber;
    Exchange(kReadLogConfig, 1);
    LogConfigRecord record{};
    const bool right = ReplyTypeIs(kReadLogConfig);
    if (right) TakeReply(kReplyPayload, &record, static_cast<int>(sizeof record));
    if (answered) *answered = right;
    return record;
}

bool CommDBPointFacade::WriteLogConfig(const LogConfigRecord& record)
{
    Begin(true);
    PutPayload(0, &record, sizeof record);
    Exchange(kWriteLogConfig, sizeof record);
    return ReplyTypeIs(kWriteLogConfig);
}

MemoryBlock CommDBPointFacade::ReadMemory(uint8_t type, uint32_t address, uint8_t count)
{
    Begin(true);
    PutPayload(0, &address, 4);
    request_[kRequestPayload + 4] = count;
    // The whole 205-byte block is copied; the block's own count (at most 200 valid bytes)
    // is for the caller to bound before it uses the data.
    return ExchangeForRecord<MemoryBlock>(type, 5);
}

MemoryBlock CommDBPointFacade::ReadArchiveBlock(uint32_t address, uint8_t count)
{
    return ReadMemory(kReadArchiveBlock, address, count);
}

MemoryBlock CommDBPointFacade::ReadEventBlock(uint32_t address, uint8_t count)
{
    return ReadMemory(kReadEventBlock, address, count);
}

MemoryBlock CommDBPointFacade::ReadImageBlock(uint32_t address, uint8_t count)
{
    return ReadMemory(kReadImageBlock, address, count);
}

LogStatus CommDBPointFacade::ReadLogStatus()
{
    Begin(true);
    return ExchangeForRecord<LogStatus>(kReadLogStatus, 0);
}

ImageWriteReply CommDBPointFacade::WriteImageBlock(const MemoryBlock& block)
{
    Begin(true);
    PutPayload(0, &block, sizeof block);
    return ExchangeForRecord<ImageWriteReply>(kWriteImageBlock, sizeof block);
}

// --- points in blocks -------------------------------------------------------------------

BlockReadReply CommDBPointFacade::ReadBlock(const BlockReadRequest& request)
{
    Begin(true);
    PutPayload(0, &request, sizeof request);
    // The fixed 81 bytes are copied whatever the reply's count byte says; matching the count
    // and the packed widths against the request is the caller's business.
    return ExchangeForRecord<BlockReadReply>(kReadBlock, sizeof request);
}

// --- whole configuration blocks ---------------------------------------------------------

void CommDBPointFacade::ReadSequencer(uint8_t (&block)[kSequencerBlockSize])
{
    Begin(true);
    ExchangeForReply(kReadSequencer, 0, block, kSequencerBlockSize);
}

bool CommDBPointFacade::WriteSequencer(const uint8_t (&block)[kSequencerBlockSize])
{
    Begin(false);
    PutPayload(0, block, kSequencerBlockSize);
    Exchange(kWriteSequencer, kSequencerBlockSize);
    return ReplyTypeIs(kWriteSequencer);
}

void CommDBPointFacade::ReadTimers(uint8_t (&block)[kTimerBlockSize])
{
    Begin(true);
    ExchangeForReply(kReadTimers, 0, block, kTimerBlockSize);
}

bool CommDBPointFacade::WriteTimers(const uint8_t (&block)[kTimerBlockSize])
{
    Begin(true);
    PutPayload(0, block, kTimerBlockSize);
    Exchange(kWriteTimers, kTimerBlockSize);
    return ReplyTypeIs(kWriteTimers);
}
