#include "tevrin/shell/commands/cmd_unit.h"

#include "tests/shell/cmd_fixture.h"
#include "tevrin/shell/state_mgr.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using cmdtest::CommandTest;

namespace {

using Texts = std::vector<std::string>;

class UnitTest : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        LogOnForUpdate();
    }

    void Run(Command& command)
    {
        command.SetOwner(&owner);
        command.Execute();
    }

    // Single-point reads (type 1) of a point.
    int ReadsOf(int dbId) const
    {
        int n = 0;
        for (const QByteArray& r : unit.RequestsOfType(1))
            if (cmdtest::RequestAddress(r) == sim::AnalyzerCore::RowOfDbId(dbId)) ++n;
        return n;
    }

    void ExpectWindowRestored()
    {
        EXPECT_FALSE(wait->isVisible());
        EXPECT_TRUE(owner.pagesEnabled);
        EXPECT_FALSE(StateMgr::Instance().IsBusy());
    }

    // Watches the window at every request the command sends.
    void WatchWindow()
    {
        spy = std::make_unique<cmdtest::SpyHandler>(unit, [this](const QByteArray&) {
            if (!wait->isVisible() || owner.pagesEnabled || !StateMgr::Instance().IsBusy()) ++unguardedRequests;
        });
        engine.SetHandler(spy.get());
    }

    std::unique_ptr<cmdtest::SpyHandler> spy;
    int unguardedRequests = 0;
};

// --- flash store -------------------------------------------------------------------------------

TEST_F(UnitTest, WriteConfigPollsOncePerSecondUntilTheUnitIsDoneOrSeventyPollsHavePassed)
{
    struct Case {
        int busyPolls;
        int expectedPolls;
        Texts panel;
    };
    const Case cases[] = {
        {0, 1, {"Writing to Flash...", "Write Flash Finished.", ""}},
        {4, 5, {"Writing to Flash...", "Writing to Flash...", "Writing to Flash...", "Writing to Flash...",
                "Writing to Flash...", "Write Flash Finished.", ""}},
        {69, 70, {}},
        // Never done: exactly 70 polls, and the failure stays in the panel.
        {sim::kForever, 70, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.busyPolls);
        unit.ClearLog();
        owner.calls.clear();
        clock.sleeps.clear();
        unit.SetWriteConfigBusyPolls(c.busyPolls);
        unit.SetValue(sim::DbId{10}, 77, sim::Copy::Working);
        WatchWindow();

        WriteConfigCommand command;
        Run(command);

        std::vector<int> expectedTypes{8};
        expectedTypes.insert(expectedTypes.end(), c.expectedPolls, 10);
        EXPECT_EQ(RequestTypes(), expectedTypes);
        EXPECT_EQ(clock.sleeps, std::vector<int>(c.expectedPolls, 1000));
        EXPECT_EQ(unguardedRequests, 0);
        ExpectWindowRestored();
        EXPECT_EQ(owner.progressMax, 1);
        EXPECT_EQ(unit.Value(sim::DbId{10}, sim::Copy::Flash), 77);
        EXPECT_TRUE(prompter.prompts.empty());
        const Texts panel = owner.PanelTexts();
        if (!c.panel.empty()) {
            EXPECT_EQ(panel, c.panel);
        }
        if (c.busyPolls == sim::kForever) {
            EXPECT_EQ(owner.panel, "Write Flash fail!");
        } else {
            EXPECT_EQ(panel.at(panel.size() - 2), "Write Flash Finished.");
            EXPECT_EQ(owner.panel, "");
        }
        EXPECT_EQ(owner.CallsStarting("SetNumber"), (Texts{"SetNumber localPBarMax 35", "SetNumber localPBarMax 1"}));
    }
}

TEST_F(UnitTest, WriteConfigWhoseStoreRequestFailsSaysSoAndNeverPolls)
{
    unit.FailNext(sim::Fault::Silence, 1, 8);
    WriteConfigCommand command;
    Run(command);

    EXPECT_EQ(RequestTypes(), std::vector<int>{8});
    EXPECT_EQ(prompter.Texts(), QStringList{" Write Config. fail!"});
    EXPECT_TRUE(clock.sleeps.empty());
    EXPECT_TRUE(owner.PanelTexts().empty());
    ExpectWindowRestored();
}

