// The archive's files: the XML file written and read back, the two CSV shapes against golden
// files, malformed files, and the CSV column dialog.
#include "tests/common/huge_file.h"
#include "tests/pages/kit/archive_fixture.h"
#include "tests/pages/kit/file_bytes.h"
#include "tevrin/pages/analysis/archive_csv.h"
#include "tevrin/pages/analysis/archive_xml.h"
#include "tevrin/pages/analysis/csv_config_dlg.h"
#include "tevrin/pages/widgets/adv_column_grid.h"
#include "tevrin/pages/widgets/date_text.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using archivetest::ArchiveFixture;

namespace {

using filetest::ReadAll;
using filetest::WriteAll;

QString Golden(const char* name) { return QDir(QStringLiteral(TEVRIN_TEST_DIR)).filePath(QStringLiteral("data/") + QLatin1String(name)); }

// Compares with a golden file; TEVRIN_UPDATE_GOLDEN=1 writes it instead.
void ExpectGolden(const QString& written, const char* name)
{
    if (qEnvironmentVariableIsSet("TEVRIN_UPDATE_GOLDEN")) WriteAll(Golden(name), ReadAll(written));
    EXPECT_EQ(ReadAll(written), ReadAll(Golden(name))) << name;
}

struct Row {
    double time;
    int position;
    std::vector<std::string> texts;
    bool operator==(const Row& o) const { return time == o.time && position == o.position && texts == o.texts; }
};

std::vector<Row> Rows(const LogDBManager& m)
{
    std::vector<Row> rows;
    for (int k = 0; k < m.EntryCount(); ++k) {
        const LogEntry* e = m.Entry(k);
        Row r{e->Time, e->LogPosition, {}};
        for (int j = 0; j < kLogValuesPerLog; ++j) r.texts.push_back(m.CellText(e->LogPosition, j, k));
        rows.push_back(r);
    }
    return rows;
}

// Reads the archive file at path back into m (emptied first) with the log configurations logs,
// and expects the entries of `before` again in the same order, times to the second.
void ExpectReadBack(const QString& path, LogDBManager& m, LogConfigRecord (&logs)[kLogCount], const std::vector<Row>& before)
{
    m.Clear();
    ArchiveFile file;
    QString error;
    ASSERT_TRUE(ReadArchiveXml(path, file, &error)) << error.toStdString();
    EXPECT_EQ(file.badTimeStamps, 0);
    ApplyArchiveFile(std::move(file), m, logs);
    const std::vector<Row> after = Rows(m);
    ASSERT_EQ(after.size(), before.size());
    for (size_t k = 0; k < after.size(); ++k) {
        EXPECT_EQ(after[k].position, before[k].position) << k;
        EXPECT_EQ(after[k].texts, before[k].texts) << k;
        EXPECT_NEAR(after[k].time, before[k].time, 0.5 / 86400) << k;
    }
}

class ArchiveFilesTest : public ::testing::Test, public ArchiveFixture {
protected:
    QTemporaryDir dir;
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
};

}  // namespace

TEST_F(ArchiveFilesTest, XmlFileIsWrittenAsTheGoldenFileAndReadsBackToTheSameArchive)
{
    Fill();
    const std::vector<Row> before = Rows(*m);
    ASSERT_EQ(before.size(), 10u);
    const QString path = Path("a.xml");
    ASSERT_TRUE(WriteArchiveXml(path, *m, db->LogRecords()));
    ExpectGolden(path, "archive.xml");

    // Read back into an emptied archive and a changed configuration.
    LogConfigRecord logs[kLogCount] = {};
    logs[3].ParametersInLog = 5;
    logs[3].UniqueId[1] = 77;
    ExpectReadBack(path, *m, logs, before);
    if (HasFatalFailure()) return;
    EXPECT_EQ(m->LogCount(0), 5);
    EXPECT_EQ(m->LogCount(1), 3);
    EXPECT_EQ(m->LogList(2).size(), 2u);
    // The configuration: enable bytes and DbIds from the names, ParametersInLog from Points;
    // a log without Points keeps its ParametersInLog (-1 in the file changes nothing else).
    EXPECT_EQ(logs[1].ParametersInLog, 3);
    EXPECT_EQ(logs[1].UniqueId[1], 395);
    EXPECT_EQ(logs[1].UniqueId[2], 10);
    EXPECT_EQ(logs[2].UniqueId[2], 392);
    EXPECT_EQ(logs[3].ParametersInLog, 5);
    EXPECT_EQ(logs[3].UniqueId[1], 77);
    EXPECT_EQ(logs[4].ParametersInLog, 0);   // no Points of log 4
    EXPECT_EQ(logs[4].UniqueId[1], 10);
    EXPECT_EQ(logs[5].Enable, 0);
    EXPECT_EQ(logs[0].Enable, 1);

    // An empty archive: the names alone; reading it empties the archive.
    m->Clear();
    ASSERT_TRUE(WriteArchiveXml(path, *m, db->LogRecords()));
    Fill();
    ArchiveFile empty;
    ASSERT_TRUE(ReadArchiveXml(path, empty));
    ApplyArchiveFile(std::move(empty), *m, logs);
    EXPECT_EQ(m->EntryCount(), 0);
    EXPECT_EQ(m->LogCount(0), 0);
}

