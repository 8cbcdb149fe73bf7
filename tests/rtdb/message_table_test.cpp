// The simulated analyzer and the message layer held to the analyzer's message table, row by
// row: the length byte of every request the message layer builds, and the type and the payload
// length of the reply the simulated analyzer gives to it. The numbers below are the table's,
// typed in as it gives them, never taken from our own constants, so that neither side can drift
// from the table unseen.
#include "tests/engine/sim_engine.h"
#include "tests/sim/core/analyzer_core.h"
#include "tevrin/rtdb/comm_db_point_facade.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

using rtdbtest::SimEngine;

namespace {

// Passes every request to the simulated analyzer and keeps the last request and reply.
class Recorder : public sim::MessageHandler {
public:
    explicit Recorder(sim::AnalyzerCore& unit) : unit_(unit) {}
    std::optional<QByteArray> Handle(const QByteArray& request) override
    {
        lastRequest = request;
        lastReply = unit_.Handle(request);
        return lastReply;
    }
    QByteArray lastRequest;
    std::optional<QByteArray> lastReply;

private:
    sim::AnalyzerCore& unit_;
};

constexpr int kNoPayloadNamed = -1;   // the table names no reply payload for the type

struct TableRow {
    const char* operation;
    int type;
    int len;            // LEN: the request's length byte
    int replyPayload;   // bytes from reply offset 2, as the table gives them
    std::function<void(CommDBPointFacade&)> run;
};

// Rows of the catalogue the cases address, by their value widths.
constexpr uint16_t kU8Row = 64;      // stream count, 1 byte
constexpr uint16_t kFloatRow = 66;   // 4 bytes
constexpr uint16_t kU16Row = 10;     // 2 bytes
constexpr uint16_t kTextRow = 2;     // text

MemoryBlock ImageBlock()
{
    MemoryBlock b{};
    b.address = 0x100;
    b.count = 200;
    return b;
}

BlockReadRequest Rows(std::initializer_list<uint16_t> rows)
{
    BlockReadRequest r{};
    for (uint16_t row : rows) r.rows[r.count++] = row;
    return r;
}

std::vector<TableRow> Table()
{
    static uint8_t sequencer[228] = {};
    static uint8_t timers[144] = {};
    const LogConfigRecord log = {2, 1, 60, 7, 1, {20, 0, 0, 0, 0, 0, 0, 0}};
    const ModbusEntry entry = {5, 1, 2, 3, 20};
    const ModbusHeader header{};
    // Type 1 replies carry the value (or the text length and characters) from offset 4, after
    // the two bytes at offset 2.
    return {
        {"ReadPointRaw, 1-byte point", 1, 4, 2 + 1, [](CommDBPointFacade& f) { f.ReadU8(kU8Row); }},
        {"ReadPointRaw, 2-byte point", 1, 4, 2 + 2, [](CommDBPointFacade& f) { f.ReadU16(kU16Row); }},
        {"ReadPointRaw, 4-byte point", 1, 4, 2 + 4, [](CommDBPointFacade& f) { f.ReadFloat(kFloatRow); }},
        {"ReadTextRaw, three characters", 1, 4, 2 + 1 + 3,
         [](CommDBPointFacade& f) {
             std::string text;
             f.ReadString(kTextRow, text);
         }},
        {"WritePointRaw, 1-byte value", 4, 8, kNoPayloadNamed, [](CommDBPointFacade& f) { f.WriteU8(kU8Row, 2); }},
        {"WritePointRaw, 4-byte value", 4, 8, kNoPayloadNamed,
         [](CommDBPointFacade& f) { f.WriteFloat(kFloatRow, 2.5f); }},
        {"WriteText, two characters", 6, 2 + 5, kNoPayloadNamed,
         [](CommDBPointFacade& f) { f.WriteString(kTextRow, "AB"); }},
        {"WriteConfig", 8, 2, kNoPayloadNamed, [](CommDBPointFacade& f) { f.WriteConfig(); }},
        {"IsWriteConfigBusy", 10, 2, 1, [](CommDBPointFacade& f) { f.IsWriteConfigBusy(); }},
        {"SetDefaultConfig", 12, 2, kNoPayloadNamed, [](CommDBPointFacade& f) { f.SetDefaultConfig(); }},
        {"Reboot", 14, 2, kNoPayloadNamed, [](CommDBPointFacade& f) { f.Reboot(); }},
        {"ReadModbusHeader", 18, 2, 17, [](CommDBPointFacade& f) { f.ReadModbusHeader(); }},
        {"ReadModbusEntry", 20, 4, 7, [](CommDBPointFacade& f) { f.ReadModbusEntry(5); }},
        {"WriteModbusHeader", 22, 19, kNoPayloadNamed, [header](CommDBPointFacade& f) { f.WriteModbusHeader(header); }},
        {"WriteModbusEntry", 24, 9, 2, [entry](CommDBPointFacade& f) { f.WriteModbusEntry(entry); }},
        {"ReadLogConfig", 36, 3, 22, [](CommDBPointFacade& f) { f.ReadLogConfig(2); }},
        {"WriteLogConfig", 38, 24, kNoPayloadNamed, [log](CommDBPointFacade& f) { f.WriteLogConfig(log); }},
        {"ReadArchiveBlock", 40, 7, 205, [](CommDBPointFacade& f) { f.ReadArchiveBlock(0, 200); }},
        {"ReadLogStatus", 42, 2, 12, [](CommDBPointFacade& f) { f.ReadLogStatus(); }},
        {"ReadEventBlock", 44, 7, 205, [](CommDBPointFacade& f) { f.ReadEventBlock(0, 200); }},
        {"WriteImageBlock", 46, 207, 5, [](CommDBPointFacade& f) { f.WriteImageBlock(ImageBlock()); }},
        {"IsImageWriteBusy", 48, 2, 1, [](CommDBPointFacade& f) { f.IsImageWriteBusy(); }},
        {"ReadBlock, one row", 50, 43, 81, [](CommDBPointFacade& f) { f.ReadBlock(Rows({kU8Row})); }},
        {"ReadBlock, rows of every width and a text", 50, 43, 81,
         [](CommDBPointFacade& f) { f.ReadBlock(Rows({kU8Row, kFloatRow, kTextRow, kU16Row})); }},
        {"ReadBlock, twenty 4-byte rows", 50, 43, 81,
         [](CommDBPointFacade& f) {
             BlockReadRequest r{};
             for (int k = 0; k < 20; ++k) r.rows[r.count++] = kFloatRow;
             f.ReadBlock(r);
         }},
        {"ReadBlock, no rows", 50, 43, 81, [](CommDBPointFacade& f) { f.ReadBlock(Rows({})); }},
        {"WipeEventLog", 52, 2, kNoPayloadNamed, [](CommDBPointFacade& f) { f.WipeEventLog(); }},
        {"WipeArchive", 54, 2, kNoPayloadNamed, [](CommDBPointFacade& f) { f.WipeArchive(); }},
        {"ReadImageBlock", 58, 7, 205, [](CommDBPointFacade& f) { f.ReadImageBlock(0, 200); }},
        {"ReadSequencer", 60, 2, 228, [](CommDBPointFacade& f) { f.ReadSequencer(sequencer); }},
        {"WriteSequencer", 62, 230, kNoPayloadNamed, [](CommDBPointFacade& f) { f.WriteSequencer(sequencer); }},
        {"ReadTimers", 64, 2, 144, [](CommDBPointFacade& f) { f.ReadTimers(timers); }},
        {"WriteTimers", 66, 146, kNoPayloadNamed, [](CommDBPointFacade& f) { f.WriteTimers(timers); }},
    };
}

TEST(MessageTable, EveryRequestAndReplyHasTheTablesTypeAndLength)
{
    sim::AnalyzerCore unit;
    unit.SetText(sim::Row{kTextRow}, "XYZ");
    Recorder recorder(unit);
    SimEngine engine(&recorder);
    CommDBPointFacade& facade = *CommDBPointFacade::Instance();

    std::vector<int> typesSeen;
    for (const TableRow& row : Table()) {
        SCOPED_TRACE(row.operation);
        recorder.lastRequest.clear();
        recorder.lastReply.reset();
        try {
            row.run(facade);
        } catch (int code) {
            ADD_FAILURE() << "the exchange failed with " << code;
            continue;
        }
        const QByteArray& request = recorder.lastRequest;
        ASSERT_GE(request.size(), 2);
        EXPECT_EQ(static_cast<uint8_t>(request[1]), row.type);
        EXPECT_EQ(static_cast<uint8_t>(request[0]), row.len) << "the request's length byte";
        EXPECT_EQ(request.size(), row.len) << "the bytes handed to the engine";

        ASSERT_TRUE(recorder.lastReply.has_value());
        const QByteArray& reply = *recorder.lastReply;
        ASSERT_GE(reply.size(), 2);
        EXPECT_EQ(static_cast<uint8_t>(reply[1]), row.type + 1) << "the reply's type";
        EXPECT_EQ(static_cast<uint8_t>(reply[0]), reply.size()) << "the reply's length byte";
        if (row.replyPayload != kNoPayloadNamed) {
            EXPECT_EQ(reply.size() - 2, row.replyPayload) << "the reply's length from offset 2";
        }
        typesSeen.push_back(row.type);
    }

    // Every type of the table has a row above.
    const int tableTypes[] = {1,  4,  6,  8,  10, 12, 14, 18, 20, 22, 24, 36, 38, 40,
                              42, 44, 46, 48, 50, 52, 54, 58, 60, 62, 64, 66};
    for (int type : tableTypes)
        EXPECT_NE(std::find(typesSeen.begin(), typesSeen.end(), type), typesSeen.end()) << "type " << type;
}

// The packed form, on request, ends the block reply after its values; every other reply is the
// same in both forms.
TEST(MessageTable, APackedBlockReplyHoldsTheCountAndTheValuesOnly)
{
    sim::AnalyzerCore unit;
    unit.SetPackedBlockReplies(true);
    Recorder recorder(unit);
    SimEngine engine(&recorder);
    CommDBPointFacade& facade = *CommDBPointFacade::Instance();

    const struct {
        const char* name;
        BlockReadRequest request;
        int values;
    } cases[] = {
        {"1 + 4 + 0 + 2 bytes", Rows({kU8Row, kFloatRow, kTextRow, kU16Row}), 7},
        {"no rows", Rows({}), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        facade.ReadBlock(c.request);
        ASSERT_TRUE(recorder.lastReply.has_value());
        EXPECT_EQ(recorder.lastReply->size() - 2, 1 + c.values);
        EXPECT_EQ(facade.LastReplyLength(), 2 + 1 + c.values);
    }
    facade.ReadModbusHeader();
    EXPECT_EQ(recorder.lastReply->size() - 2, 17);
}

}  // namespace
