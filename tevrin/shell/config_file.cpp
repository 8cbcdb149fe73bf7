#include "tevrin/shell/config_file.h"

#include "platform/numtext.h"
#include "platform/prompter.h"
#include "platform/save_file.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/rtdb/modbus_list.h"
#include "tevrin/rtdb/sequencer.h"
#include "tevrin/rtdb/timer_x_manager.h"
#include "tevrin/pages/config/fr_sequencer.h"
#include "tevrin/pages/config/fra_analyzer_streams.h"
#include "tevrin/pages/io/fra_output.h"
#include "tevrin/shell/commands/cmd_common.h"
#include "tevrin/shell/commands/command_line.h"
#include "tevrin/shell/commands/command_owner.h"
#include "tevrin/shell/main_form.h"
#include "tevrin/shell/security_chk.h"
#include "tevrin/shell/state_mgr.h"
#include "tevrin/shell/wait_dlg.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProgressBar>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace config_file {

const char* const kConfigFileTypeId = "Sentrel DataBase Config v1.00a";
const char* const kVersion = "1.00a";

namespace {

constexpr uint8_t kSavedFlag = 0x04;     // catalogue flag: the point goes into the file
constexpr uint8_t kRestoredFlags = 0x1F; // any of these: the file may set the point
constexpr int kSections = 5;

const char* const kEnronRuns[4] = {"COILS", "SHORTS", "LONGS", "FLOATS"};
const char* const kModiconRuns[4] = {"STATUS_INPUTS", "STATUS_OUTPUTS", "REGISTER_INPUTS", "REGISTER_OUTPUTS"};

QString Num(long long v) { return QString::number(v); }
QString Signed8(uint8_t b) { return QString::number(static_cast<int8_t>(b)); }

void StepWait(TWait* wait)
{
    if (wait) wait->StepBar();
}

// --- writing ------------------------------------------------------------------------------------

void WritePoints(QXmlStreamWriter& w, DataBase& db)
{
    w.writeStartElement(QStringLiteral("RosettaPoints"));
    const int count = db.PointCount();
    for (int row = 0; row < count; ++row) {
        DatabasePoint* point = db.PointByIndex(row);
        if (!point || (point->GetFlags() & kSavedFlag) == 0) continue;
        w.writeStartElement(QStringLiteral("Point"));
        w.writeAttribute(QStringLiteral("UniqueId"), Num(point->GetDbId()));
        w.writeAttribute(QStringLiteral("Name"), QString::fromLatin1(point->GetName()));
        // A float goes out with every digit it holds, since the file may be written back into the unit.
        const auto* real = dynamic_cast<FloatDatabasePoint*>(point);
        const std::string value = real ? numtext::FormatFloatWhole(real->EditedValue()) : point->GetText();
        w.writeAttribute(QStringLiteral("Value"), QString::fromLatin1(value));
        w.writeEndElement();
    }
    w.writeEndElement();
}

void WriteModbus(QXmlStreamWriter& w, DataBase& db)
{
    ModbusHeader header{};
    ModmapImage image{};
    if (ModbusList* list = db.AsModbusList()) {
        // The entries as the groups hold them now, so that they agree with the runs.
        list->FillAdapter();
        list->CopyHeader(header);
        list->CopyImage(image);
    }
    w.writeStartElement(QStringLiteral("ModbusList"));
    static const char* const kModes[3] = {"ENRON", "MODICON16", "MODICON32"};
    if (header.mode < 3) w.writeAttribute(QStringLiteral("Mode"), QString::fromLatin1(kModes[header.mode]));
    const bool enron = header.mode == kModbusEnron;
    w.writeStartElement(enron ? QStringLiteral("ENRON_MAP") : QStringLiteral("MODICON_MAP"));
    for (int i = 0; i < 4; ++i) {
        w.writeStartElement(QString::fromLatin1(enron ? kEnronRuns[i] : kModiconRuns[i]));
        w.writeAttribute(QStringLiteral("Address"), Num(header.runs[i].start));
        w.writeAttribute(QStringLiteral("BlockSize"), Num(header.runs[i].count));
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeStartElement(QStringLiteral("ModBusMap"));
    for (const ModmapEntry& e : image.entries) {
        w.writeStartElement(QStringLiteral("Item"));
        w.writeAttribute(QStringLiteral("LSMS"), Signed8(e.LSMS));
        w.writeAttribute(QStringLiteral("FORMAT"), Signed8(e.FORMAT));
        w.writeAttribute(QStringLiteral("ACCESS"), Signed8(e.ACCESS));
        w.writeAttribute(QStringLiteral("UNIQUEID"), Num(e.UNIQUEID));
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
}

void WriteLogs(QXmlStreamWriter& w, DataBase& db)
{
    w.writeStartElement(QStringLiteral("LogConfiguration"));
    for (int m = 0; m < kLogCount; ++m) {
        const LogConfigRecord r = db.LogRecord(m);
        w.writeStartElement(QStringLiteral("LogRecord"));
        w.writeAttribute(QStringLiteral("LOG_NUMBER"), Num(r.LOG_NUMBER));
        w.writeStartElement(QStringLiteral("LOG"));
        w.writeAttribute(QStringLiteral("Enable"), Num(r.Enable));
        w.writeAttribute(QStringLiteral("Frequency"), Num(r.Frequency));
        w.writeAttribute(QStringLiteral("LogIDCode"), Num(r.LogIdCode));
        w.writeAttribute(QStringLiteral("ParametersInLog"), Num(r.ParametersInLog));
        for (uint16_t id : r.UniqueId) {
            w.writeStartElement(QStringLiteral("Rosetta"));
            w.writeAttribute(QStringLiteral("Value"), Num(id));
            w.writeEndElement();
        }
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndElement();
}

void WriteSequence(QXmlStreamWriter& w, const SequencerEntry& entry)
{
    w.writeStartElement(QStringLiteral("Sequence"));
    w.writeAttribute(QStringLiteral("Stream"), Num(entry.Stream));
    w.writeAttribute(QStringLiteral("Run"), Num(entry.Run));
    w.writeEndElement();
}

void WriteSequencer(QXmlStreamWriter& w, DataBase& db)
{
    SequencerBlock b{};
    if (Sequencer* s = db.AsSequencer()) b = s->View();
    w.writeStartElement(QStringLiteral("SequencerConfiguration"));
    w.writeAttribute(QStringLiteral("Enable"), Num(b.Enable));
    w.writeAttribute(QStringLiteral("Depth"), Num(b.Depth));
    w.writeAttribute(QStringLiteral("ManualEnable"), Num(b.ManualEnable));
    w.writeAttribute(QStringLiteral("ManualDigitalInput"), Num(b.ManualDigitalInput));
    w.writeStartElement(QStringLiteral("Automatic"));
    for (const SequencerEntry& entry : b.Automatic) WriteSequence(w, entry);
    w.writeEndElement();
    for (const ManualSequence& manual : b.Manual) {
        w.writeStartElement(QStringLiteral("Manual"));
        w.writeAttribute(QStringLiteral("Enable"), Num(manual.Enable));
        w.writeAttribute(QStringLiteral("LoopEnable"), Num(manual.Loop));
        w.writeAttribute(QStringLiteral("DigitalInput"), Num(manual.DigitalInput));
        w.writeAttribute(QStringLiteral("Depth"), Num(manual.Depth));
        for (const SequencerEntry& entry : manual.Entries) WriteSequence(w, entry);
        w.writeEndElement();
    }
    w.writeEndElement();
}

void WriteTimers(QXmlStreamWriter& w, DataBase& db)
{
    uint8_t b[kTimerBlockSize] = {};
    if (TimerXManager* t = db.AsTimerXManager()) t->CopyBlock(b);
    w.writeStartElement(QStringLiteral("TimerXConfiguration"));
    for (int i = 0; i < kTimerCount; ++i) {
        const TimerRecord r = TimerRecordOf(b + kTimerRecordSize * i);
        w.writeStartElement(QStringLiteral("TIMER"));
        w.writeAttribute(QStringLiteral("Num"), Num(i + 1));
        w.writeAttribute(QStringLiteral("ScheduleEnable"), Num(r.ScheduleEnable));
        w.writeAttribute(QStringLiteral("ScheduleDayOfWeek"), Signed8(r.DayOfWeek));
        w.writeAttribute(QStringLiteral("ScheduleHour"), Num(r.ScheduleHour));
        w.writeAttribute(QStringLiteral("ScheduleMinute"), Num(r.ScheduleMinute));
        w.writeAttribute(QStringLiteral("AnalysisEnable"), Num(r.AnalysisEnable));
        w.writeAttribute(QStringLiteral("Analysis"), Num(r.Analysis));
        w.writeAttribute(QStringLiteral("SequencerEnable"), Num(r.SequencerEnable));
        w.writeAttribute(QStringLiteral("Sequencer"), Num(r.Sequencer));
        w.writeEndElement();
    }
    w.writeEndElement();
}

QByteArray BuildWithProgress(DataBase& db, const QString& timeText, TWait* wait, QString* error)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(2);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("ConfigurationDatabase"));
    w.writeAttribute(QStringLiteral("Time"), timeText);
    w.writeAttribute(QStringLiteral("Version"), QString::fromLatin1(kVersion));
    WritePoints(w, db);
    StepWait(wait);
    WriteModbus(w, db);
    StepWait(wait);
    WriteLogs(w, db);
    StepWait(wait);
    WriteSequencer(w, db);
    StepWait(wait);
    WriteTimers(w, db);
    StepWait(wait);
    w.writeEndElement();
    w.writeEndDocument();
    if (w.hasError()) {
        // A point text holding a character XML cannot carry.
        if (error) *error = QStringLiteral("A point value holds a character that cannot be stored in the file.");
        return QByteArray();
    }
    return out;
}

// --- reading ------------------------------------------------------------------------------------

// The document as a tree of elements; text between elements is not kept.
struct Node {
    QString name;
    QXmlStreamAttributes attributes;
    std::vector<Node> children;

    Node() = default;
    Node(QString n, QXmlStreamAttributes a) : name(std::move(n)), attributes(std::move(a)) {}
    Node(Node&&) = default;
    Node& operator=(Node&&) = default;
    // Freed level by level from a list of its own, never by recursion, however deep the tree.
    ~Node()
    {
        std::vector<Node> pending;
        pending.swap(children);
        while (!pending.empty()) {
            Node last = std::move(pending.back());
            pending.pop_back();
            for (Node& child : last.children) pending.push_back(std::move(child));
            last.children.clear();
        }
    }
};

// A configuration file nests its elements four deep and holds a few thousand of them; a
// document far beyond that is no configuration file, and is refused before it costs memory.
constexpr int kMaxDepth = 32;
constexpr int kMaxElements = 100000;
// Such a file is some tens of kilobytes; even its most elements with long texts stay far below.
constexpr qint64 kMaxFileBytes = qint64(16) << 20;

// A reason for refusing the file.
struct Refusal {
    QString text;
};

bool ParseTree(const QByteArray& document, Node& root, QString* error)
{
    QXmlStreamReader r(document);
    std::vector<Node*> stack;
    bool haveRoot = false;
    int elements = 0;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            if (static_cast<int>(stack.size()) >= kMaxDepth) {
                *error = QStringLiteral("The file nests its elements more than %1 deep (line %2); a configuration "
                                        "file nests them at most %1 deep.")
                             .arg(kMaxDepth)
                             .arg(r.lineNumber());
                return false;
            }
            if (++elements > kMaxElements) {
                *error = QStringLiteral("The file holds more than %1 elements (line %2); a configuration file holds "
                                        "at most %1.")
                             .arg(kMaxElements)
                             .arg(r.lineNumber());
                return false;
            }
            if (stack.empty()) {
                root = Node(r.name().toString(), r.attributes());
                haveRoot = true;
                stack.push_back(&root);
            } else {
                Node& parent = *stack.back();
                parent.children.emplace_back(r.name().toString(), r.attributes());
                stack.push_back(&parent.children.back());
            }
        } else if (r.isEndElement()) {
            stack.pop_back();
        }
    }
    if (r.hasError()) {
        *error = QStringLiteral("The file is not a readable XML document (line %1: %2).")
                     .arg(r.lineNumber())
                     .arg(r.errorString());
        return false;
    }
    if (!haveRoot) {
        *error = QStringLiteral("The file holds no XML document.");
        return false;
    }
    return true;
}

