// Choosing a connection behind a TCP gateway: the list request, the list answer, the
// selection and the node address answer, against a small gateway served in the test.
#include "tests/pollard/engine_fixture.h"

#include "pollard/gateway.h"
#include "pollard/tcp_port.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

namespace pollardtest {
namespace {

using pollard::Gateway;
using pollard::GatewayAnswerReader;

bool WaitUntil(const std::function<bool()>& done, int ms = 2000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return true;
}

TEST(GatewayAnswers, ChunksGiveNamesAndAddresses)
{
    const struct {
        const char* name;
        std::vector<QByteArray> chunks;
        QStringList names;
        int address;   // 0: no address answer seen
    } cases[] = {
        {"two names each with a comma", {"CCICfirst,second,"}, {"first", "second"}, 0},
        {"no comma after the last name", {"CCICfirst,second"}, {"first"}, 0},
        {"empty list", {"CCIC"}, {}, 0},
        {"prefix split", {"CC", "ICa,b,"}, {"a", "b"}, 0},
        {"names split across chunks", {"CCICfir", "st,sec", "ond,third,"}, {"first", "second", "third"}, 0},
        {"a new answer drops the unfinished name", {"CCICa,unfinished", "CCICb,"}, {"a", "b"}, 0},
        {"not an answer", {"hello,world,"}, {}, 0},
        {"unknown kind", {"CCIXa,b,"}, {}, 0},
        {"address", {"CCIA7"}, {}, 7},
        {"address with blanks", {"CCIA 42 "}, {}, 42},
        {"address split", {"CCIA1", "2"}, {}, 12},
        {"address 255", {"CCIA255"}, {}, 255},
        {"address not a number", {"CCIAx"}, {}, -1},
        {"address 0", {"CCIA0"}, {}, -1},
        {"address 256", {"CCIA256"}, {}, -1},
        {"address -1", {"CCIA-1"}, {}, -1},
        {"address empty", {"CCIA"}, {}, -1},
        {"name longer than 255 characters is cut", {"CCIC" + QByteArray(300, 'n'), QByteArray(5000, 'n') + ",b,"},
         {QString(255, QLatin1Char('n')), "b"}, 0},
        {"address that never ends", {"CCIA7", QByteArray(40, ' '), "3"}, {}, -1},
    };
    for (const auto& c : cases) {
        GatewayAnswerReader reader;
        QStringList names;
        int address = 0;
        for (const QByteArray& chunk : c.chunks) reader.Feed(chunk, names, address);
        EXPECT_EQ(names, c.names) << c.name;
        EXPECT_EQ(address, c.address) << c.name;
    }
}

// A gateway on a free local port: records what it is sent and answers on request.
class GatewayLink : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                client = s;
                received.clear();
                QObject::connect(s, &QTcpSocket::readyRead, [this, s] { received += s->readAll(); });
            }
        });
        E().tcpConnectLimitMs = 2000;
        gateway = std::make_unique<Gateway>(E());
    }
    void TearDown() override
    {
        gateway.reset();
        EngineTest::TearDown();
    }
    QString Port() const { return QString::number(server.serverPort()); }
    // Writes one chunk to the program and lets it arrive on its own.
    void Answer(const QByteArray& bytes)
    {
        ASSERT_NE(client, nullptr);
        client->write(bytes);
        client->flush();
        Settle(40);
    }
    bool Detect()
    {
        const bool ok = gateway->Detect(QStringLiteral("127.0.0.1"), Port());
        WaitUntil([this] { return received == Gateway::kListRequest; });
        return ok;
    }

    QTcpServer server;
    QTcpSocket* client = nullptr;
    QByteArray received;
    std::unique_ptr<Gateway> gateway;
};

TEST_F(GatewayLink, DetectAsksForTheListAndReadsItWholeAcrossChunks)
{
    E().SetLinkState(pollard::lsOnline);
    QSignalSpy changed(gateway.get(), &Gateway::ConnectionsChanged);
    ASSERT_TRUE(Detect());
    EXPECT_EQ(received, QByteArray("CCICommand,CRC"));
    EXPECT_EQ(E().GetLinkState(), pollard::lsOffline);
    EXPECT_EQ(form.Statuses(), std::vector<int>{1});
    EXPECT_EQ(E().Tcp().Address(), QStringLiteral("127.0.0.1"));

    Answer("CCICnorth,so");
    Answer("uth,east");
    Answer(",");
    EXPECT_EQ(E().gatewayConnections, (QStringList{"north", "south", "east"}));
    EXPECT_GE(changed.count(), 3);

    // A new detect starts from an empty list.
    ASSERT_TRUE(Detect());
    EXPECT_TRUE(E().gatewayConnections.isEmpty());
    Answer("CCICwest,");
    EXPECT_EQ(E().gatewayConnections, QStringList{"west"});
}

TEST_F(GatewayLink, SelectionSendsTheNameAndTakesTheNodeAddress)
{
    ASSERT_TRUE(Detect());
    Answer("CCICnorth,south,");
    QSignalSpy address(gateway.get(), &Gateway::NodeAddressChanged);
    ASSERT_TRUE(gateway->Select(QStringLiteral("south")));
    ASSERT_TRUE(WaitUntil([this] { return received == "CCISsouth"; })) << received.constData();
    EXPECT_EQ(E().GetLinkState(), pollard::lsOffline);

    Answer("CCIA7");
    EXPECT_EQ(S().modbusNodeAddress, QStringLiteral("7"));
    ASSERT_EQ(address.count(), 1);
    EXPECT_EQ(address.at(0).at(0).toString(), QStringLiteral("7"));
    // Garbage and addresses out of range change nothing.
    for (const char* bad : {"CCIAx", "CCIA0", "CCIA300", "garbage"}) {
        Answer(bad);
        EXPECT_EQ(S().modbusNodeAddress, QStringLiteral("7")) << bad;
    }
    EXPECT_EQ(address.count(), 1);
}

TEST_F(GatewayLink, NoGatewayListeningFailsQuietly)
{
    const QString port = Port();
    server.close();
    {
        EXPECT_FALSE(gateway->Detect(QStringLiteral("127.0.0.1"), port));
        EXPECT_FALSE(gateway->Select(QStringLiteral("north")));
    }
    EXPECT_TRUE(E().gatewayConnections.isEmpty());
}

TEST_F(GatewayLink, RunningExchangeKeepsItsPort)
{
    ServeTcp();
    ASSERT_EQ(CommConnect(), 0);
    wire.FailNext(sim::WireFault::Silence, 1);
    bool detected = true;
    QTimer::singleShot(30, [&] { detected = gateway->Detect(QStringLiteral("127.0.0.1"), Port()); });
    // The unit stays silent once, then answers the retry on the same connection.
    const Exchange ex = Send(ReadRow(sim::AnalyzerCore::RowOfDbId(20)));
    EXPECT_FALSE(detected);
    EXPECT_EQ(ex.result, 0);
    EXPECT_EQ(wire.ConnectionsAccepted(), 1);
    EXPECT_EQ(client, nullptr);   // the gateway was never asked
}

}  // namespace
}  // namespace pollardtest
