#pragma once
// How many records of each analyzer log fit into its archive memory and how many days the
// memory lasts, from the log configuration, the points each log records and, for the On-Run
// log, how long the automatic sequencer takes per analysis; and the logs' id codes.
//
// The real-time database owns the figures (LogCapacities) and the six records and forwards
// its ComputeRunTimes, LogIdsAreUnique and ResetLogIds here.
#include "brannix/database_glue.h"
#include "tevrin/rtdb/analyzer_records.h"
#include "tevrin/rtdb/log_record_set.h"

#include <cstdint>
#include <functional>
#include <string>

namespace archive_capacity {

// The value text of a point (the database's GetPointText). Values are read from it as
// integers; a text that is not one raises EConvertError.
using PointText = std::function<std::string(TDbId)>;

constexpr TDbId kPurgeTimeDbId = 10;
// The largest archive memory a log status may report; a larger figure is a garbled status, not
// an analyzer's memory.
constexpr uint32_t kMaxMemoryBytes = 64u * 1024u * 1024u;
// Bytes every archive record takes besides its values.
constexpr int kRecordOverhead = 6;
// The most records any analyzer's archive memory holds: the largest memory full of the
// smallest records.
constexpr uint32_t kMaxRecords = kMaxMemoryBytes / kRecordOverhead;
constexpr int kStreams = 4;
// Run types as the sequencer block codes them: 0 Sample, 1 Total Sulphur, 2 Reference 1,
// 3 Reference 2, 4 Zero, 5 Calibrate.
constexpr int kRunKinds = 6;

// The three run-time points of one stream and run kind.
struct RunTimePoints {
    TDbId sampleDelay;
    TDbId sampleInterval;
    TDbId consecutiveRuns;
};
// stream 0..3, runKind 0..5 (the sequencer's run type); nullptr outside.
const RunTimePoints* RunTimePointsOf(int stream, int runKind);

// Average seconds per analysis of the automatic sequencer: every entry adds its delay and
// interval once per consecutive run, the purge time is added once and, with more than one
// entry, once more per entry; the total is divided by the number of Sample and Total
// Sulphur entries (when there is one). Entries of an unknown stream or run kind are
// skipped; at most the block's 32 entries are read whatever its Depth says.
// sequencerBlock: the 228-byte sequencer image.
float AverageOnRunPeriod(const uint8_t* sequencerBlock, const PointText& pointText);

// Bytes of one archive record of the log: 6 plus the value width of each of its first
// ParametersInLog points (at most the record's 8). A DbId that the catalogue does not hold
// counts 0 bytes.
int RecordSize(const LogConfigRecord& record);

struct LogCapacities {
    uint32_t records[kLogCount] = {};   // records of each log when the memory is full
    std::string days[kLogCount];        // whole days until the memory is full ("0" for a log that records nothing)
};

// Fills the figures of logs 0..4 (log 5 is left as it is) and returns the sum of their
// record counts. Periods: log 0 onRunPeriod, log 1 one hour, log 2 one day, logs 3 and 4
// their Frequency. A log counts when its period is above 0 and it records at least one
// point besides the time stamp.
int ComputeRunTimes(const LogConfigRecord (&records)[kLogCount], uint32_t memorySize, float onRunPeriod,
                    LogCapacities& out);

// True when no two of the logs 0..4 share an id code (the sixth is not compared). With
// `among`, only the logs it names are compared.
bool LogIdsAreUnique(const LogConfigRecord (&records)[kLogCount], const LogRecordSet& among);
bool LogIdsAreUnique(const LogConfigRecord (&records)[kLogCount]);

// Gives the logs the codes 1 to 6 and makes them the only codes in UniqueLogID.
void ResetLogIds(LogConfigRecord (&records)[kLogCount]);

// The class library's integer conversion: optional leading blanks, an optional sign and
// decimal digits (or '$' / "0x" and hex digits), nothing after them, within 32 bits;
// otherwise EConvertError.
int32_t StrToInt(const std::string& text);

}  // namespace archive_capacity
