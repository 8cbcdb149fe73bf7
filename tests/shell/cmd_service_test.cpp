#include "tevrin/shell/commands/cmd_service.h"

#include "platform/errors.h"
#include "tests/shell/cmd_fixture.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/shell/commands/cmd_common.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using cmdtest::CommandTest;

namespace {

using Texts = std::vector<std::string>;

class ServiceTest : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        LogOn();
    }

    void Run(Command& command, const std::string& argument = std::string())
    {
        command.SetOwner(&owner);
        command.SetArgument(argument);
        command.Execute();
    }

    // The point writes (type 4) the unit was sent, as DbIds.
    std::vector<int> WrittenPoints() const
    {
        std::vector<int> ids;
        for (const QByteArray& r : unit.RequestsOfType(4)) {
            const int row = cmdtest::RequestAddress(r);
            for (int id = 0; id < 2000; ++id)
                if (sim::AnalyzerCore::RowOfDbId(id) == row) ids.push_back(id);
        }
        return ids;
    }
};

using Make = std::function<std::unique_ptr<Command>()>;
template <class T>
Make MakeOf()
{
    return [] { return std::make_unique<T>(); };
}

TEST_F(ServiceTest, EachActionWritesItsRequestPointAndReportsIt)
{
    struct Case {
        Make make;
        std::string argument;
        bool bypassDown;
        int dbId;
        QByteArray before;   // the unit's value before the action
        QByteArray after;
        Texts panel;
    };
    const Case cases[] = {
        {MakeOf<TapeAdvanceCommand>(), "", false, 331, "False", "True", {"Tape Advance.", "Tape Advance Submitted", ""}},
        {MakeOf<ResetLatchesCommand>(), "", false, 329, "False", "True", {"Reset Latches.", "Reset Latche Submitted", ""}},
        {MakeOf<SetBypassCommand>(), "", true, 330, "False", "True", {"Set Bypass.", "Bypass Submitted", ""}},
        {MakeOf<SetBypassCommand>(), "", false, 330, "True", "False", {"Set Bypass.", "Bypass Submitted", ""}},
        {MakeOf<CalibrateCommand>(), "476", false, 476, "False", "True", {"Calibrate...", "Reference 1 Submitted", ""}},
        {MakeOf<CalibrateCommand>(), "474", false, 474, "False", "True", {"Calibrate...", "Normal 1 Submitted", ""}},
        {MakeOf<CalibrateCommand>(), "481", false, 481, "False", "True", {"Calibrate...", "Zero 2 Submitted", ""}},
        // Any other request point is sent without a success text.
        {MakeOf<CalibrateCommand>(), "1423", false, 1423, "False", "True", {"Calibrate...", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.panel.front() + " " + c.argument);
        unit.ClearLog();
        owner.calls.clear();
        owner.flags[CommandKeys::tbtnBypass] = c.bypassDown;
        unit.SetValueText(sim::DbId{c.dbId}, c.before);
        db->ReadPoint(static_cast<TDbId>(c.dbId));
        unit.ClearLog();

        auto command = c.make();
        Run(*command, c.argument);

        EXPECT_EQ(WrittenPoints(), std::vector<int>{c.dbId});
        EXPECT_EQ(unit.RequestCount(), 1);
        EXPECT_EQ(unit.ValueText(sim::DbId{c.dbId}), c.after);
        EXPECT_EQ(owner.PanelTexts(), c.panel);
        EXPECT_EQ(owner.progressMax, 1);
        EXPECT_TRUE(prompter.prompts.empty());
    }
}

TEST_F(ServiceTest, AnActionOnAPointNotYetReadStillSendsTheAction)
{
    // The request point was never read (or its value was forgotten): the write must carry
    // "True", not whatever the point held before.
    db->PointByDbId(331)->SetValid(0);
    unit.SetValueText(sim::DbId{331}, "False");
    TapeAdvanceCommand command;
    Run(command);

    EXPECT_EQ(unit.ValueText(sim::DbId{331}), "True");
    EXPECT_EQ(owner.PanelTexts(), (Texts{"Tape Advance.", "Tape Advance Submitted", ""}));
}

TEST_F(ServiceTest, AnActionThatSendsNothingIsReportedAsAnError)
{
    // The reference points are read-only and 1137 is in no configuration group: nothing can be
    // sent, so no success is claimed. An id no point has, or one beyond 16 bits, is refused
    // the same way before anything is touched.
    struct Case {
        Make make;
        std::string argument;
        std::string first;
    };
    const Case cases[] = {
        {MakeOf<ReferenceCommand>(), "", "Reference..."},
        {MakeOf<ZeroRefCommand>(), "", "Zero Reference."},
        {MakeOf<CalibrateCommand>(), "1137", "Calibrate..."},
        {MakeOf<CalibrateCommand>(), "9999", "Calibrate..."},
        {MakeOf<CalibrateCommand>(), "65867", "Calibrate..."},   // 65867 - 65536 = 331
        {MakeOf<CalibrateCommand>(), "-1", "Calibrate..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first + " " + c.argument);
        unit.ClearLog();
        owner.calls.clear();
        prompter.prompts.clear();
        auto command = c.make();
        Run(*command, c.argument);

        EXPECT_TRUE(unit.Requests().empty());
        EXPECT_EQ(prompter.Texts(), QStringList{"Error sending data to unit."});
        EXPECT_EQ(owner.PanelTexts(), (Texts{c.first, ""}));
    }
}

TEST_F(ServiceTest, ALinkFailureIsShownInTheEnginesWordsAndTheConnectionStays)
{
    const Make makes[] = {MakeOf<TapeAdvanceCommand>(), MakeOf<ResetLatchesCommand>(), MakeOf<SetBypassCommand>()};
    for (const Make& make : makes) {
        owner.calls.clear();
        prompter.prompts.clear();
        unit.FailNext(sim::Fault::Silence, 1, 4);
        auto command = make();
        Run(*command);

        EXPECT_EQ(prompter.Texts(), QStringList{QString::fromStdString(cmd::ErrorText(4))});
        EXPECT_EQ(owner.PanelTexts().size(), 2u);
        EXPECT_EQ(owner.panel, "");
        EXPECT_FALSE(owner.logonEnabled);
        EXPECT_TRUE(owner.CallsStarting("SetFlag").empty());
    }
    EXPECT_FALSE(cmd::ErrorText(4).empty());
}

TEST_F(ServiceTest, CalibrateWithAnArgumentThatIsNoNumberLeavesItToTheQueue)
{
    for (const std::string argument : {"", "abc", "47x", "4.5"}) {
        SCOPED_TRACE(argument);
        owner.calls.clear();
        CalibrateCommand command;
        EXPECT_THROW(Run(command, argument), EConvertError);
        EXPECT_TRUE(unit.Requests().empty());
        EXPECT_EQ(owner.panel, "Calibrate...");
        EXPECT_TRUE(prompter.prompts.empty());
    }
}

TEST_F(ServiceTest, LoggedOffNoActionTouchesAnything)
{
    owner.logonEnabled = true;
    const Make makes[] = {MakeOf<TapeAdvanceCommand>(), MakeOf<ResetLatchesCommand>(), MakeOf<SetBypassCommand>(),
                          MakeOf<ZeroRefCommand>(),     MakeOf<ReferenceCommand>(),    MakeOf<CalibrateCommand>()};
    for (const Make& make : makes) {
        auto command = make();
        Run(*command, "476");
    }
    EXPECT_TRUE(unit.Requests().empty());
    EXPECT_EQ(owner.calls, Texts(6, "GetFlag LoggingOn"));
    EXPECT_TRUE(prompter.prompts.empty());
}

}  // namespace
