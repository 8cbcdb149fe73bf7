// The log configuration window against the simulated analyzer: showing it reads the six
// records, points dragged onto a log change its record and draw it a new id code that no
// other log carries, every close writes the six records (changed or not), a declined delete or
// a declined repair of duplicate codes changes nothing, and frequencies are checked and written
// at once.
#include "tests/pages/kit/log_records.h"
#include "tests/pages/page_session.h"
#include "tevrin/pages/analysis/archive_hdr_frame.h"
#include "tevrin/pages/analysis/fra_archive_viewer.h"
#include "tevrin/pages/analysis/log_frm.h"
#include "tevrin/pages/widgets/adv_column_grid.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/shell/main_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QMimeData>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <set>

namespace {

constexpr int kReadLogConfig = 36;
constexpr int kWriteLogConfig = 38;
constexpr int kWriteConfig = 8;

LogConfigRecord Rec(int log, uint8_t id, uint8_t enable, uint16_t frequency, std::initializer_list<uint16_t> points)
{
    LogConfigRecord r = logtest::Log(id, points);
    r.LOG_NUMBER = static_cast<uint8_t>(log);
    r.Enable = enable;
    r.Frequency = frequency;
    r.UniqueId[0] = 388;
    return r;
}

bool Same(const LogConfigRecord& a, const LogConfigRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class LogWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PlantRecords(1, 2);
        ASSERT_TRUE(s.LogOn(true));
        frm = std::make_unique<TLogFrm>();
        s.unit.ClearLog();
    }
    void PlantRecords(uint8_t firstId, uint8_t secondId)
    {
        s.unit.SetLogConfig(0, Rec(0, firstId, 1, 0, {410}));
        s.unit.SetLogConfig(1, Rec(1, secondId, 1, 0, {395, 10}));
        s.unit.SetLogConfig(2, Rec(2, 3, 1, 6, {395}));
        s.unit.SetLogConfig(3, Rec(3, 4, 0, 0, {}));
        s.unit.SetLogConfig(4, Rec(4, 5, 1, 60, {10}));
        s.unit.SetLogConfig(5, Rec(5, 6, 0, 0, {}));
    }
    // Catalogue rows the tree offers.
    std::vector<int> Offered() const
    {
        std::vector<int> rows;
        std::vector<QTreeWidgetItem*> stack;
        for (int i = 0; i < frm->OrgPointsTreeView()->topLevelItemCount(); ++i)
            stack.push_back(frm->OrgPointsTreeView()->topLevelItem(i));
        while (!stack.empty()) {
            QTreeWidgetItem* item = stack.back();
            stack.pop_back();
            const int row = item->data(0, Qt::UserRole).toInt();
            if (row >= 0) rows.push_back(row);
            for (int c = 0; c < item->childCount(); ++c) stack.push_back(item->child(c));
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    static TDbId DbIdOfRow(int row) { return DataBase::Instance()->PointByIndex(row)->GetDbId(); }
    void Enter(TfraArchiveHdr* frame, const char* text)
    {
        frame->edtFrequency()->setText(QString::fromLatin1(text));
        frame->edtFrequencyEnter();
    }

    pagetest::PageSession s;
    std::unique_ptr<TLogFrm> frm;
};

}  // namespace

TEST_F(LogWindowTest, TheFormShowsItsCaptionsAndOneRecordsAndDaysFigurePerLog)
{
    QStringList labels;
    for (QLabel* label : frm->findChildren<QLabel*>()) labels << label->text();
    EXPECT_TRUE(labels.contains("Avaiable Points:"));
    EXPECT_TRUE(labels.contains("Log Configuration:"));
    EXPECT_EQ(labels.count("Records:"), 5);
    EXPECT_EQ(labels.count("Days:"), 5);
    EXPECT_TRUE(frm->OrgPointsTreeView()->isHeaderHidden());
    EXPECT_EQ(frm->btnRead()->text(), "Read Config. from Analyzer");
    EXPECT_EQ(frm->btnWrite()->text(), "Write to Analyzer");
    const char* const names[5][2] = {{"labOnRun", "labDayOnRun"},
                                     {"labHour", "labDayHourly"},
                                     {"labDaily", "labDayDaily"},
                                     {"labPeriodic1", "labDayPeriodic1"},
                                     {"labPeriodic2", "labDayPeriodic2"}};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(frm->RecordsLabel(k)->objectName(), names[k][0]);
        EXPECT_EQ(frm->DaysLabel(k)->objectName(), names[k][1]);
        EXPECT_EQ(frm->RecordsLabel(k)->text(), "000000");
        EXPECT_EQ(frm->DaysLabel(k)->text(), "000000");
    }
}

