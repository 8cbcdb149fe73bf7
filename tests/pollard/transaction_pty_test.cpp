// Framed exchanges with the simulated analyzer over a real pseudo-terminal.
#include "tests/pollard/engine_fixture.h"

#include "pollard/crc16.h"
#include "pollard/frame.h"
#include "pollard/serial_port.h"

#include <QSignalSpy>
#include <QTimer>

namespace pollardtest {
namespace {

using sim::WireFault;
using sim::WireFaultRule;

class PtyExchange : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        ServePty();
        row = sim::AnalyzerCore::RowOfDbId(20);
        ASSERT_GE(row, 0);
        core.SetValue(sim::Row{row}, 3);
        ASSERT_EQ(CommConnect(), 0) << E().Serial().ErrorText().toStdString();
        form.notices.clear();
    }
    // What the analyzer answers to the read of `row`, straight from the core.
    QByteArray Expected()
    {
        sim::AnalyzerCore fresh;
        fresh.SetValue(sim::Row{row}, 3);
        return *fresh.Handle(ReadRow(row));
    }
    int row = 0;
};

// The frame goes straight to the device: it is on the line, and the port has said so, when
// Write returns.
TEST_F(PtyExchange, AFrameIsOnTheLineWhenWriteReturns)
{
    pollard::SerialPort& port = E().Serial();
    QSignalSpy sent(&port, &pollard::Port::OutputSent);
    const QByteArray message = ReadRow(row);
    const QByteArray frame = pollard::BuildRequestFrame(0xFF, reinterpret_cast<const uint8_t*>(message.constData()),
                                                        static_cast<int>(message.size()));
    const int before = wire.FramesReceived();
    ASSERT_EQ(port.Write(frame), frame.size());
    EXPECT_EQ(sent.count(), 1);
    EXPECT_TRUE(wire.WaitFor([&] { return wire.FramesReceived() > before; }, 2000));
}

TEST_F(PtyExchange, ReplyArrivesWholeOrInPiecesWithTheSameResult)
{
    const struct {
        const char* name;
        std::optional<WireFault> fault;
    } cases[] = {{"one chunk", std::nullopt}, {"byte by byte", WireFault::ByteByByte}, {"two parts", WireFault::Split}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        form.notices.clear();
        const int framesBefore = wire.FramesReceived();
        if (c.fault) wire.FailNext(*c.fault);
        const Exchange ex = Send(ReadRow(row), true);
        EXPECT_EQ(ex.result, 0);
        EXPECT_EQ(ex.reply, Expected());
        EXPECT_EQ(ex.replyLength, static_cast<uint8_t>(ex.reply[0]));   // the count byte's length
        EXPECT_EQ(wire.FramesReceived() - framesBefore, 1);
        const auto statuses = form.Statuses();
        ASSERT_FALSE(statuses.empty());
        EXPECT_EQ(statuses.front(), 2);
        EXPECT_GE(form.Count(3), 1);
        EXPECT_EQ(form.Count(4), 0);
        EXPECT_EQ(form.Progress(), (std::vector<std::pair<int, int>>{{1, 1}}));
        // The line shows idle again a tick after the last chunk (however busy the machine is).
        EXPECT_TRUE(SettleUntil([&] { return form.Statuses().back() == 1; }));
    }
}

TEST_F(PtyExchange, ByteByByteReplySendsOneReceivingNoticePerChunk)
{
    TraceOn();
    WireFaultRule slow;
    slow.fault = WireFault::ByteByByte;
    slow.gapMs = 20;
    wire.AddFault(slow);
    const Exchange ex = Send(ReadRow(row));
    ASSERT_EQ(ex.result, 0);
    int chunks = 0;
    for (const QString& line : E().Trace().Lines()) chunks += line.startsWith(QLatin1String("TriggerAvail: "));
    EXPECT_GE(chunks, 2);
    EXPECT_EQ(form.Count(3), chunks);
    EXPECT_TRUE(form.Progress().empty());   // no notice asked for
}

