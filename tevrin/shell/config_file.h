#pragma once
// The configuration file (*.cfg): every configuration point, the Modbus map, the six log
// configuration records, the sequencer block and the timer block of the real-time database
// as one XML document, and the main window's Open, Save and Save As roads that use it.
//
// Document layout (element names, attribute names and order as written):
//   ConfigurationDatabase Time Version="1.00a"
//     RosettaPoints / Point UniqueId Name Value          (points whose flag byte has 0x04)
//     ModbusList Mode / ENRON_MAP or MODICON_MAP (four runs: Address BlockSize)
//                     / ModBusMap / Item LSMS FORMAT ACCESS UNIQUEID   (always 100)
//     LogConfiguration / LogRecord LOG_NUMBER / LOG Enable Frequency LogIDCode ParametersInLog
//                                                   / Rosetta Value   (6 records, 8 ids)
//     SequencerConfiguration Enable Depth ManualEnable ManualDigitalInput
//                     / Automatic / Sequence Stream Run              (32)
//                     / Manual Enable LoopEnable DigitalInput Depth / Sequence Stream Run (8 x 8)
//     TimerXConfiguration / TIMER Num ScheduleEnable ScheduleDayOfWeek ScheduleHour
//                     ScheduleMinute AnalysisEnable Analysis SequencerEnable Sequencer (12)
//
// Reading checks the whole document before anything is applied: a file that cannot be read,
// is not XML, lacks an element or attribute it must have, holds text that is no number where
// a number belongs, or holds more entries than the blocks take, changes nothing and the
// reason is given.
#include <QDateTime>
#include <QString>

#include <memory>

class DataBase;
class TFormMain;
class TWait;

namespace config_file {

// The database's configuration-file type id set before a file is read while offline.
extern const char* const kConfigFileTypeId;   // "Sentrel DataBase Config v1.00a"
extern const char* const kVersion;            // "1.00a"

// The "Time" attribute: month name and am/pm marker as the system locale gives them.
QString TimeText(const QDateTime& moment);

// The whole document for the database as it stands.
QByteArray Build(DataBase& db, const QString& timeText);

// Writes the document to the file in one piece (an existing file is replaced only once the
// new one is complete). False with the reason in *error when it could not be written.
bool Save(DataBase& db, const QString& fileName, QString* error, TWait* wait = nullptr,
          const QDateTime& moment = QDateTime::currentDateTime());

struct ReadResult {
    bool ok = false;
    QString error;        // why nothing was applied
    int pointCount = 0;   // Point elements of the (last) RosettaPoints section
};

// Reads the file and, when the whole document is sound, applies it to the database.
ReadResult Open(DataBase& db, const QString& fileName, TWait* wait = nullptr);
// The same for a document in memory (name is only used in the reasons).
ReadResult Apply(DataBase& db, const QByteArray& document);

}  // namespace config_file

// The main window's Open, Save and Save As roads. The window owns one; it keeps the current
// configuration file (set by Save As and Open, used by Save without asking) and the number of
// points the last file read listed.
class ConfigFileRoads {
public:
    explicit ConfigFileRoads(TFormMain& form) : form_(form) {}

    void Save();
    void SaveAs();
    void Open();

    const QString& CurrentFile() const { return currentFile_; }
    int LastFilePointCount() const { return lastFilePointCount_; }

private:
    bool RefuseWhileBusy() const;
    // The save dialog; false when cancelled. The chosen name becomes the current file. Where
    // the road asks its own question about an existing file, the dialog does not ask too.
    bool ChooseSaveFile(bool dialogAsksToOverwrite);
    // Runs one step of a road; false when it failed. A failed step that told the user nothing
    // itself is said in a box with `failure`.
    bool RunStep(const char* command, const std::string& argument, const QString& failure);
    // Steps shared by Save and Save As once the target is known.
    void SaveTo(const QString& fileName);
    void StatusText(const QString& text);
    void EndAction();

    TFormMain& form_;
    QString currentFile_;
    int lastFilePointCount_ = 0;
};