TEST_F(LogWindowTest, ShowingReadsTheSixRecordsAndFillsTheTabsAndAnUnchangedCloseWritesThemBack)
{
    frm->FormActivate();
    EXPECT_EQ(s.unit.RequestCount(kReadLogConfig), 6);
    EXPECT_TRUE(s.prompter.prompts.empty());
    EXPECT_EQ(frm->windowTitle(), "Log Configuration");
    ASSERT_EQ(frm->Tabs()->count(), 5);
    EXPECT_EQ(frm->Tabs()->tabText(1), " Log Hourly");
    EXPECT_EQ(frm->OrgPointsTreeView()->topLevelItem(0)->text(0), "Avaiable Points");
    EXPECT_FALSE(Offered().empty());

    QAdvColumnGrid* hourly = frm->Frame(1)->gridArchiveHdr();
    ASSERT_EQ(hourly->RowCount(), 2);
    EXPECT_EQ(hourly->Cells(TfraArchiveHdr::colSeq, 1), "2");
    EXPECT_EQ(hourly->Cells(TfraArchiveHdr::colPointName, 0), QString::fromStdString(DataBase::Instance()->GetPointName(395)));
    EXPECT_EQ(hourly->Cells(TfraArchiveHdr::colLogID, 0), "2");
    EXPECT_TRUE(hourly->IsHiddenColumn(TfraArchiveHdr::colLogID));
    EXPECT_FALSE(frm->Frame(1)->edtFrequency()->isVisibleTo(frm->Frame(1)));
    EXPECT_EQ(frm->Frame(2)->edtUnit()->text(), "Hour");
    EXPECT_EQ(frm->Frame(2)->gridArchiveHdr()->ColumnHeader(TfraArchiveHdr::colFrequency), "Hour Taken");
    EXPECT_EQ(frm->Frame(4)->edtFrequency()->text(), "60");
    EXPECT_EQ(frm->Frame(3)->gridArchiveHdr()->RowCount(), 0);
    EXPECT_FALSE(frm->btnWrite()->isVisibleTo(frm.get()));
    // The figures of every log are filled in.
    for (int k = 0; k < 5; ++k) EXPECT_NE(frm->RecordsLabel(k)->text(), "000000") << k;

    // Nothing changed: the close still writes the six records as the window holds them, and
    // so does every later close.
    EXPECT_EQ(s.unit.RequestCount(kWriteLogConfig), 0);
    frm->FormClose();
    EXPECT_EQ(s.unit.RequestCount(kWriteLogConfig), 6);
    for (int k = 0; k < kLogCount; ++k) EXPECT_TRUE(Same(s.unit.LogConfig(k), DataBase::Instance()->LogRecord(k))) << k;
    EXPECT_EQ(s.unit.RequestCount(kWriteConfig), 0);
    frm->FormActivate();
    frm->FormClose();
    EXPECT_EQ(s.unit.RequestCount(kWriteLogConfig), 12);
}