TEST_F(PtyExchange, FrameCarriesTheAddressInForce)
{
    const struct {
        bool allStations;
        const char* address;
        uint8_t first;
    } cases[] = {{true, "17", 0xFF}, {false, "17", 0x11}, {false, "258", 0x02}};
    for (const auto& c : cases) {
        S().allStations = c.allStations;
        S().modbusNodeAddress = QString::fromLatin1(c.address);
        ASSERT_EQ(Send(ReadRow(row)).result, 0);
        const QByteArray frame = wire.RawFrames().back();
        EXPECT_EQ(static_cast<uint8_t>(frame[0]), c.first) << c.address;
        EXPECT_EQ(frame.mid(1, 5), Bytes({0x12}) + ReadRow(row));
        EXPECT_EQ(pollard::CheckCRC(reinterpret_cast<const uint8_t*>(frame.constData()), frame.size()), frame.size() - 2);
    }
}

struct FaultCase {
    const char* name;
    WireFaultRule rule;
    int result;
    int sends;
};

WireFaultRule Rule(WireFault f, int times = 1, int delayMs = 0)
{
    WireFaultRule r;
    r.fault = f;
    r.times = times;
    r.delayMs = delayMs;
    return r;
}

TEST_F(PtyExchange, WireFaultsEndWithTheirResultAfterTheRightNumberOfSends)
{
    TraceOn();
    const FaultCase cases[] = {
        {"silent unit", Rule(WireFault::Silence, 2), 4, 2},
        {"silent once, then answers", Rule(WireFault::Silence, 1), 0, 2},
        {"bad CRC", Rule(WireFault::BadCrc), 2, 1},
        {"unit rejects", Rule(WireFault::Reject), 3, 1},
        {"reply plus a stray byte", Rule(WireFault::StrayByte), 0, 1},
        {"more bytes than the count says, once", Rule(WireFault::OverLong), 0, 2},
        {"more bytes than the count says, always", Rule(WireFault::OverLong, 2), 4, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        wire.ClearFaults();
        wire.AddFault(c.rule);
        form.notices.clear();
        E().Trace().SetState(pollard::TraceLog::Clear);
        const int before = wire.FramesReceived();
        const Exchange ex = Send(ReadRow(row));
        EXPECT_EQ(ex.result, c.result);
        EXPECT_EQ(WireFramesSince(before, c.sends), c.sends);
        EXPECT_EQ(form.Count(2), c.sends);
        EXPECT_EQ(TraceCount(QStringLiteral("Retrying...")), c.result == 4 ? c.sends : c.sends - 1);
        EXPECT_EQ(form.Count(4), c.result == 4 ? 1 : 0);
        if (c.result == 4) {
            EXPECT_EQ(form.Statuses().back(), 4);
        }
        if (c.result == 0) {
            EXPECT_EQ(ex.reply, Expected());
        }
        Settle(30);
        // Whatever the fault left on the line, the next exchange gets its own reply.
        wire.ClearFaults();
        const Exchange next = Send(ReadRow(row));
        EXPECT_EQ(next.result, 0);
        EXPECT_EQ(next.reply, Expected());
    }
}

TEST_F(PtyExchange, StatusSequenceOfASilentUnit)
{
    // Each try: sending, idle a tick after the frame went out, idle again when the time-out
    // fires; after the last try: no response.
    wire.AddFault(Rule(WireFault::Silence, 2));
    EXPECT_EQ(Send(ReadRow(row), true).result, 4);
    EXPECT_EQ(form.Statuses(), (std::vector<int>{2, 1, 1, 2, 1, 1, 4}));
    EXPECT_TRUE(form.Progress().empty());
}

TEST_F(PtyExchange, RejectIsBelievedWhateverTheOtherBytesSay)
{
    // Byte 3 of 0xFF is the unit's refusal: one send, result 3, whatever the count, the
    // function code or the CRC say.
    QByteArray checked = Bytes({0xFF, 0x12, 0x02, 0xFF, 0, 0});
    pollard::AppendCRC(reinterpret_cast<uint8_t*>(checked.data()), 4);
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"a frame that checks out", checked},
        {"a CRC that does not match", Bytes({0xFF, 0x12, 0x02, 0xFF, 0x00, 0x00})},
        {"a count longer than what came", Bytes({0xFF, 0x12, 0x09, 0xFF, 0x00, 0x00})},
        {"more bytes than the count says", Bytes({0xFF, 0x12, 0x01, 0xFF, 0x00, 0x00, 0x00, 0x00})},
        {"another function code", Bytes({0x01, 0x13, 0x02, 0xFF, 0x00, 0x00})},
        {"no more than the four bytes", Bytes({0x01, 0x12, 0x02, 0xFF})},
    };
    // However the bytes come: at once, the first three alone (a header that names no reply
    // until byte 3 arrives), or the first two alone.
    const struct {
        const char* name;
        int splitAt;
    } arrivals[] = {{"at once", 0}, {"three bytes, then the rest", 3}, {"two bytes, then the rest", 2}};
    for (const auto& arrival : arrivals)
    for (const auto& c : cases) {
        SCOPED_TRACE(arrival.name);
        SCOPED_TRACE(c.name);
        wire.ClearFaults();
        WireFaultRule reject = Rule(WireFault::RawReply);
        reject.bytes = c.bytes;
        reject.splitAt = arrival.splitAt;
        reject.gapMs = 60;
        wire.AddFault(reject);
        const int before = wire.FramesReceived();
        EXPECT_EQ(Send(ReadRow(row)).result, 3);
        EXPECT_EQ(WireFramesSince(before, 1), 1);
        // What is left of the refusal on the line never answers the next request.
        Settle(30);
        wire.ClearFaults();
        const Exchange next = Send(ReadRow(row));
        EXPECT_EQ(next.result, 0);
        EXPECT_EQ(next.reply, Expected());
    }
}

