// The Archive page on a decoded archive: the table of the last samples, the display range,
// filters by date and value, hidden columns, and the exports from its menu.
#include "tests/pages/kit/archive_viewer_fixture.h"
#include "tests/pages/kit/file_bytes.h"
#include "tests/pages/kit/grid_rows.h"
#include "tevrin/pages/analysis/archive_xml.h"
#include "tevrin/pages/analysis/csv_config_dlg.h"
#include "tevrin/pages/analysis/fra_archive_viewer.h"
#include "tevrin/pages/widgets/date_range_dlg.h"
#include "tevrin/pages/widgets/date_text.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using archivetest::ArchiveViewerFixture;
using filetest::ReadAll;

namespace {

class ArchiveViewerTest : public ::testing::Test, public ArchiveViewerFixture {
protected:
    void SetUp() override { OpenViewer(); }
    void TearDown() override
    {
        TfrmDateRangeDlg::SetAnswer(nullptr);
        TfmCSVConfig::SetAnswer(nullptr);
    }

    // The shown table, row by row: every column's text.
    std::vector<QStringList> Table() const { return gridtest::ShownRows(*grid); }
    QStringList Headers() const
    {
        QStringList h;
        for (int c = 0; c < grid->ColCount(); ++c) h << grid->ColumnHeader(c);
        return h;
    }
    QStringList Column(int c) const
    {
        QStringList out;
        for (const QStringList& row : Table()) out << row[c];
        return out;
    }
    void Choose(int position)
    {
        page->cbArchive()->setCurrentIndex(position);
        emit page->cbArchive()->activated(position);
    }
    void Trigger(const char* item) { page->MenuItem(item)->trigger(); }

    QTemporaryDir dir;
};

const QStringList kEmpty8 = {"", "", "", "", "", "", "", ""};

}  // namespace

TEST_F(ArchiveViewerTest, StartsEmptyWithTheListOfFiveLogsAndTheGridLaidOut)
{
    EXPECT_FALSE(page->cbArchive()->isEnabled());
    EXPECT_EQ(page->cbArchive()->count(), 5);
    EXPECT_EQ(page->cbArchive()->itemText(4), "Periodic 2");
    EXPECT_EQ(page->cbArchive()->placeholderText(), "Select an archive to view");
    EXPECT_EQ(grid->ColCount(), 11);
    EXPECT_EQ(grid->FixedCols(), 3);
    EXPECT_EQ(Headers().mid(0, 3), (QStringList{"Seq", "Log Name", "Timestamp"}));
    EXPECT_EQ(grid->RowCount(), 0);
    EXPECT_EQ(grid->ColumnFilterList(grid->ColumnByName("colTS")).size(), 6u);
    EXPECT_TRUE(grid->ColumnFilterList(grid->ColumnByName("colLogID")).empty());
    EXPECT_EQ(page->edtDispRange()->text(), "100");
    EXPECT_FALSE(page->btnGraphSelCol()->isEnabled());
    EXPECT_FALSE(page->MenuItem("mnuHideSelectedColumn")->isVisible());
    EXPECT_EQ(page->popArchGrid()->actions().size(), 10);
}

