// The Events page: the event-log memory decoded, sorted by time and shown with how full the
// memory is; filters by date and by condition; the event file saved and loaded; CSV (golden),
// spreadsheet and clipboard exports; and the whole road against the simulated analyzer.
#include "tests/common/fake_prompter.h"
#include "tests/pages/kit/event_memory.h"
#include "tests/pages/kit/file_bytes.h"
#include "tests/pages/kit/grid_rows.h"
#include "tests/pages/page_session.h"
#include "tests/pages/kit/test_host.h"
#include "tevrin/pages/analysis/audit_panel.h"
#include "tevrin/pages/analysis/frm_audit.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/analysis/log_entry.h"
#include "tevrin/pages/widgets/adv_column_grid.h"
#include "tevrin/pages/widgets/date_range_dlg.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/main_form.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

using eventtest::AppendFramed;
using eventtest::StuffedPairs;
using filetest::ReadAll;

namespace {

// Token t is day 46000 + t / 400: token 400 is midnight of 10 December 2025.
double TokenDays(uint32_t token) { return 46000.0 + token / 400.0; }

// Six events out of time order, one of them with stuffed bytes, a bad record and a record cut
// short at the end; 200 bytes of memory in all.
std::vector<uint8_t> Memory()
{
    std::vector<uint8_t> m;
    AppendFramed(m, 700, 9, 0, 1);            // run on stream 1, value "Unknown"
    AppendFramed(m, 100, 0, 0, 0);            // power up
    AppendFramed(m, 0x000001DE, 4, 12, 0);    // alarm, token with 0xDE
    AppendFramed(m, 400, 10, 2, 1);           // latch 3, exactly midnight of 10 December
    std::vector<uint8_t> bad;
    AppendFramed(bad, 300, 1, 0, 0);
    bad[3] ^= 0xFF;
    m.insert(m.end(), bad.begin(), bad.end());
    AppendFramed(m, 800, 4, 53, 1);           // "unknown" alarm
    AppendFramed(m, 100, 2, 0, 0);            // bypass, same time as the power up
    m.insert(m.end(), {0xDE, 0x10, 0x20});    // cut short
    m.resize(200, 0xFF);
    return m;
}

class EventsPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        LogDBManager::Instance()->SetTokenToDate(&TokenDays);
        owner = std::make_unique<QWidget>();
        page = new TfrmAudit(owner.get());
        owner->resize(900, 600);
        owner->show();
        grid = page->gridAudit();
        panel = page->Panel();
    }
    void TearDown() override
    {
        TfrmDateRangeDlg::SetAnswer(nullptr);
        DataBase::Instance()->FreeEventData();
        LogDBManager::DestroyInstance();
        QLocale::setDefault(QLocale::system());
    }
    void Load(const std::vector<uint8_t>& memory)
    {
        DataBase::Instance()->EventData() = memory;
        page->AuditFinish();
    }
    std::vector<QStringList> Shown() const { return gridtest::ShownRows(*grid); }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    FakePrompter prompter;
    pagetest::TestHost host{true};
    std::unique_ptr<QWidget> owner;
    TfrmAudit* page = nullptr;
    TAuditGridPanel* panel = nullptr;
    QAdvColumnGrid* grid = nullptr;
    QTemporaryDir dir;
};

}  // namespace

