// The simulated analyzer's answers: every message type, block-read packing, writes read back.
#include "tests/sim/core/analyzer_core.h"
#include "tests/sim/tests/message_bytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace simtest;
using sim::AnalyzerCore;
using sim::Copy;
using sim::DbId;
using sim::Row;

namespace {

constexpr uint32_t kVersion = 17041417;
constexpr int kUnitIdDbId = 0;        // text, writable
constexpr int kStreamsDbId = 20;      // u8, row 64
constexpr int kPurgeTimeDbId = 10;    // u16
constexpr int kBypassDbId = 284;      // float
constexpr int kBacklightDbId = 67;    // boolean
constexpr int kBaudDbId = 306;        // baud rate: holds one byte, packs as none
constexpr int kTriggersDbId = 1435;   // 32-bit bit set

QByteArray Pattern(int size, int seed)
{
    QByteArray out;
    for (int i = 0; i < size; ++i) out.append(char((i * 7 + seed) & 0xFF));
    return out;
}

ModbusHeader SampleHeader()
{
    return ModbusHeader{1, {{0, 2}, {2, 3}, {5, 0}, {5, 1}}};
}

LogConfigRecord SampleLog()
{
    return LogConfigRecord{2, 1, 60, 7, 3, {388, 20, 10, 0, 0, 0, 0, 0}};
}

template <typename T>
QByteArray BytesOf(const T& record)
{
    return QByteArray(reinterpret_cast<const char*>(&record), int(sizeof(T)));
}

// A unit holding something recognisable in every store the messages reach.
void Preset(AnalyzerCore& core)
{
    core.SetText(DbId{kUnitIdDbId}, "AB");
    core.SetModbusMapHeader(SampleHeader());
    core.SetModbusMapEntry(ModbusEntry{3, 0, 8, 1, 20});
    core.SetLogConfig(2, SampleLog());
    core.SetArchiveMemory(Pattern(300, 1));
    core.SetEventMemory(Pattern(50, 2));
    core.SetImageMemory(Pattern(10, 3));
    core.SetSequencerBlock(Pattern(kSequencerBlockSize, 4));
    core.SetTimerBlock(Pattern(kTimerBlockSize, 5));
}

struct MessageCase {
    const char* name;
    QByteArray request;
    QByteArray reply;
};

}  // namespace

TEST(AnalyzerMessages, EveryTypeAnswersWithItsReply)
{
    const int text = RowOf(kUnitIdDbId);
    const int baud = RowOf(kBaudDbId);
    const std::vector<MessageCase> cases = {
        {"read u32", Msg(1, U16(0)), Msg(2, U16(0) + U32(kVersion))},
        {"read u8", Msg(1, U16(64)), Msg(2, U16(64) + Bytes({0}))},
        {"read baud byte", Msg(1, U16(baud)), Msg(2, U16(baud) + Bytes({0}))},
        {"read text", Msg(1, U16(text)), Msg(2, U16(text) + Bytes({2}) + "AB")},
        {"write point", Msg(4, U16(64) + Bytes({2, 9, 9, 9})), Msg(5, U16(64))},
        {"write text", Msg(6, U16(text) + Bytes({2}) + "XY"), Msg(7, U16(text))},
        {"store config", Msg(8), Msg(9)},
        {"store busy", Msg(10), Msg(11, Bytes({0}))},
        {"factory default", Msg(12), Msg(13)},
        {"reboot", Msg(14), Msg(15)},
        {"Modbus header", Msg(18), Msg(19, BytesOf(SampleHeader()))},
        {"Modbus entry", Msg(20, U16(3)), Msg(21, U16(3) + Bytes({0, 8, 1}) + U16(20))},
        {"write Modbus header", Msg(22, BytesOf(SampleHeader())), Msg(23)},
        {"write Modbus entry", Msg(24, U16(7) + Bytes({1, 0, 1}) + U16(284)), Msg(25, U16(7))},
        {"log config", Msg(36, Bytes({2})), Msg(37, BytesOf(SampleLog()))},
        {"write log config", Msg(38, BytesOf(SampleLog())), Msg(39)},
        {"archive block", MemoryRead(40, 200, 100), Msg(41, MemoryBlockBytes(200, 100, Pattern(300, 1).mid(200)))},
        {"log status", Msg(42), Msg(43, U32(0) + U32(300) + U32(50))},
        {"event block", MemoryRead(44, 0, 200), Msg(45, MemoryBlockBytes(0, 50, Pattern(50, 2)))},
        {"write image block", Msg(46, MemoryBlockBytes(0, 3, "abc")), Msg(47, U32(0) + Bytes({3}))},
        {"image busy", Msg(48), Msg(49, Bytes({0}))},
        {"block read", BlockRead({0, 64}), BlockReply(Bytes({2}) + U32(kVersion) + Bytes({0}))},
        {"wipe event log", Msg(52), Msg(53)},
        {"wipe archive", Msg(54), Msg(55)},
        {"image block", MemoryRead(58, 4, 200), Msg(59, MemoryBlockBytes(4, 6, Pattern(10, 3).mid(4)))},
        {"sequencer", Msg(60), Msg(61, Pattern(kSequencerBlockSize, 4))},
        {"write sequencer", Msg(62, QByteArray(kSequencerBlockSize, '\1')), Msg(63)},
        {"timers", Msg(64), Msg(65, Pattern(kTimerBlockSize, 5))},
        {"write timers", Msg(66, QByteArray(kTimerBlockSize, '\1')), Msg(67)},
    };
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.name);
        AnalyzerCore core;
        Preset(core);
        const auto reply = core.Handle(c.request);
        ASSERT_TRUE(reply.has_value());
        EXPECT_EQ(reply->toHex(' '), c.reply.toHex(' '));
        EXPECT_EQ(uint8_t(reply->at(1)), uint8_t(c.request[1]) + 1);
        EXPECT_EQ(uint8_t(reply->at(0)), reply->size());
        EXPECT_EQ(core.LastOutcome(), sim::Outcome::Reply);
    }
}