TEST_F(ArchiveViewerTest, CaptionsMenuAndToolButtonsReadAsDesigned)
{
    const struct {
        const char* name;
        const char* text;
    } kTexts[] = {
        {"lblArchive", "Archive:"},
        {"lblRecords", "Records Avaiable."},
        {"lblDisplay", "Display the last"},
        {"lblRecordsAfter", "Records."},
        {"btnLogSetup", "Log Setup"},
        {"btnReadFromUnit", "Read Archive from Analyzer"},
        {"btnReadFromFile", "Read Archive from File"},
        {"btnGraphSelCol", "Graph Selected Column"},
        {"tbtnZoomMode", "Zoom mode"},
        {"tbtnAutoScale", "Auto-Scale"},
        {"tbtnFullGraph", "Show Entire Graph"},
    };
    for (const auto& t : kTexts) {
        const QWidget* w = page->findChild<QWidget*>(QString::fromLatin1(t.name));
        ASSERT_NE(w, nullptr) << t.name;
        const QVariant text = w->property("text");
        EXPECT_EQ(text.toString(), QString::fromLatin1(t.text)) << t.name;
    }
    // Tool tips are the hints' short parts, the status tips their long parts.
    const struct {
        const char* name;
        const char* tip;
        const char* status;
    } kHints[] = {
        {"btnAutoSizeCols", "Auto-Size Columns", ""},
        {"tbtnZoomMode", "Zoom mode", "Zoom mode (Left-click-->Zoom in  &  Right-click-->Zoom out)"},
        {"tbtnAutoScale", "Auto-Scale", "Auto-Scale Y-axis to fit visible data"},
        {"tbtnFullGraph", "Show Entire Graph", "Show Entire Graph (Full Zoom Out)"},
    };
    for (const auto& h : kHints) {
        const QWidget* w = page->findChild<QWidget*>(QString::fromLatin1(h.name));
        ASSERT_NE(w, nullptr) << h.name;
        EXPECT_EQ(w->toolTip(), QString::fromLatin1(h.tip)) << h.name;
        EXPECT_EQ(w->statusTip(), QString::fromLatin1(h.status)) << h.name;
    }
    QStringList menu;
    for (const QAction* a : page->popArchGrid()->actions()) menu << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(menu, (QStringList{"Load from File", "Save to File", "Save as Packet CSV", "Save as Legal CSV", "Save as XLS",
                                 "Copy Selection to Clipboard", "Copy Image to Clipboard", "-", "Hide Selected Column(s)",
                                 "Unhide All Columns"}));
}

TEST_F(ArchiveViewerTest, ANewArchiveShowsTheLastSamplesOfOnRunWithColumnsNamedFromTheConfiguration)
{
    Fill();
    page->edtDispRange()->setText("3");
    page->UpdateLogView();
    EXPECT_EQ(page->cbArchive()->currentText(), "On Run");
    EXPECT_TRUE(page->cbArchive()->isEnabled());
    EXPECT_EQ(page->LogRecordNum()->text(), "5");
    EXPECT_EQ(page->edtDispRange()->text(), "5");   // more than the log holds: the whole log
    EXPECT_EQ(Headers(), (QStringList{"Seq", "Log Name", "Timestamp", "Latch State R1"} + kEmpty8.mid(1)));
    const std::vector<QStringList> want = {
        QStringList{"1", "On Run", "12/9/2025 6:00:00 AM", "222"} + kEmpty8.mid(1),
        QStringList{"2", "On Run", "12/10/2025", "7"} + kEmpty8.mid(1),
        QStringList{"3", "On Run", "12/11/2025", "8"} + kEmpty8.mid(1),
        QStringList{"4", "On Run", "12/12/2025", "9"} + kEmpty8.mid(1),
        QStringList{"5", "On Run", "12/13/2025", "10"} + kEmpty8.mid(1),
    };
    EXPECT_EQ(Table(), want);

    // The last two of Daily.
    page->edtDispRange()->setText("1");
    Choose(2);
    EXPECT_EQ(page->SelectedPosition(), 2);
    EXPECT_EQ(Headers().mid(3, 3), (QStringList{"Rosetta Version", "Stream (Stream)", ""}));
    EXPECT_EQ(grid->ColumnTag(3), 500);
    ASSERT_EQ(Table().size(), 1u);
    EXPECT_EQ(Table()[0].mid(0, 5), (QStringList{"2", "Daily", "12/12/2025 6:00:00 AM", "222", "4"}));
    EXPECT_EQ(page->LogRecordNum()->text(), "2");

    // A range of 0 shows no rows but the count; a log that records nothing or holds no
    // samples shows the header alone and leaves the count as it was.
    page->edtDispRange()->setText("0");
    Choose(1);
    EXPECT_EQ(grid->RowCount(), 0);
    EXPECT_EQ(page->LogRecordNum()->text(), "3");
    page->edtDispRange()->setText("10");
    Choose(3);
    EXPECT_EQ(grid->RowCount(), 0);
    EXPECT_EQ(page->LogRecordNum()->text(), "3");
    EXPECT_EQ(Headers().mid(3), kEmpty8);
    Choose(4);
    EXPECT_EQ(grid->RowCount(), 0);
    EXPECT_EQ(Headers()[3], "Purge Time");
}