// Where an element sits, for the reasons: "LogConfiguration/LogRecord 3".
QString Where(const QString& path, const Node& node, int index)
{
    return path + QLatin1Char('/') + node.name + (index >= 0 ? QStringLiteral(" %1").arg(index + 1) : QString());
}

const Node& Child(const Node& parent, int index, const QString& where)
{
    if (index < 0 || index >= static_cast<int>(parent.children.size()))
        throw Refusal{QStringLiteral("%1 lacks its element number %2.").arg(where).arg(index + 1)};
    return parent.children[static_cast<size_t>(index)];
}

void CheckCount(const Node& parent, int most, const QString& where, const char* what)
{
    if (static_cast<int>(parent.children.size()) > most)
        throw Refusal{QStringLiteral("%1 holds %2 %3; at most %4 are taken.")
                          .arg(where)
                          .arg(parent.children.size())
                          .arg(QLatin1String(what))
                          .arg(most)};
}

QString Text(const Node& node, const char* attribute, const QString& where)
{
    const QLatin1String name(attribute);
    if (!node.attributes.hasAttribute(name))
        throw Refusal{QStringLiteral("%1 lacks the attribute \"%2\".").arg(where, name)};
    return node.attributes.value(name).toString();
}

// A decimal integer (a 32-bit one, signed or unsigned); the caller keeps the bits its field
// holds.
uint32_t Number(const Node& node, const char* attribute, const QString& where)
{
    const QString text = Text(node, attribute, where);
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok, 10);
    if (!ok || v < INT32_MIN || v > static_cast<qlonglong>(UINT32_MAX))
        throw Refusal{QStringLiteral("%1: \"%2\" is not a number (\"%3\").").arg(where, QLatin1String(attribute), text)};
    return static_cast<uint32_t>(v);
}
uint8_t Byte(const Node& node, const char* attribute, const QString& where)
{
    return static_cast<uint8_t>(Number(node, attribute, where));
}

