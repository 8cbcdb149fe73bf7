#include "tevrin/shell/commands/cmd_full_read_write.h"

#include "tests/shell/cmd_fixture.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/shell/commands/cmd_read.h"
#include "tevrin/shell/commands/command_line.h"
#include "tevrin/shell/state_mgr.h"

#include <QLabel>
#include <QProgressBar>
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

using cmdtest::CommandTest;

namespace {

using Texts = std::vector<std::string>;

constexpr int kPurgeDbId = 10;        // "Purge Time", unsigned 16-bit, configuration
constexpr int kBypassTimeoutDbId = 284;
constexpr int kUnreadDbId = 1;   // a text point: read at logon, valid only once its page reads it

class FullTest : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        LogOn();
        db->AsExpressScan().SetPage(0, 0, 0);
        StateMgr::Instance().SetUpdate();
        StateMgr::Instance().SetIdle();
    }

    // Runs the command as the queue does: with the parameters staged for this post.
    void Run(Command& command, const std::string& argument = std::string())
    {
        command.SetOwner(&owner);
        command.SetArgument(argument);
        command.LoadParameters(command.SaveParameters());
        command.Execute();
    }

    // Looks at the window at every request the command sends.
    void WatchWindow()
    {
        spy = std::make_unique<cmdtest::SpyHandler>(unit, [this](const QByteArray&) {
            seen.insert(std::string(wait->isVisible() ? "wait" : "-") +
                        (wait->AniIcon1()->isVisibleTo(wait.get()) ? " icon" : "") +
                        (wait->Progress()->isVisibleTo(wait.get()) ? " bar" : "") +
                        (owner.pagesEnabled ? " pages" : "") + (StateMgr::Instance().IsBusy() ? " busy" : ""));
        });
        engine.SetHandler(spy.get());
    }

    // The window after a whole-database command, on every way out. (After a forced log-off
    // the busy flag stays as it was: the application state ignores idle while logged off.)
    void ExpectWindowRestored(bool loggedOff = false)
    {
        EXPECT_FALSE(wait->isVisible());
        EXPECT_TRUE(owner.pagesEnabled);
        if (!loggedOff) {
            EXPECT_FALSE(StateMgr::Instance().IsBusy());
        }
    }

    std::unique_ptr<cmdtest::SpyHandler> spy;
    std::set<std::string> seen;
};