TEST_F(ArchiveViewerTest, EveryShownLogFillsColumnsThatFitTheirHeadersTimeStampsAndValues)
{
    Fill();
    page->edtDispRange()->setText("50");
    page->UpdateLogView();
    for (int position = 0; position < 5; ++position) {
        SCOPED_TRACE(position);
        Choose(position);
        EXPECT_EQ(gridtest::CutTexts(*grid).join(" | ").toStdString(), "");
    }
}

TEST_F(ArchiveViewerTest, DisplayRangeIsCappedAtItsMostAndEnterShowsTheLogAgain)
{
    Fill();
    page->UpdateLogView();
    page->edtDispRange()->setText("2");
    QTest::keyClick(page->edtDispRange(), Qt::Key_Return);
    EXPECT_EQ(Column(0), (QStringList{"4", "5"}));
    page->edtDispRange()->setText("600000");
    QTest::keyClick(page->edtDispRange(), Qt::Key_Return);
    EXPECT_EQ(page->LogRecordNum()->text(), "5");
    EXPECT_EQ(grid->RowCount(), 5);
    EXPECT_EQ(page->edtDispRange()->text(), "5");   // 500000, then cut to the log

    // Not a number: the conversion error, and the table is not filled.
    page->edtDispRange()->setText("abc");
    QTest::keyClick(page->edtDispRange(), Qt::Key_Return);
    EXPECT_EQ(prompter.Texts(), QStringList{"'abc' is not a valid integer value"});
    EXPECT_EQ(grid->RowCount(), 0);
}