TEST_F(ArchiveFilesTest, MalformedXmlIsRefusedWithItsReasonAndChangesNothing)
{
    Fill();
    const QString path = Path("a.xml");
    ASSERT_TRUE(WriteArchiveXml(path, *m, db->LogRecords()));
    const QByteArray good = ReadAll(path);
    auto edit = [&good](const char* from, const char* to) { return QByteArray(good).replace(from, to); };
    const struct {
        const char* what;
        QByteArray bytes;
        const char* reason;   // part of the reason given
    } kCases[] = {
        {"not well-formed", good.left(good.size() - 10), ""},
        {"another document", "<other/>", "LOGDB"},
        {"a second root", good + "<LOGDB/>", ""},
        {"five logs", edit("<Log lognum=\"5\" ParametersInLog=\"1\" Enabled=\"0\"><name UID=\"10\">Purge Time</name></Log>", ""), "5 logs"},
        {"log number out of range", edit("<LogNum>1</LogNum>", "<LogNum>6</LogNum>"), "outside 0 to 5"},
        {"negative log number", edit("<LogNum>1</LogNum>", "<LogNum>-1</LogNum>"), "outside 0 to 5"},
        {"log number not a number", edit("<LogNum>1</LogNum>", "<LogNum>one</LogNum>"), "not a number"},
        {"eight values", edit("<Point ParametersInLog=\"2\">", "<Point ParametersInLog=\"8\">"), "outside -1 to 7"},
        {"values missing", edit("<Point ParametersInLog=\"2\">", "<Point ParametersInLog=\"5\">"), "children"},
        {"count not a number", edit("<Point ParametersInLog=\"2\">", "<Point ParametersInLog=\"x\">"), "not a number"},
        {"count missing", edit("<Point ParametersInLog=\"2\">", "<Point>"), "missing"},
        {"count below -1", edit("<Point ParametersInLog=\"2\">", "<Point ParametersInLog=\"-2\">"), "outside -1 to 7"},
        {"no log number", edit("<LogNum>1</LogNum>", ""), "log number"},
        {"UID out of range", edit("UID=\"395\"", "UID=\"70000\""), "outside"},
        {"enable out of range", edit("Enabled=\"0\"", "Enabled=\"256\""), "outside"},
        {"more names than a log holds", edit("<name UID=\"10\">Purge Time</name></Log>",
                                            "<name UID=\"10\">Purge Time</name><name UID=\"1\">a</name><name UID=\"1\">a</name>"
                                            "<name UID=\"1\">a</name><name UID=\"1\">a</name><name UID=\"1\">a</name>"
                                            "<name UID=\"1\">a</name><name UID=\"1\">a</name></Log>"), "more than 7"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        ASSERT_NE(c.bytes, good);
        WriteAll(path, c.bytes);
        ArchiveFile file;
        file.entries.resize(3);   // what the caller held stays
        QString error;
        EXPECT_FALSE(ReadArchiveXml(path, file, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << error.toStdString();
        EXPECT_EQ(file.entries.size(), 3u);
    }
    EXPECT_FALSE(ReadArchiveXml(Path("missing.xml"), *std::make_unique<ArchiveFile>()));
}

// An analyzer's archive memory holds a bounded number of samples; a file of more Points than
// that is refused with the reason, and one of just as many reads whole.
TEST_F(ArchiveFilesTest, FileOfMorePointsThanAnArchiveMemoryHoldsIsRefused)
{
    constexpr uint32_t kMost = 3000;
    // Values of `text` bytes of text make a file of megabytes, read in more than one piece.
    auto archive = [](uint32_t points, int text) {
        QByteArray bytes = "<LOGDB>";
        for (uint32_t k = 0; k < points; ++k)
            bytes += "<Point ParametersInLog=\"1\"><TimeStamp>2025-12-11 10:00:00</TimeStamp><LogNum>" +
                     QByteArray::number(k % 3) + "</LogNum><Colum0>" + QByteArray::number(k) + QByteArray(text, 'x') +
                     "</Colum0></Point>";
        return bytes + "</LOGDB>";
    };
    const struct {
        uint32_t points;
        int text;
        bool reads;
    } cases[] = {{kMost, 0, true}, {kMost, 997, true}, {kMost + 1, 0, false}, {kMost + 1, 997, false}, {4 * kMost, 0, false}};
    const QString path = Path("a.xml");
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.points << " Points, values of " << c.text << " bytes");
        WriteAll(path, archive(c.points, c.text));
        ArchiveFile file;
        file.entries.resize(3);   // what the caller held stays unless the file reads
        QString error;
        EXPECT_EQ(ReadArchiveXml(path, file, &error, {}, kMost), c.reads) << error.toStdString();
        if (c.reads) {
            ASSERT_EQ(file.entries.size(), c.points);
            EXPECT_EQ(file.entries.capacity(), file.entries.size());
            EXPECT_EQ(file.entries.back().LogPosition, int((c.points - 1) % 3));
        } else {
            EXPECT_TRUE(error.contains(QStringLiteral("more than %1 samples").arg(kMost))) << error.toStdString();
            EXPECT_EQ(file.entries.size(), 3u);
        }
    }
}

// While a file is read its samples take no more room than the loaded archive's compact form:
// the peak of the read (from the process's peak resident size, set back to the present first)
// stays near the samples' own bytes, with no second copy and no room grown past them.
TEST_F(ArchiveFilesTest, ReadingTakesTheSamplesCompactFormAndNoMore)
{
    // AddressSanitizer pads every block and keeps freed ones: a peak near the samples' own bytes
    // cannot be told from its overhead there.
    if (testsupport::kSanitizerPeakSlackMb > 0) GTEST_SKIP() << "the peak measures the sanitizer's padding here";
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly)) GTEST_SKIP() << "the peak resident size cannot be set back here";
    auto peakMb = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly)) return -1.0;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').front().toDouble() / 1024;
        return -1.0;
    };
    // Just past a power of two, where room grown by doubling is at its largest.
    constexpr uint32_t kPoints = (1u << 19) + 1000;
    const QString path = Path("a.xml");
    {
        QByteArray bytes = "<LOGDB>";
        for (uint32_t k = 0; k < kPoints; ++k) bytes += "<Point ParametersInLog=\"-1\"><a>" + QByteArray::number(k) + "</a><b>1</b></Point>";
        bytes += "</LOGDB>";
        WriteAll(path, bytes);
    }
    const double compactMb = kPoints * sizeof(LogEntry) / double(1 << 20);
    ArchiveFile file;
    ASSERT_EQ(clear.write("5"), 1);
    clear.close();
    const double before = peakMb();
    ASSERT_TRUE(ReadArchiveXml(path, file));
    ASSERT_EQ(file.entries.size(), kPoints);
    EXPECT_LE(peakMb() - before, 1.25 * compactMb + 16) << "samples of " << compactMb << " MB";
}