TEST_F(EventsPageTest, TheFormShowsItsCaptionsHintsAndMenuInOrder)
{
    QStringList labels;
    for (QLabel* label : page->findChildren<QLabel*>()) labels << label->text();
    EXPECT_TRUE(labels.contains("Event Log Records:"));
    EXPECT_TRUE(labels.contains("Event Log Memory Usage:"));
    EXPECT_EQ(page->btnReadAudit()->text(), "Read from Analyzer");
    EXPECT_EQ(page->btnReadAudit()->toolTip(), "Reading Events from Analyzer");
    EXPECT_EQ(page->btnAutoSizeCols()->toolTip(), "Auto-Size Columns");
    EXPECT_EQ(panel->imGraph()->size(), QSize(TAuditGridPanel::kBarWidth, TAuditGridPanel::kBarHeight));
    EXPECT_EQ(panel->SaveFilter(), "Sentrel Event Log (*.vkau)");

    QStringList items;
    for (QAction* action : panel->popAuditGrid()->actions())
        items << (action->isSeparator() ? QString("-") : action->text() + (action->isVisible() ? "" : " (hidden)"));
    EXPECT_EQ(items, (QStringList{"Load from File", "Save to File", "Save as CSV", "Save as XLS",
                                  "Copy Selection to Clipboard", "Copy Image to Clipboard", "-",
                                  "Hide Selected Column(s) (hidden)", "Unhide All Columns (hidden)"}));
}

TEST_F(EventsPageTest, TheMemoryIsDecodedSortedByTimeAndItsUsageShown)
{
    EXPECT_EQ(panel->labPercent()->text(), "0.00%");
    Load(Memory());
    const std::vector<QStringList> rows = Shown();
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0], (QStringList{"1", "12/9/2025 6:00:00 AM", "Power Up", "", "", ""}));
    EXPECT_EQ(rows[1], (QStringList{"2", "12/9/2025 6:00:00 AM", "Bypass", "", "Condition On", ""}));
    EXPECT_EQ(rows[2], (QStringList{"3", "12/10/2025", "Latch change", "Latch 3", "Condition Off", ""}));
    EXPECT_EQ(rows[3], (QStringList{"4", "12/10/2025 4:40:48 AM", "Alarm", "High Temperature", "Condition On", ""}));
    EXPECT_EQ(rows[4], (QStringList{"5", "12/10/2025 6:00:00 PM", "Run initiated", "Stream ", "Unknown", ""}));
    EXPECT_EQ(rows[5], (QStringList{"6", "12/11/2025", "Alarm", "unknown", "Condition Off", ""}));
    // Ten bytes per good record and two per stuffed pair met, of 200 bytes.
    const double used = 60 + 2.0 * StuffedPairs(Memory());
    const AuditUsage expected = ComputeAuditUsage(used, 200, TAuditGridPanel::kBarWidth);
    EXPECT_EQ(panel->labPercent()->text(), QString::number(used / 2, 'f', 2) + "%");
    EXPECT_EQ(panel->BarWidth(), expected.barWidth);
    EXPECT_GE(used, 62);

    // "Read from Analyzer" empties the table and the bar before it reads.
    page->btnReadAudit()->click();
    EXPECT_EQ(grid->ShownRowCount(), 0);
    EXPECT_EQ(panel->labPercent()->text(), "");
    EXPECT_EQ(panel->BarWidth(), 0);
    EXPECT_EQ(host.posts, (std::vector<std::string>{"ReadAudit:"}));
    EXPECT_TRUE(page->btnReadAudit()->isEnabled());

    // An empty memory: no rows, the bar and label as the button left them.
    Load({});
    EXPECT_EQ(grid->ShownRowCount(), 0);
    EXPECT_EQ(panel->labPercent()->text(), "");
    // More used than the memory holds: full.
    std::vector<uint8_t> full;
    AppendFramed(full, 1, 0, 0, 0);
    AppendFramed(full, 2, 0, 0, 0);
    Load(full);
    EXPECT_EQ(panel->labPercent()->text(), "100.00%");
    EXPECT_EQ(panel->BarWidth(), TAuditGridPanel::kBarWidth);
}

TEST_F(EventsPageTest, TheColumnsFitTheLongestEventTextsAsSoonAsTheyShow)
{
    std::vector<uint8_t> m;
    AppendFramed(m, 100, 6, 0, 0);     // "Exceeded high temperature limit"
    AppendFramed(m, 200, 11, 0, 1);    // "Automatic Temperature Calibrate"
    AppendFramed(m, 300, 4, 113, 1);   // "Stream 4 Total Sulphur High High Alarm"
    AppendFramed(m, 401, 4, 12, 0);    // a time stamp with every field
    Load(m);
    ASSERT_EQ(grid->ShownRowCount(), 4);
    EXPECT_EQ(gridtest::CutTexts(*grid).join(" | ").toStdString(), "");
}

