#include "tevrin/shell/commands/cmd_clock.h"

#include "ombrel/ombrel_api.h"
#include "tests/shell/cmd_fixture.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/shell/clock_sync_dlg.h"
#include "tevrin/shell/commands/command_line.h"
#include "tevrin/shell/main_form.h"
#include "tests/common/fake_prompter.h"

#include <QCoreApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLibrary>
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QTimeEdit>
#include <gtest/gtest.h>

using cmdtest::CommandTest;

namespace {

using Texts = std::vector<std::string>;

// The shared routines' token conversions, from the library beside the tests.
struct TokenRoutines {
    OmbrelFn_TimestampTokenToDate toDate = nullptr;
    OmbrelFn_DateToTimestampToken toToken = nullptr;

    static const TokenRoutines& Get()
    {
        static const TokenRoutines routines = [] {
            TokenRoutines r;
            static QLibrary library(QDir(QCoreApplication::applicationDirPath()).filePath(kOmbrelLibraryFile));
            r.toDate = reinterpret_cast<OmbrelFn_TimestampTokenToDate>(library.resolve("TimestampTokenToDate"));
            r.toToken = reinterpret_cast<OmbrelFn_DateToTimestampToken>(library.resolve("DateToTimestampToken"));
            return r;
        }();
        return routines;
    }
};

uint32_t Token(const QDateTime& moment) { return TokenRoutines::Get().toToken(TTimeSyncDlg::ToDateTime(moment)); }

// The main window's two clock keys, through the shared routines. Converting the target may
// take time (advanceOnGetDate), as handlers running meanwhile would.
class ClockOwner : public cmdtest::CmdOwner {
public:
    double GetDate(std::string key, int32_t value) override
    {
        calls.push_back("GetDate " + key);
        if (key != CommandKeys::TimestampTokenToDate) return kDefaultDate;
        if (clock) clock->now += advanceOnGetDate;
        return TokenRoutines::Get().toDate(static_cast<uint32_t>(value));
    }
    int32_t Request(std::string key, void* argument) override
    {
        if (key == CommandKeys::DateToTimestampToken) {
            calls.push_back("Request " + key);
            return static_cast<int32_t>(TokenRoutines::Get().toToken(*static_cast<const double*>(argument)));
        }
        return CmdOwner::Request(key, argument);
    }

    FakeClock* clock = nullptr;
    int advanceOnGetDate = 0;
};

class ClockTest : public CommandTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(TokenRoutines::Get().toDate && TokenRoutines::Get().toToken);
        CommandTest::SetUp();
        LogOn();
        clockOwner.logonEnabled = false;
        clockOwner.clock = &clock;
        // The clock road marks the clock point as holding a device value before the post.
        db->SetValid(SyncClockCommand::kClockDbId);
    }

    // The first write of the clock point takes writeMs on the PC's clock.
    void FirstClockWriteTakes(int writeMs)
    {
        spy = std::make_unique<cmdtest::SpyHandler>(unit, [this, writeMs](const QByteArray& request) {
            if (static_cast<uint8_t>(request.at(1)) == 4 &&
                cmdtest::RequestAddress(request) == sim::AnalyzerCore::RowOfDbId(SyncClockCommand::kClockDbId) &&
                ++clockWrites == 1)
                clock.now += writeMs;
        });
        engine.SetHandler(spy.get());
    }

    // The unit's clock and the database's copy of it start at 0, so that every token differs
    // from the device value and is sent.
    void ResetClockPoint()
    {
        unit.SetValue(sim::DbId{SyncClockCommand::kClockDbId}, 0);
        db->ReadPoint(SyncClockCommand::kClockDbId);
        unit.ClearLog();
    }

    void Run(uint32_t token)
    {
        SyncClockCommand command;
        command.SetOwner(&clockOwner);
        command.SetToken(token);
        command.LoadParameters(command.SaveParameters());
        command.Execute();
    }

    // The clock values the unit was sent, in order.
    std::vector<uint32_t> ClockWrites() const
    {
        std::vector<uint32_t> values;
        for (const QByteArray& r : unit.RequestsOfType(4)) {
            if (cmdtest::RequestAddress(r) != sim::AnalyzerCore::RowOfDbId(SyncClockCommand::kClockDbId)) continue;
            uint32_t v;
            std::memcpy(&v, r.constData() + 4, 4);
            values.push_back(v);
        }
        return values;
    }

    ClockOwner clockOwner;
    std::unique_ptr<cmdtest::SpyHandler> spy;
    int clockWrites = 0;
};