TEST(AnalyzerMessages, BlockReadPacksValuesByCatalogueWidthInRequestOrder)
{
    AnalyzerCore core;
    core.SetValue(DbId{kPurgeTimeDbId}, 0x1234);
    core.SetValue(DbId{kStreamsDbId}, 3);
    core.SetValue(DbId{kBypassDbId}, 2.5);
    core.SetText(DbId{kUnitIdDbId}, "ignored");
    core.SetValue(DbId{kBaudDbId}, 7);
    core.SetValue(DbId{kBacklightDbId}, 1);
    core.SetValue(DbId{kTriggersDbId}, 0x80000001u);

    // u16, u8, float, text (none), baud (none), boolean, u32 — and a repeated row.
    const QByteArray request = BlockRead({RowOf(kPurgeTimeDbId), 64, RowOf(kBypassDbId), RowOf(kUnitIdDbId),
                                          RowOf(kBaudDbId), RowOf(kBacklightDbId), RowOf(kTriggersDbId), 64});
    const QByteArray values = U16(0x1234) + Bytes({3}) + F32(2.5f) + Bytes({1}) + U32(0x80000001u) + Bytes({3});
    EXPECT_EQ(core.Handle(request)->toHex(' '), BlockReply(Bytes({8}) + values).toHex(' '));
    // An empty request is answered with a count of 0.
    EXPECT_EQ(*core.Handle(BlockRead({})), BlockReply(Bytes({0})));

    // Packed replies end after the last value.
    core.SetPackedBlockReplies(true);
    EXPECT_EQ(core.Handle(request)->toHex(' '), Msg(51, Bytes({8}) + values).toHex(' '));
    EXPECT_EQ(*core.Handle(BlockRead({})), Msg(51, Bytes({0})));
    core.SetPackedBlockReplies(false);
    EXPECT_EQ(core.Handle(request)->size(), 83);

    // Twenty four-byte values fill the 81-byte reply exactly.
    std::initializer_list<int> twenty = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const auto full = core.Handle(BlockRead(twenty));
    ASSERT_EQ(full->size(), 2 + 81);
    EXPECT_EQ(full->mid(2 + 1 + 19 * 4), U32(kVersion));
}

