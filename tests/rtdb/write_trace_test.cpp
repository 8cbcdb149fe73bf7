// The configuration write trace "LogWrite.dbg" and the change list: golden traces byte for
// byte, the line layout, the clock point's date, and a trace file that cannot be written.
#include "tests/rtdb/database_fixture.h"
#include "tests/common/file_size_limit.h"

#include "tevrin/rtdb/modbus_list.h"
#include "tevrin/rtdb/timer_x_manager.h"

#include "platform/data_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>
#include <cstring>

using dbtest::DatabaseTest;

namespace {

QString GoldenPath(const QString& name)
{
    return QDir(QStringLiteral(TEVRIN_TEST_DIR)).filePath(QStringLiteral("data/trace/") + name);
}

// Compares the trace with its golden file; TEVRIN_UPDATE_GOLDEN=1 rewrites the golden file.
void ExpectGolden(const QByteArray& actual, const QString& name)
{
    const QString path = GoldenPath(name);
    if (std::getenv("TEVRIN_UPDATE_GOLDEN")) {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(actual);
    }
    QFile golden(path);
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << path.toStdString();
    const QByteArray expected = golden.readAll();
    EXPECT_EQ(actual, expected) << "trace differs from " << path.toStdString() << ":\n" << actual.toStdString();
}

// The packed clock value of a date and time.
uint32_t Token(int year, int month, int day, int hour, int minute, int second)
{
    return (((((uint32_t(year - 2000) * 16 + month) * 32 + day) * 32 + hour) * 64 + minute) * 64 + second);
}

QList<QByteArray> Lines(const QByteArray& file)
{
    QList<QByteArray> lines = file.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
}

const QByteArray kSeparatorLine = QByteArray(52, '-') + " \n";

class WriteTraceTest : public DatabaseTest {};

TEST_F(WriteTraceTest, WriteChangesTracesChangedPointsAndTheTimersAndListsWhatWasSent)
{
    db->Connect();
    db->AsExpressScan().SetPage(16, 0, 1);
    db->SetValid(1);
    db->SetPointText(1, "North Plant");
    db->SetPointText(10, "300");
    db->SetPointText(388, std::to_string(Token(2026, 3, 7, 21, 5, 9)));
    uint8_t timers[kTimerBlockSize] = {};
    TimerRecord r{1, 2, 6, 30, 1, 0xFFFFFFFFu, 1, 3};
    std::memcpy(timers + kTimerRecordSize, &r, sizeof r);
    db->AsTimerXManager()->SetBlock(timers);

    db->WriteChanges();

    ExpectGolden(TraceFile(), QStringLiteral("write_changes.dbg"));
    // The clock point goes out but is not listed; the timer block follows the points.
    EXPECT_EQ(db->AsWriteLogRecordsManager().Ids(),
              (std::vector<int>{1, 10, WriteLogRecordsManager::kTimerBlockMarkerId}));
    EXPECT_EQ(unit.Value(sim::DbId{388}), static_cast<double>(Token(2026, 3, 7, 21, 5, 9)));
}

TEST_F(WriteTraceTest, TheSequencerModbusAndLogConfigurationSections)
{
    ModbusHeader header{};
    header.mode = 0;
    header.runs[0] = {0, 2};   // two coils
    header.runs[1] = {2, 1};   // one short
    header.runs[2] = {3, 0};
    header.runs[3] = {3, 0};
    unit.SetModbusMapHeader(header);
    unit.SetModbusMapEntry({0, 0, 8, 1, 1610});
    unit.SetModbusMapEntry({1, 0, 8, 1, 1611});
    unit.SetModbusMapEntry({2, 0, 5, 0, 10});
    QByteArray seq(kSequencerBlockSize, '\0');
    seq[0] = 1;
    seq[1] = 2;
    seq[2] = 0;
    seq[3] = 1;
    seq[4] = 0;
    seq[5] = 5;
    seq[66] = 1;
    seq[67] = 4;
    seq[68] = 1;          // manual sequence 1: enabled, loop, input 2, one entry
    seq[69] = 1;
    seq[70] = 2;
    seq[71] = 1;
    seq[72] = 0;
    seq[73] = 3;
    unit.SetSequencerBlock(seq);
    db->Connect();
    ASSERT_EQ(db->AsModbusList()->EntryCount(), 3);
    for (int k = 0; k < kLogCount; ++k) {
        LogConfigRecord& rec = db->LogRecord(k);
        rec.LOG_NUMBER = static_cast<uint8_t>(k);
        rec.Enable = k < 3;
        rec.Frequency = static_cast<uint16_t>(60 * k);
        rec.LogIdCode = static_cast<uint8_t>(k + 1);
        rec.ParametersInLog = 2;
        rec.UniqueId[0] = 284;
        rec.UniqueId[1] = static_cast<uint16_t>(65531 - k);
    }

    db->LogSequencerConfiguration();
    db->LogModbusList();
    db->LogLogConfiguration();

    ExpectGolden(TraceFile(), QStringLiteral("sections.dbg"));
}

TEST_F(WriteTraceTest, AFullWriteTracesEveryWritableConfigurationPointAndTheTimersAndListsNothing)
{
    db->Connect();
    db->WriteConfigPoints();

    int expected = 0;
    for (int row = 0; row < rosetta::kCatalogueRowCount; ++row) {
        const rosetta::CatalogueRow& r = rosetta::kCatalogueRows[row];
        if ((r.flags & 0x1F) && (r.flags & 0x04) && r.access == 1) ++expected;
    }
    const QList<QByteArray> lines = Lines(TraceFile());
    // separator, the point lines, "TimerXConfiguration", 12 timers, separator, then the Modbus
    // section (separator, title, 4 runs, 2 headings, 100 entries, separator).
    ASSERT_EQ(lines.size(), 1 + expected + 1 + 12 + 1 + 109);
    EXPECT_EQ(lines[0] + '\n', kSeparatorLine);
    EXPECT_TRUE(lines[1].startsWith("0         Unit ID"));
    EXPECT_EQ(lines[1 + expected], "TimerXConfiguration ");
    EXPECT_TRUE(lines[2 + expected].startsWith("Timer 0   Schedule Enable=0"));
    EXPECT_TRUE(lines[15 + expected + 1].startsWith("Modbus List         Mode=ENRON"));
    EXPECT_TRUE(db->AsWriteLogRecordsManager().IsEmpty());
}

TEST_F(WriteTraceTest, TwoWritesWithoutAnEditTraceOnlyTheirSeparators)
{
    db->Connect();
    db->AsExpressScan().SetPage(2, 0, 1);
    db->WriteChanges();
    db->WriteChanges();
    EXPECT_EQ(TraceFile(), kSeparatorLine + kSeparatorLine);
    EXPECT_TRUE(db->AsWriteLogRecordsManager().IsEmpty());
}

TEST_F(WriteTraceTest, ATraceThatCannotBeWrittenIsReportedOnceAndTheWriteGoesOn)
{
    db->Connect();
    // A folder where the trace file should be: the file cannot be opened.
    ASSERT_TRUE(QDir().mkpath(write_trace::TraceFilePath()));
    db->SetPointText(10, "300");
    db->SetPointText(25, "40");
    db->SetPointText(26, "50");

    EXPECT_EQ(db->WriteChanges(), 0);

    // Said once, with the reason under it.
    ASSERT_EQ(prompter.Texts().size(), 1);
    EXPECT_TRUE(prompter.Texts()[0].startsWith(QStringLiteral("There was a problem opening the WriteLog file\n")))
        << prompter.Texts()[0].toStdString();
    EXPECT_GT(prompter.Texts()[0].size(), int(std::strlen("There was a problem opening the WriteLog file\n")));
    EXPECT_EQ(db->AsWriteLogRecordsManager().Ids(), (std::vector<int>{10, 25, 26}));
    EXPECT_EQ(unit.Value(sim::DbId{26}), 50.0);
    QDir(write_trace::TraceFilePath()).removeRecursively();
}

// A trace that opened but did not fit says that the write failed and why, never that the file
// could not be opened, and the part that went in is taken back.
TEST_F(WriteTraceTest, AnAppendThatDoesNotFitSaysTheWriteFailedAndWhy)
{
    const QString path = write_trace::TraceFilePath();
    const QByteArray old = kSeparatorLine;
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(old), old.size());
    }
    {
        testsupport::FileSizeLimit limit(static_cast<rlim_t>(old.size() + 100));
        EXPECT_FALSE(write_trace::AppendLines({std::string(200, 'v'), "another line"}, path));
    }
    EXPECT_EQ(prompter.Texts().join(QLatin1Char('|')).toStdString(),
              "There was a problem writing the WriteLog file\nFile too large");
    EXPECT_EQ(TraceFile(), old);
}