// A log that records no values (ParametersInLog 0) still has samples: the time stamp alone.
// The file carries them as Points of ParametersInLog -1, and reads them back.
TEST_F(ArchiveFilesTest, SamplesOfALogOfNoParametersReadBack)
{
    Fill();
    const QByteArray none = sim::ArchiveMemory({{14, 500, {}}, {14, 900, {}}});
    m->Feed(reinterpret_cast<const uint8_t*>(none.constData()), static_cast<size_t>(none.size()));
    m->BuildLogLists();
    ASSERT_EQ(m->LogCount(3), 2);
    const std::vector<Row> before = Rows(*m);
    const QString path = Path("a.xml");
    ASSERT_TRUE(WriteArchiveXml(path, *m, db->LogRecords()));
    ExpectGolden(path, "archive_no_parameters.xml");
    EXPECT_EQ(ReadAll(path).count("<Point ParametersInLog=\"-1\">"), 2);

    LogConfigRecord logs[kLogCount] = {};
    logs[3].ParametersInLog = 4;
    ExpectReadBack(path, *m, logs, before);
    if (HasFatalFailure()) return;
    EXPECT_EQ(m->LogCount(3), 2);
    EXPECT_EQ(logs[3].ParametersInLog, 0);   // from its Points: -1 + 1
    EXPECT_EQ(logs[3].Enable, 1);
    EXPECT_EQ(logs[1].ParametersInLog, 3);

    // Written again from what was read: the same file.
    const QString again = Path("b.xml");
    DataBase::Instance()->LogRecord(3).ParametersInLog = logs[3].ParametersInLog;
    ASSERT_TRUE(WriteArchiveXml(again, *m, db->LogRecords()));
    EXPECT_EQ(ReadAll(again), ReadAll(path));
}

