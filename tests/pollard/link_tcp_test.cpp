// Exchanges and link handling over TCP (the Ethernet connection type).
#include "tests/pollard/engine_fixture.h"

#include "pollard/frame.h"
#include "pollard/tcp_port.h"
#include "tests/common/fake_prompter.h"

#include <QSettings>
#include <QSignalSpy>

namespace pollardtest {
namespace {

using sim::WireFault;

class TcpLink : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        ServeTcp();
        row = sim::AnalyzerCore::RowOfDbId(20);
    }
    int row = 0;
};

TEST_F(TcpLink, FirstExchangeConnectsByItself)
{
    EXPECT_FALSE(IsOnline());
    const Exchange ex = Send(ReadRow(row), true);
    EXPECT_EQ(ex.result, 0);
    EXPECT_EQ(ex.reply, *sim::AnalyzerCore().Handle(ReadRow(row)));
    EXPECT_TRUE(IsOnline());
    EXPECT_TRUE(E().SettingsLocked());
    EXPECT_EQ(E().WinsockStatusImage(), 2);
    EXPECT_EQ(wire.ConnectionsAccepted(), 1);
    const auto statuses = form.Statuses();
    ASSERT_GE(statuses.size(), 2u);
    EXPECT_EQ(statuses[0], 1);   // connected
    EXPECT_EQ(statuses[1], 2);   // sending
    EXPECT_EQ(form.Progress(), (std::vector<std::pair<int, int>>{{1, 1}}));
}

TEST_F(TcpLink, FaultsGiveTheSameResultsAsOnASerialLine)
{
    ASSERT_EQ(CommConnect(), 0);
    const struct {
        const char* name;
        std::optional<WireFault> fault;
        int times;
        int result;
        int sends;
    } cases[] = {
        {"good", std::nullopt, 0, 0, 1},
        {"byte by byte", WireFault::ByteByByte, 1, 0, 1},
        {"silent", WireFault::Silence, 2, 4, 2},
        {"bad CRC", WireFault::BadCrc, 1, 2, 1},
        {"rejected", WireFault::Reject, 1, 3, 1},
        {"stray byte", WireFault::StrayByte, 1, 0, 1},
        {"over-long once, then answers", WireFault::OverLong, 1, 0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        wire.ClearFaults();
        if (c.fault) wire.FailNext(*c.fault, c.times);
        const int before = wire.FramesReceived();
        form.notices.clear();
        EXPECT_EQ(Send(ReadRow(row)).result, c.result);
        EXPECT_EQ(form.Count(2), c.sends);
        EXPECT_EQ(WireFramesSince(before, c.sends), c.sends);
    }
}

// The frame leaves at once, without waiting for the event loop's next turn (the reply's time
// starts with it), and the port says so then.
TEST_F(TcpLink, AFrameIsOnTheLineWhenWriteReturns)
{
    ASSERT_EQ(CommConnect(), 0);
    pollard::TcpPort& port = E().Tcp();
    QSignalSpy sent(&port, &pollard::Port::OutputSent);
    const QByteArray message = ReadRow(row);
    const QByteArray frame =
        pollard::BuildRequestFrame(0xFF, reinterpret_cast<const uint8_t*>(message.constData()), message.size());
    const int before = wire.FramesReceived();
    ASSERT_EQ(port.Write(frame), frame.size());
    EXPECT_EQ(sent.count(), 1);
    // Waits on this thread without processing events: only a frame already sent can arrive.
    EXPECT_TRUE(wire.WaitFor([&] { return wire.FramesReceived() > before; }, 2000));
}

TEST_F(TcpLink, DroppedConnectionFailsTheExchangeAndTheNextOneReconnects)
{
    ASSERT_EQ(CommConnect(), 0);
    wire.FailNext(WireFault::Disconnect);
    EXPECT_EQ(Send(ReadRow(row)).result, 5);
    EXPECT_EQ(E().WinsockStatusImage(), 1);
    EXPECT_EQ(Send(ReadRow(row)).result, 0);
    EXPECT_EQ(wire.ConnectionsAccepted(), 2);
}

TEST_F(TcpLink, RefusedConnectionFailsTheConnectAndTheExchange)
{
    FakePrompter prompter;
    wire.Stop();   // nothing listens on the port any more
    EXPECT_EQ(CommConnect(), 5);
    EXPECT_EQ(prompter.prompts.size(), 1u);
    EXPECT_TRUE(prompter.Texts().value(0).startsWith(
        QStringLiteral("Com port not open.\n127.0.0.1:%1: ").arg(S().winSock.port)))
        << prompter.Texts().value(0).toStdString();
    EXPECT_FALSE(IsOnline());
    EXPECT_FALSE(E().SettingsLocked());
    EXPECT_EQ(form.Statuses(), std::vector<int>{0});
    EXPECT_TRUE(E().StatusText().startsWith(QStringLiteral("Message: (")));

    // The exchange connects by itself and says nothing: its result tells the caller.
    form.notices.clear();
    prompter.prompts.clear();
    EXPECT_EQ(Send(ReadRow(row)).result, 5);
    EXPECT_FALSE(IsOnline());
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(TcpLink, ServiceNamesAndNumbersGiveThePort)
{
    EXPECT_EQ(pollard::TcpPort::PortNumber(QStringLiteral("telnet")), 23);
    EXPECT_EQ(pollard::TcpPort::PortNumber(QStringLiteral(" 502 ")), 502);
    EXPECT_EQ(pollard::TcpPort::PortNumber(QStringLiteral("70000")), 0);
    EXPECT_EQ(pollard::TcpPort::PortNumber(QStringLiteral("no-such-service")), 0);
    FakePrompter prompter;
    S().winSock.port = QStringLiteral("no-such-service");
    EXPECT_EQ(CommConnect(), 5);
}

TEST_F(TcpLink, GatewayAnswerGetsEveryByteAfterItsPrefix)
{
    ASSERT_EQ(CommConnect(), 0);
    // The prefix completes in the second chunk; all the names after it belong to the answer.
    wire.SendRaw("CC");
    wire.SendRaw("ICfirst,second,", 30);
    ASSERT_TRUE(wire.WaitFor([&] { return wire.RepliesWritten() == 2; }, 2000));
    Settle(30);
    EXPECT_EQ(E().gatewayConnections, (QStringList{QStringLiteral("first"), QStringLiteral("second")}));

    S().modbusNodeAddress = QStringLiteral("1");
    wire.SendRaw("CCIA7");
    ASSERT_TRUE(wire.WaitFor([&] { return wire.RepliesWritten() == 3; }, 2000));
    Settle(30);
    EXPECT_EQ(S().modbusNodeAddress, QStringLiteral("7"));
    wire.SendRaw("CCIAx");
    ASSERT_TRUE(wire.WaitFor([&] { return wire.RepliesWritten() == 4; }, 2000));
    Settle(30);
    EXPECT_EQ(S().modbusNodeAddress, QStringLiteral("7"));
    // The link still carries frames as before.
    EXPECT_EQ(Send(ReadRow(row)).result, 0);

    // The address the gateway gave is kept for the next start, though no window was open.
    Cleanup();
    QSettings ini(pollard::SettingsFilePath(), QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("Comm/ModbusNodeAddress")).toString(), QStringLiteral("7"));
}

}  // namespace
}  // namespace pollardtest
