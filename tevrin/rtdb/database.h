#pragma once
// The real-time database: one typed point for every catalogue row, found by row or by DbId,
// with the structures the analyzer exchanges as whole blocks (sequencer, timers, Modbus map,
// six log configuration records), the page point list and the change list. The command layer
// uses it through IDatabaseDriver, the data-bound controls through IDatabaseGlue. It lives on
// the GUI thread from the main window's start-up to its destruction.
//
// Device failures are thrown as int (the engine's codes 1-6, 20, 21) and pass through every
// read and write operation unchanged; points already applied keep their new values.
#include "brannix/database_glue.h"
#include "tevrin/rtdb/analyzer_records.h"
#include "tevrin/rtdb/archive_capacity.h"
#include "tevrin/rtdb/express_scan.h"
#include "tevrin/rtdb/log_record_set.h"
#include "tevrin/rtdb/sequencer.h"
#include "tevrin/rtdb/timer_x_manager.h"
#include "tevrin/rtdb/write_log_records_manager.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class DatabasePoint;
class ModbusList;

// Results of the single-point operations besides 0.
constexpr int kErrUnknownWritePoint = 30;   // WritePoint: no point has the DbId
constexpr int kErrUnknownReadPoint = 31;    // ReadPoint: no point has the DbId
// A write that sent nothing: the point is not writable, not in a configuration group, or has
// no device address yet.
constexpr int kErrPointNotWritten = 32;
// A write that sent nothing because the point's value has not been read from the analyzer.
constexpr int kErrPointNotRead = 33;

// The command layer's side of the database.
class IDatabaseDriver {
public:
    // Stores the text cut or padded with blanks to exactly 25 characters.
    virtual void SetConfigFileTypeID(const std::string& id) = 0;
    virtual void SetTag16(uint16_t tag) = 0;
    // Reads one point from the unit and marks it valid: 0, or kErrUnknownReadPoint.
    virtual int ReadPoint(TDbId id) = 0;
    // Traces, then writes one point's edited value: 0 when it was sent, kErrUnknownWritePoint
    // for an unknown DbId; nothing sent: kErrPointNotWritten for a point that cannot be
    // written, kErrPointNotRead for one not read from the analyzer yet.
    virtual int WritePoint(TDbId id) = 0;
    virtual bool AnyChanged() = 0;
    virtual int PointCount() = 0;
    // Points whose group is shown in the watch window.
    virtual int CountFlaggedGroupPoints() = 0;
    virtual int ReadAll() = 0;
    // 0, or kErrPointNotWritten when a changed point could not be sent.
    virtual int WriteChanges() = 0;
    virtual void Connect() = 0;

protected:
    ~IDatabaseDriver() = default;
};

class DataBase : public IDatabaseDriver, public IDatabaseGlue {
public:
    static constexpr int kConfigFileTypeIdLength = 25;
    static constexpr TDbId kVersionDbId = 500;
    static constexpr TDbId kStreamsDbId = 20;  // the number of streams less one ("0": one stream)
    static constexpr TDbId kBypassTimeoutDbId = 284;
    static constexpr TDbId kClockDbId = 388;
    static constexpr int kBlockRows = kBlockReadRows;   // rows per block read

    // The singleton, built on first use with one point per catalogue row.
    static DataBase* Instance();
    // Frees the pending archive and event-log data, every point, the catalogue manager and the
    // database. The next Instance builds a new one.
    static void DestroyInstance();
    static bool Exists();

    // --- IDatabaseDriver -------------------------------------------------------------------------
    void SetConfigFileTypeID(const std::string& id) override;
    void SetTag16(uint16_t tag) override { tag16_ = tag; }
    int ReadPoint(TDbId id) override;
    int WritePoint(TDbId id) override;
    bool AnyChanged() override;
    int PointCount() override;
    int CountFlaggedGroupPoints() override;
    // Reads every configuration point (text and baud-rate points one by one, the others in
    // blocks of 20 rows, always closed by one more block request), then the Modbus map, the
    // sequencer and the timers. The result carries no meaning.
    int ReadAll() override;
    int WriteChanges() override;
    // Reads the analyzer's database version, loads the catalogue for it (any version but
    // "17041417" warns and leaves the program read-only), reads everything and goes online.
    // A failure is thrown on and leaves the offline flag as it was.
    void Connect() override;

