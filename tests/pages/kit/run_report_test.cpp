// The per-run report of the Analysis page: the options file, the counts that run down, the run
// kinds it passes, the report file against a golden file, existing files kept, a failed write
// that says so, and a printout into a PDF that has a page.
#include "brannix/qcheckbox.h"
#include "brannix/qedit.h"
#include "brannix/qimage.h"
#include "brannix/qlabel.h"
#include "brannix/qlabelededit.h"
#include "platform/data_folder.h"
#include "tests/common/fake_prompter.h"
#include "tests/pages/kit/file_bytes.h"
#include "tests/pages/kit/test_host.h"
#include "tevrin/pages/analysis/fra_ww.h"
#include "tevrin/pages/analysis/run_report.h"
#include "tevrin/rtdb/database.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

using filetest::PdfPages;
using filetest::ReadAll;
using filetest::WriteAll;

class RunReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir folder(platform::UserDataFolder());
        for (const QString& f : folder.entryList({QStringLiteral("*.rpt"), QStringLiteral("ReportConfig.xml")})) folder.remove(f);
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(Pdf());
        page.SetReportPrinter(std::move(printer));
        page.EnterPage();
        // What the page shows when the runs end: stream 1 active, its result, the alarm on.
        page.streamNo()->Respond("0");
        page.findChild<TQLabeledEdit*>(QStringLiteral("edtLastNormal1"))->Respond("1.5");
        page.findChild<TQEdit*>(QStringLiteral("glAnalysisUnit1"))->setText(QStringLiteral("PPM"));
        page.findChild<TQLabeledEdit*>(QStringLiteral("ledUnitDateTime"))->setText(QStringLiteral("December 10, 2026 4:05:09 PM"));
        page.findChild<TQImage*>(QStringLiteral("SystemAlarm"))->Respond("True");
    }
    void TearDown() override { DataBase::DestroyInstance(); }

    QString Pdf() const { return dir.filePath(QStringLiteral("report.pdf")); }
    static QString Data(const char* name) { return platform::UserDataFile(QString::fromLatin1(name)); }
    static void Options(const char* children)
    {
        WriteAll(Data("ReportConfig.xml"), QByteArray("<?xml version=\"1.0\"?><ReportOptions>") + children + "</ReportOptions>");
    }
    void Run(const char* counter) { page.findChild<TQLabeledEdit*>(QStringLiteral("RunCounter"))->Respond(counter); }
    // Runs one counter value; true when a printout was made.
    bool RunPrinted(const char* counter)
    {
        QFile::remove(Pdf());
        Run(counter);
        return QFile::exists(Pdf());
    }
    void RunKind(const char* code) { page.findChild<TQLabeledEdit*>(QStringLiteral("ledCurrAnaStream"))->Respond(code); }

    FakePrompter prompter;
    pagetest::TestHost host;
    QTemporaryDir dir;
    TfraWW page{nullptr};
};

TEST_F(RunReportTest, RunLimitThreePrintsThreeReportsCountingDown)
{
    Options("<RunLimit>3</RunLimit><LabID>Lab 7</LabID>");
    page.chkGenReport()->click();
    EXPECT_TRUE(page.edtPrintCount()->isVisibleTo(&page));
    EXPECT_EQ(page.edtPrintCount()->text(), QStringLiteral("3"));
    EXPECT_EQ(page.Options().labId, QStringLiteral("Lab 7"));

    EXPECT_FALSE(RunPrinted("100"));   // the first value only sets the reference
    const char* const kCounts[] = {"2", "1", "0"};
    int run = 101;
    for (const char* count : kCounts) {
        SCOPED_TRACE(count);
        EXPECT_TRUE(RunPrinted(std::to_string(run++).c_str()));
        EXPECT_EQ(page.edtPrintCount()->text(), QString::fromLatin1(count));
        EXPECT_GE(PdfPages(Pdf()), 1);
    }
    EXPECT_FALSE(page.chkGenReport()->isChecked());
    EXPECT_FALSE(page.edtPrintCount()->isVisibleTo(&page));
    EXPECT_FALSE(RunPrinted("104"));
}

TEST_F(RunReportTest, RunLimitZeroPrintsOnceAndTheSameCounterPrintsNothing)
{
    page.chkGenReport()->click();   // no options file: limits 0
    EXPECT_FALSE(page.edtPrintCount()->isVisibleTo(&page));
    EXPECT_FALSE(RunPrinted("7"));
    EXPECT_FALSE(RunPrinted("7"));
    EXPECT_TRUE(RunPrinted("8"));
    EXPECT_EQ(PdfPages(Pdf()), 1);
    EXPECT_FALSE(page.chkGenReport()->isChecked());
    page.chkGenReport()->click();
    EXPECT_FALSE(RunPrinted("8"));
    EXPECT_TRUE(RunPrinted("9"));
}

TEST_F(RunReportTest, RunTypeSelectsTheRunKindsReported)
{
    Options("<RunLimit>5</RunLimit><RunType>4</RunType>");   // reference 1 only
    page.chkGenReport()->click();
    Run("1");
    RunKind("0");
    EXPECT_FALSE(RunPrinted("2"));
    RunKind("2");
    EXPECT_TRUE(RunPrinted("3"));
    RunKind("5");
    EXPECT_FALSE(RunPrinted("4"));
}