TEST_F(ClockTest, TheClockIsWrittenAgainAdvancedByTheTimeSinceAndTwiceTheWritesDuration)
{
    struct Case {
        int writeMs;
        int sinceMs;
        int addedSeconds;   // 1.99 x write + since, to whole seconds
    };
    const Case cases[] = {
        {0, 0, 0}, {200, 0, 0}, {200, 700, 1}, {600, 0, 1}, {1000, 5, 1}, {1000, 15, 2}, {1000, 500, 2}, {3000, 0, 5},
    };
    const QDateTime target(QDate(2026, 3, 10), QTime(12, 0, 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.writeMs) + " " + std::to_string(c.sinceMs));
        unit.ClearLog();
        clockOwner.calls.clear();
        clockWrites = 0;
        clockOwner.advanceOnGetDate = c.sinceMs;
        FirstClockWriteTakes(c.writeMs);
        ResetClockPoint();

        Run(Token(target));

        // The second write goes out only when the corrected token differs from the first.
        std::vector<uint32_t> expected{Token(target)};
        if (c.addedSeconds != 0) expected.push_back(Token(target.addSecs(c.addedSeconds)));
        EXPECT_EQ(ClockWrites(), expected);
        EXPECT_EQ(unit.Value(sim::DbId{SyncClockCommand::kClockDbId}), Token(target.addSecs(c.addedSeconds)));
        EXPECT_EQ(unit.Value(sim::DbId{SyncClockCommand::kDayOfWeekDbId}), 3);   // a Tuesday
        EXPECT_EQ(clockOwner.PanelTexts(), (Texts{"SyncClock...", "SyncClock Submitted", ""}));
        EXPECT_EQ(clockOwner.progressMax, 6);
        EXPECT_TRUE(prompter.prompts.empty());
    }
}

TEST_F(ClockTest, TheDayOfWeekFollowsTheCorrectedMomentAcrossMidnight)
{
    struct Case {
        QDateTime target;
        int writeMs;
        QDateTime written;
        int dayOfWeek;
    };
    const Case cases[] = {
        {{QDate(2026, 12, 12), QTime(12, 0, 0)}, 0, {QDate(2026, 12, 12), QTime(12, 0, 0)}, 7},   // Saturday
        {{QDate(2026, 12, 13), QTime(8, 30, 0)}, 0, {QDate(2026, 12, 13), QTime(8, 30, 0)}, 1},   // Sunday
        {{QDate(2026, 12, 12), QTime(23, 59, 59)}, 1000, {QDate(2026, 12, 13), QTime(0, 0, 0)}, 1},
        {{QDate(2026, 12, 31), QTime(23, 59, 58)}, 2000, {QDate(2027, 1, 1), QTime(0, 0, 1)}, 6},   // Friday
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target.toString(Qt::ISODate).toStdString());
        unit.ClearLog();
        clockWrites = 0;
        FirstClockWriteTakes(c.writeMs);
        ResetClockPoint();
        Run(Token(c.target));
        EXPECT_EQ(unit.Value(sim::DbId{SyncClockCommand::kClockDbId}), Token(c.written));
        EXPECT_EQ(unit.Value(sim::DbId{SyncClockCommand::kDayOfWeekDbId}), c.dayOfWeek);
    }
}

TEST_F(ClockTest, ALinkFailureEndsTheCommandSilentlyWithSyncClockLeftInThePanel)
{
    // A time-out in the first write, in the second, and in the read of the day of the week.
    struct Case {
        int type;
        int skip;
        size_t clockWrites;
    };
    const Case cases[] = {{4, 0, 1}, {4, 1, 2}, {1, 0, 2}};
    for (const Case& c : cases) {
        unit.ClearLog();
        unit.ClearFaults();
        clockOwner.calls.clear();
        // The second write must differ from the first to be sent: it takes 1 s.
        clockWrites = 0;
        FirstClockWriteTakes(1000);
        ResetClockPoint();
        unit.AddFault({sim::Fault::Silence, c.type, 1, c.skip});
        Run(Token(QDateTime(QDate(2026, 3, 10), QTime(12, 0, 0))));

        EXPECT_EQ(ClockWrites().size(), c.clockWrites);
        EXPECT_EQ(clockOwner.PanelTexts(), Texts{"SyncClock..."});
        EXPECT_TRUE(prompter.prompts.empty());
        EXPECT_TRUE(unit.RequestsOfType(4).size() == c.clockWrites);   // no day of week written
    }
}

