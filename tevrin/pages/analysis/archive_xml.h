#pragma once
// The archive XML file: the decoded archive with the log configuration that names its values.
//
//   <LOGDB><ArchiveNames><Log lognum="0" ParametersInLog="n" Enabled="e"><name UID="id">point
//   name</name>...</Log> x6</ArchiveNames><Point ParametersInLog="n"><TimeStamp>date and time
//   </TimeStamp><LogNum>p</LogNum><Colum0>text</Colum0>...</Point>...</LOGDB>
//
// The writer streams every entry in archive order into the file, which is replaced only when
// it was written whole. The reader reads the whole file into an ArchiveFile first; nothing
// changes unless every part of it was good.
#include "tevrin/pages/analysis/log_entry.h"
#include "tevrin/rtdb/analyzer_records.h"
#include "tevrin/rtdb/archive_capacity.h"

#include <QString>

#include <array>
#include <functional>
#include <string>
#include <vector>

class LogDBManager;

// A step of the wait window's bar while a file is written or read.
using ArchiveProgress = std::function<void()>;

// The name a value column shows for a DbId (the catalogue's name; for a DbId the catalogue
// does not know, "DbId " and the number).
QString ArchivePointName(uint16_t dbId);

// Writes the archive and the six log records. False with the reason when the file could not
// be written (an existing file is then left as it was).
bool WriteArchiveXml(const QString& fileName, const LogDBManager& archive, const LogConfigRecord (&logs)[kLogCount],
                     QString* error = nullptr, const ArchiveProgress& step = {});

struct ArchiveFile {
    struct Log {
        int parameters = -1;   // the Log element's ParametersInLog (values, without the time stamp)
        uint8_t enabled = 0;
        std::vector<uint16_t> uids;
        std::vector<QString> names;
        bool hasPoints = false;  // the file holds Points of this log
        int pointValues = 0;     // the ParametersInLog of its last Point (-1 for a log of no parameters)
    };
    std::array<Log, kLogCount> logs;
    bool hasNames = false;           // the file holds the log names (ArchiveNames)
    std::vector<LogEntry> entries;   // in the file's order
    std::vector<std::string> texts;  // the entries' value texts
    int badTimeStamps = 0;           // Points whose time stamp did not read (kept with time 0)
};

// Reads a whole file. False with the reason (the first fault found) when it is not an
// archive file: not well-formed, fewer than six logs, a missing child or attribute, a number
// that is not one or out of its range (a log position outside 0 to 5, more than 7 values).
// A Point of a log of no parameters (ParametersInLog -1, as the writer puts it) holds no
// values; a file without the log names is read without them.
//
// A file of more Points than `mostPoints` (by default the most samples any analyzer's archive
// memory holds) is refused before its samples are gathered. The samples take the archive
// database's compact form as they are read, in room made once for the Points the file holds.
bool ReadArchiveXml(const QString& fileName, ArchiveFile& file, QString* error = nullptr, const ArchiveProgress& step = {},
                    uint32_t mostPoints = archive_capacity::kMaxRecords);

// Takes a file that was read whole: the archive database gets its entries, and each log
// record its enable byte and DbIds (from the names, when the file has them), and its
// ParametersInLog from its Points (a log without Points keeps its own).
void ApplyArchiveFile(ArchiveFile&& file, LogDBManager& archive, LogConfigRecord (&logs)[kLogCount]);
