#include "tevrin/shell/commands/cmd_read.h"

#include "tests/shell/cmd_fixture.h"
#include "tevrin/rtdb/catalogue/catalogue_rows.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/shell/commands/cmd_common.h"
#include "tevrin/shell/commands/command_line.h"
#include "tevrin/shell/state_mgr.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>

using cmdtest::CommandTest;

namespace {

using Texts = std::vector<std::string>;

constexpr int kTextDbId = 0;        // "Unit ID"
constexpr int kFloatDbId = 12;      // "Black Tape Detect Volts (mV)"
constexpr int kPurgeDbId = 10;      // "Purge Time", unsigned 16-bit

// The first n points that travel in block reads, as DbIds, in catalogue order.
std::vector<int> BlockPoints(int n)
{
    std::vector<int> ids;
    for (int row = 0; row < rosetta::kCatalogueRowCount && static_cast<int>(ids.size()) < n; ++row) {
        const rosetta::CatalogueRow& r = rosetta::kCatalogueRows[row];
        if (r.typeCode != 13 && r.typeCode != 15 && rosetta::ValueWidthOfType(r.typeCode) > 0 && r.dbId >= 0)
            ids.push_back(r.dbId);
    }
    return ids;
}

std::vector<int> RowsOf(const std::vector<int>& ids)
{
    std::vector<int> rows;
    for (int id : ids) rows.push_back(sim::AnalyzerCore::RowOfDbId(id));
    std::sort(rows.begin(), rows.end());
    return rows;
}

class ReadTest : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        LogOn();
    }

    // A page of 25 block points and one text point.
    void ShowPage(int page, bool poll, bool waitWindow)
    {
        ExpressScan& scan = db->AsExpressScan();
        scan.Clear();
        pagePoints = BlockPoints(25);
        for (int id : pagePoints) scan.Add(id);
        scan.Add(kTextDbId);
        scan.SetPage(page, poll ? 1 : 0, waitWindow ? 1 : 0);
    }

    // Every row asked for in block reads, in order, and the number of blocks that asked.
    std::vector<int> BlockRowsAsked(int* blocks = nullptr) const
    {
        std::vector<int> rows;
        int n = 0;
        for (const QByteArray& r : unit.RequestsOfType(50)) {
            const std::vector<int> part = cmdtest::BlockRows(r);
            if (!part.empty()) ++n;
            rows.insert(rows.end(), part.begin(), part.end());
        }
        if (blocks) *blocks = n;
        return rows;
    }

    // Runs the command as the queue does: with the parameters staged for this post.
    void Run(Command& command)
    {
        command.SetOwner(&owner);
        command.LoadParameters(command.SaveParameters());
        command.Execute();
    }

    std::vector<int> pagePoints;
};

