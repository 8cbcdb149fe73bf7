// The simulated analyzer's fault rules, its request log, and how it meets malformed requests.
#include "tests/sim/core/analyzer_core.h"
#include "tests/sim/tests/message_bytes.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace simtest;
using sim::AnalyzerCore;
using sim::DbId;
using sim::Fault;
using sim::FaultRule;
using sim::Outcome;

namespace {

constexpr uint32_t kVersion = 17041417;
const QByteArray kReadVersion = Msg(1, U16(0));
const QByteArray kVersionReply = Msg(2, U16(0) + U32(kVersion));

FaultRule Rule(Fault fault, int type = sim::kAnyType, int value = -1)
{
    FaultRule rule;
    rule.fault = fault;
    rule.type = type;
    rule.value = value;
    return rule;
}

QByteArray WithByte(QByteArray bytes, int index, int value)
{
    bytes[index] = char(value);
    return bytes;
}

}  // namespace

TEST(AnalyzerFaults, EachFaultShapesTheReply)
{
    const int text = RowOf(0);
    struct Case {
        const char* name;
        FaultRule rule;
        QByteArray request;
        std::optional<QByteArray> reply;
        Outcome outcome;
    };
    const std::vector<Case> cases = {
        {"silence", Rule(Fault::Silence), kReadVersion, std::nullopt, Outcome::Silence},
        {"reject", Rule(Fault::Reject), kReadVersion, kReject, Outcome::Reject},
        {"wrong type echoes the request type", Rule(Fault::WrongType), kReadVersion,
         WithByte(kVersionReply, 1, 1), Outcome::Reply},
        {"wrong type as given", Rule(Fault::WrongType, sim::kAnyType, 0x33), Msg(14), Bytes({2, 0x33}),
         Outcome::Reply},
        {"short by one", Rule(Fault::ShortReply), kReadVersion, Msg(2, U16(0) + U32(kVersion).left(3)),
         Outcome::Reply},
        {"short by three", Rule(Fault::ShortReply, sim::kAnyType, 3), kReadVersion,
         Msg(2, U16(0) + U32(kVersion).left(1)), Outcome::Reply},
        {"long by two", Rule(Fault::LongReply, sim::kAnyType, 2), kReadVersion,
         Msg(2, U16(0) + U32(kVersion) + Bytes({0xEE, 0xEE})), Outcome::Reply},
        {"count above request", Rule(Fault::CountAboveRequest), BlockRead({0}),
         BlockReply(Bytes({2}) + U32(kVersion)), Outcome::Reply},
        {"count far above request", Rule(Fault::CountAboveRequest, 50, 250), BlockRead({0, 0}),
         BlockReply(Bytes({252}) + U32(kVersion) + U32(kVersion)), Outcome::Reply},
        {"text longer than twenty", Rule(Fault::TextTooLong), Msg(1, U16(text)),
         Msg(2, U16(text) + Bytes({21}) + "AB" + QByteArray(19, '#')), Outcome::Reply},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AnalyzerCore core;
        core.SetText(DbId{0}, "AB");
        core.AddFault(c.rule);
        const auto reply = core.Handle(c.request);
        ASSERT_EQ(reply.has_value(), c.reply.has_value());
        if (reply) {
            EXPECT_EQ(reply->toHex(' '), c.reply->toHex(' '));
        }
        EXPECT_EQ(core.LastOutcome(), c.outcome);
        EXPECT_EQ(core.PendingFaults(), 0);
        EXPECT_EQ(core.Handle(c.request).has_value(), true) << "a rule hits once by default";
    }
}

TEST(AnalyzerFaults, RulesCountSkipAndMatchByType)
{
    AnalyzerCore core;
    core.FailNext(Fault::Silence, 2, 1);
    EXPECT_TRUE(core.Handle(BlockRead({0})).has_value()) << "other types pass";
    EXPECT_FALSE(core.Handle(kReadVersion).has_value());
    EXPECT_FALSE(core.Handle(kReadVersion).has_value());
    EXPECT_EQ(*core.Handle(kReadVersion), kVersionReply);

    // The third log configuration read times out, the others are answered.
    FaultRule third = Rule(Fault::Silence, 36);
    third.skip = 2;
    core.AddFault(third);
    std::vector<bool> answered;
    for (int log = 0; log < 6; ++log) answered.push_back(core.Handle(Msg(36, Bytes({log}))).has_value());
    EXPECT_EQ(answered, (std::vector<bool>{true, true, false, true, true, true}));

    // A rule that only fits text reads waits for one.
    core.FailNext(Fault::TextTooLong);
    EXPECT_EQ(*core.Handle(kReadVersion), kVersionReply);
    EXPECT_EQ(core.PendingFaults(), 1);
    EXPECT_EQ(uint8_t(core.Handle(Msg(1, U16(RowOf(0))))->at(4)), 21);
    EXPECT_EQ(core.PendingFaults(), 0);

    // Until cleared.
    core.FailNext(Fault::Reject, sim::kForever, 10);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(*core.Handle(Msg(10)), kReject);
    core.ClearFaults();
    EXPECT_EQ(*core.Handle(Msg(10)), Msg(11, Bytes({0})));
}

