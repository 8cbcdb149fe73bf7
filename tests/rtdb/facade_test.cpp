// The analyzer message layer: the bytes of every request, what each operation takes out of
// its reply, and what a wrong reply type or a failed exchange does.
#include "tests/engine/sim_engine.h"
#include "tests/sim/core/analyzer_core.h"
#include "tevrin/rtdb/comm_db_point_facade.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using rtdbtest::ReplyMessage;
using rtdbtest::ScriptedAnalyzer;
using rtdbtest::SimEngine;

namespace {

template <typename T>
QByteArray Bytes(const T& value)
{
    return QByteArray(reinterpret_cast<const char*>(&value), sizeof value);
}

QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }

// A pattern of n bytes that starts at `seed`, so that misplaced copies show.
QByteArray Pattern(int n, int seed)
{
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i) b[i] = static_cast<char>(seed + i * 7);
    return b;
}

template <typename T>
T FromBytes(const QByteArray& b)
{
    T v;
    std::memcpy(&v, b.constData(), sizeof v);
    return v;
}

enum class Check {
    Raises21,      // a wrong reply type throws 21
    AnswersFalse,  // a wrong reply type makes the operation answer false
    GivesZeros     // a wrong reply type gives a result of zeros, not an error
};

struct MessageCase {
    const char* name;
    // Runs the operation and gives its result as bytes (empty for none).
    std::function<QByteArray(CommDBPointFacade&)> run;
    QByteArray request;        // [len][type][payload] as the engine receives it
    QByteArray replyPayload;   // payload of the good reply, after [len][type]
    QByteArray result;         // the operation's result for the good reply
    Check check;
    bool notify = true;
};

const ModbusHeader kHeader = {2, {{1, 2}, {3, 4}, {0x0102, 0x0304}, {0xFFFF, 0}}};
const ModbusEntry kEntry = {0x0063, 1, 2, 3, 0x01F4};
const LogConfigRecord kLog = {3, 1, 0x0E10, 7, 2, {20, 284, 0, 0, 0, 0, 0, 0xFFFF}};

MemoryBlock ImageBlock()
{
    MemoryBlock b{};
    b.address = 0x00ABCDEF;
    b.count = 200;
    const QByteArray data = Pattern(200, 9);
    std::memcpy(b.data, data.constData(), 200);
    return b;
}

BlockReadRequest BlockRequest()
{
    BlockReadRequest r{};
    r.count = 3;
    r.rows[0] = 64;
    r.rows[1] = 66;
    r.rows[2] = 1358;
    return r;
}