TEST_F(ReadTest, ExpressReadAsksForThePageInBlocksOfTwenty)
{
    ShowPage(0, false, false);
    unit.SetValue(sim::DbId{kFloatDbId}, 1234.5);
    unit.SetValue(sim::DbId{kPurgeDbId}, 77);
    unit.SetText(sim::DbId{kTextDbId}, "K41-SITE");

    ExpressReadCommand read;
    Run(read);

    // Twenty rows and then five, in catalogue order, and the text point on its own.
    int blocks = 0;
    EXPECT_EQ(BlockRowsAsked(&blocks), RowsOf(pagePoints));
    EXPECT_EQ(blocks, 2);
    EXPECT_EQ(cmdtest::BlockRows(unit.RequestsOfType(50).at(0)).size(), 20u);
    ASSERT_EQ(unit.RequestCount(1), 1);
    EXPECT_EQ(cmdtest::RequestAddress(unit.RequestsOfType(1).at(0)), sim::AnalyzerCore::RowOfDbId(kTextDbId));

    EXPECT_EQ(db->GetPointText(kFloatDbId), "1234.5");
    EXPECT_EQ(db->GetPointText(kPurgeDbId), "77");
    EXPECT_EQ(db->GetPointText(kTextDbId), "K41-SITE");

    EXPECT_EQ(owner.PanelTexts(), (Texts{"Express Reading...", "Read Successful.", ""}));
    EXPECT_EQ(owner.progressMax, 3);   // two blocks and one text read
    EXPECT_EQ(owner.progressMax, db->CountExpressReadRequests());
    // A page without the wait flag: no wait window, the pages stay as they are.
    EXPECT_TRUE(owner.CallsStarting("SetFlag ").empty());
    EXPECT_FALSE(wait->isVisible());
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(ReadTest, ExpressReadOfAWaitPageShowsTheWaitWindowWhileItReads)
{
    ShowPage(3, false, true);   // the archive page
    std::vector<std::string> seen;
    cmdtest::SpyHandler spy(unit, [&](const QByteArray&) {
        seen.push_back(std::string(wait->isVisible() ? "wait" : "-") + (wait->AniIcon1()->isVisibleTo(wait.get()) ? " icon" : "") +
                       (wait->Progress()->isVisibleTo(wait.get()) ? " bar" : "") +
                       (owner.pagesEnabled ? " pages" : "") + (StateMgr::Instance().IsBusy() ? " busy" : ""));
    });
    engine.SetHandler(&spy);
    StateMgr::Instance().SetIdle();

    ExpressReadCommand read;
    Run(read);

    ASSERT_FALSE(seen.empty());
    for (const std::string& s : seen) EXPECT_EQ(s, "wait icon busy");
    EXPECT_FALSE(wait->isVisible());
    EXPECT_TRUE(owner.pagesEnabled);
    EXPECT_FALSE(StateMgr::Instance().IsBusy());
    EXPECT_EQ(owner.CallsStarting("SetFlag "), (Texts{"SetFlag DisablePages 1", "SetFlag EnablePages 1"}));
    EXPECT_EQ(owner.PanelTexts(), (Texts{"Express Reading...", "Read Successful.", ""}));
}

// What a read set up is what it undoes, even when the page shown changed while it read.
TEST_F(ReadTest, ExpressReadUndoesItsWaitWindowWhateverPageIsShownAtTheEnd)
{
    ShowPage(3, false, true);
    cmdtest::SpyHandler spy(unit, [&](const QByteArray&) { db->AsExpressScan().SetPage(0, 0, 0); });
    engine.SetHandler(&spy);
    StateMgr::Instance().SetIdle();

    ExpressReadCommand read;
    Run(read);

    EXPECT_FALSE(wait->isVisible());
    EXPECT_TRUE(owner.pagesEnabled);
    EXPECT_FALSE(StateMgr::Instance().IsBusy());

    // And the other way round: a read that began without the wait window leaves alone the
    // window of the page that has one.
    owner.calls.clear();
    ShowPage(0, false, false);
    cmdtest::SpyHandler toWaitPage(unit, [&](const QByteArray&) { db->AsExpressScan().SetPage(3, 0, 1); });
    engine.SetHandler(&toWaitPage);
    Run(read);
    EXPECT_TRUE(owner.CallsStarting("SetFlag ").empty());
}

TEST_F(ReadTest, ReadsWhileLoggedOffDoNothing)
{
    ShowPage(0, false, true);
    owner.logonEnabled = true;   // the window shows no connection

    ExpressReadCommand express;
    ExpressRead2Command poll;
    ReadSinglePointCommand single;
    single.SetPoint(kPurgeDbId);
    Run(express);
    Run(poll);
    Run(single);

    EXPECT_EQ(unit.RequestCount(), 0);
    EXPECT_EQ(owner.calls, (Texts{"GetFlag LoggingOn", "GetFlag LoggingOn", "GetFlag LoggingOn"}));
    EXPECT_FALSE(wait->isVisible());
}

// A failed page read ends the connection: the message, stale points, the cancel flag, the
// window logged off; the wait window and busy state go again where the page had them.
TEST_F(ReadTest, FailedPageReadLogsTheWindowOff)
{
    struct Case {
        const char* name;
        bool poll;
        bool waitPage;
        sim::Fault fault;
        int type;
        const char* shown;
    };
    const Case cases[] = {
        {"express read times out", false, false, sim::Fault::Silence, 50, "Read error: No Response from unit."},
        {"text read refused", false, false, sim::Fault::Reject, 1,
         "Read error: The unit has reported an error with the request that was sent."},
        {"wait page times out", false, true, sim::Fault::Silence, 50, "Read error: No Response from unit."},
        {"poll read times out", true, true, sim::Fault::Silence, sim::kAnyType, "Read error: No Response from unit."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Back to a logged-on window with a live engine.
        LogOn();
        StateMgr::Instance().SetIdle();
        ShowPage(0, c.poll, c.waitPage);
        unit.FailNext(c.fault, 1, c.type);

        if (c.poll) {
            ExpressRead2Command read;
            Run(read);
        } else {
            ExpressReadCommand read;
            Run(read);
        }

        EXPECT_EQ(prompter.Texts(), (QStringList{c.shown}));
        EXPECT_EQ(owner.PanelTexts(), (Texts{"Express Reading...", ""}));
        Texts flags = {"SetFlag EnablePages 1", "SetFlag tbtnLogon 1", "SetFlag tbtnLogoff 0", "SetFlag SetLogOff 1"};
        if (c.waitPage && !c.poll) flags.insert(flags.begin(), "SetFlag DisablePages 1");
        EXPECT_EQ(owner.CallsStarting("SetFlag "), flags);
        EXPECT_TRUE(engine.userCancel);
        EXPECT_EQ(engine.linkCalls, (Texts{"Cancel 1"}));   // the link itself stays
        EXPECT_TRUE(db->IsOffline());
        EXPECT_FALSE(db->PointByDbId(kPurgeDbId)->IsValid());
        EXPECT_FALSE(StateMgr::Instance().IsLoggedOn());
        EXPECT_FALSE(wait->isVisible());
        EXPECT_TRUE(owner.pagesEnabled);

        // The next read finds the window logged off and sends nothing.
        const int before = engine.exchanges;
        ExpressReadCommand again;
        Run(again);
        EXPECT_EQ(engine.exchanges, before);
    }
}

TEST_F(ReadTest, PollReadTakesThePollListAndNeverTheWaitWindow)
{
    ShowPage(3, true, true);
    ExpressScan& scan = db->AsExpressScan();
    scan.AddPoll(kFloatDbId);
    scan.AddPoll(kPurgeDbId);
    unit.SetValue(sim::DbId{kPurgeDbId}, 9);

    ExpressRead2Command read;
    Run(read);

    EXPECT_EQ(BlockRowsAsked(), RowsOf({kFloatDbId, kPurgeDbId}));
    EXPECT_EQ(unit.RequestCount(1), 0);   // the text point is not on the poll list
    EXPECT_EQ(db->GetPointText(kPurgeDbId), "9");
    EXPECT_EQ(owner.progressMax, 1);
    EXPECT_EQ(owner.PanelTexts(), (Texts{"Express Reading...", "Read Successful.", ""}));
    EXPECT_TRUE(owner.CallsStarting("SetFlag ").empty());
    EXPECT_FALSE(wait->isVisible());
}

TEST_F(ReadTest, ReadSinglePoint)
{
    unit.SetValue(sim::DbId{kPurgeDbId}, 321);
    ReadSinglePointCommand read;
    read.SetPoint(kPurgeDbId);
    Run(read);
    ASSERT_EQ(unit.RequestCount(1), 1);
    EXPECT_EQ(cmdtest::RequestAddress(unit.RequestsOfType(1).at(0)), sim::AnalyzerCore::RowOfDbId(kPurgeDbId));
    EXPECT_EQ(db->GetPointText(kPurgeDbId), "321");
    EXPECT_EQ(owner.progressMax, 1);
    EXPECT_EQ(owner.PanelTexts(), (Texts{"Reading...", "One Point Read", ""}));

    // A DbId the catalogue does not hold: nothing is sent, and the command still ends as usual.
    owner.calls.clear();
    unit.ClearLog();
    read.SetPoint(9999);
    Run(read);
    EXPECT_EQ(unit.RequestCount(), 0);
    EXPECT_EQ(owner.PanelTexts(), (Texts{"Reading...", "One Point Read", ""}));
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(ReadTest, FailedSinglePointReadClearsItsTextAndSaysWhy)
{
    unit.FailNext(sim::Fault::Silence, 1, 1);
    ReadSinglePointCommand read;
    read.SetPoint(kPurgeDbId);
    Run(read);

    EXPECT_EQ(owner.PanelTexts(), (Texts{"Reading...", ""}));
    EXPECT_EQ(prompter.Texts(), (QStringList{"Read error: No Response from unit."}));
    // A single read is a service step: the connection stays.
    EXPECT_FALSE(engine.userCancel);
    EXPECT_TRUE(StateMgr::Instance().IsLoggedOn());
    EXPECT_TRUE(owner.CallsStarting("SetFlag ").empty());
}

// --- polling --------------------------------------------------------------------------------

class PollTest : public ReadTest {
protected:
    void SetUp() override
    {
        ReadTest::SetUp();
        line = &CommandLine::Instance();
        line->Register("ExpressRead2", std::make_unique<ExpressRead2Command>());
        line->Register("StopPoll", std::make_unique<StopPollCommand>(*line));
        line->Register("PeriodicPoll", std::make_unique<PeriodicPollCommand>(*line));
        line->SetOwner(&owner);
        stop = line->FindAs<StopPollCommand>("StopPoll");
        periodic = line->FindAs<PeriodicPollCommand>("PeriodicPoll");
        ShowPage(0, false, false);
        unit.ClearLog();
    }

    void PollingOn()
    {
        stop->SetPolling(true);
        line->Post("StopPoll");
        line->Post("PeriodicPoll");
    }

    CommandLine* line = nullptr;
    StopPollCommand* stop = nullptr;
    PeriodicPollCommand* periodic = nullptr;
};

TEST_F(PollTest, StopPollSetsThePollingFlagItWasGiven)
{
    // Made with the queue: polling off, timer stopped, 2000 ms.
    EXPECT_FALSE(line->IsPolling());
    EXPECT_FALSE(periodic->Timer()->isActive());
    EXPECT_EQ(periodic->Timer()->interval(), 2000);

    line->Post("StopPoll");   // no SetPolling yet: polling on
    EXPECT_TRUE(line->IsPolling());
    stop->SetPolling(false);
    line->Post("StopPoll");
    EXPECT_FALSE(line->IsPolling());
    line->Post("StopPoll");   // the value stays for the next post
    EXPECT_FALSE(line->IsPolling());
    stop->SetPolling(true);
    line->Post("StopPoll");
    EXPECT_TRUE(line->IsPolling());
}

TEST_F(PollTest, PeriodicPollRunsTheTimerOnlyWhilePollingIsOn)
{
    line->Post("PeriodicPoll");   // polling off
    EXPECT_FALSE(periodic->Timer()->isActive());

    PollingOn();
    EXPECT_TRUE(periodic->Timer()->isActive());
    line->Post("PeriodicPoll");   // a second post leaves the one timer running
    EXPECT_TRUE(periodic->Timer()->isActive());

    stop->SetPolling(false);
    line->Post("StopPoll");
    EXPECT_TRUE(periodic->Timer()->isActive());   // it notices at its next tick
    periodic->OnTimer();
    EXPECT_FALSE(periodic->Timer()->isActive());
    EXPECT_EQ(unit.RequestCount(), 0);

    PollingOn();
    line->Post("PeriodicPoll");
    stop->SetPolling(false);
    line->Post("StopPoll");
    line->Post("PeriodicPoll");   // while polling is off it stops the timer at once
    EXPECT_FALSE(periodic->Timer()->isActive());

    // After an exit request the timer stays off and the next tick stops it.
    PollingOn();
    SetExitRequested(true);
    line->Post("PeriodicPoll");
    EXPECT_FALSE(periodic->Timer()->isActive());
    periodic->Timer()->start();
    periodic->OnTimer();
    EXPECT_FALSE(periodic->Timer()->isActive());
    EXPECT_EQ(unit.RequestCount(), 0);
}

TEST_F(PollTest, TickPostsAPollReadOnlyWhenNothingWaits)
{
    PollingOn();

    // Idle: the tick's post runs the poll read at once.
    periodic->OnTimer();
    EXPECT_GT(unit.RequestCount(50), 0);
    EXPECT_EQ(owner.PanelTexts().back(), "");

    // A tick during a command with a post waiting behind it posts nothing; a tick during a
    // command with nothing waiting posts, and the poll read runs after that command.
    std::vector<std::string> order;
    line->Register("Busy", std::make_unique<FnCommand>([&](FnCommand& self) {
        order.push_back("busy " + self.Argument());
        if (self.Argument() == "with-waiting") {
            line->Post("Other");
            const int before = line->PendingCount();
            periodic->OnTimer();
            EXPECT_EQ(line->PendingCount(), before);
        } else {
            periodic->OnTimer();
            EXPECT_EQ(line->PendingCount(), 1);
        }
        order.push_back("requests " + std::to_string(unit.RequestCount()));
    }));
    line->Register("Other", std::make_unique<FnCommand>([&](FnCommand&) { order.push_back("other"); }));

    unit.ClearLog();
    line->Post("Busy", "with-waiting");
    EXPECT_EQ(order, (Texts{"busy with-waiting", "requests 0", "other"}));
    EXPECT_EQ(unit.RequestCount(), 0);

    order.clear();
    line->Post("Busy", "alone");
    EXPECT_EQ(order, (Texts{"busy alone", "requests 0"}));
    EXPECT_GT(unit.RequestCount(50), 0);   // the poll read ran right after
    EXPECT_EQ(line->PendingCount(), 0);
}

TEST_F(PollTest, RunningTimerPollsThePage)
{
    PollingOn();
    periodic->Timer()->setInterval(5);   // the real interval is two seconds
    PumpUntil([&] { return unit.RequestCount(50) >= 2; });
    EXPECT_GE(unit.RequestCount(50), 2);

    stop->SetPolling(false);
    line->Post("StopPoll");
    PumpUntil([&] { return !periodic->Timer()->isActive(); });
    EXPECT_FALSE(periodic->Timer()->isActive());
}

}  // namespace