TEST_F(ClockTest, AMomentNoTokenCanCarryIsNeverWrittenIntoTheClock)
{
    // Nothing was sent: the box says why, not that an exchange failed.
    const QStringList outOfRange{SyncClockCommand::kDateOutOfRangeText};
    EXPECT_TRUE(QString(SyncClockCommand::kDateOutOfRangeText).startsWith("The analyzer's clock cannot hold this date"));
    Run(SyncClockCommand::kInvalidToken);
    EXPECT_TRUE(unit.Requests().empty());
    EXPECT_EQ(prompter.Texts(), outOfRange);
    EXPECT_EQ(clockOwner.PanelTexts(), (Texts{"SyncClock...", ""}));

    // A target whose correction runs past the last moment a token carries: the first write
    // stands, the corrected one is refused.
    prompter.prompts.clear();
    clockWrites = 0;
    FirstClockWriteTakes(2000);
    ResetClockPoint();
    const QDateTime last(QDate(2063, 12, 31), QTime(23, 59, 59));
    Run(Token(last));
    EXPECT_EQ(ClockWrites(), std::vector<uint32_t>{Token(last)});
    EXPECT_EQ(prompter.Texts(), outOfRange);
}

TEST_F(ClockTest, LoggedOffNothingIsSent)
{
    ResetClockPoint();
    clockOwner.logonEnabled = true;
    Run(Token(QDateTime(QDate(2026, 3, 10), QTime(12, 0, 0))));
    EXPECT_TRUE(unit.Requests().empty());
    EXPECT_EQ(clockOwner.calls, Texts{"GetFlag LoggingOn"});
}

TEST(SyncClockDayOfWeek, CountsFromSunday)
{
    for (int offset = 0; offset < 7; ++offset) {
        const QDate day = QDate(2026, 12, 13).addDays(offset);   // a Sunday onwards
        EXPECT_EQ(SyncClockCommand::DayOfWeek(TTimeSyncDlg::ToDateTime(QDateTime(day, QTime(23, 59, 59)))), offset + 1);
    }
}

// --- the dialog ----------------------------------------------------------------------------------

class ClockDialogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(TokenRoutines::Get().toToken); }

    std::unique_ptr<TTimeSyncDlg> Make()
    {
        return std::make_unique<TTimeSyncDlg>([](double d) { return TokenRoutines::Get().toToken(d); }, nullptr,
                                              [this] { return now; });
    }

    QDateTime now{QDate(2026, 6, 1), QTime(10, 20, 30)};
};

TEST_F(ClockDialogTest, ShownItOffersThePcTimeWithItsToken)
{
    auto dlg = Make();
    EXPECT_EQ(dlg->windowTitle(), "Set Analyzer Date & Time");
    EXPECT_EQ(dlg->labToken()->text(), "0000000000");
    dlg->show();

    EXPECT_EQ(dlg->SyncOption(), 0);
    EXPECT_FALSE(dlg->dtDate()->isEnabled());
    EXPECT_FALSE(dlg->dtTime()->isEnabled());
    EXPECT_EQ(dlg->dtDate()->date(), now.date());
    EXPECT_EQ(dlg->dtTime()->time(), now.time());
    EXPECT_EQ(dlg->SyncToken(), Token(now));
    EXPECT_EQ(dlg->labToken()->text(), QString::number(Token(now)));
    EXPECT_FALSE(dlg->ckDaylightSavings()->isVisible());
    EXPECT_EQ(dlg->btnOk()->text(), "Set Analyzer Time");

    dlg->SetSyncOption(1);
    EXPECT_TRUE(dlg->dtDate()->isEnabled());
    EXPECT_TRUE(dlg->dtTime()->isEnabled());
    dlg->SetSyncOption(0);
    EXPECT_FALSE(dlg->dtDate()->isEnabled());
}