// What a sound file will change, gathered before anything is applied.
struct Staged {
    std::vector<std::pair<DatabasePoint*, std::string>> points;
    std::optional<int> pointCount;
    bool modbus = false;
    uint8_t modbusMode = 0;
    ModbusRun runs[4] = {};
    ModmapImage image{};
    bool logs = false;
    LogConfigRecord logRecords[kLogCount] = {};
    bool sequencer = false;
    uint8_t sequencerBlock[kSequencerBlockSize] = {};
    bool timers = false;
    uint8_t timerBlock[kTimerBlockSize] = {};
};

void StagePoints(DataBase& db, const Node& section, Staged& s)
{
    const QString path = section.name;
    s.pointCount = static_cast<int>(section.children.size());
    for (int i = 0; i < static_cast<int>(section.children.size()); ++i) {
        const Node& p = section.children[static_cast<size_t>(i)];
        const QString where = Where(path, p, i);
        const uint32_t id = Number(p, "UniqueId", where);
        const QString value = Text(p, "Value", where);
        if (id > 0xFFFF) continue;   // names no point
        DatabasePoint* point = db.PointByDbId(static_cast<TDbId>(id));
        if (!point || (point->GetFlags() & kRestoredFlags) == 0) continue;
        s.points.emplace_back(point, value.toLatin1().toStdString());
    }
}

