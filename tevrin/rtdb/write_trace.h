#pragma once
// The configuration write trace "LogWrite.dbg" in the per-user data folder: a human-readable,
// append-only record of every configuration write to the analyzer (the points written with
// their names and values, and the timer, sequencer, Modbus and log configuration blocks).
//
// Every line is its text (at most 253 characters) followed by a blank and a line feed. Fields
// are padded with blanks to fixed widths (a longer field is cut). Sections are closed by a
// line of 52 dashes. A section's time stamp is the local time as "2026/3/7 9:5:12 73ms".
#include "tevrin/rtdb/analyzer_records.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace write_trace {

constexpr const char* kFileName = "LogWrite.dbg";
constexpr int kMaxLineText = 253;
constexpr int kSeparatorWidth = 52;
constexpr const char* kOpenFailedMessage = "There was a problem opening the WriteLog file";
constexpr const char* kWriteFailedMessage = "There was a problem writing the WriteLog file";

// Where time stamps take the time from; an empty source restores the local clock. Tests set a
// fixed time so that traces can be compared byte for byte.
using TimeSource = std::function<QDateTime()>;
void SetTimeSource(TimeSource source);

// The current time as year/month/day hour:minute:second millisecond "ms", no leading zeros.
std::string TimeStamp();
// The text padded with blanks to width characters, or cut to them.
std::string Field(const std::string& text, int width);
// 52 dashes.
std::string Separator();
// A timestamp token (the analyzer's packed clock value) shown as "March 7, 2026 9:05:12 AM".
// A month of 0 or above 12 counts as January, a day of 0 as the 1st; a token that is no valid
// date and time shows the zero date "December 30, 1899 12:00:00 AM".
std::string TokenDateText(uint32_t token);

// The sections, as lines without their line ends.
// timerBlock: the 144-byte timer image. Starts with "TimerXConfiguration", ends with the separator.
std::vector<std::string> TimerSection(const uint8_t* timerBlock);
// sequencerBlock: the 228-byte sequencer image. Opens and closes with the separator.
std::vector<std::string> SequencerSection(const uint8_t* sequencerBlock);
// The Modbus map header and the 100 five-byte entries of the map image (LSMS, FORMAT,
// ACCESS, UNIQUEID). Opens and closes with the separator.
std::vector<std::string> ModbusSection(const ModbusHeader& header, const uint8_t* entries);
// The six log configuration records. Opens and closes with the separator.
std::vector<std::string> LogConfigSection(const LogConfigRecord (&records)[kLogCount]);

// The trace file's absolute path in the per-user data folder.
QString TraceFilePath();

// Appends the lines (each cut to 253 characters, followed by " \n") to the file in one write,
// creating it when missing. A file that cannot be opened or written is left as it was and one
// message says so, with the reason under it: "There was a problem opening the WriteLog file"
// when it could not be opened, "There was a problem writing the WriteLog file" when the lines
// did not all go in; false then.
bool AppendLines(const std::vector<std::string>& lines, const QString& filePath);

// One line appended to the named file: a bare name is taken in the per-user data folder.
bool WriteLog(const std::string& text, const QString& fileName);

}  // namespace write_trace