// A file without the log names is read: its samples are taken, the log records keep their
// enable bytes and DbIds, and take ParametersInLog from the Points.
TEST_F(ArchiveFilesTest, FileWithoutLogNamesIsReadWithoutThem)
{
    Fill();
    const QString path = Path("a.xml");
    ASSERT_TRUE(WriteArchiveXml(path, *m, db->LogRecords()));
    QByteArray bytes = ReadAll(path);
    const int from = bytes.indexOf("<ArchiveNames>");
    const int to = bytes.indexOf("</ArchiveNames>") + static_cast<int>(strlen("</ArchiveNames>"));
    ASSERT_GT(from, 0);
    bytes.remove(from, to - from);
    WriteAll(path, bytes);

    LogConfigRecord logs[kLogCount] = {};
    logs[0].Enable = 9;
    logs[1].UniqueId[1] = 77;
    ArchiveFile file;
    QString error;
    ASSERT_TRUE(ReadArchiveXml(path, file, &error)) << error.toStdString();
    ApplyArchiveFile(std::move(file), *m, logs);
    EXPECT_EQ(m->EntryCount(), 10);
    EXPECT_EQ(m->CellText(1, 1, 0), "57054");
    EXPECT_EQ(logs[0].Enable, 9);
    EXPECT_EQ(logs[1].UniqueId[1], 77);
    EXPECT_EQ(logs[1].ParametersInLog, 3);
}