TEST_F(UnitTest, WriteConfigWhosePollFailsStopsAtOnceAndKeepsTheFailureInThePanel)
{
    // A link failure at the third poll, and the user's cancel at the second.
    struct Case {
        std::function<void()> arrange;
        int polls;
    };
    const Case cases[] = {
        {[this] { unit.AddFault({sim::Fault::Silence, 10, 1, 2}); }, 3},
        {[this] {
             spy = std::make_unique<cmdtest::SpyHandler>(unit, [this](const QByteArray& request) {
                 if (static_cast<uint8_t>(request.at(1)) == 10) engine.userCancel = true;
             });
             engine.SetHandler(spy.get());
         },
         1},
    };
    for (const Case& c : cases) {
        unit.ClearLog();
        unit.ClearFaults();
        clock.sleeps.clear();
        unit.SetWriteConfigBusyPolls(sim::kForever);
        c.arrange();

        WriteConfigCommand command;
        Run(command);

        EXPECT_EQ(static_cast<int>(unit.RequestsOfType(10).size()), c.polls);
        EXPECT_EQ(owner.panel, "Write Flash fail!");
        EXPECT_EQ(owner.progressMax, 1);
        EXPECT_TRUE(prompter.prompts.empty());
        ExpectWindowRestored();
    }
}

// --- factory defaults and reboot ---------------------------------------------------------------

TEST_F(UnitTest, DefaultsAndRebootSubmitTheirRequestOrSayTheyFailed)
{
    struct Case {
        std::function<std::unique_ptr<Command>()> make;
        int type;
        std::string first;
        std::string success;
        QString failure;
        bool reportsSuccess;  // what the road that posted it learns
    };
    const Case cases[] = {
        {[] { return std::make_unique<SetDefaultConfigCommand>(); }, 12, "Set Default Config.",
         "Reset Factory Default Submitted", "Reset Factory Default fail!", false},
        {[] { return std::make_unique<ResetCommand>(); }, 14, "Reboot...", "Reboot Submitted", " Reboot unit fail!",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        for (bool fails : {false, true}) {
            unit.ClearLog();
            owner.calls.clear();
            prompter.prompts.clear();
            const int reboots = unit.RebootCount();
            if (fails) unit.FailNext(sim::Fault::Silence, 1, c.type);

            auto command = c.make();
            Run(*command);

            EXPECT_EQ(RequestTypes(), std::vector<int>{c.type});
            EXPECT_EQ(owner.progressMax, 1);
            EXPECT_TRUE(clock.sleeps.empty());
            EXPECT_EQ(command->Succeeded(), c.reportsSuccess && !fails);
            if (fails) {
                EXPECT_EQ(prompter.Texts(), QStringList{c.failure});
                EXPECT_EQ(owner.PanelTexts(), (Texts{c.first, ""}));
                EXPECT_EQ(unit.RebootCount(), reboots);
            } else {
                EXPECT_TRUE(prompter.prompts.empty());
                EXPECT_EQ(owner.PanelTexts(), (Texts{c.first, c.success, ""}));
                EXPECT_EQ(unit.RebootCount(), reboots + (c.type == 14 ? 1 : 0));
            }
        }
    }
}

TEST_F(UnitTest, SetDefaultConfigResetsTheUnitsWorkingConfiguration)
{
    unit.SetValue(sim::DbId{10}, 4321);
    SetDefaultConfigCommand command;
    Run(command);
    EXPECT_NE(unit.Value(sim::DbId{10}), 4321);
    EXPECT_EQ(unit.Value(sim::DbId{10}, sim::Copy::Flash), 4321);
}

TEST_F(UnitTest, LoggedOffEveryUnitCommandEndsWithoutAWord)
{
    owner.logonEnabled = true;   // no connection
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<WriteConfigCommand>());
    commands.push_back(std::make_unique<SetDefaultConfigCommand>());
    commands.push_back(std::make_unique<ResetCommand>());
    commands.push_back(std::make_unique<IsDeviceAvaiableCommand>());
    commands.push_back(std::make_unique<DirectControlConfirmCommand>());
    for (auto& command : commands) Run(*command);

    EXPECT_TRUE(unit.Requests().empty());
    EXPECT_EQ(unit.RebootCount(), 0);
    EXPECT_EQ(owner.calls, Texts(5, "GetFlag LoggingOn"));
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_TRUE(clock.sleeps.empty());
    EXPECT_FALSE(wait->isVisible());
}

// --- waiting for the unit ----------------------------------------------------------------------