TEST(AnalyzerMessages, WrittenValuesAreStoredInTheirOwnWidthAndReadBack)
{
    struct Case {
        const char* name;
        int dbId;
        QByteArray field;    // the 4-byte value field of the write
        QByteArray stored;   // what the unit keeps
        int packed;          // bytes of it in a block-read reply
    };
    const std::vector<Case> cases = {
        // The bytes after a narrow value are what the previous request left: never stored.
        {"u8", kStreamsDbId, Bytes({3, 0xAA, 0xBB, 0xCC}), Bytes({3}), 1},
        {"u16", kPurgeTimeDbId, Bytes({0x34, 0x12, 0xAA, 0xBB}), Bytes({0x34, 0x12}), 2},
        {"float", kBypassDbId, F32(12.5f), F32(12.5f), 4},
        {"boolean", kBacklightDbId, Bytes({1, 0xAA, 0xBB, 0xCC}), Bytes({1}), 1},
        {"baud", kBaudDbId, Bytes({5, 0xAA, 0xBB, 0xCC}), Bytes({5}), 0},
        {"bits32", kTriggersDbId, U32(0xFFFFFFFEu), U32(0xFFFFFFFEu), 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AnalyzerCore core;
        const int row = RowOf(c.dbId);
        ASSERT_EQ(*core.Handle(Msg(4, U16(row) + c.field)), Msg(5, U16(row)));
        EXPECT_EQ(core.Raw(Row{row}), c.stored);
        EXPECT_EQ(core.Raw(Row{row}, Copy::Flash), QByteArray(c.stored.size(), '\0')) << "flash untouched";
        EXPECT_EQ(*core.Handle(Msg(1, U16(row))), Msg(2, U16(row) + c.stored));
        EXPECT_EQ(*core.Handle(BlockRead({row})), BlockReply(Bytes({1}) + c.stored.left(c.packed)));
    }
}

TEST(AnalyzerMessages, TextWritesAreReadBackWithTheirLength)
{
    AnalyzerCore core;
    const int row = RowOf(kUnitIdDbId);
    for (const QByteArray& text : {QByteArray("Hello"), QByteArray(), QByteArray(20, 'z'), QByteArray("a")}) {
        SCOPED_TRACE(text.toStdString());
        ASSERT_EQ(*core.Handle(Msg(6, U16(row) + Bytes({int(text.size())}) + text)), Msg(7, U16(row)));
        EXPECT_EQ(core.Text(DbId{kUnitIdDbId}), text);
        EXPECT_EQ(*core.Handle(Msg(1, U16(row))), Msg(2, U16(row) + Bytes({int(text.size())}) + text));
    }
    // Text rows take no room in a block read.
    EXPECT_EQ(*core.Handle(BlockRead({row, 0})), BlockReply(Bytes({2}) + U32(kVersion)));
}

TEST(AnalyzerMessages, WritesReachTheBlocksMapAndLogConfigurations)
{
    AnalyzerCore core;
    const QByteArray sequencer = Pattern(kSequencerBlockSize, 9);
    const QByteArray timers = Pattern(kTimerBlockSize, 8);
    core.Handle(Msg(62, sequencer));
    core.Handle(Msg(66, timers));
    core.Handle(Msg(22, BytesOf(SampleHeader())));
    core.Handle(Msg(24, U16(99) + Bytes({1, 0, 1}) + U16(284)));
    core.Handle(Msg(38, BytesOf(SampleLog())));

    EXPECT_EQ(core.SequencerBlock(), sequencer);
    EXPECT_EQ(core.TimerBlock(), timers);
    EXPECT_EQ(*core.Handle(Msg(60)), Msg(61, sequencer));
    EXPECT_EQ(*core.Handle(Msg(64)), Msg(65, timers));
    EXPECT_EQ(BytesOf(core.ModbusMapHeader()), BytesOf(SampleHeader()));
    EXPECT_EQ(uint16_t{core.ModbusMapEntry(99).UNIQUEID}, 284);
    EXPECT_EQ(*core.Handle(Msg(20, U16(99))), Msg(21, U16(99) + Bytes({1, 0, 1}) + U16(284)));
    EXPECT_EQ(BytesOf(core.LogConfig(2)), BytesOf(SampleLog()));
    EXPECT_EQ(core.LogConfig(1).LOG_NUMBER, 1) << "other slots untouched";
}

TEST(AnalyzerMessages, WritingTheStreamCountChangesIt)
{
    AnalyzerCore core;
    EXPECT_EQ(core.Value(DbId{kStreamsDbId}), 0);
    core.Handle(Msg(4, U16(RowOf(kStreamsDbId)) + U32(2)));
    EXPECT_EQ(core.Value(DbId{kStreamsDbId}), 2);
    EXPECT_EQ(core.Value(Row{64}), 2);
}