TEST_F(LogWindowTest, DroppedPointsGoToTheLogWithNewCodesAndCloseWritesTheSixRecords)
{
    frm->FormActivate();
    const std::vector<int> rows = Offered();
    ASSERT_GE(rows.size(), 9u);
    TfraArchiveHdr* periodic = frm->Frame(3);

    // The first point of an empty log: one row, enabled, frequency 1, a new code.
    ASSERT_TRUE(periodic->DropPoint(rows[0]));
    DataBase* db = DataBase::Instance();
    const LogConfigRecord& p1 = db->LogRecord(3);
    EXPECT_EQ(periodic->gridArchiveHdr()->RowCount(), 1);
    EXPECT_TRUE(periodic->chkEnable()->isChecked());
    EXPECT_EQ(periodic->edtFrequency()->text(), "1");
    EXPECT_EQ(p1.ParametersInLog, 2);
    EXPECT_EQ(p1.Enable, 1);
    EXPECT_EQ(p1.Frequency, 1);
    EXPECT_EQ(p1.UniqueId[1], DbIdOfRow(rows[0]));
    EXPECT_NE(p1.LogIdCode, 4);

    // The On Run log gets a point too: its new code is neither its old one nor the one just
    // drawn for Periodic 1.
    ASSERT_TRUE(frm->Frame(0)->DropPoint(rows[1]));
    std::set<int> codes;
    for (int k = 0; k < kLogCount; ++k) codes.insert(db->LogRecord(k).LogIdCode);
    EXPECT_EQ(codes.size(), 6u);
    // Two more drops on On Run keep the code drawn.
    const int onRunCode = db->LogRecord(0).LogIdCode;
    ASSERT_TRUE(frm->Frame(0)->DropPoint(rows[2]));
    ASSERT_TRUE(frm->Frame(0)->DropPoint(rows[3]));
    EXPECT_EQ(db->LogRecord(0).LogIdCode, onRunCode);
    EXPECT_EQ(frm->Frame(0)->gridArchiveHdr()->Cells(TfraArchiveHdr::colLogID, 0), QString::number(onRunCode));

    EXPECT_EQ(s.unit.RequestCount(kWriteLogConfig), 0);   // nothing sent before the close
    frm->FormClose();
    EXPECT_EQ(s.unit.RequestCount(kWriteLogConfig), 6);
    for (int k = 0; k < kLogCount; ++k) {
        const LogConfigRecord onUnit = s.unit.LogConfig(k);
        EXPECT_TRUE(Same(onUnit, db->LogRecord(k))) << k;
        EXPECT_EQ(onUnit.LOG_NUMBER, k);
        EXPECT_EQ(onUnit.UniqueId[0], 388);
    }
    EXPECT_EQ(s.unit.LogConfig(5).Enable, 0);
    EXPECT_EQ(s.unit.LogConfig(3).UniqueId[1], DbIdOfRow(rows[0]));
    EXPECT_EQ(s.unit.LogConfig(0).ParametersInLog, 5);
}

TEST_F(LogWindowTest, ALogHoldsSevenPointsAndADeclinedDeleteChangesNothing)
{
    frm->FormActivate();
    const std::vector<int> rows = Offered();
    TfraArchiveHdr* periodic = frm->Frame(3);
    for (int i = 0; i < 7; ++i) ASSERT_TRUE(periodic->DropPoint(rows[static_cast<size_t>(i)])) << i;
    EXPECT_FALSE(periodic->CanDropPoint());
    EXPECT_FALSE(periodic->DropPoint(rows[7]));
    EXPECT_EQ(DataBase::Instance()->LogRecord(3).ParametersInLog, 8);

    TfraArchiveHdr* hourly = frm->Frame(1);
    const LogConfigRecord before = DataBase::Instance()->LogRecord(1);
    s.prompter.answers = {platform::mrNo};
    EXPECT_FALSE(hourly->DeleteRow(0));
    EXPECT_TRUE(Same(DataBase::Instance()->LogRecord(1), before));
    EXPECT_EQ(s.prompter.prompts.back().text,
              "Are you sure you want to remove \"" + QString::fromStdString(DataBase::Instance()->GetPointName(395)) + "\"?");

    s.prompter.answers = {platform::mrYes};
    ASSERT_TRUE(hourly->DeleteRow(0));
    const LogConfigRecord& after = DataBase::Instance()->LogRecord(1);
    EXPECT_EQ(after.ParametersInLog, 2);
    EXPECT_EQ(after.UniqueId[1], 10);
    EXPECT_NE(after.LogIdCode, before.LogIdCode);
    ASSERT_EQ(hourly->gridArchiveHdr()->RowCount(), 1);
    EXPECT_EQ(hourly->gridArchiveHdr()->Cells(TfraArchiveHdr::colSeq, 0), "1");
    // The last point goes too; then there is nothing left to delete.
    s.prompter.answers = {platform::mrYes};
    ASSERT_TRUE(hourly->DeleteRow(0));
    EXPECT_EQ(DataBase::Instance()->LogRecord(1).ParametersInLog, 1);
    EXPECT_FALSE(hourly->DeleteRow(0));
}

