// The configuration file: the document as written (against a stored copy), save and open
// against the simulated analyzer, files that must change nothing, and the main window's Open,
// Save and Save As roads.
#include "tests/shell/cmd_fixture.h"
#include "tests/shell/shell_fakes.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/rtdb/modbus_list.h"
#include "brannix/qstatusbar.h"
#include "tevrin/shell/commands/command.h"
#include "tevrin/shell/commands/command_line.h"
#include "tevrin/shell/commands/command_registry.h"
#include "tevrin/shell/config_file.h"
#include "tevrin/shell/main_form.h"
#include "tevrin/shell/security_chk.h"
#include "tevrin/shell/state_mgr.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QFileInfo>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const QString kFixedTime = QStringLiteral("January 2, 2025 3:04:05 PM");

QString DataFile(const char* name)
{
    return QDir(QStringLiteral(TEVRIN_TEST_DIR)).filePath(QStringLiteral("data/") + QLatin1String(name));
}

QByteArray Build(DataBase& db) { return config_file::Build(db, kFixedTime); }

DatabasePoint* FirstPointWithFlags(DataBase& db, uint8_t any, uint8_t none)
{
    for (int row = 0; row < db.PointCount(); ++row) {
        DatabasePoint* p = db.PointByIndex(row);
        if (p && (p->GetFlags() & any) != 0 && (p->GetFlags() & none) == 0) return p;
    }
    return nullptr;
}

// A configuration that touches every section with values that show the number forms.
void FillSample(DataBase& db)
{
    uint8_t seq[kSequencerBlockSize] = {};
    seq[0] = 1;   // automatic enabled, three entries
    seq[1] = 3;
    const uint8_t automatic[] = {0, 1, 1, 2, 2, 3};
    std::memcpy(seq + 2, automatic, sizeof automatic);
    seq[66] = 1;
    seq[67] = 4;
    const uint8_t manual0[] = {1, 1, 2, 2, 3, 1, 0, 5};   // enable, loop, input, depth, two entries
    std::memcpy(seq + 68, manual0, sizeof manual0);
    seq[68 + 20 * 7 + 3] = 8;   // last manual sequence, depth 8, last entry
    seq[68 + 20 * 7 + 4 + 14] = 3;
    seq[68 + 20 * 7 + 4 + 15] = 200;
    db.AsSequencer()->SetBlock(seq);

    uint8_t timers[kTimerBlockSize] = {};
    TimerRecord first{1, 0xFF, 13, 45, 1, 0x80000001u, 1, 0xFFFF};
    TimerRecord last{1, 6, 23, 59, 0, 0x3F, 0, 0x81};
    std::memcpy(timers, &first, sizeof first);
    std::memcpy(timers + 11 * kTimerRecordSize, &last, sizeof last);
    db.AsTimerXManager()->SetBlock(timers);

    for (int m = 0; m < kLogCount; ++m) {
        LogConfigRecord& r = db.LogRecord(m);
        r.LOG_NUMBER = static_cast<uint8_t>(m);
        r.Enable = static_cast<uint8_t>(m % 2);
        r.Frequency = static_cast<uint16_t>(m == 5 ? 65535 : 60 * (m + 1));
        r.LogIdCode = static_cast<uint8_t>(10 + m);
        r.ParametersInLog = 2;
        for (int k = 0; k < 8; ++k) r.UniqueId[k] = static_cast<uint16_t>(k < 2 ? 100 * (m + 1) + k : 0);
    }

    ModbusList* map = db.AsModbusList();
    ASSERT_TRUE(map->SetMode(kModbusEnron));
    int added = 0;
    for (int row = 0; row < db.PointCount() && added < 3; ++row) {
        DatabasePoint* p = db.PointByIndex(row);
        if (p && p->GetDbId() != 0 && map->AddPoint(p, 1 + added) >= 0) ++added;
    }
    ASSERT_EQ(added, 3);

    DatabasePoint* saved = FirstPointWithFlags(db, 0x04, 0);
    ASSERT_NE(saved, nullptr);
    saved->SetTextAndNotify("1");
}

// Everything the file carries, as the writer sees it.
struct Snapshot {
    QByteArray document;
    std::vector<uint8_t> sequencer, timers;
    std::vector<uint8_t> logs;
};
Snapshot Take(DataBase& db)
{
    Snapshot s;
    s.document = Build(db);
    s.sequencer.assign(db.AsSequencer()->Block(), db.AsSequencer()->Block() + kSequencerBlockSize);
    s.timers.assign(db.AsTimerXManager()->Block(), db.AsTimerXManager()->Block() + kTimerBlockSize);
    const auto* logBytes = reinterpret_cast<const uint8_t*>(db.LogRecords());
    s.logs.assign(logBytes, logBytes + sizeof(LogConfigRecord) * kLogCount);
    return s;
}
void ExpectSame(const Snapshot& a, const Snapshot& b)
{
    EXPECT_EQ(a.sequencer, b.sequencer);
    EXPECT_EQ(a.timers, b.timers);
    EXPECT_EQ(a.logs, b.logs);
    EXPECT_TRUE(a.document == b.document) << "the written documents differ";
}

