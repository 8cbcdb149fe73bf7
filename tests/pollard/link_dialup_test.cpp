// The dial-up link: a network connection brought up by the dialer, then TCP over it.
#include "tests/pollard/engine_fixture.h"

#include "pollard/dialer.h"
#include "pollard/tcp_port.h"
#include "tests/common/fake_prompter.h"

#include <QElapsedTimer>
#include <QTimer>

namespace pollardtest {
namespace {

class FakeDialer : public pollard::Dialer {
public:
    enum class Then { Connect, Fail, Never };

    int Dial(const QString& entry) override
    {
        dialled << entry;
        if (refuseWith) return refuseWith;
        QTimer::singleShot(20, this, [this] {
            if (then == Then::Connect) emit Connected();
            if (then == Then::Fail) emit DialError(failCode);
        });
        return 0;
    }
    void HangUp() override
    {
        ++hangUps;
        emit Disconnected();
    }
    QString ErrorText(int code) const override { return QStringLiteral("Dial-up error %1.").arg(code); }
    QStringList Entries() override { return entries; }

    QStringList entries{QStringLiteral("Plant link"), QStringLiteral("Spare")};
    QStringList dialled;
    int refuseWith = 0;
    Then then = Then::Connect;
    int failCode = 0;
    int hangUps = 0;
};

class DialUpLink : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        ServeTcp();
        S().connectType = pollard::ctDialUp;
        auto d = std::make_unique<FakeDialer>();
        dialer = d.get();
        E().SetDialer(std::move(d));
        E().dialUpLimitMs = 300;
        row = sim::AnalyzerCore::RowOfDbId(20);
    }
    FakeDialer* dialer = nullptr;
    FakePrompter prompter;
    int row = 0;
};

TEST_F(DialUpLink, DialsTheFirstEntryThenConnectsOverTcp)
{
    EXPECT_EQ(CommConnect(), 0);
    EXPECT_EQ(dialer->dialled, QStringList{QStringLiteral("Plant link")});
    EXPECT_EQ(E().DialUpState(), 0);
    EXPECT_TRUE(IsOnline());
    EXPECT_EQ(Send(ReadRow(row)).result, 0);

    form.notices.clear();
    CommDisconnect(false);
    EXPECT_EQ(dialer->hangUps, 1);
    EXPECT_FALSE(E().Tcp().IsOpen());
    EXPECT_EQ(form.Statuses(), std::vector<int>{0});
}

TEST_F(DialUpLink, ChosenEntryIsDialledAndTheFirstExchangeConnectsByItself)
{
    E().dialEntry = QStringLiteral("Spare");
    EXPECT_EQ(Send(ReadRow(row)).result, 0);
    EXPECT_EQ(dialer->dialled, QStringList{QStringLiteral("Spare")});
    EXPECT_TRUE(IsOnline());
}

TEST_F(DialUpLink, FailuresEndOfflineWithABoxUnlessTheLineWasDisconnected)
{
    const struct {
        const char* name;
        int refuseWith;
        FakeDialer::Then then;
        int failCode;
        bool box;
    } cases[] = {
        {"refused at once", 623, FakeDialer::Then::Connect, 0, true},
        {"dial error", 0, FakeDialer::Then::Fail, 680, true},
        {"line disconnected", 0, FakeDialer::Then::Fail, pollard::Dialer::kLineDisconnected, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompter.prompts.clear();
        form.notices.clear();
        dialer->refuseWith = c.refuseWith;
        dialer->then = c.then;
        dialer->failCode = c.failCode;
        EXPECT_EQ(CommConnect(), 1);
        EXPECT_FALSE(IsOnline());
        EXPECT_FALSE(E().SettingsLocked());
        EXPECT_EQ(form.Statuses(), std::vector<int>{0});
        const int code = c.refuseWith ? c.refuseWith : c.failCode;
        EXPECT_EQ(prompter.Saw(QStringLiteral("Dial-up error %1.").arg(code)), c.box);
        EXPECT_EQ(prompter.prompts.size(), c.box ? 1u : 0u);
        EXPECT_EQ(wire.ConnectionsAccepted(), 0);
    }
}

TEST_F(DialUpLink, WaitForTheDialerHasATimeLimitAndHonoursCancel)
{
    dialer->then = FakeDialer::Then::Never;
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(CommConnect(), 1);
    EXPECT_GE(t.elapsed(), 300);
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_EQ(dialer->hangUps, 1);
    EXPECT_FALSE(IsOnline());

    E().dialUpLimitMs = 60000;
    QTimer::singleShot(50, [] { SetUserCancel(true); });
    t.restart();
    EXPECT_EQ(CommConnect(), 1);
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_EQ(dialer->hangUps, 2);
}

TEST(NmcliDialer, NamesItsErrorsAndRefusesAnEmptyEntry)
{
    pollard::NmcliDialer dialer;
    EXPECT_NE(dialer.Dial(QString()), 0);
    EXPECT_EQ(dialer.ErrorText(pollard::NmcliDialer::kNotStarted),
              QStringLiteral("The network manager command (nmcli) could not be started."));
    EXPECT_EQ(dialer.ErrorText(10), QStringLiteral("Connection, device, or access point does not exist."));
}

}  // namespace
}  // namespace pollardtest