std::vector<MessageCase> Cases()
{
    const QByteArray seq = Pattern(kSequencerBlockSize, 3);
    const QByteArray timers = Pattern(kTimerBlockSize, 5);
    const QByteArray memory = Pattern(sizeof(MemoryBlock), 11);
    const QByteArray status = Pattern(sizeof(LogStatus), 13);
    const QByteArray blockReply = Pattern(sizeof(BlockReadReply), 17);
    const QByteArray logReply = Pattern(sizeof(LogConfigRecord), 19);
    const QByteArray headerReply = Pattern(sizeof(ModbusHeader), 23);
    const QByteArray entryReply = Pattern(sizeof(ModbusEntry), 29);
    const MemoryBlock image = ImageBlock();
    const BlockReadRequest blockRequest = BlockRequest();

    return {
        // Single points: type 1 reads (value from reply offset 4), type 4 writes (LEN 8).
        {"ReadFloat", [](CommDBPointFacade& f) { return Bytes(f.ReadFloat(0x0102)); },
         Hex("04 01 0201"), Hex("0201 0000c03f"), Bytes(1.5f), Check::Raises21},
        {"ReadBool", [](CommDBPointFacade& f) { return Bytes(f.ReadBool(7)); },
         Hex("04 01 0700"), Hex("0700 02"), Bytes(true), Check::Raises21},
        {"ReadU8", [](CommDBPointFacade& f) { return Bytes(f.ReadU8(64)); },
         Hex("04 01 4000"), Hex("4000 fe"), Bytes(uint8_t{0xFE}), Check::Raises21},
        {"ReadU16", [](CommDBPointFacade& f) { return Bytes(f.ReadU16(8)); },
         Hex("04 01 0800"), Hex("0800 3412"), Bytes(uint16_t{0x1234}), Check::Raises21},
        {"ReadU32", [](CommDBPointFacade& f) { return Bytes(f.ReadU32(0)); },
         Hex("04 01 0000"), Hex("0000 09080401"), Bytes(uint32_t{17041417}), Check::Raises21},
        {"ReadS8", [](CommDBPointFacade& f) { return Bytes(f.ReadS8(1)); },
         Hex("04 01 0100"), Hex("0100 ff"), Bytes(int8_t{-1}), Check::Raises21},
        {"ReadS16", [](CommDBPointFacade& f) { return Bytes(f.ReadS16(1)); },
         Hex("04 01 0100"), Hex("0100 feff"), Bytes(int16_t{-2}), Check::Raises21},
        {"ReadS32", [](CommDBPointFacade& f) { return Bytes(f.ReadS32(1)); },
         Hex("04 01 0100"), Hex("0100 fdffffff"), Bytes(int32_t{-3}), Check::Raises21},
        {"ReadString", [](CommDBPointFacade& f) {
             std::string t = "old";
             const int n = f.ReadString(5, t);
             return QByteArray::number(n) + ":" + QByteArray::fromStdString(t);
         },
         Hex("04 01 0500"), Hex("0500 03 616263"), "3:abc", Check::Raises21},
        {"WriteFloat", [](CommDBPointFacade& f) { f.WriteFloat(3, 2.0f); return QByteArray(); },
         Hex("08 04 0300 00000040"), {}, {}, Check::Raises21},
        // The value field is cleared first: a narrow value carries no bytes of the previous
        // request (each case runs after a write of 0xFFFFFFFF).
        {"WriteBool", [](CommDBPointFacade& f) { f.WriteBool(3, true); return QByteArray(); },
         Hex("08 04 0300 01000000"), {}, {}, Check::Raises21},
        {"WriteU8", [](CommDBPointFacade& f) { f.WriteU8(0x0140, 0x2C); return QByteArray(); },
         Hex("08 04 4001 2c000000"), {}, {}, Check::Raises21},
        {"WriteU16", [](CommDBPointFacade& f) { f.WriteU16(9, 0xBEEF); return QByteArray(); },
         Hex("08 04 0900 efbe0000"), {}, {}, Check::Raises21},
        {"WriteU32", [](CommDBPointFacade& f) { f.WriteU32(9, 0x01020304); return QByteArray(); },
         Hex("08 04 0900 04030201"), {}, {}, Check::Raises21},
        {"WriteS8", [](CommDBPointFacade& f) { f.WriteS8(9, -2); return QByteArray(); },
         Hex("08 04 0900 fe000000"), {}, {}, Check::Raises21},
        {"WriteS16", [](CommDBPointFacade& f) { f.WriteS16(9, -2); return QByteArray(); },
         Hex("08 04 0900 feff0000"), {}, {}, Check::Raises21},
        {"WriteS32", [](CommDBPointFacade& f) { f.WriteS32(9, -2); return QByteArray(); },
         Hex("08 04 0900 feffffff"), {}, {}, Check::Raises21},
        {"WriteString", [](CommDBPointFacade& f) { f.WriteString(2, "hi"); return QByteArray(); },
         Hex("07 06 0200 02 6869"), {}, {}, Check::Raises21},
        // Unit operations.
        {"WriteConfig", [](CommDBPointFacade& f) { f.WriteConfig(); return QByteArray(); },
         Hex("02 08"), {}, {}, Check::Raises21},
        {"IsWriteConfigBusy", [](CommDBPointFacade& f) { return Bytes(f.IsWriteConfigBusy()); },
         Hex("02 0a"), Hex("05"), Bytes(true), Check::Raises21},
        {"SetDefaultConfig", [](CommDBPointFacade& f) { f.SetDefaultConfig(); return QByteArray(); },
         Hex("02 0c"), {}, {}, Check::Raises21},
        {"Reboot", [](CommDBPointFacade& f) { f.Reboot(); return QByteArray(); },
         Hex("02 0e"), {}, {}, Check::Raises21},
        {"WipeEventLog", [](CommDBPointFacade& f) { f.WipeEventLog(); return QByteArray(); },
         Hex("02 34"), {}, {}, Check::Raises21},
        {"WipeArchive", [](CommDBPointFacade& f) { f.WipeArchive(); return QByteArray(); },
         Hex("02 36"), {}, {}, Check::Raises21},
        {"IsImageWriteBusy", [](CommDBPointFacade& f) { return Bytes(f.IsImageWriteBusy()); },
         Hex("02 30"), Hex("00"), Bytes(false), Check::Raises21, /*notify=*/false},
        // Modbus map.
        {"ReadModbusHeader", [](CommDBPointFacade& f) { return Bytes(f.ReadModbusHeader()); },
         Hex("02 12"), headerReply, headerReply, Check::Raises21},
        {"ReadModbusEntry", [](CommDBPointFacade& f) { return Bytes(f.ReadModbusEntry(0x0063)); },
         Hex("04 14 6300"), entryReply, entryReply, Check::Raises21},
        {"WriteModbusHeader", [](CommDBPointFacade& f) { return Bytes(f.WriteModbusHeader(kHeader)); },
         Hex("13 16") + Bytes(kHeader), {}, Bytes(true), Check::Raises21},
        {"WriteModbusEntry", [](CommDBPointFacade& f) { return Bytes(f.WriteModbusEntry(kEntry)); },
         Hex("09 18") + Bytes(kEntry), Hex("6300"), Bytes(uint16_t{0x63}), Check::Raises21},
        // Log configuration and memories.
        {"ReadLogConfig", [](CommDBPointFacade& f) { return Bytes(f.ReadLogConfig(3)); },
         Hex("03 24 03"), logReply, logReply, Check::GivesZeros},
        {"WriteLogConfig", [](CommDBPointFacade& f) { return Bytes(f.WriteLogConfig(kLog)); },
         Hex("18 26") + Bytes(kLog), {}, Bytes(true), Check::AnswersFalse},
        {"ReadArchiveBlock", [](CommDBPointFacade& f) { return Bytes(f.ReadArchiveBlock(0x01020304, 200)); },
         Hex("07 28 04030201 c8"), memory, memory, Check::Raises21},
        {"ReadLogStatus", [](CommDBPointFacade& f) { return Bytes(f.ReadLogStatus()); },
         Hex("02 2a"), status, status, Check::Raises21},
        {"ReadEventBlock", [](CommDBPointFacade& f) { return Bytes(f.ReadEventBlock(0x00000100, 17)); },
         Hex("07 2c 00010000 11"), memory, memory, Check::Raises21},
        {"WriteImageBlock", [image](CommDBPointFacade& f) { return Bytes(f.WriteImageBlock(image)); },
         Hex("cf 2e") + Bytes(image), Hex("efcdab00 c8"), Hex("efcdab00 c8"), Check::Raises21},
        {"ReadImageBlock", [](CommDBPointFacade& f) { return Bytes(f.ReadImageBlock(0xFFFFFF00, 1)); },
         Hex("07 3a 00ffffff 01"), memory, memory, Check::Raises21},
        // Points in blocks.
        {"ReadBlock", [blockRequest](CommDBPointFacade& f) { return Bytes(f.ReadBlock(blockRequest)); },
         Hex("2b 32") + Bytes(blockRequest), blockReply, blockReply, Check::Raises21},
        // Whole configuration blocks.
        {"ReadSequencer", [](CommDBPointFacade& f) {
             uint8_t b[kSequencerBlockSize];
             std::memset(b, 0xAA, sizeof b);
             f.ReadSequencer(b);
             return Bytes(b);
         },
         Hex("02 3c"), seq, seq, Check::Raises21},
        {"WriteSequencer", [seq](CommDBPointFacade& f) {
             uint8_t b[kSequencerBlockSize];
             std::memcpy(b, seq.constData(), sizeof b);
             return Bytes(f.WriteSequencer(b));
         },
         Hex("e6 3e") + seq, {}, Bytes(true), Check::AnswersFalse},
        {"ReadTimers", [](CommDBPointFacade& f) {
             uint8_t b[kTimerBlockSize];
             std::memset(b, 0xAA, sizeof b);
             f.ReadTimers(b);
             return Bytes(b);
         },
         Hex("02 40"), timers, timers, Check::Raises21},
        {"WriteTimers", [timers](CommDBPointFacade& f) {
             uint8_t b[kTimerBlockSize];
             std::memcpy(b, timers.constData(), sizeof b);
             return Bytes(f.WriteTimers(b));
         },
         Hex("92 42") + timers, {}, Bytes(true), Check::AnswersFalse},
    };
}

