// The change confirmation window driven offscreen, and the permanent write of the main window
// that shows it between the write to working memory and the store to flash.
#include "tevrin/shell/confirm_changes_dlg.h"

#include "platform/prompter.h"
#include "tests/common/fake_prompter.h"
#include "tests/shell/cmd_fixture.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/rtdb/write_log_records_manager.h"
#include "tevrin/shell/commands/cmd_full_read_write.h"
#include "tevrin/shell/state_mgr.h"
#include "tevrin/shell/commands/command.h"
#include "tevrin/shell/commands/command_line.h"
#include "tevrin/shell/commands/command_registry.h"
#include "tevrin/shell/main_form.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kUnitSite = 1;     // text point "Unit Site"
constexpr int kPurgeTime = 10;   // "Purge Time"
constexpr int kTapeDetect = 4;   // "Black Tape Detect Enable"
constexpr int kMarker = WriteLogRecordsManager::kTimerBlockMarkerId;

using Rows = std::vector<std::vector<std::string>>;

WriteLogRecordsManager& ChangeList() { return DataBase::Instance()->AsWriteLogRecordsManager(); }

Rows RowsOf(const QTableWidget& list)
{
    Rows rows;
    for (int r = 0; r < list.rowCount(); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < list.columnCount(); ++c) {
            const QTableWidgetItem* item = list.item(r, c);
            row.push_back(item ? item->text().toStdString() : std::string("<none>"));
        }
        rows.push_back(row);
    }
    return rows;
}

// Answers the confirmation window, when it shows modally, with a click on one of its buttons
// (or Escape), after taking a copy of its rows.
class ConfirmAnswer {
public:
    enum Action { Accept, Cancel, Escape };
    explicit ConfirmAnswer(Action action) : action_(action)
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<TfrmChanges*>(QApplication::activeModalWidget());
            if (!dialog) return;
            ++shown;
            rows = RowsOf(*dialog->lvChanges());
            if (action_ == Accept) {
                dialog->Button1()->click();
            } else if (action_ == Cancel) {
                dialog->Button2()->click();
            } else {
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(dialog, &esc);
            }
        });
        timer_.start();
    }
    int shown = 0;
    Rows rows;

private:
    Action action_;
    QTimer timer_;
};

class ConfirmChangesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = DataBase::Instance();
        ChangeList().Clear();
    }
    void TearDown() override { ChangeList().Clear(); }

    FakePrompter prompter;
    DataBase* db = nullptr;
};

}  // namespace

TEST_F(ConfirmChangesTest, RowsShowEachListedIdWithItsNameAndValue)
{
    db->PointByDbId(kUnitSite)->SetText("North Yard");
    db->PointByDbId(kPurgeTime)->SetText("42");
    for (int id : {kPurgeTime, kMarker, kUnitSite, 60000}) ChangeList().Add(id);

    TfrmChanges dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Confirm Changes"));
    dialog.FormShow();
    EXPECT_EQ(RowsOf(*dialog.lvChanges()), (Rows{{"10", "Purge Time", "42"},
                                                 {"9999", "Timer X", "Changed"},
                                                 {"1", "Unit Site", "North Yard"},
                                                 {"60000", "", ""}}));   // no point has that id

    // Columns as laid out; the rows are not editable.
    const QTableWidget& list = *dialog.lvChanges();
    ASSERT_EQ(list.columnCount(), 3);
    const char* captions[] = {"Point ID", "Name", "Value"};
    const int widths[] = {150, 350, 180};
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(list.horizontalHeaderItem(c)->text(), QString::fromLatin1(captions[c]));
        EXPECT_EQ(list.columnWidth(c), widths[c]);
        EXPECT_FALSE(list.item(0, c)->flags() & Qt::ItemIsEditable);
    }

    // Showing again rebuilds from the list as it is now.
    ChangeList().Clear();
    dialog.FormShow();
    EXPECT_EQ(list.rowCount(), 0);
}

TEST_F(ConfirmChangesTest, ColumnsKeepTheirMinimumWidth)
{
    TfrmChanges dialog;
    QTableWidget& list = *dialog.lvChanges();
    const int minimum[] = {50, 45, 65};
    for (int c = 0; c < 3; ++c) {
        list.horizontalHeader()->resizeSection(c, 10);
        EXPECT_EQ(list.columnWidth(c), minimum[c]) << c;
    }
}

TEST_F(ConfirmChangesTest, BitSetValuesShowTheirEightBitsMostSignificantFirst)
{
    const struct {
        uint8_t byte;
        const char* digits;
    } kCases[] = {{0x00, "00000000"}, {0x05, "00000101"}, {0x80, "10000000"}, {0xFF, "11111111"}, {0x5A, "01011010"}};
    for (const auto& c : kCases) EXPECT_EQ(TfrmChanges::BitDigits(c.byte), c.digits) << int(c.byte);
}

TEST_F(ConfirmChangesTest, AcceptEmptiesTheListCancelAndEscapeKeepIt)
{
    TfrmChanges dialog;
    {
        ChangeList().Add(kPurgeTime);
        ConfirmAnswer answer(ConfirmAnswer::Cancel);
        EXPECT_EQ(dialog.ShowModal(), platform::mrCancel);
        EXPECT_EQ(answer.shown, 1);
        EXPECT_EQ(ChangeList().Ids(), (std::vector<int>{kPurgeTime}));
    }
    {
        ConfirmAnswer answer(ConfirmAnswer::Escape);
        EXPECT_EQ(dialog.ShowModal(), platform::mrCancel);
        EXPECT_EQ(answer.shown, 1);
        EXPECT_EQ(ChangeList().Count(), 1);
    }
    {
        // A later write adds to what was cancelled: both are shown again.
        ChangeList().Add(kMarker);
        ConfirmAnswer answer(ConfirmAnswer::Accept);
        EXPECT_EQ(dialog.ShowModal(), platform::mrOk);
        EXPECT_EQ(answer.rows, (Rows{{"10", "Purge Time", db->PointByDbId(kPurgeTime)->GetText()},
                                     {"9999", "Timer X", "Changed"}}));
        EXPECT_TRUE(ChangeList().IsEmpty());
        EXPECT_FALSE(dialog.isVisible());
    }
    EXPECT_TRUE(prompter.prompts.empty());
}

