#include "tevrin/shell/commands/cmd_modbus.h"

#include "tests/shell/cmd_fixture.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/rtdb/modbus_list.h"
#include "tevrin/rtdb/modmap_adapter.h"
#include "tevrin/shell/commands/command_line.h"
#include "tevrin/shell/commands/command_registry.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

using cmdtest::CommandTest;

namespace {

// Points the map can carry: two coils, a short, a float.
constexpr uint16_t kCoilW = 329, kCoilR = 346, kShortW = 460, kFloatW = 21;

using Texts = std::vector<std::string>;

class ModbusCommandTest : public CommandTest {
protected:
    void Run(Command& command)
    {
        command.SetOwner(&owner);
        command.LoadParameters(command.SaveParameters());
        command.Execute();
    }

    ModbusList& List() { return *db->AsModbusList(); }

    std::vector<int> Ids(int kind)
    {
        std::vector<int> out;
        if (MBGroup* g = List().Groups().FindByKind(kind))
            for (int i = 0; i < g->Count(); ++i) out.push_back(g->RegisterAt(i).point->GetDbId());
        return out;
    }

    void SetUnitMap(uint8_t mode, std::initializer_list<ModbusRun> runs, const std::vector<ModbusEntry>& entries)
    {
        ModbusHeader h{};
        h.mode = mode;
        int i = 0;
        for (const ModbusRun& r : runs) h.runs[i++] = r;
        unit.SetModbusMapHeader(h);
        for (const ModbusEntry& e : entries) unit.SetModbusMapEntry(e);
    }

    // A map in the model: ENRON with two coils and a float.
    void FillModel()
    {
        ASSERT_TRUE(List().SetMode(kModbusEnron));
        ASSERT_GE(List().AddPoint(db->PointByDbId(kCoilW), 0), 0);
        ASSERT_GE(List().AddPoint(db->PointByDbId(kCoilR), 0), 0);
        ASSERT_GE(List().AddPoint(db->PointByDbId(kFloatW), 3), 0);
        ASSERT_EQ(List().EntryCount(), 3);
    }
};

ModbusEntry Entry(int index, uint8_t format, uint8_t access, uint16_t id)
{
    return {static_cast<uint16_t>(index), 0, format, access, id};
}

}  // namespace

TEST_F(ModbusCommandTest, NewListEmptiesTheMapInTheChosenLayoutWithoutTheAnalyzer)
{
    // Not logged on: the command needs no connection, sends nothing and says nothing.
    for (uint8_t mode : {kModbusModicon16, kModbusEnron, kModbusModicon32}) {
        SCOPED_TRACE(static_cast<int>(mode));
        FillModel();
        owner.calls.clear();
        unit.ClearLog();

        NewModbusListCommand command;
        command.SetMode(mode);
        Run(command);

        EXPECT_EQ(List().Mode(), mode);
        EXPECT_EQ(List().EntryCount(), 0);
        EXPECT_EQ(List().Adapter().Count(), 0);
        EXPECT_EQ(unit.RequestCount(), 0);
        EXPECT_TRUE(owner.PanelTexts().empty());
    }
}

TEST_F(ModbusCommandTest, NewListWithAnUnknownLayoutKeepsTheMapInHand)
{
    FillModel();
    NewModbusListCommand command;
    command.SetMode(3);
    Run(command);
    EXPECT_EQ(List().Mode(), kModbusEnron);
    EXPECT_EQ(Ids(0), (std::vector<int>{kCoilW, kCoilR}));
    EXPECT_EQ(List().EntryCount(), 3);
}

TEST_F(ModbusCommandTest, NewListTakesTheLayoutOfItsOwnPostThroughTheQueue)
{
    FillModel();
    CommandLine::Shutdown();
    CommandLine& line = CommandLine::Instance();
    line.Register("NewModbusList", MakeCommand("NewModbusList", line));
    line.SetOwner(&owner);
    auto* command = line.FindAs<NewModbusListCommand>("NewModbusList");
    ASSERT_NE(command, nullptr);
    command->SetMode(kModbusModicon32);
    line.Post("NewModbusList");
    EXPECT_EQ(List().Mode(), kModbusModicon32);
    EXPECT_EQ(List().EntryCount(), 0);
    CommandLine::Shutdown();
}

TEST_F(ModbusCommandTest, LoadReadsTheAnalyzersMapIntoTheModel)
{
    LogOn();
    SetUnitMap(kModbusModicon16, {{0, 2}, {2, 1}, {3, 0}, {3, 1}},
               {Entry(0, 8, 0, kCoilR), Entry(1, 8, 0, kCoilW), Entry(2, 8, 1, kCoilW), Entry(3, 5, 1, kShortW)});

    ReadModbusList command;
    Run(command);

    EXPECT_EQ(owner.PanelTexts(), (Texts{"Reading Modbus List.", "Load Modbus Successful", ""}));
    EXPECT_EQ(owner.progressMax, 1);
    EXPECT_EQ(RequestTypes(), (std::vector<int>{18, 20, 20, 20, 20}));
    EXPECT_EQ(List().Mode(), kModbusModicon16);
    EXPECT_EQ(Ids(6), (std::vector<int>{kCoilR, kCoilW}));   // input status: the first run
    EXPECT_EQ(Ids(5), (std::vector<int>{kCoilW}));
    EXPECT_EQ(Ids(8), (std::vector<int>{kShortW}));
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(ModbusCommandTest, FailedLoadSaysSoAndLeavesTheMapAsItWas)
{
    const struct {
        const char* what;
        sim::FaultRule rule;
    } kCases[] = {
        {"header times out", {sim::Fault::Silence, 18, sim::kForever}},
        {"third entry times out", {sim::Fault::Silence, 20, sim::kForever, 2}},
        {"entry rejected", {sim::Fault::Reject, 20, 1}},
    };
    LogOn();
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        FillModel();
        SetUnitMap(kModbusModicon32, {{0, 1}, {1, 1}, {2, 1}, {3, 0}},
                   {Entry(0, 8, 0, kCoilR), Entry(1, 8, 1, kCoilW), Entry(2, 5, 0, kShortW)});
        unit.ClearFaults();
        unit.AddFault(c.rule);
        owner.calls.clear();

        ReadModbusList command;
        Run(command);

        const Texts texts = owner.PanelTexts();
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts.back(), "Load Modbus fail.");   // stays in the status line
        EXPECT_EQ(texts.front(), "Reading Modbus List.");
        EXPECT_EQ(List().Mode(), kModbusEnron);
        EXPECT_EQ(Ids(0), (std::vector<int>{kCoilW, kCoilR}));
        EXPECT_EQ(List().EntryCount(), 3);
    }
    unit.ClearFaults();
}

TEST_F(ModbusCommandTest, LoadWithoutAConnectionDoesNothing)
{
    FillModel();
    ReadModbusList command;
    Run(command);
    EXPECT_EQ(unit.RequestCount(), 0);
    EXPECT_TRUE(owner.PanelTexts().empty());
    EXPECT_EQ(owner.progressMax, -1);
    EXPECT_EQ(List().EntryCount(), 3);
}