class FacadeTest : public ::testing::Test {
protected:
    ScriptedAnalyzer analyzer;
    SimEngine engine{&analyzer};
    CommDBPointFacade& facade = *CommDBPointFacade::Instance();

    // Leaves 0xFF in every byte of the type-4 value field.
    void DirtyRequestArea()
    {
        facade.WriteU32(0xFFFF, 0xFFFFFFFF);
        engine.requests.clear();
        engine.notifies.clear();
        engine.replyCapacities.clear();
    }
};

TEST_F(FacadeTest, EveryMessageTypeRequestAndReply)
{
    for (const MessageCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        const int type = static_cast<uint8_t>(c.request[1]);
        ASSERT_EQ(static_cast<int>(c.request.size()), static_cast<int>(static_cast<uint8_t>(c.request[0]))) << "LEN counts itself, type and payload";

        // A good reply.
        DirtyRequestArea();
        analyzer.replies.push_back(ReplyMessage(type + 1, c.replyPayload));
        QByteArray result;
        ASSERT_NO_THROW(result = c.run(facade));
        ASSERT_EQ(engine.requests.size(), 1u);
        EXPECT_EQ(engine.requests[0].toHex(' '), c.request.toHex(' '));
        EXPECT_EQ(engine.notifies[0], c.notify);
        EXPECT_EQ(engine.replyCapacities[0], Communications::kAreaSize);
        EXPECT_EQ(result.toHex(' '), c.result.toHex(' '));

        // The same reply under the request's own type (not type + 1).
        DirtyRequestArea();
        analyzer.replies.push_back(ReplyMessage(type, c.replyPayload));
        switch (c.check) {
        case Check::Raises21:
            try {
                c.run(facade);
                ADD_FAILURE() << "a wrong reply type must fail";
            } catch (int code) {
                EXPECT_EQ(code, kErrUnexpectedReplyType);
            }
            break;
        case Check::AnswersFalse:
            EXPECT_EQ(c.run(facade), Bytes(false));
            break;
        case Check::GivesZeros:
            EXPECT_EQ(c.run(facade).toHex(' '), QByteArray(c.result.size(), '\0').toHex(' '));
            break;
        }

        // A failed exchange passes the engine's code through unchanged.
        DirtyRequestArea();
        engine.failNext.push_back(4);
        try {
            c.run(facade);
            ADD_FAILURE() << "a failed exchange must raise";
        } catch (int code) {
            EXPECT_EQ(code, 4);
        }
    }
}