// A loaded archive holds its values as numbers, as a decoded one does, wherever the number's
// own text is the file's text; any other text is kept as it was. Written again, the file is
// the same byte for byte.
TEST_F(ArchiveFilesTest, ValuesReadFromAFileAreHeldAsNumbersAndWrittenBackAsTheyWere)
{
    Fill();
    const QString path = Path("a.xml");
    ASSERT_TRUE(WriteArchiveXml(path, *m, db->LogRecords()));
    QByteArray bytes = ReadAll(path);
    const struct {
        const char* from;
        const char* to;
        bool number;   // held as a number
    } kValues[] = {
        {"<Colum0>1.5</Colum0>", "<Colum0>1.50</Colum0>", false},
        {"<Colum1>57054</Colum1>", "<Colum1>007</Colum1>", false},
        {"<Colum0>4000000000</Colum0>", "<Colum0>4294967296</Colum0>", false},
        {"<Colum1>5</Colum1>", "<Colum1>a&amp;b&lt;c&gt;&quot;'\xC3\xA9</Colum1>", false},
        {"<Colum1>65535</Colum1>", "<Colum1></Colum1>", false},
    };
    for (const auto& v : kValues) {
        ASSERT_TRUE(bytes.contains(v.from)) << v.from;
        bytes.replace(v.from, v.to);
    }
    WriteAll(path, bytes);
    m->Clear();
    ArchiveFile file;
    QString error;
    ASSERT_TRUE(ReadArchiveXml(path, file, &error)) << error.toStdString();
    LogConfigRecord logs[kLogCount];
    std::copy(std::begin(db->LogRecords()), std::end(db->LogRecords()), std::begin(logs));
    ApplyArchiveFile(std::move(file), *m, logs);

    // Odd texts are kept as texts; canonical numbers (NAN, -0.125, 4000000000, 222) as numbers.
    EXPECT_EQ(m->ValueText(0, 0), "1.50");
    EXPECT_NE(m->HeldText(*m->Entry(0), 0), nullptr);
    EXPECT_EQ(m->ValueText(0, 1), "007");
    EXPECT_EQ(m->ValueText(5, 1), "a&b<c>\"'\xC3\xA9");
    EXPECT_EQ(m->ValueText(9, 1), "");
    EXPECT_EQ(m->ValueText(5, 0), "NAN");
    EXPECT_EQ(m->ValueText(9, 0), "-0.125");
    EXPECT_EQ(m->ValueText(7, 0), "222");
    for (const auto& [k, j] : {std::pair{5, 0}, {9, 0}, {7, 0}, {1, 0}, {2, 0}})
        EXPECT_EQ(m->HeldText(*m->Entry(k), j), nullptr) << k << "/" << j;
    double number = 0;
    EXPECT_TRUE(m->ValueNumber(*m->Entry(9), 0, number));
    EXPECT_EQ(number, -0.125);
    EXPECT_FALSE(m->ValueNumber(*m->Entry(5), 0, number));
    // 48 bytes a sample and the few odd texts.
    EXPECT_LT(m->MemoryBytes(), 10 * sizeof(LogEntry) + 5 * 64 + 6 * 64);

    const QString again = Path("b.xml");
    ASSERT_TRUE(WriteArchiveXml(again, *m, logs));
    EXPECT_EQ(ReadAll(again), bytes);
}

TEST_F(ArchiveFilesTest, TimeStampsThatDoNotReadAreCountedAndKeptAsTimeZero)
{
    Fill();
    const QString path = Path("a.xml");
    ASSERT_TRUE(WriteArchiveXml(path, *m, db->LogRecords()));
    QByteArray bytes = ReadAll(path);
    bytes.replace("<TimeStamp>12/11/2025</TimeStamp>", "<TimeStamp>31.12.2025</TimeStamp>");
    bytes.replace("<TimeStamp>12/10/2025</TimeStamp>", "<TimeStamp></TimeStamp>");
    WriteAll(path, bytes);
    ArchiveFile file;
    ASSERT_TRUE(ReadArchiveXml(path, file));
    EXPECT_EQ(file.badTimeStamps, 2);
    ASSERT_EQ(file.entries.size(), 10u);
    EXPECT_EQ(file.entries[2].Time, 0.0);
    EXPECT_EQ(file.entries[4].Time, 0.0);
    EXPECT_GT(file.entries[3].Time, 46000.0);
    EXPECT_EQ(datetext::DateTimeToStr(file.entries[2].Time), "12:00:00 AM");
}

// Where the locale has no numeric date the file carries ISO time stamps; they read on a PC of
// any other regional settings, those whose own date is ISO but whose time is not among them.
TEST_F(ArchiveFilesTest, IsoTimeStampsReadUnderEveryRegionalSetting)
{
    const QLocale kept;
    Fill();
    const std::vector<Row> before = Rows(*m);
    const QString path = Path("a.xml");
    QLocale::setDefault(QLocale::c());
    ASSERT_TRUE(WriteArchiveXml(path, *m, db->LogRecords()));
    ASSERT_TRUE(ReadAll(path).contains("<TimeStamp>2025-12-11</TimeStamp>"));
    const QLocale kReaders[] = {
        QLocale(QLocale::English, QLocale::UnitedStates),   // month first, 12-hour time
        QLocale(QLocale::German, QLocale::Germany),         // day first, 24-hour time
        QLocale(QLocale::English, QLocale::Canada),         // ISO date, 12-hour time
        QLocale(QLocale::French, QLocale::Canada),          // ISO date, "13 h 05 min 09 s"
        QLocale(QLocale::Sinhala, QLocale::SriLanka),       // ISO date, "13.05.09"
    };
    for (const QLocale& reader : kReaders) {
        SCOPED_TRACE(reader.name().toStdString());
        QLocale::setDefault(reader);
        LogConfigRecord logs[kLogCount] = {};
        ExpectReadBack(path, *m, logs, before);
    }
    QLocale::setDefault(kept);
}