TEST_F(ArchiveViewerTest, DateFiltersSpanWholeDaysAndTakeTheSamplesAtMidnightOfTheFirstDay)
{
    const struct {
        const char* name;
        QDate today;
        const char* condition;
    } kCases[] = {
        {"Today", {2026, 12, 10}, ">=12/10/2026 & <12/11/2026"},
        {"Yesterday", {2026, 12, 10}, ">=12/9/2026 & <12/10/2026"},
        {"This Month", {2026, 12, 10}, ">=12/1/2026 & <12/11/2026"},
        {"Last Month", {2026, 12, 10}, ">=11/1/2026 & <12/1/2026"},
        {"Last Month", {2027, 1, 15}, ">=12/1/2026 & <1/1/2027"},
        {"[All]", {2027, 1, 15}, ""},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(TfraArchiveViewer::DateRangeCondition(c.name, c.today), c.condition) << c.name;

    Fill();
    page->UpdateLogView();
    const int ts = grid->ColumnByName("colTS");
    // [Custom] with the later day first: 12/10 to 12/11 whole, the midnight samples included.
    gridtest::AnswerDateRange(QDate(2025, 12, 11), QDate(2025, 12, 10));
    grid->SelectFilter(ts, 1);
    EXPECT_EQ(grid->ColumnFilter(ts), ">=12/10/2025 & <12/12/2025");
    EXPECT_EQ(Column(2), (QStringList{"12/10/2025", "12/11/2025"}));
    // Cancelled: the column shows all rows.
    TfrmDateRangeDlg::SetAnswer([](TfrmDateRangeDlg&) { return int(QDialog::Rejected); });
    grid->SelectFilter(ts, 1);
    EXPECT_EQ(grid->ShownRowCount(), 5);
}

TEST_F(ArchiveViewerTest, ValueFiltersAskForAConditionAndRememberItPerColumn)
{
    Fill();
    page->UpdateLogView();
    const int value = 3;
    prompter.inputs = {">7 & <10"};
    grid->SelectFilter(value, 1);
    ASSERT_EQ(prompter.inputsAsked.size(), 1u);
    EXPECT_EQ(prompter.inputsAsked[0].caption, "Set Filter (<,>,=,*,&,^)");
    EXPECT_EQ(prompter.inputsAsked[0].prompt, "[Custom]");
    EXPECT_EQ(prompter.inputsAsked[0].offered, "*");
    EXPECT_EQ(Column(value), (QStringList{"8", "9"}));
    // The next [Custom] offers the condition last entered; a cancelled box keeps it.
    grid->SelectFilter(value, 1);
    EXPECT_EQ(prompter.inputsAsked[1].offered, ">7 & <10");
    EXPECT_EQ(Column(value), (QStringList{"8", "9"}));
    // An empty answer is "*"; the Seq column keeps its own text.
    prompter.inputs = {""};
    grid->SelectFilter(value, 1);
    EXPECT_EQ(grid->ColumnFilter(value), "*");
    EXPECT_EQ(grid->ShownRowCount(), 5);
    prompter.inputs = {">=4"};
    grid->SelectFilter(grid->ColumnByName("colSeq"), 1);
    EXPECT_EQ(prompter.inputsAsked.back().offered, "*");
    EXPECT_EQ(Column(0), (QStringList{"4", "5"}));
}

TEST_F(ArchiveViewerTest, SelectionDecidesTheGraphButtonAndHidingWholeColumns)
{
    Fill();
    page->UpdateLogView();
    grid->SelectRange(3, 1, 3, 1);
    EXPECT_FALSE(page->btnGraphSelCol()->isEnabled());
    EXPECT_FALSE(page->MenuItem("mnuHideSelectedColumn")->isVisible());
    grid->SelectRange(2, 0, 3, 4);   // rows 1 to the last
    EXPECT_TRUE(page->btnGraphSelCol()->isEnabled());
    EXPECT_TRUE(page->MenuItem("mnuHideSelectedColumn")->isVisible());
    Trigger("mnuHideSelectedColumn");
    EXPECT_TRUE(grid->IsHiddenColumn(2));
    EXPECT_TRUE(grid->IsHiddenColumn(3));
    EXPECT_FALSE(page->MenuItem("mnuHideSelectedColumn")->isVisible());
    EXPECT_TRUE(page->MenuItem("mnuUnhideAllColumns")->isVisible());
    Trigger("mnuUnhideAllColumns");
    EXPECT_FALSE(grid->IsHiddenColumn(3));

    // The page's picture goes to the clipboard.
    QGuiApplication::clipboard()->clear();
    Trigger("mnuCopyImagetoClipboard");
    EXPECT_FALSE(QGuiApplication::clipboard()->pixmap().isNull());

    // The tabs swap the table's and the chart's buttons.
    page->pcViewer()->setCurrentIndex(1);
    EXPECT_FALSE(page->btnAutoSizeCols()->isVisible());
    page->pcViewer()->setCurrentIndex(0);
    EXPECT_TRUE(page->btnAutoSizeCols()->isVisible());
}

TEST_F(ArchiveViewerTest, ReadFromTheAnalyzerWantsALogonAndOtherwisePostsBothReads)
{
    Fill();
    page->UpdateLogView();
    host.loggedOn = false;
    page->btnReadFromUnit()->click();
    EXPECT_EQ(prompter.Texts(), QStringList{"Please logon first, then do this."});
    EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Warning);
    EXPECT_TRUE(host.posts.empty());
    EXPECT_EQ(m->EntryCount(), 10);
    EXPECT_EQ(grid->RowCount(), 5);

    host.loggedOn = true;
    page->btnReadFromUnit()->click();
    EXPECT_EQ(host.posts, (std::vector<std::string>{"ReadLogConfig:", "ReadALog:"}));
    EXPECT_EQ(m->EntryCount(), 0);
    EXPECT_EQ(grid->RowCount(), 0);
    EXPECT_TRUE(page->btnReadFromUnit()->isEnabled());
}

TEST_F(ArchiveViewerTest, CsvExportsWriteTheWholeArchiveAndACancelledDialogLeavesTheFileAlone)
{
    Fill();
    page->UpdateLogView();
    const QString path = dir.filePath("x.csv");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    // Column dialog closed without "Save & Exit": nothing written.
    TfmCSVConfig::SetAnswer([](TfmCSVConfig&) { return int(QDialog::Rejected); });
    prompter.files = {path};
    Trigger("SaveasCSV");
    EXPECT_EQ(ReadAll(path), "old");
    // Save dialog cancelled: nothing asked, nothing written.
    Trigger("SaveAsPacketCSV");
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(prompter.fileRequests.back().caption, "Save Sentrel Archive");
    EXPECT_EQ(prompter.fileRequests.back().defaultSuffix, "csv");

    TfmCSVConfig::SetAnswer([](TfmCSVConfig& d) {
        d.SaveExit()->click();
        return d.result();
    });
    prompter.files = {path};
    Trigger("SaveasCSV");
    EXPECT_EQ(ReadAll(path).count('\r'), 11);   // header and every sample of every log
    prompter.files = {path};
    Trigger("SaveAsPacketCSV");
    EXPECT_EQ(ReadAll(path).count('\r'), 6);    // header and the On Run samples

    // A file that cannot be written says so.
    prompter.files = {dir.filePath("no/such/x.csv")};
    Trigger("SaveasCSV");
    ASSERT_FALSE(prompter.prompts.empty());
    EXPECT_TRUE(prompter.prompts.back().text.startsWith("The file \"x.csv\" could not be written"));
}