TEST_F(FacadeTest, ReadRecordsNeverYieldZerosForAWrongReply)
{
    // A reply of another type is a failed read: the caller's block keeps what it held.
    uint8_t seq[kSequencerBlockSize];
    std::memset(seq, 0x5A, sizeof seq);
    analyzer.replies.push_back(ReplyMessage(0x3C /* request type, not +1 */, Pattern(kSequencerBlockSize, 1)));
    EXPECT_THROW(facade.ReadSequencer(seq), int);
    for (uint8_t b : seq) ASSERT_EQ(b, 0x5A);
}

TEST_F(FacadeTest, TextReplies)
{
    struct TextCase {
        const char* name;
        QByteArray replyPayload;   // after the echoed address
        int returned;
        std::string text;
    };
    const TextCase cases[] = {
        {"empty", Hex("00"), 0, ""},
        {"twenty characters", QByteArray(1, 20) + QByteArray(20, 'x'), 20, std::string(20, 'x')},
        {"longer than a point holds", QByteArray(1, 21) + QByteArray(21, 'y'), 0, "before"},
        {"length 255 reads nothing past the area", QByteArray(1, char(255)) + QByteArray(100, 'z'), 0, "before"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer.replies.push_back(ReplyMessage(2, Hex("0900") + c.replyPayload));
        std::string text = "before";
        EXPECT_EQ(facade.ReadString(9, text), c.returned);
        EXPECT_EQ(text, c.text);
    }
}

TEST_F(FacadeTest, PointAndTextRepliesThatEndEarlyAreFailedReads)
{
    // The value (or the characters the text length counts) must be in the reply; a short one
    // would otherwise read zeros or stale bytes as the value.
    analyzer.replies.push_back(ReplyMessage(2, Hex("0900 0102")));
    EXPECT_THROW(facade.ReadU32(9), int);
    analyzer.replies.push_back(ReplyMessage(2, Hex("0900 0102")));
    EXPECT_EQ(facade.ReadU16(9), 0x0201);
    analyzer.replies.push_back(ReplyMessage(2, Hex("0900")));
    EXPECT_THROW(facade.ReadU8(9), int);

    analyzer.replies.push_back(ReplyMessage(2, Hex("0900 05") + QByteArray("WM")));
    std::string text = "before";
    try {
        facade.ReadString(9, text);
        ADD_FAILURE() << "a text shorter than its length must fail";
    } catch (int code) {
        EXPECT_EQ(code, 2);
    }
    EXPECT_EQ(text, "before");
}

TEST_F(FacadeTest, TextWritesCarryAtMostTwentyCharacters)
{
    facade.WriteString(2, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    ASSERT_EQ(engine.requests.size(), 1u);
    EXPECT_EQ(engine.requests[0], Hex("19 06 0200 14") + QByteArray("ABCDEFGHIJKLMNOPQRST"));
}

TEST_F(FacadeTest, OverLongReplyIsCutToTheReplyArea)
{
    // An engine that hands back more than a message can hold: the copy stops at the area.
    QByteArray huge = ReplyMessage(0x3D, Pattern(900, 2));
    analyzer.replies.push_back(huge);
    uint8_t seq[kSequencerBlockSize];
    facade.ReadSequencer(seq);
    EXPECT_EQ(Bytes(seq), huge.mid(2, kSequencerBlockSize));
}

// --- end to end against the simulated analyzer ----------------------------------------------

class FacadeOverAnalyzerTest : public ::testing::Test {
protected:
    sim::AnalyzerCore analyzer;
    SimEngine engine{&analyzer};
    CommDBPointFacade& facade = *CommDBPointFacade::Instance();
};

TEST_F(FacadeOverAnalyzerTest, ConfigurationBlocksRoundTrip)
{
    const QByteArray seq = Pattern(kSequencerBlockSize, 41);
    uint8_t block[kSequencerBlockSize];
    std::memcpy(block, seq.constData(), sizeof block);
    EXPECT_TRUE(facade.WriteSequencer(block));
    EXPECT_EQ(analyzer.SequencerBlock(), seq);
    analyzer.SetSequencerBlock(Pattern(kSequencerBlockSize, 42));
    facade.ReadSequencer(block);
    EXPECT_EQ(Bytes(block), Pattern(kSequencerBlockSize, 42));

    const QByteArray timers = Pattern(kTimerBlockSize, 43);
    uint8_t t[kTimerBlockSize];
    std::memcpy(t, timers.constData(), sizeof t);
    EXPECT_TRUE(facade.WriteTimers(t));
    EXPECT_EQ(analyzer.TimerBlock(), timers);
    std::memset(t, 0, sizeof t);
    facade.ReadTimers(t);
    EXPECT_EQ(Bytes(t), timers);

    EXPECT_TRUE(facade.WriteLogConfig(kLog));
    EXPECT_EQ(Bytes(analyzer.LogConfig(3)), Bytes(kLog));
    EXPECT_EQ(Bytes(facade.ReadLogConfig(3)), Bytes(kLog));

    EXPECT_TRUE(facade.WriteModbusHeader(kHeader));
    EXPECT_EQ(Bytes(analyzer.ModbusMapHeader()), Bytes(kHeader));
    EXPECT_EQ(Bytes(facade.ReadModbusHeader()), Bytes(kHeader));
    EXPECT_EQ(facade.WriteModbusEntry(kEntry), 99);
    EXPECT_EQ(Bytes(analyzer.ModbusMapEntry(99)), Bytes(kEntry));
    EXPECT_EQ(Bytes(facade.ReadModbusEntry(99)), Bytes(kEntry));
}

TEST_F(FacadeOverAnalyzerTest, Memories)
{
    const QByteArray archive = Pattern(500, 1);
    analyzer.SetArchiveMemory(archive);
    const MemoryBlock a = facade.ReadArchiveBlock(100, 200);
    EXPECT_EQ(a.address, 100u);
    EXPECT_EQ(a.count, 200);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(a.data), 200), archive.mid(100, 200));

    analyzer.SetEventMemory(Pattern(50, 2));
    const MemoryBlock e = facade.ReadEventBlock(40, 200);
    EXPECT_EQ(e.count, 10);   // what the memory holds from the address
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(e.data), 10), Pattern(50, 2).mid(40));

    const LogStatus status = facade.ReadLogStatus();
    EXPECT_EQ(status.value[1], 500u);
    EXPECT_EQ(status.value[2], 50u);

    const MemoryBlock image = ImageBlock();
    const ImageWriteReply w = facade.WriteImageBlock(image);
    EXPECT_EQ(w.address, image.address);
    EXPECT_EQ(w.count, 200);
    const MemoryBlock back = facade.ReadImageBlock(image.address, 200);
    EXPECT_EQ(Bytes(back), Bytes(image));

    facade.WipeArchive();
    facade.WipeEventLog();
    EXPECT_EQ(analyzer.ArchiveWipeCount(), 1);
    EXPECT_EQ(analyzer.EventLogWipeCount(), 1);
}