    // --- IDatabaseGlue ---------------------------------------------------------------------------
    std::string GetPointName(TDbId id) override;   // "0" for an unknown id
    int Attach(TDbId id, IDBPointObserver* observer) override;
    void Detach(TDbId id, IDBPointObserver* observer) override;
    // A control's edited text. Offline every point takes it; online only a valid point of the
    // page now showing. Analog-output source points take a list position and store that
    // entry's DbId; the bypass time-out takes seconds and stores milliseconds. A text that is
    // not a number for those points throws EConvertError and changes nothing. Any other point
    // takes the text through DatabasePoint::PutText: its own text is no edit.
    void PutText(TDbId id, const char* text) override;
    bool IsWritable(TDbId id) override;
    int GetTypeCode(TDbId id) override;

    IDatabaseGlue* Glue() { return this; }
    IDatabaseDriver* Driver() { return this; }

    // --- points ----------------------------------------------------------------------------------
    // nullptr for a row beyond the catalogue or a row without a point class.
    DatabasePoint* PointByIndex(int row) const;
    // nullptr when no point has the DbId.
    DatabasePoint* PointByDbId(TDbId id) const;
    std::string GetPointText(TDbId id);   // "" for an unknown id
    std::string GetPointNameByRow(int row);   // "0" for a row without a point
    // A page's or command's edit: only a valid point takes it, with the translations of
    // PutText; the bypass time-out only while page 3 shows.
    void SetPointText(TDbId id, const std::string& text);
    void SetValid(TDbId id);
    // Every point invalid; offline until the next Connect.
    void ClearValid();
    bool IsOffline() const { return offline_ != 0; }
    bool StreamsChanged() const { return streamsChanged_ != 0; }

    // Text of an analog-output source point's list position: the DbId of that entry ("65535"
    // when none); "-1" for other points. EConvertError for a text that is not a number.
    static std::string TranslateAOSource(TDbId id, const std::string& text);
    // Seconds to milliseconds for the bypass time-out; "-1" for other points.
    static std::string TranslateBypassTimeout(TDbId id, const std::string& text);

    // --- page reads and writes -------------------------------------------------------------------
    // Reads the points of the page now showing (pollOnly: the poll list of a polling page), and
    // the block the page shows: timers on page 16 (first), sequencer on 12, Modbus map on 7.
    void ExpressRead(bool pollOnly);
    // Applies a block-read reply: count values packed in the order of the request's rows, each
    // as wide as its row's type, from values (valuesLength bytes). Entries beyond the request's
    // count or the bytes present are not applied. Each point applied gets the value as device
    // and edited value, becomes valid when setValid, and its observers hear it.
    void ApplyBlockReply(const BlockReadRequest& request, int count, const uint8_t* values, int valuesLength,
                         bool setValid);
    // How many requests the reads will send (single reads plus one per started block of 20),
    // for the progress bar.
    int CountReadAllRequests();
    int CountExpressReadRequests();
    int CountPollRequests();
    // Writes every writable configuration point as it stands, then the Modbus map and timers:
    // 0, or kErrPointNotWritten when a point could not be sent.
    int WriteConfigPoints();
    // No calibration may reference a stream that is not configured: lowers the "Stream
    // Calibration Used" points of the configured streams to the stream setting (0 to 2).
    void ApplyStreamCount(int streams);

    // --- the write trace -------------------------------------------------------------------------
    // Point lines of the points being written (fullWrite: every writable configuration point)
    // and the timer section when it is due.
    void LogTimerConfiguration(bool fullWrite);
    void LogSequencerConfiguration();
    void LogModbusList();
    void LogLogConfiguration();