TEST_F(UnitTest, IsDeviceAvaiableReadsTheVersionPointUntilItAnswers)
{
    unit.AddFault({sim::Fault::Silence, 1, 4});
    IsDeviceAvaiableCommand command;
    Run(command);

    EXPECT_EQ(ReadsOf(500), 5);
    EXPECT_EQ(unit.RequestCount(), 5);
    EXPECT_EQ(clock.sleeps, std::vector<int>(4, 1000));
    EXPECT_EQ(owner.PanelTexts(), (Texts{"Please Wait...", "Please Wait...", "Please Wait...", "Please Wait...",
                                         "Device is avaiable.", ""}));
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(UnitTest, IsDeviceAvaiableGivesUpAfterAHundredReads)
{
    unit.AddFault({sim::Fault::Silence, 1, sim::kForever});
    IsDeviceAvaiableCommand command;
    Run(command);

    EXPECT_EQ(ReadsOf(500), 100);
    EXPECT_EQ(unit.RequestCount(), 100);
    EXPECT_EQ(clock.sleeps, std::vector<int>(100, 1000));
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].text, "Wait Device Avaiable Timeout, please check device.");
    EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Information);
    EXPECT_EQ(prompter.prompts[0].buttons, static_cast<unsigned>(platform::mbOK));
    EXPECT_EQ(owner.panel, "");
}

TEST_F(UnitTest, DirectControlConfirmWaitsForTheUnitToSayTrue)
{
    struct Case {
        std::vector<QByteArray> reads;   // what the unit answers, read by read
        std::vector<int> failures;       // engine results before those reads (0: let through)
        int reads333;
        std::vector<int> sleeps;
        Texts panel;
        bool timeout;
    };
    const Texts wait1{"Please Wait..."};
    const Case cases[] = {
        {{"True"}, {}, 1, {}, {"Control Confirmed.", ""}, false},
        {{"False", "True"}, {}, 2, {300}, {"Please Wait...", "Control Confirmed.", ""}, false},
        {{"False", "False", "False", "True"}, {}, 3, {300, 300, 300},
         {"Please Wait...", "Please Wait...", "Please Wait...", ""}, true},
        // Failed reads count as tries too.
        {{"True"}, {4, 4}, 1, {300, 300}, {"Please Wait...", "Please Wait...", "Control Confirmed.", ""}, false},
        {{"True"}, {4, 4, 4}, 0, {300, 300, 300}, {"Please Wait...", "Please Wait...", "Please Wait...", ""}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reads.size() * 10 + c.failures.size());
        unit.ClearLog();
        owner.calls.clear();
        prompter.prompts.clear();
        clock.sleeps.clear();
        unit.SetValueText(sim::DbId{333}, "False");
        unit.QueueReadValues(sim::DbId{333}, c.reads);
        engine.failNext = std::deque<int>(c.failures.begin(), c.failures.end());

        DirectControlConfirmCommand command;
        Run(command);

        EXPECT_EQ(ReadsOf(333), c.reads333);
        EXPECT_EQ(clock.sleeps, c.sleeps);
        EXPECT_EQ(owner.PanelTexts(), c.panel);
        if (c.timeout) {
            ASSERT_EQ(prompter.prompts.size(), 1u);
            EXPECT_EQ(prompter.prompts[0].text, "Direct Control Confirm Timeout, please check device.");
            EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Information);
        } else {
            EXPECT_TRUE(prompter.prompts.empty());
        }
    }
}

TEST_F(UnitTest, AUserCancelEndsEitherWaitAtOnceWithoutAMessage)
{
    struct Case {
        std::function<std::unique_ptr<Command>()> make;
        std::vector<int> sleeps;
    };
    const Case cases[] = {
        {[] { return std::make_unique<IsDeviceAvaiableCommand>(); }, {1000, 1000}},
        {[] { return std::make_unique<DirectControlConfirmCommand>(); }, {300, 300}},
    };
    for (const Case& c : cases) {
        owner.calls.clear();
        clock.sleeps.clear();
        engine.failNext = {4, 4, 6};
        auto command = c.make();
        Run(*command);

        EXPECT_TRUE(engine.failNext.empty());
        EXPECT_EQ(clock.sleeps, c.sleeps);
        EXPECT_EQ(owner.PanelTexts(), (Texts{"Please Wait...", "Please Wait..."}));
        EXPECT_TRUE(prompter.prompts.empty());
    }
    // The cancel flag itself, set while the unit does not answer, ends the wait just as well.
    unit.ClearLog();
    unit.AddFault({sim::Fault::Silence, 1, sim::kForever});
    auto canceller = std::make_unique<cmdtest::SpyHandler>(unit, [this](const QByteArray&) {
        if (unit.RequestCount() == 2) engine.userCancel = true;
    });
    engine.SetHandler(canceller.get());
    IsDeviceAvaiableCommand command;
    Run(command);
    EXPECT_EQ(unit.RequestCount(), 3);
    EXPECT_TRUE(prompter.prompts.empty());
}

}  // namespace
