#pragma once
// What the log configuration window does to the analyzer's log configuration records, apart
// from its grids: points added and removed, the log's id code drawn anew on its first change,
// frequencies checked, and whether anything changed since the records were read.
//
// A record lists its points in UniqueId[1 .. ParametersInLog - 1] (entry 0 is the time stamp);
// a log holds at most seven points.
#include "brannix/database_glue.h"
#include "tevrin/rtdb/analyzer_records.h"

#include <QString>

#include <vector>

namespace logsetup {

constexpr int kLogsShown = 5;   // the sixth log has no tab
constexpr int kMaxPoints = 7;
constexpr int kDailyLog = 2;
constexpr int kMaxEntries = 8;  // UniqueId entries, the time stamp's included
// Frequency of a log whose first point is dropped while the frequency edit is empty.
constexpr int kDefaultFrequency = 1000;

// Entries of UniqueId in use: ParametersInLog, at most the record's eight.
int EntriesInUse(const LogConfigRecord& record);
// The UniqueId positions (1..) of the points the log shows: the entries in use whose DbId is
// not 0, in order.
std::vector<int> PointPositions(const LogConfigRecord& record);

// A new id code for log `log` that none of the six logs carries: the next free code after the
// log's own, from the process-wide set of codes in use, which first learns every log's code
// and then the new one (so two logs changed in one showing never draw the same code). 
// UniqueLogID::kNoFreeId or more when no code is free.
int DrawLogId(const LogConfigRecord (&records)[kLogCount], int log);

// Adds a point behind the log's entries in use: the log is enabled with the frequency and
// carries the id code. False, with nothing changed, when the log already holds seven points.
bool AppendPoint(LogConfigRecord& record, int log, TDbId point, int frequency, int idCode);
// Removes the point at a UniqueId position; the entries behind it move up one place. False,
// with nothing changed, for a position that holds no point.
bool RemovePoint(LogConfigRecord& record, int log, int position);

// The frequency edit's text, on Enter.
enum class FrequencyCheck { Empty, Ok, NotNumber, OutOfRange, Negative };
// The daily log takes an hour 0..23; the others a positive number of seconds that fits the
// record's 16 bits. Ok puts the number in value.
FrequencyCheck CheckFrequency(const QString& text, bool daily, int& value);
// The warning for a check that is neither Ok nor Empty.
QString FrequencyMessage(FrequencyCheck check, const QString& text);


}  // namespace logsetup