TEST_F(FullTest, ReadFullReadsEverythingBehindTheWaitWindow)
{
    WatchWindow();
    unit.SetValue(sim::DbId{kPurgeDbId}, 42);
    ReadFullCommand read;
    Run(read);

    EXPECT_EQ(seen, (std::set<std::string>{"wait icon busy"}));
    ExpectWindowRestored();
    EXPECT_EQ(owner.progressMax, db->CountReadAllRequests() + 10);
    EXPECT_EQ(owner.PanelTexts(), (Texts{"Reading All...", "Read Successful.", ""}));
    EXPECT_EQ(owner.CallsStarting("SetFlag "), (Texts{"SetFlag DisablePages 1", "SetFlag EnablePages 1"}));
    EXPECT_EQ(db->GetPointText(kPurgeDbId), "42");
    // The configuration blocks come with it.
    EXPECT_EQ(unit.RequestCount(60), 1);
    EXPECT_EQ(unit.RequestCount(64), 1);
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(FullTest, WholeDatabaseCommandsDoNothingWhileLoggedOff)
{
    owner.logonEnabled = true;
    ReadFullCommand read;
    WriteMainCommand writeMain;
    WriteDirectCommand writeDirect;
    WriteSinglePointCommand writeOne;
    writeOne.SetPoint(kPurgeDbId, "5");
    for (Command* c : std::initializer_list<Command*>{&read, &writeMain, &writeDirect, &writeOne}) Run(*c, "250");

    EXPECT_EQ(unit.RequestCount(), 0);
    EXPECT_EQ(owner.calls, Texts(4, "GetFlag LoggingOn"));
    EXPECT_FALSE(wait->isVisible());
}

TEST_F(FullTest, ReadFullThatFailsLogsTheWindowOff)
{
    WatchWindow();
    unit.FailNext(sim::Fault::Silence, 1, 50);
    ReadFullCommand read;
    Run(read);

    EXPECT_EQ(prompter.Texts(), (QStringList{"Read error: No Response from unit."}));
    EXPECT_EQ(owner.PanelTexts(), (Texts{"Reading All...", ""}));
    EXPECT_EQ(owner.CallsStarting("SetFlag "),
              (Texts{"SetFlag DisablePages 1", "SetFlag EnablePages 1", "SetFlag tbtnLogon 1", "SetFlag tbtnLogoff 0",
                     "SetFlag SetLogOff 1"}));
    ExpectWindowRestored(true);
    EXPECT_TRUE(db->IsOffline());
    EXPECT_FALSE(db->PointByDbId(kPurgeDbId)->IsValid());
    EXPECT_FALSE(StateMgr::Instance().IsLoggedOn());
    EXPECT_EQ(engine.linkCalls, (Texts{"Cancel 1"}));   // the link itself stays
}

TEST_F(FullTest, WriteMainWritesTheChangedPoints)
{
    WatchWindow();
    db->SetPointText(kPurgeDbId, "45");
    WriteMainCommand write;
    Run(write);

    EXPECT_TRUE(write.Succeeded());
    EXPECT_EQ(unit.Value(sim::DbId{kPurgeDbId}), 45);
    ASSERT_EQ(unit.RequestCount(4), 1);   // only the changed point
    EXPECT_EQ(owner.calls.at(1), "SetText StatusLineSpecialPanel Writing...");
    EXPECT_EQ(owner.PanelTexts(), (Texts{"Writing...", "Write Successful", ""}));
    EXPECT_EQ(owner.progressMax, 1);
    EXPECT_EQ(owner.CallsStarting("Request "), (Texts{"Request SendToDatabase"}));
    EXPECT_EQ(seen, (std::set<std::string>{"wait icon busy"}));
    ExpectWindowRestored();
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(FullTest, WriteMainWritesNothingWhenAControlRefusesItsValue)
{
    db->SetPointText(kPurgeDbId, "45");
    owner.sendToDatabase = [] { return 1; };
    WriteMainCommand write;
    Run(write);

    EXPECT_FALSE(write.Succeeded());
    EXPECT_EQ(unit.RequestCount(), 0);
    EXPECT_TRUE(prompter.prompts.empty());   // the control has said why itself
    EXPECT_EQ(owner.PanelTexts(), (Texts{"Writing...", ""}));
    ExpectWindowRestored();
}

// A write the analyzer does not take shows the engine's words for it.
TEST_F(FullTest, FailedWholeWritesShowTheEngineError)
{
    struct Case {
        const char* name;
        bool direct;
        sim::Fault fault;
        QString shown;
    };
    const Case cases[] = {
        {"write main, no response", false, sim::Fault::Silence, "Error writing to database\nNo Response from unit."},
        {"write main, refused", false, sim::Fault::Reject,
         "Error writing to database\nThe unit has reported an error with the request that was sent."},
        {"write direct, no response", true, sim::Fault::Silence, "Error writing to database\nNo Response from unit."},
        {"write direct, wrong reply", true, sim::Fault::WrongType,
         "Error writing to database\nUnexpected response type received."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        owner.calls.clear();
        prompter.prompts.clear();
        db->SetPointText(kPurgeDbId, "46");
        unit.FailNext(c.fault, 1, 4);
        if (c.direct) {
            WriteDirectCommand write;
            Run(write, "250");
            EXPECT_FALSE(write.Succeeded());
        } else {
            WriteMainCommand write;
            Run(write);
            EXPECT_FALSE(write.Succeeded());
        }
        ASSERT_EQ(prompter.prompts.size(), 1u);
        EXPECT_EQ(prompter.prompts[0].text, c.shown);
        EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Error);
        EXPECT_EQ(prompter.prompts[0].buttons, platform::mbOK);
        EXPECT_EQ(owner.panel, "");
        EXPECT_FALSE(owner.PanelTexts().empty());
        EXPECT_NE(owner.PanelTexts().at(1), "Write Successful");
        ExpectWindowRestored();
        // A write is not a read: the connection stays.
        EXPECT_TRUE(StateMgr::Instance().IsLoggedOn());
    }
}

TEST_F(FullTest, WriteDirectWritesEveryConfigurationPoint)
{
    WatchWindow();
    db->SetPointText(kPurgeDbId, "47");
    WriteDirectCommand write;
    Run(write, "250");

    EXPECT_EQ(owner.progressMax, 250);
    EXPECT_EQ(owner.PanelTexts(), (Texts{"Writing Parameters...", "Write Successful", ""}));
    EXPECT_EQ(unit.Value(sim::DbId{kPurgeDbId}), 47);
    // Every writable configuration point, changed or not, then the Modbus map and the timers.
    EXPECT_GT(unit.RequestCount(4), 100);
    EXPECT_GT(unit.RequestCount(22), 0);
    EXPECT_EQ(unit.RequestCount(66), 1);
    EXPECT_EQ(seen, (std::set<std::string>{"wait icon busy"}));
    ExpectWindowRestored();
}

TEST_F(FullTest, WriteSinglePoint)
{
    WriteSinglePointCommand write;
    write.SetPoint(kPurgeDbId, "55");
    Run(write);
    EXPECT_EQ(unit.Value(sim::DbId{kPurgeDbId}), 55);
    EXPECT_EQ(owner.PanelTexts(), (Texts{"Writing...", "One Point Write", ""}));
    EXPECT_EQ(owner.progressMax, 1);
    // The light path: no wait window, the pages untouched.
    EXPECT_TRUE(owner.CallsStarting("SetFlag ").empty());

    // An empty text writes the point's present edited value.
    db->SetPointText(kPurgeDbId, "66");
    write.SetPoint(kPurgeDbId, "");
    Run(write);
    EXPECT_EQ(unit.Value(sim::DbId{kPurgeDbId}), 66);
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(FullTest, WriteSinglePointThatCannotBeSent)
{
    struct Case {
        const char* name;
        int dbId;
        const char* text;
        std::function<void()> arrange;
        QStringList shown;
    };
    const Case cases[] = {
        {"no response", kPurgeDbId, "57", [this] { unit.FailNext(sim::Fault::Silence, 1, 4); },
         {"Error writing to database\nNo Response from unit."}},
        // Nothing was sent, so no exchange failed: the box says why the value stayed.
        {"unknown point", 9999, "1", [] {}, {"The value was not written: the point cannot be written."}},
        {"read-only point", 500, "", [] {}, {"The value was not written: the point cannot be written."}},
        {"point never read", kUnreadDbId, "North", [] {},
         {"The value was not written: the point has not been read from the analyzer."}},
        {"text the point cannot take", kBypassTimeoutDbId, "soon", [] {}, {}},
    };
    ASSERT_TRUE(db->PointByDbId(kBypassTimeoutDbId)->IsValid());
    ASSERT_FALSE(db->PointByDbId(kUnreadDbId)->IsValid());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        owner.calls.clear();
        prompter.prompts.clear();
        unit.ClearLog();
        c.arrange();
        WriteSinglePointCommand write;
        write.SetPoint(static_cast<uint16_t>(c.dbId), c.text);
        Run(write);
        // The progress text goes; "One Point Write" is never said.
        EXPECT_EQ(owner.PanelTexts(), (Texts{"Writing...", ""}));
        EXPECT_EQ(prompter.Texts(), c.shown);
    }
    EXPECT_EQ(unit.Value(sim::DbId{kPurgeDbId}), 0);
    EXPECT_EQ(unit.RequestCount(), 0);   // the refused text sent nothing
}

// A failure the command does not handle itself still leaves the window usable, and the
// queue goes on with the next post.
TEST_F(FullTest, UnhandledFailureNeverStrandsTheWindowOrTheQueue)
{
    CommandLine& line = CommandLine::Instance();
    line.Register("WriteMain", std::make_unique<WriteMainCommand>());
    line.Register("ExpressRead", std::make_unique<ExpressReadCommand>());
    line.SetOwner(&owner);
    std::vector<std::string> failures;
    line.SetFailureHandler([&](const CommandLine::Failure& f) { failures.push_back(f.commandName + ": " + f.text); });

    owner.sendToDatabase = []() -> int32_t {
        CommandLine::Instance().Post("ExpressRead");   // the road's read after the write
        throw std::runtime_error("control broadcast failed");
    };
    db->AsExpressScan().Add(kPurgeDbId);
    unit.SetValue(sim::DbId{kPurgeDbId}, 12);
    line.Post("WriteMain");

    EXPECT_EQ(failures, (Texts{"WriteMain: control broadcast failed"}));
    ExpectWindowRestored();
    EXPECT_EQ(db->GetPointText(kPurgeDbId), "12");   // the queued read ran
    EXPECT_EQ(owner.panel, "");
}

}  // namespace