void StageModbus(DataBase& db, const Node& section, Staged& s)
{
    const QString path = section.name;
    if (!s.modbus) {
        if (ModbusList* list = db.AsModbusList()) list->CopyImage(s.image);
        s.modbus = true;
    }
    const QString mode = section.attributes.value(QLatin1String("Mode")).toString();
    s.modbusMode = mode == QLatin1String("ENRON") ? kModbusEnron
                   : mode == QLatin1String("MODICON16") ? kModbusModicon16
                                                        : kModbusModicon32;
    const Node& map = Child(section, 0, path);
    const QString mapPath = Where(path, map, -1);
    int counted = 0;
    for (int i = 0; i < 4; ++i) {
        const Node& run = Child(map, i, mapPath);
        const QString where = Where(mapPath, run, -1);
        s.runs[i].start = static_cast<uint16_t>(Number(run, "Address", where));
        s.runs[i].count = static_cast<uint16_t>(Number(run, "BlockSize", where));
        if (s.runs[i].count > 0 && s.runs[i].start + s.runs[i].count > kModbusMaxEntries)
            throw Refusal{QStringLiteral("%1: the run from entry %2 counting %3 goes past the %4 entries of the map.")
                              .arg(where)
                              .arg(s.runs[i].start)
                              .arg(s.runs[i].count)
                              .arg(kModbusMaxEntries)};
        counted += s.runs[i].count;
    }
    if (counted > kModbusMaxEntries)
        throw Refusal{QStringLiteral("%1: the runs count %2 entries; the map holds at most %3.")
                          .arg(mapPath)
                          .arg(counted)
                          .arg(kModbusMaxEntries)};
    const Node& items = Child(section, 1, path);
    const QString itemsPath = Where(path, items, -1);
    CheckCount(items, kModbusMaxEntries, itemsPath, "entries");
    for (int j = 0; j < static_cast<int>(items.children.size()); ++j) {
        const Node& item = items.children[static_cast<size_t>(j)];
        const QString where = Where(itemsPath, item, j);
        ModmapEntry& e = s.image.entries[j];
        e.LSMS = Byte(item, "LSMS", where);
        e.FORMAT = Byte(item, "FORMAT", where);
        e.ACCESS = Byte(item, "ACCESS", where);
        e.UNIQUEID = static_cast<uint16_t>(Number(item, "UNIQUEID", where));
    }
}