TEST_F(EventsPageTest, TheTableFillsItsViewToTheRightEdgeAndTheCommentColumnKeepsItsWidth)
{
    // The page as the main window's sheet holds it, at widths around the window's.
    const auto check = [this](int width, const char* when) {
        SCOPED_TRACE(std::string(when) + " at " + std::to_string(width));
        owner->resize(width + 20, 700);
        page->resize(width, 650);
        QApplication::processEvents();
        int columns = 0;
        for (int c = 0; c < grid->ColCount(); ++c) columns += grid->columnWidth(c);
        EXPECT_GE(columns, grid->viewport()->width()) << "an empty area at the right";
        EXPECT_GE(grid->columnWidth(TAuditGridPanel::colComment), 150);
    };
    check(980, "no events");
    Load(Memory());   // the columns fit their texts, most of them narrower
    for (int width : {980, 1250, 600}) check(width, "events shown");
}

TEST_F(EventsPageTest, FiltersTakeDateRangesFromMidnightOfTheFirstDayAndFreeConditions)
{
    Load(Memory());
    const int colTS = grid->ColumnByName("colTS");
    ASSERT_EQ(grid->ColumnFilterList(colTS).size(), 6u);
    // 10 December alone: the event at exactly midnight of the 10th is in, the 11th's is not.
    gridtest::AnswerDateRange(QDate(2025, 12, 10), QDate(2025, 12, 10));
    grid->SelectFilter(colTS, 1);
    EXPECT_EQ(grid->ShownRowCount(), 3);
    EXPECT_EQ(grid->Cells(TAuditGridPanel::colTS, grid->ShownRow(0)), "12/10/2025");
    // Dates in either order give the same range; a cancelled dialog shows every row again.
    gridtest::AnswerDateRange(QDate(2025, 12, 11), QDate(2025, 12, 10));
    grid->SelectFilter(colTS, 1);
    EXPECT_EQ(grid->ShownRowCount(), 4);
    TfrmDateRangeDlg::SetAnswer([](TfrmDateRangeDlg&) { return int(QDialog::Rejected); });
    grid->SelectFilter(colTS, 1);
    EXPECT_EQ(grid->ShownRowCount(), 6);
    grid->SelectFilter(colTS, 0);

    // A condition on the event column, remembered for the next "[Custom]".
    const int colEvent = grid->ColumnByName("colEvent");
    prompter.inputs = {"Alarm"};
    grid->SelectFilter(colEvent, 1);
    EXPECT_EQ(grid->ShownRowCount(), 2);
    ASSERT_EQ(prompter.inputsAsked.size(), 1u);
    EXPECT_EQ(prompter.inputsAsked[0].caption, "Set Filter (<,>,=,*,&,^)");
    EXPECT_EQ(prompter.inputsAsked[0].offered, "*");
    grid->SelectFilter(colEvent, 1);   // cancelled: the offered text stays
    EXPECT_EQ(prompter.inputsAsked[1].offered, "Alarm");
    EXPECT_EQ(grid->ShownRowCount(), 2);
}