TEST_F(PtyExchange, LateReplyArrivingDuringTheRetryAnswersTheSameRequest)
{
    // The first reply comes 1.5 time-outs late; the retried frame is not answered.
    wire.AddFault(Rule(WireFault::LateReply, 1, BackoffMs() * 3 / 2));
    WireFaultRule silentRetry = Rule(WireFault::Silence);
    silentRetry.skip = 1;
    wire.AddFault(silentRetry);
    const Exchange ex = Send(ReadRow(row));
    EXPECT_EQ(ex.result, 0);
    EXPECT_EQ(ex.reply, Expected());
    EXPECT_EQ(form.Count(2), 2);
    EXPECT_EQ(WireFramesSince(0, 2), 2);
}

TEST_F(PtyExchange, LateReplyNeverAnswersALaterRequest)
{
    S().retries = QStringLiteral("1");
    wire.AddFault(Rule(WireFault::LateReply, 1, BackoffMs() + 100));
    EXPECT_EQ(Send(ReadRow(row)).result, 4);
    // The stale reply comes in while nothing waits.
    ASSERT_TRUE(wire.WaitFor([&] { return wire.RepliesWritten() >= 1; }, 2000));
    Settle(20);
    const int other = sim::AnalyzerCore::RowOfDbId(21);
    ASSERT_GE(other, 0);
    const Exchange ex = Send(ReadRow(other));
    ASSERT_EQ(ex.result, 0);
    EXPECT_EQ(static_cast<uint8_t>(ex.reply[2]) | (static_cast<uint8_t>(ex.reply[3]) << 8), other);
}

TEST_F(PtyExchange, ReplyLaterThanEveryTryNeverAnswersTheNextRequest)
{
    // The next request goes out at once; the first one's reply comes while it waits.
    S().retries = QStringLiteral("1");
    wire.AddFault(Rule(WireFault::LateReply, 1, BackoffMs() + 100));
    EXPECT_EQ(Send(ReadRow(row)).result, 4);
    const int other = sim::AnalyzerCore::RowOfDbId(21);
    ASSERT_GE(other, 0);
    const Exchange ex = Send(ReadRow(other));
    ASSERT_EQ(ex.result, 0);
    EXPECT_EQ(static_cast<uint8_t>(ex.reply[2]) | (static_cast<uint8_t>(ex.reply[3]) << 8), other);
    // The server counts a reply once its write returns, which may be after the reply was read.
    EXPECT_TRUE(wire.WaitFor([&] { return wire.RepliesWritten() >= 2; }, 1000)) << wire.RepliesWritten();
}