void StageLogs(DataBase& db, const Node& section, Staged& s)
{
    const QString path = section.name;
    if (!s.logs) {
        std::memcpy(s.logRecords, db.LogRecords(), sizeof s.logRecords);
        s.logs = true;
    }
    CheckCount(section, kLogCount, path, "log records");
    for (int m = 0; m < static_cast<int>(section.children.size()); ++m) {
        const Node& record = section.children[static_cast<size_t>(m)];
        const QString where = Where(path, record, m);
        LogConfigRecord& r = s.logRecords[m];
        r.LOG_NUMBER = Byte(record, "LOG_NUMBER", where);
        const Node& log = Child(record, 0, where);
        const QString logWhere = Where(where, log, -1);
        // Any text that starts with a non-zero number enables the log.
        r.Enable = numtext::AtoL(Text(log, "Enable", logWhere).toLatin1().toStdString()) != 0 ? 1 : 0;
        r.Frequency = static_cast<uint16_t>(Number(log, "Frequency", logWhere));
        r.LogIdCode = Byte(log, "LogIDCode", logWhere);
        r.ParametersInLog = Byte(log, "ParametersInLog", logWhere);
        CheckCount(log, 8, logWhere, "logged points");
        for (int k = 0; k < static_cast<int>(log.children.size()); ++k) {
            const Node& id = log.children[static_cast<size_t>(k)];
            r.UniqueId[k] = static_cast<uint16_t>(Number(id, "Value", Where(logWhere, id, k)));
        }
    }
}

template <size_t N>
void StageSequences(const Node& parent, const QString& where, SequencerEntry (&entries)[N])
{
    CheckCount(parent, static_cast<int>(N), where, "sequence entries");
    for (int k = 0; k < static_cast<int>(parent.children.size()); ++k) {
        const Node& entry = parent.children[static_cast<size_t>(k)];
        const QString at = Where(where, entry, k);
        entries[k].Stream = Byte(entry, "Stream", at);
        entries[k].Run = Byte(entry, "Run", at);
    }
}

void StageSequencer(DataBase& db, const Node& section, Staged& s)
{
    const QString path = section.name;
    if (!s.sequencer) {
        // Bytes the file does not give keep what the block holds now.
        if (Sequencer* seq = db.AsSequencer()) seq->CopyBlock(s.sequencerBlock);
        s.sequencer = true;
    }
    SequencerBlock b = SequencerBlockOf(s.sequencerBlock);
    b.Enable = Byte(section, "Enable", path);
    b.Depth = Byte(section, "Depth", path);
    b.ManualEnable = Byte(section, "ManualEnable", path);
    b.ManualDigitalInput = Byte(section, "ManualDigitalInput", path);
    CheckCount(section, 1 + kSequencerManualSequences, path, "sequence lists");
    const Node& automatic = Child(section, 0, path);
    StageSequences(automatic, Where(path, automatic, -1), b.Automatic);
    for (int m = 0; m + 1 < static_cast<int>(section.children.size()); ++m) {
        const Node& manualNode = section.children[static_cast<size_t>(m + 1)];
        const QString where = Where(path, manualNode, m);
        ManualSequence& manual = b.Manual[m];
        manual.Enable = Byte(manualNode, "Enable", where);
        manual.Loop = Byte(manualNode, "LoopEnable", where);
        manual.DigitalInput = Byte(manualNode, "DigitalInput", where);
        manual.Depth = Byte(manualNode, "Depth", where);
        StageSequences(manualNode, where, manual.Entries);
    }
    StoreSequencerBlock(b, s.sequencerBlock);
}