// --- the permanent write of the main window ---------------------------------------------------

namespace {

// Logs its posts and runs a body; the run reaches its good end unless told it fails.
class LoggingCommand : public Command {
public:
    LoggingCommand(std::string name, std::vector<std::string>& log, std::function<void()> body, bool fails = false)
        : name_(std::move(name)), log_(log), body_(std::move(body)), fails_(fails)
    {
    }
    void Execute() override
    {
        log_.push_back(name_);
        if (body_) body_();
        if (!fails_) MarkSucceeded();
    }

private:
    std::string name_;
    std::vector<std::string>& log_;
    std::function<void()> body_;
    bool fails_;
};

}  // namespace

TEST_F(ConfirmChangesTest, PermanentWriteStoresToFlashOnlyWhenTheChangesAreAccepted)
{
    const QString cancelled =
        QStringLiteral("Operation cancelled. Data was written to the SRAM, but no data has been written to the Flash.");
    const struct {
        const char* what;
        std::vector<int> written;   // what the write to working memory puts on the list
        ConfirmAnswer::Action action;
        int dialogShown;
        std::vector<std::string> posts;
        std::vector<int> listAfter;
        QStringList prompts;
        bool writeFails = false;   // the write to working memory failed part-way
    } kCases[] = {
        {"nothing written", {}, ConfirmAnswer::Accept, 0, {"WriteMain", "WriteConfig", "ExpressRead"}, {}, {}},
        {"accepted", {kPurgeTime, kMarker}, ConfirmAnswer::Accept, 1, {"WriteMain", "WriteConfig", "ExpressRead"}, {}, {}},
        {"cancelled", {kPurgeTime}, ConfirmAnswer::Cancel, 1, {"WriteMain", "ExpressRead"}, {kPurgeTime}, {cancelled}},
        // No list and no flash store; the page still reads what the unit holds.
        {"write failed", {kPurgeTime}, ConfirmAnswer::Accept, 0, {"WriteMain", "ExpressRead"}, {kPurgeTime}, {}, true},
    };

    TFormMain::SetLibraryFolder(QString());
    TFormMain form;
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        ChangeList().Clear();
        std::vector<std::string> log;
        CommandLine::Shutdown();
        CommandLine& line = CommandLine::Instance();
        for (const std::string& name : CommandNames::All()) {
            std::function<void()> body;
            if (name == "WriteMain")
                body = [&c] {
                    for (int id : c.written) ChangeList().Add(id);
                };
            line.Register(name, std::make_unique<LoggingCommand>(name, log, body, name == "WriteMain" && c.writeFails));
        }
        line.SetOwner(&form);
        prompter.prompts.clear();

        ConfirmAnswer answer(c.action);
        form.SetDefaultConfigClick();

        EXPECT_EQ(log, c.posts);
        EXPECT_EQ(answer.shown, c.dialogShown);
        EXPECT_EQ(ChangeList().Ids(), c.listAfter);
        EXPECT_EQ(prompter.Texts(), c.prompts);
        if (c.dialogShown) {
            auto* dialog = form.findChild<TfrmChanges*>();
            ASSERT_NE(dialog, nullptr);
            EXPECT_FALSE(dialog->isVisible());
        }
    }
    // One window serves every showing.
    EXPECT_EQ(form.findChildren<TfrmChanges*>().size(), 1);
    CommandLine::Shutdown();
}

// The list as the database fills it while it writes to the simulated analyzer.
class ConfirmWrittenPointsTest : public cmdtest::CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        LogOn();
        db->AsExpressScan().SetPage(0, 0, 0);
        StateMgr::Instance().SetUpdate();
        StateMgr::Instance().SetIdle();
        ChangeList().Clear();
    }
    void TearDown() override
    {
        ChangeList().Clear();
        CommandTest::TearDown();
    }
    void WriteMain()
    {
        WriteMainCommand write;
        write.SetOwner(&owner);
        write.Execute();
    }
};

TEST_F(ConfirmWrittenPointsTest, WindowListsWhatTheWritesSentUntilAccepted)
{
    db->SetPointText(kPurgeTime, "45");
    db->SetPointText(kTapeDetect, "True");
    WriteMain();
    ASSERT_EQ(unit.Value(sim::DbId{kPurgeTime}), 45);

    // A second write of nothing new adds nothing; a new edit joins the end of the list.
    WriteMain();
    db->SetPointText(kPurgeTime, "50");
    WriteMain();

    TfrmChanges dialog;
    ConfirmAnswer answer(ConfirmAnswer::Accept);
    EXPECT_EQ(dialog.ShowModal(), platform::mrOk);
    // Catalogue order within one write: the tape detection comes before the purge time.
    EXPECT_EQ(answer.rows, (Rows{{"4", "Black Tape Detect Enable", db->GetPointText(kTapeDetect)},
                                 {"10", "Purge Time", "50"}}));
    EXPECT_TRUE(ChangeList().IsEmpty());
    EXPECT_TRUE(prompter.prompts.empty());
}
