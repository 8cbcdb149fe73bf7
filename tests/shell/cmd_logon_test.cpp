#include "tevrin/shell/commands/cmd_logon.h"

#include "tests/shell/cmd_fixture.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/shell/commands/cmd_common.h"
#include "tevrin/shell/state_mgr.h"

#include <gtest/gtest.h>

#include <algorithm>

using cmdtest::CommandTest;

namespace {

using Texts = std::vector<std::string>;

bool Has(const std::vector<std::string>& v, const std::string& s) { return std::find(v.begin(), v.end(), s) != v.end(); }

class LogonTest : public CommandTest {
protected:
    LogonResult RunLogon()
    {
        LogonCommand logon;
        logon.SetOwner(&owner);
        // The road disables the Logon button before it posts.
        owner.logonEnabled = false;
        logon.Execute();
        return logon.Result();
    }
    int StreamsRow() const { return sim::AnalyzerCore::RowOfDbId(20); }
};

TEST_F(LogonTest, SingleStreamAnalyzerLogsOnWithoutAQuestion)
{
    unit.SetLogStatus(LogStatus{{0, 262144, 4096}});
    SetExitRequested(true);   // left over from an earlier failed logon
    engine.userCancel = true; // left over from the last logoff

    EXPECT_EQ(RunLogon(), LogonResult::Success);

    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_EQ(owner.PanelTexts(), (Texts{"Logon...", "Logon Successful.", ""}));
    EXPECT_EQ(owner.CallsStarting("SetFlag "),
              (Texts{"SetFlag SetDatabaseConfigFileTypeID 1", "SetFlag tbtnLogon 0", "SetFlag tbtnLogoff 1",
                     "SetFlag SetLogOn 1"}));
    // The cancel flag is cleared before the link is made.
    EXPECT_EQ(engine.linkCalls, (Texts{"Cancel 0", "Connect"}));
    EXPECT_FALSE(ExitRequested());

    // The progress bar covers the full read and 124 more steps.
    EXPECT_EQ(owner.progressMax, 124 + db->CountReadAllRequests());
    // A second's pause, then the log status gives the archive memory size.
    EXPECT_EQ(clock.sleeps, (std::vector<int>{1000}));
    EXPECT_EQ(unit.RequestCount(42), 1);
    EXPECT_EQ(db->ArchiveMemorySize(), 262144u);

    EXPECT_FALSE(db->IsOffline());
    EXPECT_EQ(db->GetPointText(20), "0");
    EXPECT_EQ(db->ConfigFileTypeID().substr(0, 25), "Sentrel DataBase Config v");
    EXPECT_TRUE(StateMgr::Instance().IsLoggedOn());
    EXPECT_FALSE(owner.logonEnabled);
    EXPECT_TRUE(owner.logoffEnabled);
    // Nothing was written.
    EXPECT_EQ(unit.RequestCount(4), 0);
    EXPECT_EQ(unit.RequestCount(8), 0);
}

// An analyzer set up for several streams is offered the single-stream set-up.
TEST_F(LogonTest, SeveralStreamsAskForTheSingleStreamSetUp)
{
    struct Case {
        int answer;
        LogonResult result;
    };
    for (const Case& c : {Case{platform::mrYes, LogonResult::Success}, Case{platform::mrNo, LogonResult::ExitChosen}}) {
        SCOPED_TRACE(c.answer);
        unit.SetValue(sim::DbId{20}, 2);
        unit.ClearLog();
        owner.calls.clear();
        prompter.prompts.clear();
        prompter.answers = {c.answer};

        EXPECT_EQ(RunLogon(), c.result);

        ASSERT_EQ(prompter.prompts.size(), 1u);
        const platform::Prompt& q = prompter.prompts[0];
        EXPECT_EQ(q.text, "Do you want to setup analyzer as K41W?");
        EXPECT_EQ(q.caption, "Inquiry");
        EXPECT_EQ(q.type, platform::DlgType::Confirmation);
        EXPECT_EQ(q.buttons, platform::mbYesNo);

        const Texts panel = owner.PanelTexts();
        if (c.answer == platform::mrYes) {
            // 0 is written and the analyzer is asked to keep it in flash, in that order.
            EXPECT_EQ(unit.Value(sim::DbId{20}), 0);
            EXPECT_EQ(unit.Value(sim::DbId{20}, sim::Copy::Flash), 0);
            const std::vector<int> types = RequestTypes();
            const auto write = std::find(types.begin(), types.end(), 4);
            ASSERT_NE(write, types.end());
            EXPECT_EQ(cmdtest::RequestAddress(unit.RequestsOfType(4).at(0)), StreamsRow());
            EXPECT_NE(std::find(write, types.end(), 8), types.end());
            EXPECT_EQ(panel, (Texts{"Logon...", "Logon Successful.", ""}));
            EXPECT_EQ(owner.exitRequests, 0);
            EXPECT_TRUE(StateMgr::Instance().IsLoggedOn());
        } else {
            // The program closes through the exit road; nothing is written, and the logon
            // never says it succeeded.
            EXPECT_EQ(owner.exitRequests, 1);
            EXPECT_EQ(unit.RequestCount(4), 0);
            EXPECT_EQ(unit.RequestCount(8), 0);
            EXPECT_EQ(unit.Value(sim::DbId{20}), 2);
            EXPECT_FALSE(Has(panel, "Logon Successful."));
            EXPECT_FALSE(Has(owner.calls, "SetFlag SetLogOn 1"));
        }
    }
}

TEST_F(LogonTest, FailedFlashStoreAfterTheSetUpDoesNotStopTheLogon)
{
    unit.SetValue(sim::DbId{20}, 3);
    prompter.answers = {platform::mrYes};
    unit.FailNext(sim::Fault::Silence, 1, 8);

    EXPECT_EQ(RunLogon(), LogonResult::Success);
    EXPECT_EQ(prompter.Texts(), (QStringList{"Do you want to setup analyzer as K41W?"}));
    EXPECT_EQ(unit.Value(sim::DbId{20}), 0);
    EXPECT_EQ(owner.panel, "");
    EXPECT_TRUE(Has(owner.PanelTexts(), "Logon Successful."));
}

TEST_F(LogonTest, UnknownDatabaseVersionWarnsAndStillLogsOn)
{
    unit.SetValue(sim::DbId{500}, 16010101);

    EXPECT_EQ(RunLogon(), LogonResult::Success);
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Warning);
    EXPECT_TRUE(prompter.prompts[0].text.startsWith("Unknow version of database was found!"));
    // Update mode stays barred for this analyzer.
    EXPECT_FALSE(StateMgr::Instance().IsVersionKnown());
    EXPECT_TRUE(StateMgr::Instance().IsLoggedOn());
}