void StageTimers(const Node& section, Staged& s)
{
    const QString path = section.name;
    for (int i = 0; i < kTimerCount; ++i) {
        const Node& t = Child(section, i, path);
        const QString where = Where(path, t, i);
        TimerRecord r{};
        r.ScheduleEnable = Byte(t, "ScheduleEnable", where);
        r.DayOfWeek = Byte(t, "ScheduleDayOfWeek", where);
        r.ScheduleHour = Byte(t, "ScheduleHour", where);
        r.ScheduleMinute = Byte(t, "ScheduleMinute", where);
        r.AnalysisEnable = Byte(t, "AnalysisEnable", where);
        r.Analysis = Number(t, "Analysis", where);
        r.SequencerEnable = Byte(t, "SequencerEnable", where);
        r.Sequencer = static_cast<uint16_t>(Number(t, "Sequencer", where));
        StoreTimerRecord(r, s.timerBlock + kTimerRecordSize * i);
    }
    s.timers = true;
}

void ApplyStaged(DataBase& db, Staged& s, TWait* wait)
{
    for (auto& [point, text] : s.points) point->SetTextAndNotify(text);
    StepWait(wait);
    if (s.modbus) {
        if (ModbusList* list = db.AsModbusList()) {
            list->SetHeader(s.modbusMode, s.runs);
            list->LoadFromImage(s.image);   // the runs were checked above
        }
    }
    StepWait(wait);
    if (s.logs) std::memcpy(db.LogRecords(), s.logRecords, sizeof s.logRecords);
    StepWait(wait);
    if (s.sequencer) {
        if (Sequencer* seq = db.AsSequencer()) {
            seq->SetBlock(s.sequencerBlock);
            seq->Publish();
        }
    }
    StepWait(wait);
    if (s.timers) {
        if (TimerXManager* timers = db.AsTimerXManager()) {
            timers->SetBlock(s.timerBlock);
            timers->Publish();
        }
    }
    StepWait(wait);
}

ReadResult ApplyDocument(DataBase& db, const QByteArray& document, TWait* wait)
{
    ReadResult result;
    Node root;
    if (!ParseTree(document, root, &result.error)) return result;
    if (root.name != QLatin1String("ConfigurationDatabase")) {
        result.error = QStringLiteral("The file is not a configuration file (its document is \"%1\").").arg(root.name);
        return result;
    }
    Staged staged;
    try {
        for (const Node& section : root.children) {
            if (section.name == QLatin1String("RosettaPoints")) StagePoints(db, section, staged);
            else if (section.name == QLatin1String("ModbusList")) StageModbus(db, section, staged);
            else if (section.name == QLatin1String("LogConfiguration")) StageLogs(db, section, staged);
            else if (section.name == QLatin1String("SequencerConfiguration")) StageSequencer(db, section, staged);
            else if (section.name == QLatin1String("TimerXConfiguration")) StageTimers(section, staged);
        }
    } catch (const Refusal& refusal) {
        result.error = refusal.text;
        return result;
    }
    ApplyStaged(db, staged, wait);
    result.ok = true;
    result.pointCount = staged.pointCount.value_or(0);
    return result;
}

}  // namespace

QString TimeText(const QDateTime& moment)
{
    return QLocale::system().toString(moment, QStringLiteral("MMMM d, yyyy h:mm:ss AP"));
}

QByteArray Build(DataBase& db, const QString& timeText) { return BuildWithProgress(db, timeText, nullptr, nullptr); }

bool Save(DataBase& db, const QString& fileName, QString* error, TWait* wait, const QDateTime& moment)
{
    if (wait) wait->ShowProgress(kSections);
    QString why;
    const QByteArray document = BuildWithProgress(db, TimeText(moment), wait, &why);
    const bool ok = !document.isEmpty() && platform::SaveWhole(fileName, document, &why);
    if (wait) wait->hide();
    if (!ok && error) *error = why;
    return ok;
}

ReadResult Open(DataBase& db, const QString& fileName, TWait* wait)
{
    ReadResult result;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("\"%1\" could not be opened: %2").arg(fileName, file.errorString());
        return result;
    }
    if (file.size() > kMaxFileBytes) {
        result.error = QStringLiteral("\"%1\" holds %2 bytes; a configuration file holds at most %3.")
                           .arg(fileName)
                           .arg(file.size())
                           .arg(kMaxFileBytes);
        return result;
    }
    const QByteArray document = file.read(kMaxFileBytes);
    file.close();
    if (wait) wait->ShowProgress(kSections);
    result = ApplyDocument(db, document, wait);
    if (wait) wait->hide();
    return result;
}

ReadResult Apply(DataBase& db, const QByteArray& document) { return ApplyDocument(db, document, nullptr); }

}  // namespace config_file

// ------------------------------------------------------------------------------------------------
// The roads