TEST_F(WriteTraceTest, TheTraceGoesToTheDataFolderWhateverTheCurrentDirectory)
{
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    QDir::setCurrent(elsewhere.path());
    db->LogLogConfiguration();
    EXPECT_TRUE(QFileInfo(write_trace::TraceFilePath()).isAbsolute());
    EXPECT_TRUE(TraceFile().startsWith(kSeparatorLine + "Log Configuration   2026/3/7 9:5:12 73ms \n"));
    EXPECT_FALSE(QFile::exists(QDir(elsewhere.path()).filePath("LogWrite.dbg")));
}

TEST_F(WriteTraceTest, ATextPointLineHasItsFixedFieldWidths)
{
    db->Connect();
    db->SetValid(1);
    db->SetPointText(1, "Shed 3");
    db->WriteChanges();
    const QByteArray expected = kSeparatorLine + QByteArray("1") + QByteArray(9, ' ') + "Unit Site" +
                                QByteArray(51, ' ') + "Shed 3" + QByteArray(29, ' ') + "2026/3/7 9:5:12 73ms \n";
    EXPECT_EQ(TraceFile(), expected);
}

// --- the pieces of a line ----------------------------------------------------------------------------

TEST(WriteTraceFormat, ClockTokensAsDates)
{
    const struct {
        uint32_t token;
        const char* text;
    } cases[] = {
        {Token(2026, 3, 7, 9, 5, 12), "March 7, 2026 9:05:12 AM"},
        {Token(2026, 3, 7, 21, 5, 9), "March 7, 2026 9:05:09 PM"},
        {Token(2024, 12, 31, 0, 0, 0), "December 31, 2024 12:00:00 AM"},
        {Token(2024, 6, 1, 12, 59, 59), "June 1, 2024 12:59:59 PM"},
        {0, "January 1, 2000 12:00:00 AM"},                        // month and day 0 count as 1
        {Token(2031, 13, 2, 1, 2, 3), "January 2, 2031 1:02:03 AM"},  // month 13 counts as January
        {Token(2025, 2, 29, 1, 0, 0), "December 30, 1899 12:00:00 AM"},   // no such day: the zero date
        {Token(2025, 4, 31, 1, 0, 0), "December 30, 1899 12:00:00 AM"},
        {Token(2025, 4, 1, 24, 0, 0), "December 30, 1899 12:00:00 AM"},
        {Token(2025, 4, 1, 1, 60, 0), "December 30, 1899 12:00:00 AM"},
        {Token(2063, 1, 1, 0, 0, 0), "January 1, 2063 12:00:00 AM"},
    };
    for (const auto& c : cases) EXPECT_EQ(write_trace::TokenDateText(c.token), c.text) << c.token;
}