TEST_F(FacadeOverAnalyzerTest, BlockReadPacksEachValueInItsWidth)
{
    analyzer.SetValue(sim::Row{64}, 3);          // u8
    analyzer.SetValue(sim::Row{66}, 1.5);        // float
    analyzer.SetText(sim::Row{2}, "no bytes");   // text: width 0
    analyzer.SetValue(sim::Row{10}, 0xBEEF);     // 16-bit bit set
    analyzer.SetValue(sim::Row{0}, 17041417);    // u32
    BlockReadRequest r{};
    r.count = 5;
    const uint16_t rows[] = {64, 66, 2, 10, 0};
    std::copy(std::begin(rows), std::end(rows), r.rows);
    const BlockReadReply reply = facade.ReadBlock(r);
    EXPECT_EQ(reply.count, 5);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(reply.values), 11).toHex(' '),
              QByteArray::fromHex("03 0000c03f efbe 09080401").toHex(' '));
}

TEST_F(FacadeOverAnalyzerTest, UnitOperations)
{
    analyzer.SetWriteConfigBusyPolls(2);
    facade.WriteConfig();
    EXPECT_TRUE(facade.IsWriteConfigBusy());
    EXPECT_TRUE(facade.IsWriteConfigBusy());
    EXPECT_FALSE(facade.IsWriteConfigBusy());

    analyzer.SetImageWriteBusyPolls(1);
    facade.WriteImageBlock(ImageBlock());
    EXPECT_TRUE(facade.IsImageWriteBusy());
    EXPECT_FALSE(facade.IsImageWriteBusy());

    facade.SetDefaultConfig();
    facade.Reboot();
    EXPECT_EQ(analyzer.RebootCount(), 1);
}