namespace {

const QString kBusyText = QStringLiteral("Please wait for current task to finish, then proceed.");
const QString kNothingStored = QStringLiteral("\nNothing was stored to the Flash and the analyzer was not rebooted.");

void PostCommand(const std::string& name, const std::string& argument = std::string())
{
    CommandLine::Instance().Post(name, argument);
}

}  // namespace

bool ConfigFileRoads::RefuseWhileBusy() const
{
    CommandLine* line = CommandLine::Existing();
    if (!line || !line->IsBusy()) return false;
    platform::MessageDlg(kBusyText, platform::DlgType::Warning, platform::mbYes);
    return true;
}

bool ConfigFileRoads::RunStep(const char* command, const std::string& argument, const QString& failure)
{
    const int boxes = platform::BoxesAsked();
    if (form_.RunCommand(command, argument)) return true;
    // A command that only set a status text has left the user nothing to read once the road
    // ends: the road says which step failed.
    if (platform::BoxesAsked() == boxes) platform::MessageDlg(failure, platform::DlgType::Error, platform::mbOK);
    return false;
}

bool ConfigFileRoads::ChooseSaveFile(bool dialogAsksToOverwrite)
{
    platform::FileRequest request;
    request.save = true;
    request.confirmOverwrite = dialogAsksToOverwrite;
    request.caption = QStringLiteral("Save Sentrel Configuration");
    request.filter = QStringLiteral("Sentrel Configuration (*.cfg *.CFG)");
    request.defaultSuffix = QStringLiteral("cfg");
    currentFile_ = platform::Prompter().ChooseFile(request);
    return !currentFile_.isEmpty();
}

void ConfigFileRoads::StatusText(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    if (form_.SharedRoutinesBound() && form_.Ombrel().LocalStatusBarMsg)
        form_.Ombrel().LocalStatusBarMsg(&form_, bytes.constData(), OMBREL_CL_BTNFACE, false);
    else
        form_.SetText(CommandKeys::StatusLineSpecialPanel, bytes.toStdString());
}

void ConfigFileRoads::EndAction()
{
    SecurityChk::Instance().ChangeToFolder();
    StateMgr::Instance().SetIdle();
}

void ConfigFileRoads::SaveTo(const QString& fileName)
{
    if (!form_.ServicesCreated()) return;
    // The status line keeps no earlier claim of a save while this one may still fail.
    StatusText(QString());
    if (!form_.LoggedOn()) {
        // A page that refuses its edits has said why (in a box or on the status line); the
        // file is then left as it was.
        if (form_.PostEdits() != 0) return;
        if (form_.frSequencer()) form_.frSequencer()->CommitToDatabase();
    } else {
        // The file holds what the analyzer holds. A read that failed has said why (a failed
        // full read also logs off); the file is then left as it was.
        if (!RunStep("ReadFull", std::string(),
                     QStringLiteral("The configuration was not saved: the analyzer's configuration could not be read.")) ||
            !RunStep("ReadLogConfig", std::string(),
                     QStringLiteral("The configuration was not saved: the analyzer did not give every log "
                                    "configuration record.")))
            return;
    }
    QString error;
    if (!config_file::Save(*DataBase::Instance(), fileName, &error, form_.Wait())) {
        platform::MessageDlg(QStringLiteral("The configuration could not be saved to \"%1\".\n%2").arg(fileName, error),
                             platform::DlgType::Error, platform::mbOK);
        return;
    }
    StatusText(QStringLiteral("Configuration successfully saved to file \"") + fileName + QLatin1Char('"'));
}

void ConfigFileRoads::Save()
{
    if (RefuseWhileBusy()) return;
    StateMgr::Instance().SetBusy();
    if (currentFile_.isEmpty() || !QFileInfo::exists(currentFile_)) {
        if (!ChooseSaveFile(true)) {
            EndAction();
            return;
        }
    }
    SaveTo(currentFile_);
    EndAction();
}

void ConfigFileRoads::SaveAs()
{
    StateMgr::Instance().SetBusy();
    if (RefuseWhileBusy()) {
        EndAction();
        return;
    }
    // An existing file is asked about once, below.
    if (!ChooseSaveFile(false)) {
        EndAction();
        return;
    }
    if (QFileInfo::exists(currentFile_) &&
        platform::MessageDlg(QStringLiteral("File with this name already exists, do you want to overwrite?\n"),
                             platform::DlgType::Warning, platform::mbYes | platform::mbNo) != platform::mrYes) {
        EndAction();
        return;
    }
    SaveTo(currentFile_);
    EndAction();
}