TEST_F(ArchiveFilesTest, LegalAndPacketCsvMatchTheirGoldenFiles)
{
    Fill();
    for (auto& row : m->CsvChoice) std::fill(std::begin(row), std::end(row), true);
    m->CsvChoice[1][1] = false;   // Hourly's second value left out
    const QString legal = Path("legal.csv");
    const QString packet = Path("packet.csv");
    ASSERT_TRUE(WriteLegalCsv(legal, *m, db->LogRecords()));
    ASSERT_TRUE(WritePacketCsv(packet, *m, db->LogRecords()));
    ExpectGolden(legal, "archive_legal.csv");
    ExpectGolden(packet, "archive_packet.csv");

    // Exporting again gives the same files; the packet shape changed nothing in the archive.
    ASSERT_TRUE(WriteLegalCsv(legal, *m, db->LogRecords()));
    ExpectGolden(legal, "archive_legal.csv");

    // An archive of one log only: both shapes the same.
    m->Clear();
    const QByteArray one = sim::ArchiveMemory({{11, 5, {{1, 1}}}, {11, 6, {{2, 1}}}, {11, 6, {{3, 1}}}});
    m->Feed(reinterpret_cast<const uint8_t*>(one.constData()), static_cast<size_t>(one.size()));
    m->BuildLogLists();
    ASSERT_TRUE(WriteLegalCsv(legal, *m, db->LogRecords()));
    ASSERT_TRUE(WritePacketCsv(packet, *m, db->LogRecords()));
    EXPECT_EQ(ReadAll(packet), ReadAll(legal));
    EXPECT_EQ(ReadAll(packet).count('\r'), 4);

    // A file that cannot be written says so.
    QString error;
    EXPECT_FALSE(WriteLegalCsv(Path("no/such/dir.csv"), *m, db->LogRecords(), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(ArchiveFilesTest, ColumnDialogOffersEveryRecordingLogsValuesAndOnlySaveAndExitTakesTheTicks)
{
    Fill();
    std::vector<QString> offered;
    TfmCSVConfig::SetAnswer([&](TfmCSVConfig& dlg) {
        for (const CsvColumnItem& i : dlg.Items) offered.push_back(i.name);
        EXPECT_EQ(dlg.AdvColGridCSVConfig()->RowCount(), static_cast<int>(dlg.Items.size()));
        EXPECT_TRUE(dlg.AdvColGridCSVConfig()->GetCheckBoxState(1, 0));
        EXPECT_EQ(dlg.SaveExit()->text(), "Save && Exit");
        dlg.AdvColGridCSVConfig()->SetCheckBoxState(1, 1, false);
        dlg.SaveExit()->click();
        return dlg.result();
    });
    EXPECT_TRUE(ChooseCsvColumns(*m, db->LogRecords()));
    EXPECT_EQ(offered, (std::vector<QString>{"Latch State R1", "Current Analysis Result", "Purge Time", "Rosetta Version",
                                             "Stream (Stream)", "Purge Time"}));
    EXPECT_TRUE(m->CsvChoice[0][0]);
    EXPECT_FALSE(m->CsvChoice[1][0]);
    EXPECT_TRUE(m->CsvChoice[1][1]);
    EXPECT_TRUE(m->CsvChoice[4][0]);
    EXPECT_FALSE(m->CsvChoice[5][0]);

    // Closed another way: nothing chosen.
    TfmCSVConfig::SetAnswer([](TfmCSVConfig& dlg) {
        dlg.reject();
        return dlg.result();
    });
    EXPECT_FALSE(ChooseCsvColumns(*m, db->LogRecords()));
    for (const auto& row : m->CsvChoice)
        for (bool chosen : row) EXPECT_FALSE(chosen);
    TfmCSVConfig::SetAnswer(nullptr);
}
