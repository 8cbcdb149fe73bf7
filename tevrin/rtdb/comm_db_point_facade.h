#pragma once
// The one place that knows the analyzer's request/reply messages: builds each request
// ([length][type][payload] at offset 2 of the request area), hands it to Communications,
// checks the reply type and takes the payload out. Failures are thrown as int: the engine's
// result codes 1-6, and 21 for a wrong reply type: every read and write checks the reply
// type except the single-point reads (type 1) and the Modbus map reads (18, 20); the block
// writes of the log configuration, sequencer and timers answer false instead.
#include "tevrin/rtdb/analyzer_records.h"

#include <cstdint>
#include <string>

class Communications;

// Error codes thrown inside the program besides the engine's 1-6.
constexpr int kErrEntryIndexMismatch = 20;
constexpr int kErrUnexpectedReplyType = 21;

class CommDBPointFacade {
public:
    static constexpr int kRequestAreaSize = 232;
    static constexpr int kReplyAreaSize = 230;
    static constexpr int kMaxTextLength = 20;

    static CommDBPointFacade* Instance();
    static void DestroyInstance();

    virtual ~CommDBPointFacade();

    // Single-point reads (type 1) by device address (catalogue row).
    virtual float ReadFloat(uint16_t address);
    virtual bool ReadBool(uint16_t address);
    virtual uint8_t ReadU8(uint16_t address);
    virtual uint16_t ReadU16(uint16_t address);
    virtual uint32_t ReadU32(uint16_t address);
    virtual int8_t ReadS8(uint16_t address);
    virtual int16_t ReadS16(uint16_t address);
    virtual int32_t ReadS32(uint16_t address);

    // Single-point writes (type 4); LEN is 8 whatever the width.
    virtual void WriteFloat(uint16_t address, float value);
    virtual void WriteBool(uint16_t address, bool value);
    virtual void WriteU8(uint16_t address, uint8_t value);
    virtual void WriteU16(uint16_t address, uint16_t value);
    virtual void WriteU32(uint16_t address, uint32_t value);
    virtual void WriteS8(uint16_t address, int8_t value);
    virtual void WriteS16(uint16_t address, int16_t value);
    virtual void WriteS32(uint16_t address, int32_t value);

    // Text points: ReadString returns the length (0 and text unchanged for a length above
    // 20); WriteString sends at most 20 characters (type 6).
    virtual int ReadString(uint16_t address, std::string& text);
    virtual void WriteString(uint16_t address, const std::string& text);

    // Unit operations.
    void WriteConfig();          // 8: store the configuration in flash
    bool IsWriteConfigBusy();    // 10
    void SetDefaultConfig();     // 12
    void Reboot();               // 14
    void WipeEventLog();         // 52
    void WipeArchive();          // 54

    // Modbus map.
    ModbusHeader ReadModbusHeader();                  // 18
    ModbusEntry ReadModbusEntry(uint16_t index);      // 20
    bool WriteModbusHeader(const ModbusHeader& h);    // 22
    uint16_t WriteModbusEntry(const ModbusEntry& e);  // 24

    // Log configuration and memories.
    // A reply of another type gives a record of zeros, not an error; `answered` then says false.
    LogConfigRecord ReadLogConfig(uint8_t logNumber, bool* answered = nullptr);   // 36
    bool WriteLogConfig(const LogConfigRecord& record);                // 38
    MemoryBlock ReadArchiveBlock(uint32_t address, uint8_t count);    // 40
    LogStatus ReadLogStatus();                                         // 42
    MemoryBlock ReadEventBlock(uint32_t address, uint8_t count);      // 44
    ImageWriteReply WriteImageBlock(const MemoryBlock& block);        // 46
    bool IsImageWriteBusy();                                           // 48 (no progress notice)
    MemoryBlock ReadImageBlock(uint32_t address, uint8_t count);      // 58

    // Points in blocks of up to 20 rows.
    BlockReadReply ReadBlock(const BlockReadRequest& request);         // 50
    // The length byte of the last reply message (0 when no reply came), so that a caller can
    // tell how many bytes of a fixed-size reply record the unit actually sent.
    int LastReplyLength() const { return reply_[0]; }

    // Whole configuration blocks.
    void ReadSequencer(uint8_t (&block)[kSequencerBlockSize]);         // 60
    bool WriteSequencer(const uint8_t (&block)[kSequencerBlockSize]);  // 62
    void ReadTimers(uint8_t (&block)[kTimerBlockSize]);                // 64
    bool WriteTimers(const uint8_t (&block)[kTimerBlockSize]);         // 66

protected:
    explicit CommDBPointFacade(Communications* comms);

private:
    void Begin(bool clearRequest);
    void PutPayload(int offset, const void* data, int size);
    void Exchange(uint8_t type, int payloadLength, bool notify = true);
    bool ReplyTypeIs(uint8_t type) const;
    void ExpectReplyType(uint8_t type) const;
    void TakeReply(int offset, void* out, int size) const;
    // Sends the request built so far and takes size bytes of the reply's payload; a reply of
    // the wrong type throws 21.
    void ExchangeForReply(uint8_t type, int payloadLength, void* out, int size);
    template <class T>
    T ExchangeForRecord(uint8_t type, int payloadLength);   // the same, for one record
    void ReadPointRaw(uint16_t address, void* value, int width);
    // A single point's value in its own width (type 1).
    template <class T>
    T ReadValue(uint16_t address)
    {
        T v{};
        ReadPointRaw(address, &v, static_cast<int>(sizeof(T)));
        return v;
    }
    void WritePointRaw(uint16_t address, const void* value, int width);
    void Command(uint8_t type, bool clearRequest, bool notify);
    MemoryBlock ReadMemory(uint8_t type, uint32_t address, uint8_t count);

    Communications* comms_;
    uint8_t request_[kRequestAreaSize] = {};
    uint8_t reply_[kReplyAreaSize] = {};
};