TEST_F(FacadeOverAnalyzerTest, WrongReplyTypesAndRefusals)
{
    uint8_t seq[kSequencerBlockSize] = {};
    uint8_t timers[kTimerBlockSize] = {};
    const std::pair<int, std::function<void()>> reads[] = {
        {40, [&] { facade.ReadArchiveBlock(0, 10); }},
        {42, [&] { facade.ReadLogStatus(); }},
        {44, [&] { facade.ReadEventBlock(0, 10); }},
        {46, [&] { facade.WriteImageBlock(ImageBlock()); }},
        {50, [&] { facade.ReadBlock(BlockRequest()); }},
        {58, [&] { facade.ReadImageBlock(0, 10); }},
        {60, [&] { facade.ReadSequencer(seq); }},
        {64, [&] { facade.ReadTimers(timers); }},
        {14, [&] { facade.Reboot(); }},
        {8, [&] { facade.WriteConfig(); }},
    };
    for (const auto& [type, run] : reads) {
        SCOPED_TRACE(type);
        analyzer.FailNext(sim::Fault::WrongType, 1, type);
        try {
            run();
            ADD_FAILURE() << "a wrong reply type must fail";
        } catch (int code) {
            EXPECT_EQ(code, 21);
        }
        analyzer.FailNext(sim::Fault::Reject, 1, type);
        try {
            run();
            ADD_FAILURE() << "a refused request must fail";
        } catch (int code) {
            EXPECT_EQ(code, 3);
        }
    }

    // A log configuration record of another type reads as zeros and says it was not answered;
    // a refusal is an error.
    bool answered = true;
    analyzer.FailNext(sim::Fault::WrongType, 1, 36);
    const LogConfigRecord zeros = facade.ReadLogConfig(0, &answered);
    EXPECT_FALSE(answered);
    EXPECT_EQ(Bytes(zeros), QByteArray(sizeof zeros, '\0'));
    EXPECT_TRUE((facade.ReadLogConfig(0, &answered), answered));
    analyzer.FailNext(sim::Fault::Reject, 1, 36);
    EXPECT_THROW(facade.ReadLogConfig(0), int);

    analyzer.FailNext(sim::Fault::WrongType, 1, 62);
    EXPECT_FALSE(facade.WriteSequencer(seq));
    analyzer.FailNext(sim::Fault::WrongType, 1, 66);
    EXPECT_FALSE(facade.WriteTimers(timers));
    analyzer.FailNext(sim::Fault::WrongType, 1, 38);
    EXPECT_FALSE(facade.WriteLogConfig(kLog));
    EXPECT_EQ(analyzer.PendingFaults(), 0);
}

}  // namespace