void ConfigFileRoads::Open()
{
    if (RefuseWhileBusy()) return;
    StateMgr::Instance().SetBusy();
    const auto enableSaving = [this] {
        for (const char* name : {"tbtnSave", "tbtnSaveAs"})
            if (QAction* action = form_.Action(name)) action->setEnabled(true);
    };

    platform::FileRequest request;
    request.caption = QStringLiteral("Open Sentrel Configuraiton File");
    request.filter = QStringLiteral("Sentrel DataBase Config (*.cfg *.CFG)");
    request.defaultSuffix = QStringLiteral("cfg");
    const QString fileName = platform::Prompter().ChooseFile(request);
    if (fileName.isEmpty() || !form_.ServicesCreated()) {
        EndAction();
        if (!form_.LoggedOn()) enableSaving();
        return;
    }

    DataBase* db = DataBase::Instance();
    if (!form_.LoggedOn()) {
        db->SetConfigFileTypeID(config_file::kConfigFileTypeId);
        if (form_.fraAnalyzerStreams()) form_.fraAnalyzerStreams()->EnterPage();
        if (form_.fraOutput()) form_.fraOutput()->FillAOManagerFunctions();
        if (form_.fraAnalyzerStreams()) form_.fraAnalyzerStreams()->FillAOManagerFunctions();
    }

    const config_file::ReadResult result = config_file::Open(*db, fileName, form_.Wait());
    if (result.ok) {
        // A following Save writes back to this file. A file that was refused does not become
        // the current one, so that Save never writes over it without asking.
        currentFile_ = fileName;
        lastFilePointCount_ = result.pointCount;
    } else {
        platform::MessageDlg(QStringLiteral("The configuration file \"%1\" was not loaded; nothing was changed.\n%2")
                                 .arg(fileName, result.error),
                             platform::DlgType::Error, platform::mbOK);
    }

    if (form_.LoggedOn() && result.ok) {
        enableSaving();
        const int answer = platform::MessageDlg(
            QStringLiteral("Do you wish to write this configuration into the unit?\n"
                           "If the answer is NO, only the GUI will be updated with the configuration file."),
            platform::DlgType::Warning, platform::mbYes | platform::mbNo);
        if (answer == platform::mrYes) {
            SecurityChk::Instance().ChangeToFolder();
            // Each step goes only after the one before went through. A failed step has said
            // why; nothing after it is written, the half-written configuration is not stored
            // in the flash and the analyzer is not rebooted.
            if (!RunStep("WriteDirect", std::to_string(lastFilePointCount_),
                         QStringLiteral("The configuration points were not all written into the unit.") + kNothingStored) ||
                !RunStep("WriteLogConfig", std::string(),
                         QStringLiteral("The unit did not take every log configuration record.") + kNothingStored)) {
                EndAction();
                return;
            }
            // The blocks go straight to the unit; a failed exchange stops the write before
            // anything is committed to flash.
            QString failure;
            try {
                Sequencer* seq = db->AsSequencer();
                if (seq && !seq->WriteToUnit())
                    failure = QStringLiteral("The analyzer did not accept the sequencer configuration.");
                db->LogSequencerConfiguration();
                TimerXManager* timers = db->AsTimerXManager();
                if (failure.isEmpty() && timers && !timers->WriteToUnit())
                    failure = QStringLiteral("The analyzer did not accept the timer configuration.");
            } catch (int code) {
                failure = QString::fromStdString(cmd::ErrorText(code));
            }
            if (!failure.isEmpty()) {
                platform::MessageDlg(failure + kNothingStored, platform::DlgType::Error, platform::mbOK);
                EndAction();
                return;
            }
            if (!RunStep("WriteConfig", std::string(),
                         QStringLiteral("The configuration could not be stored to the Flash.\n"
                                        "The analyzer was not rebooted."))) {
                EndAction();
                return;
            }
            platform::MessageDlg(QStringLiteral("Please press OK button.\n"
                                                "After pressing OK button, analyzer will automatically reboot, and GUI "
                                                "will LOG OFF.\n"
                                                "After reboot, you will have to LOG ON again."),
                                 platform::DlgType::Warning, platform::mbOK);
            PostCommand("Reboot");
            form_.tbtnLogoffClick();
        }
    }
    EndAction();
    if (!form_.LoggedOn()) enableSaving();
}
