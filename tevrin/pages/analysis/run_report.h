#pragma once
// The per-run report of the Analysis page: its options file "ReportConfig.xml", the report file
// (*.rpt) and the one-page printout. The page decides when a report is made; this file makes it.
#include <QString>

class QPrinter;

// The options of "ReportConfig.xml"; what a missing file or element leaves is the value held
// before.
struct ReportOptions {
    int runLimit = 0;    // reports to print; 0: one
    int saveLimit = 0;   // report files to save; 0: one
    QString sampleId;
    QString runType = QStringLiteral("0");   // run kinds reported, one bit per kind; 0: every kind
    QString labId;
    QString clientName;
    QString sampleName;
};

// Reads the options file into `options`, in the order RunLimit, SaveLimit, SampleID, RunType,
// LabID, ClientName, SampleName. Any name of the document element is taken; each value is the
// text of the direct child of that name (a child that is missing leaves its value). A file that
// is not XML changes nothing; a RunLimit or SaveLimit that is not a whole number ends the
// reading there, keeping what was read before. False when the file does not exist.
bool LoadReportOptions(const QString& path, ReportOptions& options);

// What one report says.
struct ReportContent {
    QString labId, sampleId, sampleName, clientName;
    QString dateTime;       // the analyzer's date and time as the page shows it
    int activeStream = 0;   // 1..4; only streams 1 and 2 have a result line
    QString result;         // the last sample result of the active stream as shown
    QString unit;           // its unit
    bool alarmOn = false;   // the system alarm is on
    QString alarmName;      // the alarm's name (begins with a blank), empty when off
};

// The name of an alarm image's point (" System Alarm" for 407 ...); empty for other points.
QString ReportAlarmName(int dbId);

// The text of a report file, one line end ("\n") after every line.
QString ReportFileText(const ReportContent& content);

// The file a report numbered `number` goes to: the base name, the number and ".rpt"; a relative
// base name lies in the per-user data folder. A file that exists already is never overwritten:
// the next free number is taken.
QString NextFreeReportPath(const QString& baseName, int number);

// Writes the report file whole (or not at all); false with the reason in `error`.
bool SaveReportFile(const QString& path, const ReportContent& content, QString& error);

// Prints the report on one page (more when the page is short); false with the reason in
// `error` when the printer could not be started.
bool PrintReport(QPrinter& printer, const ReportContent& content, QString& error);