// Replaces the n-th (0-based) match of the pattern.
QByteArray ReplaceNth(QByteArray doc, const QString& pattern, const QString& with, int n = 0)
{
    QString text = QString::fromUtf8(doc);
    QRegularExpressionMatchIterator it =
        QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption).globalMatch(text);
    for (int i = 0; it.hasNext(); ++i) {
        const QRegularExpressionMatch m = it.next();
        if (i == n) return text.replace(m.capturedStart(), m.capturedLength(), with).toUtf8();
    }
    ADD_FAILURE() << "no match " << n << " of " << pattern.toStdString();
    return doc;
}

class ConfigFileTest : public cmdtest::CommandTest {
protected:
    QTemporaryDir dir;
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
};

}  // namespace

TEST_F(ConfigFileTest, WrittenDocumentMatchesTheStoredCopyByteForByte)
{
    FillSample(*db);
    const QByteArray written = Build(*db);
    QFile golden(DataFile("config_golden.cfg"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << golden.fileName().toStdString();
    const QByteArray expected = golden.readAll();
    if (written != expected) {
        QFile actual(QDir::temp().filePath(QStringLiteral("config_golden.actual.cfg")));
        if (actual.open(QIODevice::WriteOnly)) actual.write(written);
        FAIL() << "written document differs from the stored copy; written to " << actual.fileName().toStdString();
    }
}

TEST_F(ConfigFileTest, DocumentLayoutAndNumberForms)
{
    FillSample(*db);
    const QString doc = QString::fromUtf8(Build(*db));
    const auto count = [&doc](const char* pattern) {
        int n = 0;
        for (QRegularExpressionMatchIterator it = QRegularExpression(QLatin1String(pattern)).globalMatch(doc);
             it.hasNext(); it.next())
            ++n;
        return n;
    };
    // Sections in their order under the document element.
    const QRegularExpression order(QStringLiteral(
        "<ConfigurationDatabase Time=\"January 2, 2025 3:04:05 PM\" Version=\"1.00a\">.*<RosettaPoints>.*"
        "<ModbusList Mode=\"ENRON\">\\s*<ENRON_MAP>\\s*<COILS [^>]*/>\\s*<SHORTS [^>]*/>\\s*<LONGS [^>]*/>\\s*"
        "<FLOATS [^>]*/>\\s*</ENRON_MAP>\\s*<ModBusMap>.*<LogConfiguration>.*<SequencerConfiguration .*"
        "<TimerXConfiguration>.*</ConfigurationDatabase>"),
        QRegularExpression::DotMatchesEverythingOption);
    EXPECT_TRUE(order.match(doc).hasMatch());

    int flagged = 0;
    for (int row = 0; row < db->PointCount(); ++row)
        if (DatabasePoint* p = db->PointByIndex(row); p && (p->GetFlags() & 0x04)) ++flagged;
    EXPECT_GT(flagged, 0);
    EXPECT_EQ(count("<Point UniqueId=\"\\d+\" Name=\"[^\"]*\" Value=\"[^\"]*\"/>"), flagged);
    EXPECT_EQ(count("<Item LSMS=\"-?\\d+\" FORMAT=\"-?\\d+\" ACCESS=\"-?\\d+\" UNIQUEID=\"\\d+\"/>"), 100);
    EXPECT_EQ(count("<LogRecord LOG_NUMBER="), 6);
    EXPECT_EQ(count("<Rosetta Value="), 48);
    EXPECT_EQ(count("<Manual Enable="), 8);
    EXPECT_EQ(count("<Sequence Stream="), 32 + 64);
    EXPECT_EQ(count("<TIMER Num="), 12);

    // Signed bytes where the file says so, unsigned 16 and 32 bits elsewhere.
    EXPECT_TRUE(doc.contains(QStringLiteral(
        "<TIMER Num=\"1\" ScheduleEnable=\"1\" ScheduleDayOfWeek=\"-1\" ScheduleHour=\"13\" ScheduleMinute=\"45\" "
        "AnalysisEnable=\"1\" Analysis=\"2147483649\" SequencerEnable=\"1\" Sequencer=\"65535\"/>")));
    EXPECT_TRUE(doc.contains(QStringLiteral("<LOG Enable=\"1\" Frequency=\"65535\" LogIDCode=\"15\" ParametersInLog=\"2\">")));
    EXPECT_TRUE(doc.contains(QStringLiteral(
        "<SequencerConfiguration Enable=\"1\" Depth=\"3\" ManualEnable=\"1\" ManualDigitalInput=\"4\">")));
    EXPECT_TRUE(doc.contains(QStringLiteral("<Manual Enable=\"1\" LoopEnable=\"1\" DigitalInput=\"2\" Depth=\"2\">")));
    EXPECT_TRUE(doc.contains(QStringLiteral("<Sequence Stream=\"3\" Run=\"200\"/>")));

    // A map in another layout writes the MODICON element and its runs.
    ASSERT_TRUE(db->AsModbusList()->SetMode(kModbusModicon32));
    const QString modicon = QString::fromUtf8(Build(*db));
    EXPECT_TRUE(QRegularExpression(QStringLiteral(
                    "<ModbusList Mode=\"MODICON32\">\\s*<MODICON_MAP>\\s*<STATUS_INPUTS [^>]*/>\\s*<STATUS_OUTPUTS "
                    "[^>]*/>\\s*<REGISTER_INPUTS [^>]*/>\\s*<REGISTER_OUTPUTS [^>]*/>\\s*</MODICON_MAP>"))
                    .match(modicon)
                    .hasMatch());
}

TEST_F(ConfigFileTest, TimeTextNamesTheMonthAndTheHalfOfTheDay)
{
    const QString text = config_file::TimeText(QDateTime(QDate(2026, 3, 7), QTime(0, 5, 9)));
    EXPECT_TRUE(text.startsWith(QLocale::system().monthName(3))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral(" 7, 2026 12:05:09 "))) << text.toStdString();
}

TEST_F(ConfigFileTest, SaveThenOpenRestoresWhatTheAnalyzerHeld)
{
    // The unit's configuration as the logon reads it.
    QByteArray seq(kSequencerBlockSize, '\0');
    seq[0] = 1;
    seq[1] = 2;
    seq[2] = 1;
    seq[3] = 4;
    seq[4] = 2;
    seq[5] = 9;
    unit.SetSequencerBlock(seq);
    QByteArray timers(kTimerBlockSize, '\0');
    timers[1] = static_cast<char>(0xFF);
    timers[5] = 0x12;
    timers[8] = static_cast<char>(0x80);
    unit.SetTimerBlock(timers);
    LogOn();
    for (int m = 0; m < kLogCount; ++m) db->LogRecord(m).Frequency = static_cast<uint16_t>(1000 + m);
    DatabasePoint* point = FirstPointWithFlags(*db, 0x04, 0);
    ASSERT_NE(point, nullptr);
    const Snapshot before = Take(*db);
    ASSERT_EQ(before.sequencer, std::vector<uint8_t>(seq.begin(), seq.end()));

    QString error;
    ASSERT_TRUE(config_file::Save(*db, Path("unit.cfg"), &error, wait.get())) << error.toStdString();

    // Everything changed in the program, then the file opened again.
    FillSample(*db);
    point->SetTextAndNotify("2");
    ASSERT_FALSE(Take(*db).document == before.document);
    const config_file::ReadResult read = config_file::Open(*db, Path("unit.cfg"), wait.get());
    ASSERT_TRUE(read.ok) << read.error.toStdString();
    ExpectSame(Take(*db), before);
    EXPECT_TRUE(db->AsSequencer()->IsLoaded());
    EXPECT_FALSE(wait->isVisible());
    EXPECT_EQ(read.pointCount, static_cast<int>(QString::fromUtf8(before.document).count(QStringLiteral("<Point "))));
}

TEST_F(ConfigFileTest, ReadingRules)
{
    FillSample(*db);
    const QByteArray doc = Build(*db);
    // A point the file may set whose text shows a plain number as it was given.
    DatabasePoint* restorable = nullptr;
    for (int row = 0; row < db->PointCount() && !restorable; ++row) {
        DatabasePoint* p = db->PointByIndex(row);
        if (!p || (p->GetFlags() & 0x1F) == 0) continue;
        const std::string was = p->GetText();
        p->SetTextAndNotify("7");
        if (p->GetText() == "7") restorable = p;
        p->SetTextAndNotify(was);
    }
    ASSERT_NE(restorable, nullptr);
    const std::string restorableText = restorable->GetText();

    struct Case {
        const char* name;
        std::function<QByteArray()> file;
        std::function<void()> check;
    };
    const std::vector<Case> cases = {
        {"LOG Enable 5 reads as 1, letters as 0",
         [&] {
             QByteArray d = ReplaceNth(doc, QStringLiteral("<LOG Enable=\"\\d+\""), QStringLiteral("<LOG Enable=\"5\""), 0);
             return ReplaceNth(d, QStringLiteral("<LOG Enable=\"\\d+\""), QStringLiteral("<LOG Enable=\"yes\""), 1);
         },
         [&] {
             EXPECT_EQ(db->LogRecord(0).Enable, 1);
             EXPECT_EQ(db->LogRecord(1).Enable, 0);
         }},
        {"day of week -1 is the byte 0xFF",
         [&] { return doc; }, [&] { EXPECT_EQ(db->AsTimerXManager()->RecordAt(0).DayOfWeek, 0xFF); }},
        {"an unknown map mode reads as MODICON32",
         [&] { return ReplaceNth(doc, QStringLiteral("Mode=\"ENRON\""), QStringLiteral("Mode=\"ENRON16\"")); },
         [&] { EXPECT_EQ(db->AsModbusList()->Mode(), kModbusModicon32); }},
        {"no Mode attribute reads as MODICON32",
         [&] { return ReplaceNth(doc, QStringLiteral(" Mode=\"ENRON\""), QString()); },
         [&] { EXPECT_EQ(db->AsModbusList()->Mode(), kModbusModicon32); }},
        {"a missing section leaves its part alone",
         [&] {
             return ReplaceNth(doc, QStringLiteral("<TimerXConfiguration>.*</TimerXConfiguration>"), QString());
         },
         [&] { EXPECT_EQ(db->AsTimerXManager()->RecordAt(0).DayOfWeek, 0); }},
        {"sections in another order and unknown elements",
         [&] {
             QString t = QString::fromUtf8(doc);
             const QRegularExpression timers(QStringLiteral("<TimerXConfiguration>.*</TimerXConfiguration>"),
                                             QRegularExpression::DotMatchesEverythingOption);
             const QString section = timers.match(t).captured(0);
             t.remove(timers);
             t.replace(QStringLiteral("<RosettaPoints>"), QStringLiteral("<Extra a=\"b\"/>") + section +
                                                              QStringLiteral("<RosettaPoints>"));
             return t.toUtf8();
         },
         [&] { EXPECT_EQ(db->AsTimerXManager()->RecordAt(0).DayOfWeek, 0xFF); }},
        {"a point the database does not know is passed over",
         [&] {
             return ReplaceNth(doc, QStringLiteral("<RosettaPoints>"),
                               QStringLiteral("<RosettaPoints><Point UniqueId=\"65000\" Name=\"x\" Value=\"3\"/>"));
         },
         [&] {}},
        {"a restorable point takes the file's text",
         [&] {
             return ReplaceNth(doc, QStringLiteral("</RosettaPoints>"),
                               QStringLiteral("<Point UniqueId=\"%1\" Name=\"x\" Value=\"7\"/></RosettaPoints>")
                                   .arg(restorable->GetDbId()));
         },
         [&] {
             EXPECT_EQ(restorable->GetText(), "7");
             restorable->SetTextAndNotify(restorableText);
         }},
        {"fewer sequences keep the bytes the block holds",
         [&] {
             return ReplaceNth(doc, QStringLiteral("<Automatic>.*?</Automatic>"),
                               QStringLiteral("<Automatic><Sequence Stream=\"3\" Run=\"3\"/></Automatic>"));
         },
         [&] {
             EXPECT_EQ(db->AsSequencer()->Block()[2], 3);
             EXPECT_EQ(db->AsSequencer()->Block()[3], 3);
             EXPECT_EQ(db->AsSequencer()->Block()[4], 1);   // entry 1 as it was
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Start from an empty timer block so that a timer section that is read shows.
        uint8_t zeros[kTimerBlockSize] = {};
        db->AsTimerXManager()->SetBlock(zeros);
        QByteArray file = c.file();
        const config_file::ReadResult r = config_file::Apply(*db, file);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        c.check();
    }
}

TEST_F(ConfigFileTest, MalformedFilesChangeNothingAndSayWhy)
{
    // The file carries the sample; the program holds other values. Every fault sits behind
    // sections that would otherwise already have been applied.
    FillSample(*db);
    const QByteArray doc = Build(*db);
    DataBase::DestroyInstance();
    db = DataBase::Instance();
    const Snapshot before = Take(*db);

    const auto repeat = [](const QString& element, int times) {
        QString s;
        for (int i = 0; i < times; ++i) s += element;
        return s;
    };
    const struct {
        const char* name;
        QByteArray file;
    } cases[] = {
        {"empty", QByteArray()},
        {"not XML", QByteArray("configuration")},
        {"truncated", doc.left(doc.size() - 200)},
        {"another document", QByteArray("<Settings><RosettaPoints/></Settings>")},
        {"eleven timers", ReplaceNth(doc, QStringLiteral("<TIMER Num=\"12\"[^>]*/>"), QString())},
        {"timer number is no number", ReplaceNth(doc, QStringLiteral("Analysis=\"\\d+\""), QStringLiteral("Analysis=\"12a\""), 5)},
        {"timer number beyond 32 bits",
         ReplaceNth(doc, QStringLiteral("Sequencer=\"\\d+\""), QStringLiteral("Sequencer=\"99999999999\""), 3)},
        {"sequence without its run", ReplaceNth(doc, QStringLiteral(" Run=\"\\d+\""), QString(), 90)},
        {"log record without its LOG",
         ReplaceNth(doc, QStringLiteral("<LogRecord LOG_NUMBER=\"5\">.*?</LogRecord>"),
                    QStringLiteral("<LogRecord LOG_NUMBER=\"5\"/>"))},
        {"seven log records",
         ReplaceNth(doc, QStringLiteral("</LogConfiguration>"),
                    QStringLiteral("<LogRecord LOG_NUMBER=\"6\"><LOG Enable=\"0\" Frequency=\"1\" LogIDCode=\"1\" "
                                   "ParametersInLog=\"0\"/></LogRecord></LogConfiguration>"))},
        {"nine logged points",
         ReplaceNth(doc, QStringLiteral("</LOG>"), QStringLiteral("<Rosetta Value=\"1\"/></LOG>"), 2)},
        {"101 map entries",
         ReplaceNth(doc, QStringLiteral("</ModBusMap>"),
                    QStringLiteral("<Item LSMS=\"0\" FORMAT=\"0\" ACCESS=\"0\" UNIQUEID=\"0\"/></ModBusMap>"))},
        {"map runs counting 101 entries",
         ReplaceNth(doc, QStringLiteral("<FLOATS Address=\"\\d+\" BlockSize=\"\\d+\""),
                    QStringLiteral("<FLOATS Address=\"0\" BlockSize=\"101\""))},
        {"map without its entries", ReplaceNth(doc, QStringLiteral("<ModBusMap>.*?</ModBusMap>"), QString())},
        {"33 automatic entries",
         ReplaceNth(doc, QStringLiteral("</Automatic>"), QStringLiteral("<Sequence Stream=\"0\" Run=\"0\"/></Automatic>"))},
        {"nine manual sequences",
         ReplaceNth(doc, QStringLiteral("</SequencerConfiguration>"),
                    QStringLiteral("<Manual Enable=\"0\" LoopEnable=\"0\" DigitalInput=\"0\" Depth=\"0\"/>"
                                   "</SequencerConfiguration>"))},
        {"nine entries in a manual sequence",
         ReplaceNth(doc, QStringLiteral("</Manual>"), repeat(QStringLiteral("<Sequence Stream=\"0\" Run=\"0\"/>"), 1) +
                                                          QStringLiteral("</Manual>"), 7)},
        {"point without a value", ReplaceNth(doc, QStringLiteral(" Value=\"[^\"]*\"/>"), QStringLiteral("/>"), 3)},
        {"point id is no number",
         ReplaceNth(doc, QStringLiteral("UniqueId=\"\\d+\""), QStringLiteral("UniqueId=\"\""), 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The same fault at the end of a file behind every section.
        const config_file::ReadResult r = config_file::Apply(*db, c.file);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.error.isEmpty());
        if (qEnvironmentVariableIsSet("SHOW_REASONS")) printf("%s: %s\n", c.name, qPrintable(r.error));
        ExpectSame(Take(*db), before);
    }

    // A file that can't be read at all.
    const config_file::ReadResult missing = config_file::Open(*db, Path("none.cfg"), wait.get());
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.error.contains(Path("none.cfg")));
    ExpectSame(Take(*db), before);
}

TEST_F(ConfigFileTest, HugeOrDeeplyNestedFilesAreRefusedWithTheirReason)
{
    FillSample(*db);
    const Snapshot before = Take(*db);
    const auto nested = [](int depth) {
        QByteArray s("<ConfigurationDatabase>");
        for (int i = 0; i < depth; ++i) s += "<a>";
        for (int i = 0; i < depth; ++i) s += "</a>";
        return s + "</ConfigurationDatabase>";
    };
    const auto flat = [](int count) {
        QByteArray s("<ConfigurationDatabase><RosettaPoints>");
        for (int i = 0; i < count; ++i) s += "<Point UniqueId=\"1\" Name=\"\" Value=\"1\"/>";
        return s + "</RosettaPoints></ConfigurationDatabase>";
    };
    const struct {
        const char* name;
        QByteArray file;
        const char* reason;
    } cases[] = {
        // Half a million nested elements once overflowed the stack when the tree was freed.
        {"500,000 nested elements", nested(500000), "deep"},
        {"33 levels", nested(32), "deep"},
        {"150,000 elements", flat(150000), "elements"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const config_file::ReadResult r = config_file::Apply(*db, c.file);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.error.contains(QLatin1String(c.reason))) << r.error.toStdString();
        ExpectSame(Take(*db), before);
    }
    // Thirty-two levels are still read (the sections themselves hold nothing known).
    EXPECT_TRUE(config_file::Apply(*db, nested(31)).ok);
}

TEST_F(ConfigFileTest, SaveThatCannotWriteSaysWhyAndKeepsTheOldFile)
{
    QString error;
    EXPECT_FALSE(config_file::Save(*db, Path("no/such/folder/x.cfg"), &error));
    EXPECT_FALSE(error.isEmpty());

    // A good save replaces the file whole.
    QFile old(Path("keep.cfg"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    ASSERT_TRUE(config_file::Save(*db, Path("keep.cfg"), &error, nullptr,
                                  QDateTime(QDate(2025, 1, 2), QTime(15, 4, 5))));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    const QByteArray saved = old.readAll();
    EXPECT_TRUE(saved.endsWith("</ConfigurationDatabase>\n"));
    EXPECT_FALSE(saved.contains("old contents"));
}

// ------------------------------------------------------------------------------------------------
// The main window's roads

namespace {

class ConfigRoadsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TFormMain::SetLibraryFolder(QString());
        form = std::make_unique<TFormMain>();
        ASSERT_TRUE(form->ServicesCreated());
        CommandLine::Shutdown();
        CommandLine& line = CommandLine::Instance();
        for (const std::string& name : CommandNames::All()) {
            auto it = bodies.find(name);
            line.Register(name, std::make_unique<RecordingCommand>(name, log, it == bodies.end() ? nullptr : it->second));
        }
        line.SetOwner(form.get());
    }
    void TearDown() override
    {
        form.reset();
        TFormMain::SetLibraryFolder(QString());
    }
    void LookLoggedOn()
    {
        form->SetFlag("tbtnLogon", false);
        form->SetFlag("tbtnLogoff", true);
        form->SetFlag("SetLogOn", true);
    }
    // The posts of the file roads (the polling switch left out).
    std::vector<std::string> Posts() const
    {
        std::vector<std::string> out;
        for (const std::string& entry : log)
            if (entry.rfind("StopPoll", 0) != 0 && entry.rfind("PeriodicPoll", 0) != 0) out.push_back(entry);
        return out;
    }
    static QByteArray Contents(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }

    FakePrompter prompter;
    FakeClock clock;
    sim::AnalyzerCore unit;
    cmdtest::CmdEngine engine{&unit};
    QTemporaryDir dir;
    std::vector<std::string> log;
    std::map<std::string, std::function<void()>> bodies;
    std::unique_ptr<TFormMain> form;
};

const QString kBusy = QStringLiteral("Please wait for current task to finish, then proceed.");

}  // namespace

TEST_F(ConfigRoadsTest, RoadsRefuseWhileACommandRuns)
{
    const struct {
        const char* name;
        void (TFormMain::*road)();
    } roads[] = {{"Open", &TFormMain::tbtnOpenClick}, {"Save", &TFormMain::tbtnSaveClick}, {"Save As", &TFormMain::tbtnSaveAsClick}};
    for (const auto& r : roads) {
        SCOPED_TRACE(r.name);
        prompter.prompts.clear();
        prompter.fileRequests.clear();
        prompter.files = {Path("busy.cfg")};
        log.clear();
        // Clicked while a device exchange pumps messages inside a command.
        CommandLine::Shutdown();
        CommandLine* line = &CommandLine::Instance();
        for (const std::string& name : CommandNames::All()) {
            std::function<void()> body;
            if (name == "ExpressRead") body = [this, &r] { (form.get()->*r.road)(); };
            line->Register(name, std::make_unique<RecordingCommand>(name, log, body));
        }
        line->SetOwner(form.get());
        line->Post("ExpressRead");

        EXPECT_EQ(Posts(), std::vector<std::string>{"ExpressRead"});
        ASSERT_EQ(prompter.prompts.size(), 1u);
        EXPECT_EQ(prompter.prompts[0].text, kBusy);
        EXPECT_EQ(prompter.prompts[0].buttons, static_cast<unsigned>(platform::mbYes));
        EXPECT_TRUE(prompter.fileRequests.empty());
        EXPECT_FALSE(QFileInfo::exists(Path("busy.cfg")));
    }
}

TEST_F(ConfigRoadsTest, SaveAsksOnceThenWritesTheCurrentFileAndSaveAsAsksBeforeOverwriting)
{
    QDir::setCurrent(QDir::rootPath());
    // Save with no current file asks for one.
    prompter.files = {Path("a.cfg")};
    form->tbtnSaveClick();
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_TRUE(prompter.fileRequests[0].save);
    EXPECT_TRUE(prompter.fileRequests[0].confirmOverwrite);   // the dialog's question is the only one
    EXPECT_EQ(prompter.fileRequests[0].caption, QStringLiteral("Save Sentrel Configuration"));
    EXPECT_EQ(prompter.fileRequests[0].defaultSuffix, QStringLiteral("cfg"));
    const QByteArray first = Contents(Path("a.cfg"));
    EXPECT_TRUE(first.contains("<ConfigurationDatabase "));
    // The status line says so (in whichever of its text panels the shared routine writes).
    const QString saved = QStringLiteral("Configuration successfully saved to file \"") + Path("a.cfg") + QLatin1Char('"');
    bool shown = form->SpecialPanel()->text() == saved;
    for (int i = 0; i < form->StatusLine()->PanelCount(); ++i) shown = shown || form->StatusLine()->PanelText(i) == saved;
    EXPECT_TRUE(shown);
    // The data folder is the current folder again.
    EXPECT_EQ(QDir::current().absolutePath(), QDir(SecurityChk::Instance().GetFolder()).absolutePath());

    // Save again writes the same file without asking; offline nothing is posted.
    DataBase::Instance()->LogRecord(2).Frequency = 4321;
    form->tbtnSaveClick();
    EXPECT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_TRUE(Contents(Path("a.cfg")).contains("Frequency=\"4321\""));
    EXPECT_TRUE(Posts().empty());

    // Save As onto an existing file asks; No leaves it as it was, Yes replaces it.
    DataBase::Instance()->LogRecord(2).Frequency = 1234;
    const QByteArray kept = Contents(Path("a.cfg"));
    prompter.files = {Path("a.cfg")};
    prompter.answers = {platform::mrNo};
    const size_t boxes = prompter.prompts.size();
    form->tbtnSaveAsClick();
    // The question is asked once: the program's, not the dialog's as well.
    EXPECT_FALSE(prompter.fileRequests.back().confirmOverwrite);
    EXPECT_EQ(prompter.prompts.size(), boxes + 1);
    EXPECT_EQ(prompter.Texts().back(), QStringLiteral("File with this name already exists, do you want to overwrite?\n"));
    EXPECT_EQ(Contents(Path("a.cfg")), kept);
    prompter.files = {Path("a.cfg")};
    prompter.answers = {platform::mrYes};
    form->tbtnSaveAsClick();
    EXPECT_TRUE(Contents(Path("a.cfg")).contains("Frequency=\"1234\""));

    // A cancelled dialog writes nothing.
    prompter.files.clear();
    const size_t asked = prompter.fileRequests.size();
    form->tbtnSaveAsClick();
    EXPECT_EQ(prompter.fileRequests.size(), asked + 1);
}

TEST_F(ConfigRoadsTest, OpenOfflineUpdatesOnlyTheProgramAndSaveWritesBackToTheOpenedFile)
{
    DataBase* db = DataBase::Instance();
    db->LogRecord(1).Frequency = 777;
    QString error;
    ASSERT_TRUE(config_file::Save(*db, Path("open.cfg"), &error));
    db->LogRecord(1).Frequency = 1;

    form->Action("tbtnSave")->setEnabled(false);
    prompter.files = {Path("open.cfg")};
    form->tbtnOpenClick();
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_FALSE(prompter.fileRequests[0].save);
    EXPECT_EQ(prompter.fileRequests[0].caption, QStringLiteral("Open Sentrel Configuraiton File"));
    EXPECT_EQ(db->LogRecord(1).Frequency, 777);
    EXPECT_EQ(db->ConfigFileTypeID().substr(0, 25), std::string("Sentrel DataBase Config v1.00a").substr(0, 25));
    EXPECT_TRUE(prompter.prompts.empty()) << prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(Posts().empty());
    EXPECT_TRUE(form->Action("tbtnSave")->isEnabled());
    EXPECT_TRUE(form->Action("tbtnSaveAs")->isEnabled());

    db->LogRecord(1).Frequency = 888;
    // The pages' fields hold values they take (a field with a range refuses the 0 of a fresh
    // database, and a refused field stops a Save).
    for (QLineEdit* edit : form->findChildren<QLineEdit*>()) {
        if (!edit->property("RangeEdit").toBool()) continue;
        bool number = false;
        const double value = edit->text().toDouble(&number);
        const double low = edit->property("RangeLow").toDouble(), high = edit->property("RangeHigh").toDouble();
        if (number && (value < low || value > high)) edit->setText(QString::number(low));
    }
    form->tbtnSaveClick();
    EXPECT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_TRUE(Contents(Path("open.cfg")).contains("Frequency=\"888\""));

    // A broken file says why and changes nothing.
    QFile broken(Path("broken.cfg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(Contents(Path("open.cfg")).left(300));
    broken.close();
    prompter.files = {Path("broken.cfg")};
    form->tbtnOpenClick();
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_TRUE(prompter.prompts[0].text.contains(Path("broken.cfg")));
    EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Error);
    EXPECT_EQ(db->LogRecord(1).Frequency, 888);
    // The refused file is not the current one: Save still writes the opened one.
    form->tbtnSaveClick();
    EXPECT_EQ(prompter.fileRequests.size(), 2u);
    EXPECT_EQ(Contents(Path("broken.cfg")).size(), 300);
}

TEST_F(ConfigRoadsTest, OpenWhileLoggedOnWritesIntoTheUnitAndRebootsOnYes)
{
    DataBase* db = DataBase::Instance();
    uint8_t seq[kSequencerBlockSize] = {};
    seq[0] = 1;
    seq[1] = 1;
    seq[2] = 2;
    seq[3] = 5;
    db->AsSequencer()->SetBlock(seq);
    uint8_t timers[kTimerBlockSize] = {};
    timers[1] = 0xFF;
    timers[2] = 7;
    db->AsTimerXManager()->SetBlock(timers);
    QString error;
    ASSERT_TRUE(config_file::Save(*db, Path("unit.cfg"), &error));
    const int points = static_cast<int>(QString::fromUtf8(Contents(Path("unit.cfg"))).count(QStringLiteral("<Point ")));
    uint8_t zeros[kSequencerBlockSize] = {};
    db->AsSequencer()->SetBlock(zeros);

    LookLoggedOn();
    StateMgr::Instance().SetUpdate();
    // No: only the program takes the file.
    prompter.files = {Path("unit.cfg")};
    prompter.answers = {platform::mrNo};
    form->tbtnOpenClick();
    EXPECT_EQ(prompter.Texts(), QStringList{QStringLiteral("Do you wish to write this configuration into the unit?\n"
                                                           "If the answer is NO, only the GUI will be updated with the "
                                                           "configuration file.")});
    EXPECT_TRUE(Posts().empty());
    EXPECT_EQ(db->AsSequencer()->Block()[3], 5);
    EXPECT_NE(static_cast<uint8_t>(unit.SequencerBlock().at(3)), 5);
    EXPECT_TRUE(form->Action("tbtnSave")->isEnabled());
    EXPECT_TRUE(form->Action("tbtnSaveAs")->isEnabled());

    // Yes: the points, the logs, the blocks, the flash, then the reboot and the log-off.
    prompter.prompts.clear();
    prompter.files = {Path("unit.cfg")};
    prompter.answers = {platform::mrYes, platform::mrOk};
    form->tbtnOpenClick();
    EXPECT_EQ(Posts(), (std::vector<std::string>{"WriteDirect:" + std::to_string(points), "WriteLogConfig", "WriteConfig",
                                                 "Reboot", "Logoff"}));
    EXPECT_EQ(unit.SequencerBlock(), QByteArray(reinterpret_cast<const char*>(seq), kSequencerBlockSize));
    EXPECT_EQ(unit.TimerBlock(), QByteArray(reinterpret_cast<const char*>(timers), kTimerBlockSize));
    ASSERT_EQ(prompter.prompts.size(), 2u);
    EXPECT_EQ(prompter.prompts[1].text, QStringLiteral("Please press OK button.\n"
                                                       "After pressing OK button, analyzer will automatically reboot, "
                                                       "and GUI will LOG OFF.\n"
                                                       "After reboot, you will have to LOG ON again."));
    EXPECT_FALSE(form->Action("tbtnLogoff")->isEnabled());
}

TEST_F(ConfigRoadsTest, OpenStopsBeforeTheFlashWhenTheUnitRefusesABlock)
{
    QString error;
    ASSERT_TRUE(config_file::Save(*DataBase::Instance(), Path("unit.cfg"), &error));
    LookLoggedOn();
    StateMgr::Instance().SetUpdate();
    const struct {
        const char* name;
        int type;
    } blocks[] = {{"sequencer", 62}, {"timers", 66}};
    for (const auto& b : blocks) {
        SCOPED_TRACE(b.name);
        log.clear();
        prompter.prompts.clear();
        unit.FailNext(sim::Fault::Reject, 1, b.type);
        prompter.files = {Path("unit.cfg")};
        prompter.answers = {platform::mrYes, platform::mrOk};
        form->tbtnOpenClick();
        EXPECT_EQ(Posts().size(), 2u);   // the points and the logs, then nothing
        for (const std::string& post : Posts()) EXPECT_TRUE(post != "WriteConfig" && post != "Reboot") << post;
        ASSERT_EQ(prompter.prompts.size(), 2u);
        EXPECT_EQ(prompter.prompts[1].type, platform::DlgType::Error);
        EXPECT_TRUE(prompter.prompts[1].text.contains(QStringLiteral("Nothing was stored to the Flash")));
        EXPECT_TRUE(form->LoggedOn());
    }
}
