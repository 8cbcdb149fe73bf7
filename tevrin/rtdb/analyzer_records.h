#pragma once
// Records exchanged with the analyzer inside request and reply messages. All multi-byte
// fields are little-endian on the wire; the records are packed so that they can be copied
// to and from message bytes as they stand (this machine is little-endian, checked below).
#include <cstdint>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "records are laid out little-endian");

#pragma pack(push, 1)

// One analyzer log's configuration (22 bytes). The database holds six.
struct LogConfigRecord {
    uint8_t LOG_NUMBER;
    uint8_t Enable;
    uint16_t Frequency;
    uint8_t LogIdCode;
    uint8_t ParametersInLog;
    uint16_t UniqueId[8];   // DbIds of the logged points
};
static_assert(sizeof(LogConfigRecord) == 22, "log configuration record is 22 bytes");

// Modbus map header (17 bytes): mode 0 ENRON, 1 MODICON16, 2 MODICON32, then four
// runs {start entry index, count}.
struct ModbusRun {
    uint16_t start;
    uint16_t count;
};
struct ModbusHeader {
    uint8_t mode;
    ModbusRun runs[4];
};
static_assert(sizeof(ModbusHeader) == 17, "Modbus header is 17 bytes");

// One Modbus map entry (7 bytes).
struct ModbusEntry {
    uint16_t index;
    uint8_t LSMS;
    uint8_t FORMAT;
    uint8_t ACCESS;
    uint16_t UNIQUEID;   // DbId of the mapped point
};
static_assert(sizeof(ModbusEntry) == 7, "Modbus entry is 7 bytes");

// A block of archive, event-log or firmware image memory (205 bytes).
constexpr int kMemoryBlockData = 200;
struct MemoryBlock {
    uint32_t address;
    uint8_t count;   // valid data bytes, at most 200
    uint8_t data[kMemoryBlockData];
};
static_assert(sizeof(MemoryBlock) == 205, "memory block is 205 bytes");

// Reply to an image block write (5 bytes); nobody inspects it.
struct ImageWriteReply {
    uint32_t address;
    uint8_t count;
};
static_assert(sizeof(ImageWriteReply) == 5, "image write reply is 5 bytes");

// Log status (12 bytes): three numbers that the archive and event-log commands interpret.
struct LogStatus {
    uint32_t value[3];
};
static_assert(sizeof(LogStatus) == 12, "log status is 12 bytes");

// Block read of up to 20 catalogue rows (request 41 bytes, reply 81 bytes).
constexpr int kBlockReadRows = 20;
struct BlockReadRequest {
    uint8_t count;
    uint16_t rows[kBlockReadRows];   // rows past count are 0
};
static_assert(sizeof(BlockReadRequest) == 41, "block read request is 41 bytes");

struct BlockReadReply {
    uint8_t count;
    uint8_t values[80];   // packed in request order, each as wide as its point's type
};
static_assert(sizeof(BlockReadReply) == 81, "block read reply is 81 bytes");

#pragma pack(pop)

constexpr int kSequencerBlockSize = 228;
constexpr int kTimerBlockSize = 144;
constexpr int kTimerRecordSize = 12;
constexpr int kTimerCount = 12;
constexpr int kLogCount = 6;