TEST_F(LogWindowTest, FrequenciesAreCheckedAndAChangedOneIsWrittenAtOnce)
{
    frm->FormActivate();
    Enter(frm->Frame(2), "24");
    EXPECT_EQ(s.prompter.prompts.back().text, "The value is out of range.");
    Enter(frm->Frame(3), "-5");
    EXPECT_EQ(s.prompter.prompts.back().text, "The value should be positive.");
    const size_t asked = s.prompter.prompts.size();
    Enter(frm->Frame(3), "");
    EXPECT_EQ(s.prompter.prompts.size(), asked);
    Enter(frm->Frame(4), "60");   // unchanged
    EXPECT_EQ(s.unit.RequestCount(kWriteLogConfig), 0);

    Enter(frm->Frame(4), "120");
    EXPECT_EQ(s.unit.RequestCount(kWriteLogConfig), 6);
    EXPECT_EQ(s.unit.LogConfig(4).Frequency, 120);
    EXPECT_EQ(frm->Frame(4)->gridArchiveHdr()->Cells(TfraArchiveHdr::colFrequency, 0), "120");

    // Enable off for Periodic 2: every row says so, the record too.
    frm->Frame(4)->chkEnable()->click();
    EXPECT_EQ(DataBase::Instance()->LogRecord(4).Enable, 0);
    EXPECT_FALSE(frm->Frame(4)->gridArchiveHdr()->GetCheckBoxState(TfraArchiveHdr::colEnable, 0));
}

TEST_F(LogWindowTest, DuplicateCodesAskFirstNoChangesNothingAndYesWritesCodesOneToSix)
{
    PlantRecords(7, 7);
    s.prompter.answers = {platform::mrNo};
    frm->FormActivate();
    ASSERT_EQ(s.prompter.prompts.size(), 1u);
    EXPECT_EQ(s.prompter.prompts[0].text,
              "Invalid Log Configuration was found. Do you want to fix it automatically?\n"
              "If YES, some historic Log data may be lost.\n"
              "If NO, please call Torquine for assistance.");
    EXPECT_FALSE(frm->OrgPointsTreeView()->isEnabled());
    EXPECT_FALSE(frm->Tabs()->isEnabled());
    EXPECT_FALSE(frm->btnRead()->isEnabled());
    frm->FormClose();
    EXPECT_EQ(s.unit.RequestCount(kWriteLogConfig), 0);
    EXPECT_EQ(s.unit.RequestCount(kWriteConfig), 0);
    EXPECT_EQ(s.unit.LogConfig(0).LogIdCode, 7);
    EXPECT_EQ(s.unit.LogConfig(1).LogIdCode, 7);

    s.prompter.answers = {platform::mrYes};
    frm->FormActivate();
    EXPECT_TRUE(frm->Tabs()->isEnabled());
    EXPECT_EQ(s.unit.RequestCount(kWriteLogConfig), 6);
    EXPECT_EQ(s.unit.RequestCount(kWriteConfig), 1);
    for (int k = 0; k < kLogCount; ++k) EXPECT_EQ(s.unit.LogConfig(k).LogIdCode, k + 1) << k;
    frm->FormClose();
    EXPECT_EQ(s.unit.RequestCount(kWriteLogConfig), 12);   // every close writes, changed or not
    EXPECT_EQ(s.unit.RequestCount(kWriteConfig), 1);
}