TEST_F(ArchiveViewerTest, GridFileAndSpreadsheetTakeTheTableAndLoadingAGridFileLeavesTheArchive)
{
    Fill();
    page->UpdateLogView();
    const QString vkar = dir.filePath("t.vkar");
    prompter.files = {vkar};
    Trigger("mnuSaveFile");
    EXPECT_EQ(prompter.fileRequests.back().defaultSuffix, "vkar");
    prompter.files = {dir.filePath("t.xlsx")};
    Trigger("mnuSaveasXLS");
    EXPECT_TRUE(QFile::exists(dir.filePath("t.xlsx")));

    Choose(1);
    prompter.files = {vkar};
    Trigger("mnuLoadFile");
    EXPECT_EQ(Column(1), (QStringList{"On Run", "On Run", "On Run", "On Run", "On Run"}));
    EXPECT_EQ(page->SelectedPosition(), 1);
    EXPECT_EQ(m->EntryCount(), 10);
    Choose(1);   // the decoded archive again
    EXPECT_EQ(Column(1), (QStringList{"Hourly", "Hourly", "Hourly"}));

    QFile bad(dir.filePath("bad.vkar"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("nonsense");
    bad.close();
    prompter.files = {bad.fileName()};
    Trigger("mnuLoadFile");
    EXPECT_EQ(prompter.Texts().last(), QStringLiteral("Error opening file \"%1\"\nnot a grid file").arg(bad.fileName()));
    EXPECT_EQ(grid->RowCount(), 3);
}

TEST_F(ArchiveViewerTest, AnArchiveFileIsTakenOverWholeOrNotAtAll)
{
    Fill();
    const QString path = dir.filePath("a.xml");
    ASSERT_TRUE(WriteArchiveXml(path, *m, db->LogRecords()));
    QByteArray bytes = ReadAll(path);

    // Malformed: says why once, and the archive and configuration stay.
    {
        QFile f(dir.filePath("bad.xml"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(bytes).replace("<LogNum>2</LogNum>", "<LogNum>9</LogNum>"));
    }
    db->LogRecord(1).UniqueId[1] = 500;
    prompter.files = {dir.filePath("bad.xml")};
    EXPECT_FALSE(page->ReadArchiveFile());
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_TRUE(prompter.prompts[0].text.contains("outside 0 to 5")) << prompter.prompts[0].text.toStdString();
    EXPECT_EQ(m->EntryCount(), 10);
    EXPECT_EQ(db->LogRecord(1).UniqueId[1], 500);
    EXPECT_FALSE(page->FromFile());

    // Two time stamps that do not read: one box for the file.
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(bytes).replace("<TimeStamp>12/11/2025</TimeStamp>", "<TimeStamp>x</TimeStamp>")
                    .replace("<TimeStamp>12/12/2025</TimeStamp>", "<TimeStamp>y</TimeStamp>"));
    }
    prompter.prompts.clear();
    prompter.files = {path};
    m->Clear();
    EXPECT_TRUE(page->ReadArchiveFile());
    EXPECT_EQ(prompter.Texts(), QStringList{"Invalide Time Stamp found."});
    EXPECT_EQ(prompter.prompts[0].caption, "Attention");
    EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Custom);   // a plain box, OK alone
    EXPECT_EQ(prompter.prompts[0].buttons, platform::mbOK);
    EXPECT_TRUE(page->FromFile());
    EXPECT_EQ(db->LogRecord(1).UniqueId[1], 395);
    page->UpdateLogView();
    EXPECT_EQ(Column(2), (QStringList{"12/9/2025 6:00:00 AM", "12/10/2025", "12:00:00 AM", "12:00:00 AM", "12/13/2025"}));
    // The headers come from the file's names.
    db->LogRecord(0).UniqueId[1] = 10;
    Choose(0);
    EXPECT_EQ(Headers()[3], "Latch State R1");
}
