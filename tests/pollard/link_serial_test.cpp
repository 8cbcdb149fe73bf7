// Opening and closing the direct serial link.
#include "tests/pollard/engine_fixture.h"

#include "pollard/serial_port.h"
#include "tests/common/fake_prompter.h"

namespace pollardtest {
namespace {

class SerialLink : public EngineTest {};

TEST_F(SerialLink, PortNotOpenedIsReportedAndNothingIsSent)
{
    ServePty();
    // Before any connect the port is closed: the exchange fails at once, nothing on the wire.
    EXPECT_EQ(Send(ReadRow(1)).result, 5);
    EXPECT_TRUE(form.notices.empty());
    pollardtest::Settle(20);
    EXPECT_EQ(wire.FramesReceived(), 0);
}

TEST_F(SerialLink, ConnectToAMissingDeviceFailsAndStaysOffline)
{
    FakePrompter prompter;
    S().connectType = pollard::ctComPortDirect;
    S().portName = QStringLiteral("/dev/no-such-serial-device");
    // Not a cancelled connection: the port did not open, and the box names it.
    EXPECT_EQ(CommConnect(), 5);
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Error);
    EXPECT_TRUE(prompter.prompts[0].text.startsWith(QStringLiteral("Com port not open.\n/dev/no-such-serial-device: ")))
        << prompter.prompts[0].text.toStdString();
    EXPECT_FALSE(IsOnline());
    EXPECT_FALSE(E().SettingsLocked());
    EXPECT_EQ(form.Statuses(), std::vector<int>{0});
    EXPECT_EQ(Send(ReadRow(1)).result, 5);
}

TEST_F(SerialLink, ConnectGoesOnlineLocksSettingsAndDisconnectUndoesIt)
{
    ServePty();
    EXPECT_EQ(CommConnect(), 0);
    EXPECT_TRUE(IsOnline());
    EXPECT_TRUE(E().SettingsLocked());
    EXPECT_EQ(form.Statuses(), std::vector<int>{1});

    form.notices.clear();
    CommDisconnect(true);   // keep the line: only the state goes offline
    EXPECT_FALSE(IsOnline());
    EXPECT_FALSE(E().SettingsLocked());
    EXPECT_TRUE(E().Serial().IsOpen());
    EXPECT_EQ(form.Statuses(), std::vector<int>{0});
    EXPECT_EQ(Send(ReadRow(1)).result, 0);

    CommDisconnect(false);
    EXPECT_FALSE(E().Serial().IsOpen());
    EXPECT_EQ(Send(ReadRow(1)).result, 5);
}

TEST_F(SerialLink, SecondConnectReopensTheSamePort)
{
    ServePty();
    ASSERT_EQ(CommConnect(), 0);
    ASSERT_EQ(CommConnect(), 0);
    EXPECT_EQ(Send(ReadRow(1)).result, 0);
}

}  // namespace
}  // namespace pollardtest