TEST_F(EventsPageTest, CsvIsWrittenAsTheGoldenFileAndACancelledExportLeavesAFileAlone)
{
    Load(Memory());
    const QString csv = Path("events.csv");
    prompter.files = {csv};
    panel->MenuItem("SaveasCSV")->trigger();
    EXPECT_EQ(prompter.fileRequests.back().caption, "Save Sentrel Audit");
    const QString golden = QDir(QStringLiteral(TEVRIN_TEST_DIR)).filePath("data/events.csv");
    EXPECT_EQ(ReadAll(csv), ReadAll(golden));

    // Cancelled: the file keeps what it had.
    QFile keep(csv);
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.write("kept");
    keep.close();
    panel->MenuItem("SaveasCSV")->trigger();
    panel->MenuItem("mnuSaveasXLS")->trigger();
    EXPECT_EQ(ReadAll(csv), "kept");

    const QString xlsx = Path("events.xlsx");
    prompter.files = {xlsx};
    panel->MenuItem("mnuSaveasXLS")->trigger();
    EXPECT_TRUE(ReadAll(xlsx).startsWith("PK"));

    grid->SelectRange(2, 0, 3, 1);
    panel->MenuItem("CopySelectiontoClipboard1")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text().trimmed(), "Power Up\t\nBypass");
}

TEST_F(EventsPageTest, TheEventFileCarriesTheCommentsAndABadFileChangesNothing)
{
    Load(Memory());
    grid->SetCells(TAuditGridPanel::colComment, 2, "checked the heater");
    const QString file = Path("events.vkau");
    prompter.files = {file};
    panel->MenuItem("mnuSaveFile")->trigger();
    EXPECT_EQ(prompter.fileRequests.back().filter, "Sentrel Event Log (*.vkau)");

    Load({});
    EXPECT_EQ(grid->RowCount(), 0);
    prompter.files = {file};
    panel->MenuItem("mnuLoadFile")->trigger();
    EXPECT_EQ(prompter.fileRequests.back().caption, "Open Sentrel Audit File");
    ASSERT_EQ(grid->RowCount(), 6);
    EXPECT_EQ(grid->Cells(TAuditGridPanel::colComment, 2), "checked the heater");
    EXPECT_EQ(grid->Cells(TAuditGridPanel::colEvent, 2), "Latch change");

    QFile junk(Path("junk.vkau"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not an event file\n");
    junk.close();
    prompter.files = {Path("junk.vkau")};
    panel->MenuItem("mnuLoadFile")->trigger();
    EXPECT_TRUE(prompter.Saw("Error opening file \"" + Path("junk.vkau") + "\"\nnot a grid file"));
    EXPECT_EQ(grid->RowCount(), 6);
}

TEST(EventsSession, ReadFromAnalyzerShowsTheUnitsEventLogSorted)
{
    pagetest::PageSession s;
    std::vector<uint8_t> memory;
    AppendFramed(memory, 5000, 3, 0, 0);
    AppendFramed(memory, 1000, 0, 0, 0);
    for (int i = 0; i < 30; ++i) AppendFramed(memory, 3000, 4, static_cast<uint8_t>(10 + (i % 14)), 0);
    memory.resize(650, 0xFF);   // more than three blocks of 200 bytes
    s.unit.SetEventMemory(QByteArray(reinterpret_cast<const char*>(memory.data()), static_cast<int>(memory.size())));
    ASSERT_TRUE(s.LogOn(true));
    s.Show(MainPage::Events);
    TfrmAudit* page = s.Form().frmAudit();
    page->btnReadAudit()->click();
    ASSERT_TRUE(pagetest::PageSession::PumpUntil([&] { return page->gridAudit()->RowCount() == 32; }));
    QAdvColumnGrid* grid = page->gridAudit();
    EXPECT_EQ(grid->Cells(TAuditGridPanel::colEvent, 0), "Power Up");
    EXPECT_EQ(grid->Cells(TAuditGridPanel::colEvent, 1), "Alarm");
    EXPECT_EQ(grid->Cells(TAuditGridPanel::colAlarm, 1), "Battery");
    EXPECT_EQ(grid->Cells(TAuditGridPanel::colAlarm, 30), "Sensor Communication");
    EXPECT_EQ(grid->Cells(TAuditGridPanel::colEvent, 31), "Configuration Changed");
    const double used = 320 + 2.0 * StuffedPairs(memory);
    EXPECT_EQ(page->Panel()->labPercent()->text(), QString::number(used / 650 * 100, 'f', 2) + "%");
    EXPECT_EQ(s.WriteRequests(), 0);
}