TEST_F(PtyExchange, FramesArrivingWhileNothingWaitsAreIgnored)
{
    QByteArray stale = Bytes({0xFF, 0x12, 0x07, 0x02, 0x09, 0x09, 0x09, 0x09, 0x09, 0, 0});
    pollard::AppendCRC(reinterpret_cast<uint8_t*>(stale.data()), 9);
    wire.SendRaw(stale);
    wire.SendRaw(stale.left(4), 10);   // and half a frame just before the send
    ASSERT_TRUE(wire.WaitFor([&] { return wire.RepliesWritten() == 2; }, 2000));
    Settle(10);
    const Exchange ex = Send(ReadRow(row));
    EXPECT_EQ(ex.result, 0);
    EXPECT_EQ(ex.reply, Expected());
}

TEST_F(PtyExchange, ABabblingLineEndsAtTheAttemptLimit)
{
    S().retries = QStringLiteral("1");
    S().backoffTimer = QStringLiteral("1");
    const int limit = E().Exchange().AttemptLimitMs();
    wire.AddFault(Rule(WireFault::Babble, 1, limit + 2000));
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(Send(ReadRow(row)).result, 4);
    EXPECT_LT(t.elapsed(), limit + 500);
}

TEST_F(PtyExchange, UnitThatHangsUpLeavesThePortClosed)
{
    wire.FailNext(WireFault::Disconnect);
    EXPECT_EQ(Send(ReadRow(row)).result, 5);
    EXPECT_FALSE(E().Serial().IsOpen());
    EXPECT_EQ(Send(ReadRow(row)).result, 5);
}

TEST_F(PtyExchange, RetriesAndBackoffBelowOneOrNotNumbersCountAsOne)
{
    const char* values[] = {"0", "-3", "abc", ""};
    for (const char* v : values) {
        SCOPED_TRACE(v);
        S().retries = QString::fromLatin1(v);
        S().backoffTimer = QString::fromLatin1(v);
        wire.ClearFaults();
        wire.AddFault(Rule(WireFault::Silence, -1));
        const int before = wire.FramesReceived();
        form.notices.clear();
        QElapsedTimer t;
        t.start();
        EXPECT_EQ(Send(ReadRow(row)).result, 4);
        EXPECT_EQ(form.Count(2), 1);
        EXPECT_EQ(WireFramesSince(before, 1), 1);
        EXPECT_LT(t.elapsed(), 1000);
    }
}

TEST_F(PtyExchange, HugeBackoffTimersStillWaitForTheReply)
{
    // Past 39,045,040 ticks the time-out in milliseconds once overflowed and every request
    // failed at once with no response.
    const char* values[] = {"39045040", "39045158", "2147483647"};
    for (const char* v : values) {
        SCOPED_TRACE(v);
        S().backoffTimer = QString::fromLatin1(v);
        EXPECT_GT(E().Exchange().AttemptLimitMs(), BackoffMs());
        wire.AddFault(Rule(WireFault::LateReply, 1, 100));
        const Exchange ex = Send(ReadRow(row));
        EXPECT_EQ(ex.result, 0);
        EXPECT_EQ(ex.reply, Expected());
    }
}

