#pragma once
// The simulated analyzer at message level: it holds what a unit holds (one value per catalogue
// row in a working and a flash copy, the Modbus map, the sequencer and timer blocks, six log
// configurations, the archive, event-log and firmware image memories) and answers every request
// message [length][type][payload] with the reply [length][type + 1][payload]. The wire server
// wraps it (frame, CRC, pacing, wire faults); tests drive it directly or through the wire.
//
// Replies (offsets are those of the reply message; all numbers little-endian):
//   1  read point      [2] u16 row (echoed), [4] the value in the row's own width (4, 2 or 1
//                      byte; baud-rate rows 1 byte); text rows: [4] length n, [5..] n chars
//   4  write point     [2] u16 row (echoed). The low bytes of the 4-byte value field, as wide
//                      as the row's value, are stored; the rest of the field is ignored.
//   6  write text      [2] u16 row (echoed)
//   8  store config    no payload; the working copy goes to flash, the busy polls are armed
//   10 store busy?     [2] byte 1 while busy, else 0
//   12 factory default no payload; the working copy of every writable configuration row and of
//                      the blocks, map and log configurations is reset to its initial value
//                      (the flash copy is not touched until the next store)
//   14 reboot          no payload; counts the reboot and reloads the working copy from flash
//   18 Modbus header   [2] 17 bytes
//   20 Modbus entry    [2] 7 bytes (index, LSMS, FORMAT, ACCESS, UNIQUEID)
//   22 write header    no payload
//   24 write entry     [2] u16 entry index
//   36 log config      [2] 22-byte record
//   38 write log cfg   no payload; stored in the slot named by the record's LOG_NUMBER
//   40 / 44 / 58       [2] 205-byte memory block: address, count of valid bytes (what the memory
//                      holds from the address, at most the count asked for), 200 data bytes
//                      (zero past the count)
//   42 log status      [2] three u32: 0, archive bytes, event-log bytes (unless set by a test)
//   46 image block     [2] u32 address, byte count (echoed); the data are stored, the busy
//                      polls are armed
//   48 image busy?     [2] byte 1 while busy, else 0
//   50 block read      [2] the 81-byte block reply: count, then the values of the requested
//                      rows packed in request order, each in its catalogue value width (4, 2,
//                      1 or 0 bytes), the rest zero. With packed block replies on, the reply
//                      ends after the last value (count and used bytes only).
//   52 / 54 wipe       no payload; the event-log / archive memory becomes empty
//   60 / 64            [2] 228-byte sequencer / 144-byte timer block
//   62 / 66            no payload
//
// Requests the unit refuses get the reject reply [0x02][0xFF] (the wire server frames it like any
// reply, which makes the engine see "unit says: bad request"): a length byte that differs from
// the message's size, an unknown type, a length that does not fit the type, a row, entry index or
// log number out of range, a block read of more than 20 rows, a memory block count above 200, a
// text longer than 20 characters, a write to a read-only row, a number write to a text row or a
// text write to a number row. A refused request changes nothing. A message of fewer than two
// bytes gets no answer (silence).
//
// Faults are injected by rules (AddFault): each matches requests of one type (or any), may let a
// number of matching requests through first, and then applies to the next `times` of them.
// Silence and Reject act instead of the request (the unit does not carry it out); the other
// faults change the reply of a request that was carried out.
//
// Every request (also malformed ones) is appended to the request log.
//
// A new unit is living unless made blank: it has been running for days. Its five logs are
// configured ("On Run", "Hourly", "Daily", "Periodic 1", "Periodic 2"; "Periodic 3" is off) and
// its archive holds some 450 records of them over the past days, its event log about a hundred
// events of every kind; its clock reads the present time, its identity, names, units and last
// results are set. AdvanceTime moves its clock on and with it the analysis: every run steps
// the analysis state through purge, tape advance, auto zero, sample delay, sample interval,
// stream update and idle; the run type follows the sequence of five sample runs, reference 1,
// zero and calibration (the checks under manual sequence 1, the sample runs under the automatic
// sequencer), each run starts with a "Run initiated" event and ends with new results and an "On
// Run" record, and the clock-driven logs record when their time comes. The living content is
// the same for every unit made at the same moment (no randomness); only the present time moves it.
// A blank unit holds zero in every row (but the database version and the settings that cannot be
// zero), no log configuration, empty memories, and AdvanceTime leaves it as it is: tests that
// need an empty unit or plant their own content make one blank.
//
// Thread safety: every public operation takes one mutex, so the wire server may run in another
// thread than the test.
#include "tests/sim/message_handler.h"
#include "tevrin/rtdb/analyzer_records.h"

