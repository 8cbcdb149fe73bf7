// The simulated analyzer's configuration store: working and flash copies, factory defaults,
// reboot, busy polls, and the accessors tests preset it with.
#include "tests/sim/core/analyzer_core.h"
#include "tests/sim/tests/message_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

using namespace simtest;
using sim::AnalyzerCore;
using sim::Copy;
using sim::DbId;
using sim::Row;

namespace {

constexpr int kStreamsDbId = 20;
constexpr int kUnitIdDbId = 0;
constexpr int kFirmwareDbId = 507;   // read-only

QByteArray WriteStreams(int value)
{
    return Msg(4, U16(RowOf(kStreamsDbId)) + U32(uint32_t(value)));
}

std::vector<int> BusyAnswers(AnalyzerCore& core, int pollType, int polls)
{
    std::vector<int> answers;
    for (int i = 0; i < polls; ++i) answers.push_back(uint8_t(core.Handle(Msg(pollType))->at(2)));
    return answers;
}

}  // namespace

TEST(AnalyzerStore, BlankUnitHoldsItsVersionAndOneStream)
{
    AnalyzerCore core(sim::Contents::Blank);
    EXPECT_EQ(core.Value(Row{0}), 17041417);
    EXPECT_EQ(core.ValueText(DbId{500}), "17041417");
    EXPECT_EQ(core.Value(DbId{kStreamsDbId}), 0);
    EXPECT_EQ(core.Text(DbId{kUnitIdDbId}), QByteArray());
    EXPECT_EQ(core.Value(Row{0}, Copy::Flash), 17041417);
}

TEST(AnalyzerStore, StoreCopiesWorkingToFlashAndPowerCycleReloadsIt)
{
    AnalyzerCore core;
    core.Handle(WriteStreams(1));
    core.Handle(Msg(62, QByteArray(kSequencerBlockSize, '\x05')));
    EXPECT_EQ(core.Value(DbId{kStreamsDbId}, Copy::Flash), 0);

    core.PowerCycle();   // not stored: lost
    EXPECT_EQ(core.Value(DbId{kStreamsDbId}), 0);
    EXPECT_EQ(core.SequencerBlock(), QByteArray(kSequencerBlockSize, '\0'));

    core.Handle(WriteStreams(3));
    core.Handle(Msg(6, U16(RowOf(kUnitIdDbId)) + Bytes({3}) + "K41"));
    core.Handle(Msg(38, QByteArray("\x04\x01", 2) + QByteArray(20, '\x02')));
    ASSERT_EQ(*core.Handle(Msg(8)), Msg(9));
    EXPECT_EQ(core.Value(DbId{kStreamsDbId}, Copy::Flash), 3);
    EXPECT_EQ(core.Text(DbId{kUnitIdDbId}, Copy::Flash), "K41");
    EXPECT_EQ(core.LogConfig(4, Copy::Flash).Enable, 1);

    core.Handle(WriteStreams(2));
    core.PowerCycle();
    EXPECT_EQ(core.Value(DbId{kStreamsDbId}), 3);
    EXPECT_EQ(core.Text(DbId{kUnitIdDbId}), "K41");
    EXPECT_EQ(core.RebootCount(), 0) << "a power cycle by the test is not a reboot request";
}

TEST(AnalyzerStore, RebootCountsAndDropsWhatWasNotStored)
{
    AnalyzerCore core;
    core.SetValue(DbId{kStreamsDbId}, 2);   // held as stored
    core.Handle(WriteStreams(1));
    ASSERT_EQ(*core.Handle(Msg(14)), Msg(15));
    EXPECT_EQ(core.RebootCount(), 1);
    EXPECT_EQ(core.Value(DbId{kStreamsDbId}), 2);
}

TEST(AnalyzerStore, FactoryDefaultResetsWritableConfigurationInWorkingCopyOnly)
{
    AnalyzerCore core;
    core.SetValue(DbId{kStreamsDbId}, 2);
    core.SetText(DbId{kUnitIdDbId}, "Plant 7");
    core.SetValue(DbId{kFirmwareDbId}, 1234);   // read-only: the unit's own
    core.SetValue(DbId{333}, 1);                 // direct control, not configuration
    core.SetTimerBlock(QByteArray(kTimerBlockSize, '\x01'));
    core.SetModbusMapHeader(ModbusHeader{2, {{0, 1}, {1, 0}, {1, 0}, {1, 0}}});

    ASSERT_EQ(*core.Handle(Msg(12)), Msg(13));
    EXPECT_EQ(core.Value(DbId{kStreamsDbId}), 0);
    EXPECT_EQ(core.Text(DbId{kUnitIdDbId}), "");
    EXPECT_EQ(core.TimerBlock(), QByteArray(kTimerBlockSize, '\0'));
    EXPECT_EQ(core.ModbusMapHeader().mode, 0);
    EXPECT_EQ(core.Value(DbId{kFirmwareDbId}), 1234);
    EXPECT_EQ(core.Value(DbId{333}), 1);
    EXPECT_EQ(core.Value(Row{0}), 17041417);
    EXPECT_EQ(core.Value(DbId{kStreamsDbId}, Copy::Flash), 2) << "stored only by the next store request";
}