TEST_F(PtyExchange, CancelDuringTheWaitResetsTheLinkAndHoldsUntilCleared)
{
    wire.AddFault(Rule(WireFault::Silence, -1));
    S().backoffTimer = QStringLiteral("100");
    QTimer::singleShot(30, [] { SetUserCancel(true); });
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(Send(ReadRow(row)).result, 6);
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_EQ(form.Progress(), (std::vector<std::pair<int, int>>{{0, 1}}));
    EXPECT_EQ(wire.FramesReceived(), 1);

    // While the flag stays set nothing is sent and the caller's buffer is not touched.
    QByteArray buffer(16, '\x5A');
    int length = 16;
    const QByteArray req = ReadRow(row);
    EXPECT_EQ(SendReceive(reinterpret_cast<const unsigned char*>(req.constData()), req.size(),
                          reinterpret_cast<unsigned char*>(buffer.data()), &length, true),
              6);
    EXPECT_EQ(buffer, QByteArray(16, '\x5A'));
    EXPECT_EQ(length, 16);
    EXPECT_EQ(Send(QByteArray(300, '\x01')).result, 6);   // even a request that could not be framed
    Settle(20);
    EXPECT_EQ(wire.FramesReceived(), 1);

    SetUserCancel(false);
    wire.ClearFaults();
    EXPECT_EQ(Send(ReadRow(row)).result, 0);
}

TEST_F(PtyExchange, CleanupFromInsideAnExchangeEndsItAndTheEngineGoesAfterwards)
{
    wire.AddFault(Rule(WireFault::Silence, -1));
    S().backoffTimer = QStringLiteral("100");
    QTimer::singleShot(30, [] { Cleanup(); });
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(Send(ReadRow(row)).result, 6);
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_EQ(pollard::Engine::Instance(), nullptr);
    EXPECT_EQ(Send(ReadRow(row)).result, 5);   // no engine: nothing to send with

    // A new engine starts afresh.
    Initialize();
    ASSERT_NE(pollard::Engine::Instance(), nullptr);
    S().portName = wire.PtyPath();
    EXPECT_EQ(CommConnect(), 0);
    wire.ClearFaults();
    EXPECT_EQ(Send(ReadRow(row)).result, 0);
}

TEST_F(PtyExchange, ReplyLongerThanTheCallersBufferIsRefusedUntouched)
{
    const int need = Expected().size();
    const Exchange small = Send(ReadRow(row), false, need - 1);   // checks the bytes behind the buffer
    EXPECT_EQ(small.result, 2);
    const Exchange exact = Send(ReadRow(row), false, need);
    EXPECT_EQ(exact.result, 0);
    EXPECT_EQ(exact.reply, Expected());
}

TEST_F(PtyExchange, NullReplyPointersStillRunTheExchange)
{
    const QByteArray req = ReadRow(row);
    EXPECT_EQ(SendReceive(reinterpret_cast<const unsigned char*>(req.constData()), req.size(), nullptr, nullptr, false), 0);
    EXPECT_EQ(wire.FramesReceived(), 1);
}

TEST_F(PtyExchange, RequestsThatCannotBeFramedAreRefusedWithoutSending)
{
    const QByteArray tooLong(265, '\x01');
    EXPECT_EQ(Send(tooLong).result, 2);
    EXPECT_EQ(Send(QByteArray()).result, 2);
    Settle(20);
    EXPECT_EQ(wire.FramesReceived() + wire.BadFramesReceived(), 0);
}

TEST_F(PtyExchange, TraceLogFollowsTheExchange)
{
    TraceOn();
    wire.FailNext(WireFault::Silence);
    ASSERT_EQ(Send(ReadRow(row)).result, 0);
    const QStringList lines = E().Trace().Lines();
    EXPECT_EQ(lines.count(QStringLiteral("Action is acRead")), 1);
    EXPECT_EQ(lines.count(QStringLiteral("NAKState is 4")), 1);
    EXPECT_EQ(lines.count(QStringLiteral("NAKState is 0")), 1);
    EXPECT_EQ(lines.count(QStringLiteral("Retrying...")), 1);
    EXPECT_EQ(lines.count(QStringLiteral("BackoffTimer trigger fired")), 1);
    EXPECT_TRUE(lines.contains(QStringLiteral("tot. packets recd = %1").arg(pollard::Transaction::TotalPacketsReceived())));
}

}  // namespace
}  // namespace pollardtest