TEST(WriteTraceFormat, FieldsTimeStampsAndLineEnds)
{
    EXPECT_EQ(write_trace::Field("abc", 5), "abc  ");
    EXPECT_EQ(write_trace::Field("abcdef", 3), "abc");
    EXPECT_EQ(write_trace::Separator(), std::string(52, '-'));

    write_trace::SetTimeSource([] { return QDateTime(QDate(2026, 11, 23), QTime(23, 59, 1, 5)); });
    EXPECT_EQ(write_trace::TimeStamp(), "2026/11/23 23:59:1 5ms");
    write_trace::SetTimeSource(nullptr);

    QTemporaryDir dir;
    const QString path = dir.filePath("trace.dbg");
    EXPECT_TRUE(write_trace::AppendLines({"a", std::string(300, 'x')}, path));
    EXPECT_TRUE(write_trace::WriteLog("b", path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("a \n") + QByteArray(253, 'x') + " \nb \n");
}

TEST(WriteTraceFormat, ABareFileNameIsTakenInTheDataFolder)
{
    FakePrompter prompter;
    EXPECT_TRUE(write_trace::WriteLog("one", QStringLiteral("Other.dbg")));
    QFile f(platform::UserDataFile(QStringLiteral("Other.dbg")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("one \n"));
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST(WriteLogRecordsManagerTest, KeepsFirstWriteOrderWithoutDuplicates)
{
    WriteLogRecordsManager list;
    for (int id : {20, 1, 20, WriteLogRecordsManager::kTimerBlockMarkerId, 1}) list.Add(id);
    EXPECT_EQ(list.Ids(), (std::vector<int>{20, 1, WriteLogRecordsManager::kTimerBlockMarkerId}));
    EXPECT_TRUE(list.Contains(1));
    EXPECT_EQ(list.At(2), WriteLogRecordsManager::kTimerBlockMarkerId);
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
    // The marker is no catalogue DbId.
    for (int row = 0; row < rosetta::kCatalogueRowCount; ++row)
        ASSERT_NE(rosetta::kCatalogueRows[row].dbId & 0xFFFF, WriteLogRecordsManager::kTimerBlockMarkerId);
}

}  // namespace
