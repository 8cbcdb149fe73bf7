// The modem link: a Hayes modem (played by the simulator) in front of the analyzer.
#include "tests/pollard/engine_fixture.h"

#include "pollard/modem.h"
#include "pollard/serial_port.h"
#include "tests/common/fake_clock.h"
#include "tests/common/file_size_limit.h"
#include "tests/common/fake_prompter.h"

#include "platform/data_folder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <numeric>

namespace pollardtest {
namespace {

class ModemLink : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        ServePty();
        wire.SetModem(true);
        S().connectType = pollard::ctModem;
        S().dialNum = QStringLiteral("5551234");
        S().maxAttempts = QStringLiteral("2");
        S().timeBtwnAttempts = QStringLiteral("1");
        auto& timing = E().ModemLine().timing;
        timing.commandMs = 500;
        timing.dialMs = 500;
        timing.guardMs = 30;
        row = sim::AnalyzerCore::RowOfDbId(20);
    }
    int row = 0;
};

TEST_F(ModemLink, ConnectDialsAndCarriesFrames)
{
    EXPECT_EQ(CommConnect(), 0);
    EXPECT_TRUE(IsOnline());
    EXPECT_TRUE(E().ModemCallPlaced());
    EXPECT_EQ(E().ModemInfo(), QStringLiteral("Connected at 19200 baud"));
    EXPECT_EQ(wire.ModemCommands(), (QStringList{QStringLiteral("ATE0V1"), QStringLiteral("ATDT5551234")}));
    EXPECT_EQ(form.Statuses(), std::vector<int>{1});
    const Exchange ex = Send(ReadRow(row));
    EXPECT_EQ(ex.result, 0);
    EXPECT_EQ(ex.reply, *sim::AnalyzerCore().Handle(ReadRow(row)));

    // A second connect keeps the call that is up.
    EXPECT_EQ(CommConnect(), 0);
    EXPECT_EQ(wire.DialCount(), 1);
    EXPECT_EQ(Send(ReadRow(row)).result, 0);
}

TEST_F(ModemLink, RedialsAfterBusyWithThePauseBetweenAttempts)
{
    FakeClock clock;
    S().maxAttempts = QStringLiteral("3");
    S().timeBtwnAttempts = QStringLiteral("7");
    wire.QueueDialResults({QStringLiteral("BUSY"), QStringLiteral("NO CARRIER")});
    EXPECT_EQ(CommConnect(), 0);
    EXPECT_EQ(wire.DialCount(), 3);
    EXPECT_GE(std::accumulate(clock.sleeps.begin(), clock.sleeps.end(), 0), 2 * 7000);
    EXPECT_EQ(Send(ReadRow(row)).result, 0);
}

TEST_F(ModemLink, PauseBetweenAttemptsIsBounded)
{
    // 2,147,484 seconds once overflowed the pause in milliseconds: the redial came at once.
    FakeClock clock;
    S().timeBtwnAttempts = QStringLiteral("2147484");
    wire.QueueDialResults({QStringLiteral("BUSY")});
    EXPECT_EQ(CommConnect(), 0);
    EXPECT_EQ(wire.DialCount(), 2);
    const int64_t slept = std::accumulate(clock.sleeps.begin(), clock.sleeps.end(), int64_t{0});
    EXPECT_GE(slept, int64_t{pollard::CommSettings::kMaxSecondsBetweenAttempts} * 1000);
    EXPECT_LT(slept, int64_t{pollard::CommSettings::kMaxSecondsBetweenAttempts} * 1000 + 1000);
}