    // --- members ---------------------------------------------------------------------------------
    ExpressScan& AsExpressScan() { return expressScan_; }
    Sequencer* AsSequencer() { return sequencer_.get(); }
    TimerXManager* AsTimerXManager() { return timers_.get(); }
    ModbusList* AsModbusList() { return modbusList_.get(); }
    WriteLogRecordsManager& AsWriteLogRecordsManager() { return writeLog_; }

    LogConfigRecord (&LogRecords())[kLogCount] { return logRecords_; }
    LogConfigRecord& LogRecord(int log) { return logRecords_[log]; }
    // Whether record `log` came from the unit at the latest reading of the six: false for one
    // whose read failed, was never asked after an earlier failure, or was answered with another
    // reply type (its zeros are not the unit's).
    bool LogRecordRead(int log) const { return log >= 0 && log < kLogCount && logRecordRead_[static_cast<size_t>(log)]; }
    void SetLogRecordRead(int log, bool read)
    {
        if (log >= 0 && log < kLogCount) logRecordRead_[static_cast<size_t>(log)] = read;
    }

    // Pending archive image (the archive read fills it, the archive worker consumes and frees it)
    // and event-log image (the event-log page decodes it).
    std::vector<uint8_t>& ArchiveData() { return archiveData_; }
    uint32_t ArchiveLength() const { return static_cast<uint32_t>(archiveData_.size()); }
    void FreeArchiveData() { std::vector<uint8_t>().swap(archiveData_); }
    std::vector<uint8_t>& EventData() { return eventData_; }
    uint32_t EventLength() const { return static_cast<uint32_t>(eventData_.size()); }
    void FreeEventData() { std::vector<uint8_t>().swap(eventData_); }

    // Archive memory size (from the log status at logon) and the capacity figures.
    void SetArchiveMemorySize(uint32_t bytes) { archiveMemorySize_ = bytes; }
    uint32_t ArchiveMemorySize() const { return archiveMemorySize_; }
    uint32_t RecordCapacity(int log) const { return capacities_.records[log]; }
    const std::string& CapacityText(int log) const { return capacities_.days[log]; }
    const archive_capacity::LogCapacities& Capacities() const { return capacities_; }
    float AverageOnRunPeriod();
    int ComputeRunTimes();
    bool LogIdsAreUnique() const;
    // The same among the records `among` names only.
    bool LogIdsAreUnique(const LogRecordSet& among) const;
    void ResetLogIds();

    const std::string& ConfigFileTypeID() const { return configFileTypeId_; }
    uint16_t Tag16() const { return tag16_; }

private:
    DataBase();
    virtual ~DataBase();
    DataBase(const DataBase&) = delete;
    DataBase& operator=(const DataBase&) = delete;

    friend class TraceScope;

    // The shared read loop over the catalogue rows.
    template <typename Selected>
    void ReadSelected(Selected selected, bool markSingleValid);
    void SendBlock(BlockReadRequest& request);
    static bool IsBatchable(const DatabasePoint& point);
    template <typename Selected>
    int CountRequests(Selected selected) const;
    int StreamSetting();
    void TraceLines(const std::vector<std::string>& lines);

    ExpressScan expressScan_;
    LogConfigRecord logRecords_[kLogCount] = {};
    LogRecordSet logRecordRead_{};
    std::vector<uint8_t> archiveData_;
    std::vector<uint8_t> eventData_;
    archive_capacity::LogCapacities capacities_;
    uint32_t archiveMemorySize_ = 0;
    std::vector<std::unique_ptr<DatabasePoint>> points_;
    std::unordered_map<uint16_t, uint16_t> rowOfDbId_;
    uint16_t tag16_ = 0;
    std::string configFileTypeId_;
    std::unique_ptr<ModbusList> modbusList_;
    WriteLogRecordsManager writeLog_;
    std::unique_ptr<Sequencer> sequencer_;
    std::unique_ptr<TimerXManager> timers_;
    uint8_t streamsChanged_ = 0;
    uint8_t offline_ = 1;

    // Trace lines of the operation under way; written to the file once, when it ends.
    std::vector<std::string> pendingTrace_;
    int traceDepth_ = 0;
};