#include <QByteArray>
#include <QDateTime>

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace sim {

// A catalogue row (the point's address in requests) or a point id; accessors take either.
struct Row {
    int index;
};
struct DbId {
    int id;
};

// Names one point; an unknown row or DbId makes the accessor throw std::out_of_range.
class Point {
public:
    Point(Row row);     // NOLINT: implicit on purpose
    Point(DbId dbId);   // NOLINT: implicit on purpose
    int row() const { return row_; }

private:
    int row_;
};

// Which copy of the configuration an accessor reads or writes. Setters default to Both (the
// unit holds the value as if stored); getters read the working copy unless told Flash.
enum class Copy { Working, Flash, Both };

enum class Fault {
    Silence,            // no reply at all
    Reject,             // the reject reply [0x02][0xFF]
    WrongType,          // reply type := value (default: the request type itself)
    ShortReply,         // the last `value` bytes (default 1) cut off; length byte kept consistent
    LongReply,          // `value` extra bytes 0xEE (default 1) appended; length byte consistent
    CountAboveRequest,  // block read (50) only: count byte := request count + value (default 1)
    TextTooLong,        // text read (1 on a text row) only: length byte := value (default 21),
                        // followed by that many characters
};

constexpr int kAnyType = -1;
constexpr int kForever = -1;

struct FaultRule {
    Fault fault = Fault::Silence;
    int type = kAnyType;   // request type the rule applies to
    int times = 1;         // how many matching requests it hits; kForever until ClearFaults
    int skip = 0;          // matching requests let through before it starts
    int value = -1;        // the fault's parameter (see Fault); -1 takes the default
};

// What the last Handle did.
enum class Outcome { Reply, Reject, Silence };

constexpr int kModbusEntryCount = 100;
constexpr int kTextMaxLength = 20;

// What a new unit holds (see above).
enum class Contents { Living, Blank };

class AnalyzerCore : public MessageHandler {
public:
    explicit AnalyzerCore(Contents contents = Contents::Living);
    // A living unit whose clock and memories start from `now` (a wall-clock time as the
    // analyzer's clock reads it) instead of the present time; an invalid time makes it blank.
    explicit AnalyzerCore(const QDateTime& now);

    // --- the message interface -------------------------------------------------------------
    std::optional<QByteArray> Handle(const QByteArray& request) override;
    Outcome LastOutcome() const;

    // --- request log ---------------------------------------------------------------------------
    std::vector<QByteArray> Requests() const;          // every request, in arrival order
    std::vector<QByteArray> RequestsOfType(int type) const;
    int RequestCount(int type = kAnyType) const;
    void ClearLog();

    // --- faults --------------------------------------------------------------------------------
    void AddFault(const FaultRule& rule);
    // Shorthand: the next `times` requests of `type` (any type by default) get `fault`.
    void FailNext(Fault fault, int times = 1, int type = kAnyType);
    void ClearFaults();
    int PendingFaults() const;   // rules not yet used up

    // --- point values --------------------------------------------------------------------------
    static int RowOfDbId(int dbId);   // -1 when unknown; 65531 finds -5 (the u16 form)
    // Numbers: float rows take the value as a single, boolean rows store 1 for non-zero,
    // integer rows take it cut to their width (two's complement for negatives).
    void SetValue(Point point, double value, Copy which = Copy::Both);
    double Value(Point point, Copy which = Copy::Working) const;
    // Text rows: at most 20 characters (longer texts are cut).
    void SetText(Point point, const QByteArray& text, Copy which = Copy::Both);
    QByteArray Text(Point point, Copy which = Copy::Working) const;
    // Any row as its text: numbers in decimal ("12.5", "-3", "4294967295"), booleans "True" /
    // "False", text rows as they are. SetValueText parses the same forms.
    void SetValueText(Point point, const QByteArray& text, Copy which = Copy::Both);
    QByteArray ValueText(Point point, Copy which = Copy::Working) const;
    // Values that successive reads of a point (single or block reads) find, one per read, in the
    // forms SetValueText takes; each one is stored into the working copy as it is read, so a
    // unit that changes a value by itself (a confirmation that comes true at the second read)
    // can be played. When they are used up the point keeps the last one.
    void QueueReadValues(Point point, const std::vector<QByteArray>& texts);
    // The stored bytes (little-endian value or text characters).
    QByteArray Raw(Point point, Copy which = Copy::Working) const;
    void SetRaw(Point point, const QByteArray& bytes, Copy which = Copy::Both);

    // --- blocks, map and log configurations -----------------------------------------------------
    QByteArray SequencerBlock(Copy which = Copy::Working) const;   // 228 bytes
    void SetSequencerBlock(const QByteArray& block, Copy which = Copy::Both);
    QByteArray TimerBlock(Copy which = Copy::Working) const;       // 144 bytes
    void SetTimerBlock(const QByteArray& block, Copy which = Copy::Both);
    ModbusHeader ModbusMapHeader(Copy which = Copy::Working) const;
    void SetModbusMapHeader(const ModbusHeader& header, Copy which = Copy::Both);
    ModbusEntry ModbusMapEntry(int index, Copy which = Copy::Working) const;   // 0..99
    void SetModbusMapEntry(const ModbusEntry& entry, Copy which = Copy::Both); // at entry.index
    LogConfigRecord LogConfig(int log, Copy which = Copy::Working) const;     // 0..5
    void SetLogConfig(int log, const LogConfigRecord& record, Copy which = Copy::Both);

    // --- reply form ---------------------------------------------------------------------------
    // Block reads (50) answered with the used bytes only instead of the whole 81-byte reply.
    void SetPackedBlockReplies(bool packed);
    bool PackedBlockReplies() const;

    // --- configuration store ---------------------------------------------------------------------
    void StoreToFlash();   // what message 8 does, without the busy polls
    void PowerCycle();     // working copy := flash copy (as after a reboot, not counted)
    int RebootCount() const;
    // Polls of 10 / 48 that answer busy after each 8 / 46 (kForever: always busy). Default 0.
    void SetWriteConfigBusyPolls(int polls);
    void SetImageWriteBusyPolls(int polls);

    // --- memories --------------------------------------------------------------------------------
    void SetArchiveMemory(const QByteArray& bytes);
    QByteArray ArchiveMemory() const;
    void SetEventMemory(const QByteArray& bytes);
    QByteArray EventMemory() const;
    // Log status (message 42). Until set it is {0, archive size, event-log size}.
    void SetLogStatus(const LogStatus& status);
    void ResetLogStatus();
    LogStatus CurrentLogStatus() const;
    int ArchiveWipeCount() const;
    int EventLogWipeCount() const;
    // Firmware image memory: grows as blocks are written (up to 16 MiB).
    void SetImageMemory(const QByteArray& bytes);
    QByteArray ImageMemory() const;

    // --- the living unit ---------------------------------------------------------------------
    bool IsLiving() const;
    // Moves a living unit on by `seconds` (fractions are kept until they make a whole second; at
    // most a day at once): its clock, the analysis and the logs as described above. A blank unit
    // ignores it. The simulator program calls it with the time that passed.
    void AdvanceTime(double seconds);
    // The length of one analysis run of a living unit, in seconds.
    static int LivingRunSeconds();

private:
    struct Config {
        std::vector<QByteArray> values;   // per row: value bytes, or the text characters
        std::array<uint8_t, kSequencerBlockSize> sequencer{};
        std::array<uint8_t, kTimerBlockSize> timers{};
        ModbusHeader modbusHeader{};
        std::array<ModbusEntry, kModbusEntryCount> modbusEntries{};
        std::array<LogConfigRecord, kLogCount> logs{};
    };

    // Message handling (mutex held).
    std::optional<QByteArray> Process(const QByteArray& request);
    std::optional<QByteArray> ApplyFault(const FaultRule& rule, const QByteArray& request,
                                         std::optional<QByteArray> reply) const;
    FaultRule* MatchFault(const QByteArray& request);
    QByteArray ReadPoint(int row);
    LogStatus StatusNow() const;
    void TakeQueuedValue(int row);
    QByteArray ReadMemory(const QByteArray& memory, const QByteArray& request, int type) const;

    // State helpers (mutex held).
    const Config& Of(Copy which) const;
    template <typename F> void ForEach(Copy which, F&& change);
    static QByteArray DefaultValue(int row);
    QByteArray EncodeNumber(int row, double value) const;
    QByteArray EncodeText(int row, const QByteArray& text) const;
    double DecodeNumber(int row, const QByteArray& raw) const;

    mutable std::mutex mutex_;
    Config working_;
    Config flash_;
    Config defaults_;
    std::vector<QByteArray> log_;
    std::vector<FaultRule> faults_;
    std::map<int, std::deque<QByteArray>> queuedReads_;   // row -> raw values still to be read
    Outcome lastOutcome_ = Outcome::Reply;
    bool packedBlockReplies_ = false;

    int rebootCount_ = 0;
    int writeConfigBusyPolls_ = 0;
    int imageWriteBusyPolls_ = 0;
    int writeConfigBusyLeft_ = 0;
    int imageWriteBusyLeft_ = 0;

    QByteArray archive_;
    QByteArray events_;
    QByteArray image_;
    std::optional<LogStatus> logStatus_;
    int archiveWipes_ = 0;
    int eventWipes_ = 0;

    // The living unit (living_unit.cpp; mutex held).
    void MakeLiving(const QDateTime& now);
    void LiveOneSecond();
    void StartRun();
    void FinishRun();
    void PutReading(int dbId, double value, Copy which = Copy::Working);
    double Reading(int dbId) const;
    QByteArray LogFrame(int log, uint32_t token) const;
    void AppendArchive(const QByteArray& bytes);
    void AppendEvent(uint32_t token, uint8_t type, uint8_t detail, uint8_t value);
    uint32_t ClockToken() const;

    bool living_ = false;
    double pendingSeconds_ = 0;   // not yet a whole second
    int runSecond_ = 0;           // seconds into the current run
    int runs_ = 0;                // runs begun since the unit was made
    int runType_ = 0;
    int archiveWrite_ = 0;        // where the next record goes in each memory
    int eventWrite_ = 0;
    double hourSum_ = 0, hourMin_ = 0, hourMax_ = 0;   // sample results of the hour so far
    int hourCount_ = 0;
    double daySum_ = 0, dayMin_ = 0, dayMax_ = 0;
    int dayCount_ = 0;
};

}  // namespace sim