TEST(AnalyzerStore, BusyPollsAnswerBusyForTheSetNumberOfPollsAfterEachRequest)
{
    AnalyzerCore core;
    EXPECT_EQ(BusyAnswers(core, 10, 2), (std::vector<int>{0, 0}));

    core.SetWriteConfigBusyPolls(2);
    core.Handle(Msg(8));
    EXPECT_EQ(BusyAnswers(core, 10, 4), (std::vector<int>{1, 1, 0, 0}));
    core.Handle(Msg(8));   // every store arms it again
    EXPECT_EQ(BusyAnswers(core, 10, 3), (std::vector<int>{1, 1, 0}));

    core.SetImageWriteBusyPolls(1);
    core.Handle(Msg(46, MemoryBlockBytes(0, 1, "x")));
    EXPECT_EQ(BusyAnswers(core, 48, 2), (std::vector<int>{1, 0}));
    EXPECT_EQ(BusyAnswers(core, 10, 1), (std::vector<int>{0})) << "the two counters are separate";

    core.SetWriteConfigBusyPolls(sim::kForever);
    core.Handle(Msg(8));
    const std::vector<int> answers = BusyAnswers(core, 10, 100);
    EXPECT_EQ(std::count(answers.begin(), answers.end(), 1), 100);
}

TEST(AnalyzerStore, ValuesAsTextByRowOrDbId)
{
    struct Case {
        int dbId;
        const char* in;
        const char* out;
    };
    const std::vector<Case> cases = {
        {284, "12.5", "12.5"},            // float
        {284, "0.1", "0.1"},
        {20, "3", "3"},                   // u8
        {20, "300", "44"},                // cut to the width
        {10, "-1", "65535"},              // u16
        {67, "True", "True"},             // boolean
        {67, "F", "False"},
        {1435, "4294967295", "4294967295"},
        {388, "123456", "123456"},        // timestamp token, 32 bits
        {306, "9", "9"},                  // baud rate byte
        {0, "Site A", "Site A"},          // text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        AnalyzerCore core;
        core.SetValueText(DbId{c.dbId}, c.in);
        EXPECT_EQ(core.ValueText(DbId{c.dbId}), c.out);
        EXPECT_EQ(core.ValueText(Row{RowOf(c.dbId)}, Copy::Flash), c.out);
    }

    AnalyzerCore core;
    core.SetValue(DbId{20}, 1, Copy::Working);
    EXPECT_EQ(core.Value(DbId{20}), 1);
    EXPECT_EQ(core.Value(DbId{20}, Copy::Flash), 0);
    core.SetText(DbId{0}, "twenty-one characters", Copy::Both);
    EXPECT_EQ(core.Text(DbId{0}).size(), 20);

    EXPECT_THROW(core.Value(DbId{9999}), std::out_of_range);
    EXPECT_THROW(core.Value(Row{1359}), std::out_of_range);
    EXPECT_THROW(core.SetValueText(DbId{20}, "many"), std::invalid_argument);
    EXPECT_EQ(AnalyzerCore::RowOfDbId(-1), 1358);
    EXPECT_EQ(AnalyzerCore::RowOfDbId(65535), 1358);
    EXPECT_EQ(AnalyzerCore::RowOfDbId(20), 64);
}

TEST(AnalyzerStore, QueuedValuesAreFoundBySuccessiveReads)
{
    AnalyzerCore core;
    const int confirm = RowOf(333);   // boolean the unit sets once a direct-control action is done
    core.QueueReadValues(DbId{333}, {"False", "True"});
    const QByteArray read = Msg(1, U16(confirm));
    EXPECT_EQ(*core.Handle(read), Msg(2, U16(confirm) + Bytes({0})));
    EXPECT_EQ(*core.Handle(BlockRead({confirm})), BlockReply(Bytes({1, 1})));
    EXPECT_EQ(*core.Handle(read), Msg(2, U16(confirm) + Bytes({1}))) << "the last value stays";
    EXPECT_EQ(core.Value(DbId{333}), 1);

    // A rejected block read takes nothing from the queue.
    core.QueueReadValues(DbId{20}, {"2"});
    EXPECT_EQ(*core.Handle(BlockRead({64, 1359})), kReject);
    EXPECT_EQ(core.Value(DbId{20}), 0);
    EXPECT_EQ(*core.Handle(BlockRead({64})), BlockReply(Bytes({1, 2})));
}