// The pickers show dates as the program's tables do: ISO where the locale has no numeric
// short date (C, POSIX), the locale's own numeric date elsewhere.
TEST_F(ClockDialogTest, PickersShowTheProgramsDateAndTimeText)
{
    const struct {
        QLocale locale;
        const char* date;
        const char* time;
    } kCases[] = {
        {QLocale::c(), "2026-06-01", "10:20:30"},
        {QLocale(QLocale::German, QLocale::Germany), "01.06.2026", "10:20:30"},
        {QLocale(QLocale::English, QLocale::UnitedStates), "6/1/2026", "10:20:30 AM"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        QLocale::setDefault(c.locale);
        auto dlg = Make();
        dlg->show();
        EXPECT_EQ(dlg->dtDate()->text(), QLatin1String(c.date));
        EXPECT_EQ(dlg->dtTime()->text(), QLatin1String(c.time));
    }
    QLocale::setDefault(QLocale::system());
}

TEST_F(ClockDialogTest, PickingADateKeepsThePickedTimeAndTheLabelFollows)
{
    auto dlg = Make();
    dlg->show();
    dlg->SetSyncOption(1);
    dlg->dtTime()->setTime(QTime(7, 8, 9));
    dlg->dtDate()->setDate(QDate(2030, 2, 3));

    const QDateTime picked(QDate(2030, 2, 3), QTime(7, 8, 9));
    EXPECT_EQ(dlg->SyncToken(), Token(picked));
    EXPECT_EQ(dlg->labToken()->text(), QString::number(Token(picked)));

    dlg->btnOk()->click();
    EXPECT_EQ(dlg->result(), platform::mrOk);
    EXPECT_EQ(dlg->SyncToken(), Token(picked));
}

TEST_F(ClockDialogTest, OkWithThePcTimeTakesTheMomentOfTheClick)
{
    auto dlg = Make();
    dlg->show();
    const QString shown = dlg->labToken()->text();
    now = now.addSecs(95);
    dlg->btnOk()->click();

    EXPECT_EQ(dlg->result(), platform::mrOk);
    EXPECT_EQ(dlg->SyncToken(), Token(now));
    EXPECT_EQ(dlg->labToken()->text(), shown);   // the label is not refreshed by OK
}

TEST_F(ClockDialogTest, APcDateTheAnalyzerCannotHoldIsSaidNotShownAsAToken)
{
    for (const QDate& date : {QDate(1999, 12, 31), QDate(2064, 1, 1)}) {
        SCOPED_TRACE(date.toString(Qt::ISODate).toStdString());
        now = QDateTime(date, QTime(8, 0, 0));
        auto dlg = Make();
        dlg->show();
        EXPECT_EQ(dlg->SyncToken(), SyncClockCommand::kInvalidToken);
        EXPECT_EQ(dlg->labToken()->text(), SyncClockCommand::kDateOutOfRangeText);
    }
}

TEST_F(ClockDialogTest, CancelKeepsTheLastComputedToken)
{
    auto dlg = Make();
    dlg->show();
    dlg->SetSyncOption(1);
    dlg->dtDate()->setDate(QDate(2031, 1, 1));
    const uint32_t last = dlg->SyncToken();
    dlg->btnCancel()->click();
    EXPECT_EQ(dlg->result(), platform::mrCancel);
    EXPECT_EQ(dlg->SyncToken(), last);
}

// --- the clock road of the main window -------------------------------------------------------------

class ClockRoadTest : public ::testing::Test {
protected:
    void SetUp() override { TFormMain::SetLibraryFolder(QString()); }

    // Clicks the button of the clock dialog once it is up; returns the token it held then.
    void AnswerDialog(bool ok)
    {
        QTimer::singleShot(0, [this, ok] {
            auto* dlg = qobject_cast<TTimeSyncDlg*>(QApplication::activeModalWidget());
            if (!dlg) return;
            seenDialog = true;
            (ok ? dlg->btnOk() : dlg->btnCancel())->click();
            tokenAtClick = dlg->SyncToken();
        });
    }

    FakePrompter prompter;
    bool seenDialog = false;
    uint32_t tokenAtClick = 0;
};

TEST_F(ClockRoadTest, OkHandsTheChosenTokenToTheClockCommandAndCancelDoesNot)
{
    TFormMain form;
    auto* command = CommandLine::Instance().FindAs<SyncClockCommand>("SyncClock");
    ASSERT_NE(command, nullptr);

    AnswerDialog(false);
    form.tbtnSyncClick();
    EXPECT_TRUE(seenDialog);
    EXPECT_EQ(command->NextParams().token, 0u);
    // The road marks the clock point as holding a device value, so the command's edit takes.
    EXPECT_TRUE(DataBase::Instance()->PointByDbId(SyncClockCommand::kClockDbId)->IsValid());

    seenDialog = false;
    AnswerDialog(true);
    form.tbtnSyncClick();
    EXPECT_TRUE(seenDialog);
    EXPECT_NE(tokenAtClick, 0u);
    EXPECT_NE(tokenAtClick, SyncClockCommand::kInvalidToken);
    EXPECT_EQ(command->NextParams().token, tokenAtClick);
    EXPECT_TRUE(prompter.prompts.empty());
}

}  // namespace
