#pragma once
// The decoded archive as comma-separated text, in two shapes:
//   Legal   one line per sample of every log, each with its own log's values only;
//   Packet  one line per sample of the busiest log, the other logs' values filled in from
//           their next later sample.
// Header "TimeStamp" and the chosen points' names; every line ends with a carriage return
// alone. The columns are those ticked in "CSV File Configuration" (CsvChoice).
#include "tevrin/rtdb/analyzer_records.h"

#include <QString>

class LogDBManager;
class QWidget;

// Offers every value of every log that records (ParametersInLog and enable not 0) and
// keeps the user's ticks in CsvChoice. False, with every column unchosen, when the dialog
// was closed without "Save & Exit".
bool ChooseCsvColumns(LogDBManager& archive, const LogConfigRecord (&logs)[kLogCount], QWidget* parent = nullptr);

// Write the file from the current CsvChoice; the file is replaced only when written whole.
// False with the reason when it could not be written.
bool WriteLegalCsv(const QString& fileName, const LogDBManager& archive, const LogConfigRecord (&logs)[kLogCount],
                   QString* error = nullptr);
bool WritePacketCsv(const QString& fileName, const LogDBManager& archive, const LogConfigRecord (&logs)[kLogCount],
                    QString* error = nullptr);