// A record the window's read did not bring (refused, answered with another reply type, or never
// asked after a silence) holds nothing of the unit's: the close leaves it as the unit holds it,
// the window says so once, and the records that were read still go back on every close. A log
// the user changes is written whatever the read brought; a later good Read writes all six again.
TEST_F(LogWindowTest, RecordsTheReadDidNotBringAreNotWrittenBackUnlessChanged)
{
    const struct Case {
        const char* name;
        sim::Fault fault;
        int times;            // the engine asks again after a refusal or a silence
        const char* unread;   // the logs the box names
    } kCases[] = {
        {"refused", sim::Fault::Reject, sim::kForever, "Log Periodic 2, Log Periodic 3"},
        {"another reply type", sim::Fault::WrongType, 1, "Log Periodic 2"},
        {"no answer", sim::Fault::Silence, sim::kForever, "Log Periodic 2, Log Periodic 3"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        PlantRecords(1, 2);
        frm->FormActivate();   // the window's records as the unit held them
        frm->FormClose();
        // The unit's logs 4 and 5 change afterwards, as another tool or a service visit would.
        const LogConfigRecord periodic2 = Rec(4, 5, 1, 90, {10, 395});
        const LogConfigRecord periodic3 = Rec(5, 6, 0, 30, {410});
        s.unit.SetLogConfig(4, periodic2);
        s.unit.SetLogConfig(5, periodic3);
        LogConfigRecord held[kLogCount];
        for (int k = 0; k < kLogCount; ++k) held[k] = s.unit.LogConfig(k);
        s.unit.ClearLog();
        s.prompter.prompts.clear();

        sim::FaultRule rule;
        rule.fault = c.fault;
        rule.type = kReadLogConfig;
        rule.skip = 4;   // the fifth record's read
        rule.times = c.times;
        s.unit.AddFault(rule);
        frm->FormActivate();
        s.unit.ClearFaults();
        const QString said = QStringLiteral("The configuration of these logs could not be read from the analyzer: ") +
                             QString::fromLatin1(c.unread) +
                             QStringLiteral(".\nThey will not be written back to it unless you change them here.");
        EXPECT_EQ(s.prompter.Texts().filter(QStringLiteral("could not be read from the analyzer")), QStringList{said})
            << s.prompter.Texts().join(QStringLiteral(" | ")).toStdString();

        frm->FormClose();
        for (int k = 0; k < kLogCount; ++k) EXPECT_TRUE(Same(s.unit.LogConfig(k), held[k])) << k;
        EXPECT_EQ(s.unit.RequestCount(kWriteLogConfig), std::string(c.unread).find("Periodic 3") != std::string::npos ? 4 : 5);

        // A change the user makes to an unread log goes to the unit.
        Enter(frm->Frame(4), "120");
        EXPECT_EQ(s.unit.LogConfig(4).Frequency, 120);

        // A later good read brings every record back: each close writes all six again.
        s.unit.SetLogConfig(4, periodic2);
        frm->btnReadClick();
        s.unit.ClearLog();
        frm->FormClose();
        EXPECT_EQ(s.unit.RequestCount(kWriteLogConfig), 6);
        for (int k = 0; k < kLogCount; ++k) EXPECT_TRUE(Same(s.unit.LogConfig(k), held[k])) << k;
    }
}

TEST(LogWindowSession, TheArchivePagesLogSetupButtonShowsTheWindowModally)
{
    pagetest::PageSession s;
    ASSERT_TRUE(s.LogOn(true));
    s.Show(MainPage::Archive);
    TfraArchiveViewer* page = s.Form().fraArchiveViewer();
    ASSERT_TRUE(page->btnLogSetup()->isEnabled());
    QString shown;
    // Closed once its showing has read the records (not from inside that read).
    QTimer closer;
    closer.setInterval(5);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<TLogFrm*>(QApplication::activeModalWidget());
        if (!dialog || s.Form().CommandBusy()) return;
        shown = dialog->windowTitle();
        dialog->reject();
    });
    closer.start();
    page->btnLogSetup()->click();
    closer.stop();
    EXPECT_EQ(shown, "Log Configuration");
}

TEST_F(LogWindowTest, APointDraggedFromTheTreeIsTakenWhereTheGridAcceptsIt)
{
    frm->FormActivate();
    const std::vector<int> rows = Offered();
    QWidget* target = frm->Frame(3)->gridArchiveHdr()->viewport();
    QMimeData mime;
    const auto drop = [&] {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        return enter.isAccepted() && dropped.isAccepted();
    };
    // A group node (no catalogue row) is refused.
    frm->SetDraggedRow(-1);
    EXPECT_FALSE(drop());
    EXPECT_EQ(frm->Frame(3)->gridArchiveHdr()->RowCount(), 0);
    frm->SetDraggedRow(rows[4]);
    EXPECT_TRUE(drop());
    ASSERT_EQ(frm->Frame(3)->gridArchiveHdr()->RowCount(), 1);
    EXPECT_EQ(DataBase::Instance()->LogRecord(3).UniqueId[1], DbIdOfRow(rows[4]));
}