TEST_F(LogonTest, LinkThatCannotBeMadeEndsTheLogonOffLine)
{
    struct Case {
        const char* name;
        int connectResult;
        bool connectThrows;
        QStringList shown;
        Texts panel;
        LogonResult result;
    };
    const Case cases[] = {
        {"dial-up failed", 1, false, {"Logon cancelled."}, {"Logon...", ""}, LogonResult::Cancelled},
        // The engine has named the port that did not open; nothing reads as a cancel.
        {"port not opened", 5, false, {}, {"Logon...", ""}, LogonResult::Cancelled},
        {"connect raised", 0, true, {"Logon fail!"}, {"Logon...", "Logon fail.", ""}, LogonResult::ConnectFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        owner.calls.clear();
        prompter.prompts.clear();
        engine.connectResult = c.connectResult;
        engine.connectThrows = c.connectThrows;

        EXPECT_EQ(RunLogon(), c.result);

        EXPECT_EQ(prompter.Texts(), c.shown);
        EXPECT_EQ(owner.PanelTexts(), c.panel);
        // The window is off line again and can try once more; the database is not touched.
        EXPECT_TRUE(owner.logonEnabled);
        EXPECT_FALSE(owner.logoffEnabled);
        EXPECT_EQ(unit.RequestCount(), 0);
        EXPECT_TRUE(db->IsOffline());
        EXPECT_FALSE(StateMgr::Instance().IsLoggedOn());
        EXPECT_FALSE(Has(owner.calls, "SetFlag SetDatabaseConfigFileTypeID 1"));
    }
}

// A failure while the analyzer is read: "Communication error!", the engine goes offline with
// the line kept, the poll timer is kept off until the next Logon.
TEST_F(LogonTest, FailedReadsEndTheLogonWithACommunicationError)
{
    struct Case {
        const char* name;
        std::function<void()> arrange;
    };
    const Case cases[] = {
        {"version read times out", [this] { unit.FailNext(sim::Fault::Silence, 1, 1); }},
        {"block read refused", [this] { unit.FailNext(sim::Fault::Reject, 1, 50); }},
        {"log status times out", [this] { unit.FailNext(sim::Fault::Silence, 1, 42); }},
        {"set-up write refused",
         [this] {
             unit.SetValue(sim::DbId{20}, 1);
             prompter.answers = {platform::mrYes};
             unit.FailNext(sim::Fault::Reject, 1, 4);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        unit.ClearFaults();
        unit.SetValue(sim::DbId{20}, 0);
        owner.calls.clear();
        prompter.prompts.clear();
        engine.linkCalls.clear();
        SetExitRequested(false);
        c.arrange();

        EXPECT_EQ(RunLogon(), LogonResult::CommunicationError);

        EXPECT_TRUE(prompter.Saw("Communication error!"));
        EXPECT_EQ(owner.PanelTexts(), (Texts{"Logon...", "Logon error.", ""}));
        EXPECT_TRUE(owner.logonEnabled);
        EXPECT_EQ(engine.linkCalls, (Texts{"Cancel 0", "Connect", "Disconnect keep=1"}));
        EXPECT_TRUE(ExitRequested());
        EXPECT_FALSE(StateMgr::Instance().IsLoggedOn());
        EXPECT_FALSE(Has(owner.PanelTexts(), "Logon Successful."));
    }
}

TEST_F(LogonTest, LogsOnAndReadsEveryValueFromWholeAndFromPackedBlockReplies)
{
    // Points of every packed width, each with a value of its own, read by blocks at logon.
    const struct {
        int dbId;
        const char* whole;
        const char* packed;
    } points[] = {
        {284, "12.5", "-3.25"},        // float
        {10, "65535", "4660"},         // 16-bit bit set
        {388, "4294967295", "7"},      // 32-bit bit set
        {4, "True", "False"},          // boolean
    };
    const struct {
        const char* name;
        bool packed;
    } forms[] = {{"whole 81-byte replies", false}, {"packed replies", true}};
    for (const auto& form : forms) {
        SCOPED_TRACE(form.name);
        unit.SetPackedBlockReplies(form.packed);
        for (const auto& p : points) unit.SetValueText(sim::DbId{p.dbId}, form.packed ? p.packed : p.whole);
        prompter.prompts.clear();

        EXPECT_EQ(RunLogon(), LogonResult::Success);
        EXPECT_TRUE(prompter.prompts.empty());
        EXPECT_FALSE(db->IsOffline());
        for (const auto& p : points) {
            EXPECT_EQ(db->GetPointText(static_cast<TDbId>(p.dbId)), form.packed ? p.packed : p.whole) << p.dbId;
            EXPECT_TRUE(db->PointByDbId(static_cast<TDbId>(p.dbId))->IsValid()) << p.dbId;
        }
        EXPECT_EQ(db->GetPointText(20), "0");

        LogoffCommand logoff;
        logoff.SetOwner(&owner);
        logoff.Execute();
        ASSERT_TRUE(db->IsOffline());
    }
}

TEST_F(LogonTest, LogoffClosesTheLinkAndMarksEveryPointStale)
{
    LogOn();
    ASSERT_FALSE(db->IsOffline());

    LogoffCommand logoff;
    logoff.SetOwner(&owner);
    logoff.Execute();

    // Logged on (the Logon button disabled): the link is closed, not kept.
    EXPECT_EQ(engine.linkCalls, (Texts{"Cancel 1", "Disconnect keep=0"}));
    EXPECT_EQ(owner.PanelTexts(), (Texts{"Logoff Successful.", ""}));
    EXPECT_EQ(owner.CallsStarting("SetFlag "), (Texts{"SetFlag tbtnLogon 1", "SetFlag tbtnLogoff 0",
                                                      "SetFlag SetLogOff 1", "SetFlag EnablePages 1"}));
    EXPECT_TRUE(db->IsOffline());
    EXPECT_FALSE(db->PointByDbId(20)->IsValid());
    EXPECT_FALSE(StateMgr::Instance().IsLoggedOn());
    EXPECT_TRUE(prompter.prompts.empty());

    // Again while logged off: only the engine's state goes offline, the line is kept, and
    // the logoff still reports itself.
    engine.linkCalls.clear();
    owner.calls.clear();
    logoff.Execute();
    EXPECT_EQ(engine.linkCalls, (Texts{"Cancel 1", "Disconnect keep=1"}));
    EXPECT_EQ(owner.PanelTexts(), (Texts{"Logoff Successful.", ""}));

    // Nothing more reaches the analyzer until the next Logon clears the cancel flag.
    EXPECT_TRUE(engine.userCancel);
}

}  // namespace