TEST_F(RunReportTest, ReportFilesMatchTheGoldenFileAndNeverOverwriteOne)
{
    Options("<SaveLimit>2</SaveLimit><SampleID>S-42</SampleID><LabID>Lab 7</LabID><ClientName>Acme</ClientName>"
            "<SampleName>Gas</SampleName>");
    WriteAll(Data("Report0.rpt"), "an earlier report\n");
    page.chkSaveReport()->click();   // the save dialog is cancelled: the base name stays "Report"
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_EQ(prompter.fileRequests[0].caption, QStringLiteral("Save Sentrel Report"));
    EXPECT_EQ(prompter.fileRequests[0].filter, QStringLiteral("RPT File (*.rpt)"));
    EXPECT_TRUE(prompter.fileRequests[0].save);
    EXPECT_EQ(page.edtSaveCount()->text(), QStringLiteral("2"));

    Run("50");
    Run("51");
    EXPECT_EQ(ReadAll(Data("Report0.rpt")), QByteArray("an earlier report\n"));
    EXPECT_EQ(ReadAll(Data("Report1.rpt")),
              ReadAll(QDir(QStringLiteral(TEVRIN_TEST_DIR)).filePath(QStringLiteral("data/run_report_stream1.rpt"))));
    EXPECT_EQ(page.edtSaveCount()->text(), QStringLiteral("1"));
    Run("52");
    EXPECT_TRUE(QFile::exists(Data("Report2.rpt")));
    EXPECT_FALSE(page.chkSaveReport()->isChecked());
    EXPECT_FALSE(page.edtSaveCount()->isVisibleTo(&page));

    // Armed again, the numbering starts at 0 again, and still takes a free name.
    page.chkSaveReport()->click();
    Run("53");
    EXPECT_TRUE(QFile::exists(Data("Report3.rpt")));
    EXPECT_EQ(ReadAll(Data("Report0.rpt")), QByteArray("an earlier report\n"));
}

TEST_F(RunReportTest, AReportThatCannotBeWrittenSaysSoAndIsNotCounted)
{
    Options("<SaveLimit>2</SaveLimit>");
    prompter.files = {dir.filePath(QStringLiteral("missing/folder/x.rpt"))};
    page.chkSaveReport()->click();
    EXPECT_EQ(page.ReportBaseName(), dir.filePath(QStringLiteral("missing/folder/x.rpt")));
    Run("1");
    Run("2");
    ASSERT_FALSE(host.status.empty());
    EXPECT_TRUE(host.status.back().startsWith(QStringLiteral("Report file ") + dir.filePath(QStringLiteral("missing/folder/x.rpt0.rpt")) +
                                              QStringLiteral(" could not be written: ")))
        << host.status.back().toStdString();
    EXPECT_EQ(page.SaveCount(), 0);
    EXPECT_EQ(page.edtSaveCount()->text(), QStringLiteral("2"));
    EXPECT_TRUE(page.chkSaveReport()->isChecked());

    // A chosen path in a folder that exists: the counter and ".rpt" are appended.
    prompter.files = {dir.filePath(QStringLiteral("x.rpt"))};
    page.chkSaveReport()->click();
    page.chkSaveReport()->click();
    Run("3");
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("x.rpt0.rpt"))));
}

TEST(RunReportFile, StreamsWithoutAResultLineAndTheAlarmNames)
{
    ReportContent c;
    c.activeStream = 3;
    c.dateTime = QStringLiteral("D");
    EXPECT_TRUE(ReportFileText(c).endsWith(QStringLiteral("Date/Time: D\n\n")));
    c.activeStream = 2;
    c.result = QStringLiteral("NAN");
    c.unit = QStringLiteral("PPM");
    EXPECT_TRUE(ReportFileText(c).endsWith(QStringLiteral("Date/Time: D\nStream 2 Result: NAN PPM\n")));
    EXPECT_EQ(ReportAlarmName(407), QStringLiteral(" System Alarm"));
    EXPECT_EQ(ReportAlarmName(539), QStringLiteral(" Sensor Calibration Alarm"));
    EXPECT_EQ(ReportAlarmName(408), QString());
}

TEST(RunReportFile, OptionsStopAtALimitThatIsNotANumberAndAFileThatIsNotXmlChangesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ReportConfig.xml"));
    ReportOptions o;
    EXPECT_FALSE(LoadReportOptions(path, o));
    WriteAll(path, "<a><RunLimit>4</RunLimit><SaveLimit>x</SaveLimit><LabID>L</LabID></a>");
    EXPECT_TRUE(LoadReportOptions(path, o));
    EXPECT_EQ(o.runLimit, 4);
    EXPECT_EQ(o.saveLimit, 0);
    EXPECT_TRUE(o.labId.isEmpty());
    WriteAll(path, "<a><RunLimit>9</RunLimit");
    EXPECT_TRUE(LoadReportOptions(path, o));
    EXPECT_EQ(o.runLimit, 4);
    WriteAll(path, "<Any><SaveLimit>2</SaveLimit><RunType>6</RunType><ClientName>C</ClientName></Any>");
    EXPECT_TRUE(LoadReportOptions(path, o));
    EXPECT_EQ(o.saveLimit, 2);
    EXPECT_EQ(o.runType, QStringLiteral("6"));
    EXPECT_EQ(o.clientName, QStringLiteral("C"));
    EXPECT_EQ(o.runLimit, 4);
}

}  // namespace