TEST(AnalyzerFaults, SilencedOrRejectedRequestsAreNotCarriedOutOthersAre)
{
    const QByteArray write = Msg(4, U16(RowOf(20)) + U32(1));
    const struct {
        Fault fault;
        double streams;
    } cases[] = {{Fault::Silence, 0}, {Fault::Reject, 0}, {Fault::WrongType, 1}, {Fault::ShortReply, 1}};
    for (const auto& c : cases) {
        AnalyzerCore core;
        core.FailNext(c.fault);
        core.Handle(write);
        EXPECT_EQ(core.Value(DbId{20}), c.streams) << int(c.fault);
    }
}

TEST(AnalyzerFaults, RequestLogKeepsEveryRequestInOrder)
{
    AnalyzerCore core;
    core.FailNext(Fault::Silence);
    const std::vector<QByteArray> sent = {kReadVersion, Msg(8), Msg(10), Bytes({1}), BlockRead({64, 0})};
    for (const QByteArray& r : sent) core.Handle(r);
    EXPECT_EQ(core.Requests(), sent) << "silenced and malformed requests are logged too";
    EXPECT_EQ(core.RequestCount(), 5);
    EXPECT_EQ(core.RequestCount(10), 1);
    EXPECT_EQ(core.RequestsOfType(50), std::vector<QByteArray>{BlockRead({64, 0})});
    core.ClearLog();
    EXPECT_EQ(core.RequestCount(), 0);
}

TEST(AnalyzerFaults, MalformedRequestsAreRejectedOrIgnoredAndChangeNothing)
{
    const int text = RowOf(0);
    const int readOnlyText = RowOf(-5);
    QByteArray countTooBig = BlockRead({});
    countTooBig[2] = char(21);
    struct Case {
        const char* name;
        QByteArray request;
        std::optional<QByteArray> reply;
    };
    const std::vector<Case> cases = {
        {"empty", QByteArray(), std::nullopt},
        {"one byte", Bytes({1}), std::nullopt},
        {"length byte above size", Bytes({5, 1, 0, 0}), kReject},
        {"length byte below size", Bytes({3, 1, 0, 0}), kReject},
        {"unknown type", Msg(2), kReject},
        {"odd type", Msg(3), kReject},
        {"type 255", Msg(255), kReject},
        {"read with extra byte", Msg(1, U16(0) + Bytes({0})), kReject},
        {"read past the catalogue", Msg(1, U16(1359)), kReject},
        {"read row 65535", Msg(1, U16(0xFFFF)), kReject},
        {"short write", Msg(4, U16(64) + Bytes({1, 0, 0})), kReject},
        {"write read-only row", Msg(4, U16(0) + U32(1)), kReject},
        {"number into text row", Msg(4, U16(text) + U32(1)), kReject},
        {"text into number row", Msg(6, U16(64) + Bytes({1}) + "A"), kReject},
        {"text length past message", Msg(6, U16(text) + Bytes({5}) + "AB"), kReject},
        {"text of 21", Msg(6, U16(text) + Bytes({21}) + QByteArray(21, 'x')), kReject},
        {"read-only text", Msg(6, U16(readOnlyText) + Bytes({1}) + "A"), kReject},
        {"store with payload", Msg(8, Bytes({0})), kReject},
        {"Modbus entry 100", Msg(20, U16(100)), kReject},
        {"write Modbus entry 100", Msg(24, U16(100) + Bytes({0, 0, 0}) + U16(20)), kReject},
        {"short Modbus header", Msg(22, QByteArray(16, '\0')), kReject},
        {"log 6", Msg(36, Bytes({6})), kReject},
        {"write log 6", Msg(38, Bytes({6}) + QByteArray(21, '\0')), kReject},
        {"block read of 21", countTooBig, kReject},
        {"block read past the catalogue", BlockRead({0, 1359}), kReject},
        {"short block read", Msg(50, Bytes({1}) + U16(0)), kReject},
        {"archive count 201", MemoryRead(40, 0, 201), kReject},
        {"image block count 201", Msg(46, MemoryBlockBytes(0, 201, QByteArray(200, 'x'))), kReject},
        {"short sequencer", Msg(62, QByteArray(kSequencerBlockSize - 1, '\1')), kReject},
        {"long timers", Msg(66, QByteArray(kTimerBlockSize + 1, '\1')), kReject},
    };
    AnalyzerCore core;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto reply = core.Handle(c.request);
        ASSERT_EQ(reply.has_value(), c.reply.has_value());
        if (reply) {
            EXPECT_EQ(*reply, *c.reply);
        }
        EXPECT_EQ(core.LastOutcome(), reply ? Outcome::Reject : Outcome::Silence);
    }
    EXPECT_EQ(core.RequestCount(), int(cases.size()));

    AnalyzerCore fresh;
    EXPECT_EQ(core.Raw(DbId{20}), fresh.Raw(DbId{20}));
    EXPECT_EQ(core.Text(DbId{0}), fresh.Text(DbId{0}));
    EXPECT_EQ(core.Value(sim::Row{0}), kVersion);
    EXPECT_EQ(core.SequencerBlock(), fresh.SequencerBlock());
    EXPECT_EQ(core.TimerBlock(), fresh.TimerBlock());
    EXPECT_EQ(core.ImageMemory(), QByteArray());
    EXPECT_EQ(core.LogConfig(5).Enable, 0);
}