TEST_F(ModemLink, AbandonedCallFailsTheConnect)
{
    const struct {
        const char* name;
        QStringList results;
    } cases[] = {
        {"no carrier twice", {QStringLiteral("NO CARRIER"), QStringLiteral("NO CARRIER")}},
        {"no answer to the dial at all", {QString(), QString()}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeClock clock;
        form.notices.clear();
        const int dialsBefore = wire.DialCount();
        wire.QueueDialResults(c.results);
        EXPECT_EQ(CommConnect(), 1);
        EXPECT_EQ(wire.DialCount() - dialsBefore, 2);
        EXPECT_FALSE(IsOnline());
        EXPECT_FALSE(E().SettingsLocked());
        EXPECT_FALSE(E().ModemCallPlaced());
        EXPECT_EQ(form.Statuses(), std::vector<int>{0});
        EXPECT_EQ(Send(ReadRow(row)).result, 5);
    }
}

TEST_F(ModemLink, AModemPortThatDoesNotOpenIsNamedWithItsReason)
{
    FakePrompter prompter;
    S().portName = QStringLiteral("/dev/no-such-modem-device");
    // Not a call that failed: the port did not open, and the box names it as for a direct port.
    EXPECT_EQ(CommConnect(), 5);
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Error);
    const QString text = prompter.prompts[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Com port not open.\n/dev/no-such-modem-device: "))) << text.toStdString();
    EXPECT_GT(text.size(), QStringLiteral("Com port not open.\n/dev/no-such-modem-device: ").size()) << "the reason";
    EXPECT_EQ(wire.DialCount(), 0);
    EXPECT_FALSE(IsOnline());
    EXPECT_FALSE(E().SettingsLocked());
    EXPECT_EQ(Send(ReadRow(row)).result, 5);

    // A call that is not answered stays a failed call, with no port named.
    prompter.prompts.clear();
    S().portName = wire.PtyPath();
    S().maxAttempts = QStringLiteral("1");
    wire.QueueDialResults({QStringLiteral("BUSY")});
    EXPECT_EQ(CommConnect(), 1);
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(ModemLink, NoNumberMeansNoCall)
{
    S().dialNum = QStringLiteral("  ");
    EXPECT_EQ(CommConnect(), 1);
    EXPECT_EQ(wire.DialCount(), 0);
}

TEST_F(ModemLink, UserCancelStopsTheDialling)
{
    E().ModemLine().timing.dialMs = 10000;
    wire.QueueDialResults({QString()});   // the modem never answers the dial
    // The user gives up once the dial command is out.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (wire.DialCount() >= 1) {
            watch.stop();
            SetUserCancel(true);
        }
    });
    watch.start(5);
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(CommConnect(), 1);
    EXPECT_LT(t.elapsed(), 3000);
    EXPECT_EQ(wire.DialCount(), 1);
    EXPECT_FALSE(IsOnline());
}

TEST_F(ModemLink, DisconnectHangsUpUnlessTheLineIsKept)
{
    ASSERT_EQ(CommConnect(), 0);
    CommDisconnect(true);
    EXPECT_FALSE(IsOnline());
    EXPECT_TRUE(wire.ModemInCall());
    EXPECT_TRUE(E().ModemCallPlaced());

    CommDisconnect(false);
    EXPECT_TRUE(wire.WaitFor([&] { return !wire.ModemInCall(); }, 1000));
    EXPECT_TRUE(wire.ModemCommands().contains(QStringLiteral("ATH0")));
    EXPECT_FALSE(E().ModemCallPlaced());
    EXPECT_FALSE(E().Serial().IsOpen());
    EXPECT_EQ(E().ModemInfo(), QStringLiteral("Not Connected"));

    // The next connect places a new call.
    EXPECT_EQ(CommConnect(), 0);
    EXPECT_EQ(wire.DialCount(), 2);
    EXPECT_EQ(Send(ReadRow(row)).result, 0);
}

TEST_F(ModemLink, CallHistoryIsKeptOnlyWithCreateTapiLog)
{
    const QString history = platform::UserDataFile(QStringLiteral("APROTAPI.HIS"));
    QFile::remove(history);
    ASSERT_EQ(CommConnect(), 0);
    CommDisconnect(false);
    EXPECT_FALSE(QFile::exists(history));

    S().createTapiLog = true;
    wire.QueueDialResults({QStringLiteral("BUSY")});
    {
        FakeClock clock;   // the pause before the second attempt
        ASSERT_EQ(CommConnect(), 0);
    }
    CommDisconnect(false);
    QFile file(history);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList events;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.trimmed().isEmpty()) events << QString::fromUtf8(line.trimmed()).section(QStringLiteral("  "), 1);
    EXPECT_EQ(events, (QStringList{QStringLiteral("Dialling 5551234"), QStringLiteral("BUSY"),
                                   QStringLiteral("Dialling 5551234"), QStringLiteral("Connected at 19200 baud"),
                                   QStringLiteral("Call ended")}));
}

// A history file that cannot grow (a full disk) keeps its lines whole: a line that only partly
// fits is taken back, the trace says why, and the call goes on.
TEST_F(ModemLink, CallHistoryThatCannotGrowKeepsItsLinesWhole)
{
    const QString history = platform::UserDataFile(QStringLiteral("APROTAPI.HIS"));
    FakePrompter prompter;   // a port that did not open must not wait on a message box
    // Long enough that the port's own lock file still fits under the limit.
    QByteArray old;
    for (int i = 0; i < 16; ++i) old += "2026-01-02 03:04:05  Call ended\r\n";
    {
        QFile file(history);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(old);
    }
    S().createTapiLog = true;
    E().Trace().SetState(pollard::TraceLog::On);
    {
        testsupport::FileSizeLimit full(static_cast<rlim_t>(old.size() + 8));
        ASSERT_EQ(CommConnect(), 0);
    }
    EXPECT_TRUE(IsOnline());
    QFile file(history);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), old.toStdString());
    EXPECT_TRUE(E().Trace().Lines().filter(QStringLiteral("call history not written: File too large")).size() > 0)
        << E().Trace().Lines().join(QLatin1Char('\n')).toStdString();
    CommDisconnect(false);
}

}  // namespace
}  // namespace pollardtest
