// A TCP gateway's answers as the setup window's gateway dialogue reads them: the engine asks
// the gateway (a server in this process) for its connections, and the gateway answers with the
// input's bytes, written in chunks of the size the first byte's low six bits give. Whatever
// comes, every name taken holds no "," and no more than 255 characters, no more names come
// than the answer ends, and a node address taken is 1 to 255.
#include "tests/fuzz/fuzz_support.h"

#include "pollard/comm_settings.h"
#include "pollard/engine.h"
#include "pollard/exports.h"
#include "pollard/gateway.h"
#include "pollard/pump.h"
#include "pollard/tcp_port.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace {
QTcpServer* gServer = nullptr;
QTcpSocket* gClient = nullptr;
QByteArray gReceived;
pollard::Gateway* gGateway = nullptr;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    Initialize();
    pollard::Engine::Instance()->tcpConnectLimitMs = 2000;
    gServer = new QTcpServer();
    fuzz::Require(gServer->listen(QHostAddress::LocalHost, 0), "the gateway cannot listen");
    QObject::connect(gServer, &QTcpServer::newConnection, [] {
        while (QTcpSocket* s = gServer->nextPendingConnection()) {
            if (gClient) gClient->deleteLater();
            gClient = s;
            gReceived.clear();
            QObject::connect(s, &QTcpSocket::readyRead, [s] {
                if (s == gClient) gReceived += s->readAll();
            });
        }
    });
    gGateway = new pollard::Gateway(*pollard::Engine::Instance());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 4096) return 0;
    const int chunk = 1 + (data[0] & 0x3F);
    const QByteArray answer(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1));
    pollard::Engine& engine = *pollard::Engine::Instance();
    engine.Settings().modbusNodeAddress = QStringLiteral("1");

    if (!gGateway->Detect(QStringLiteral("127.0.0.1"), QString::number(gServer->serverPort()))) {
        fuzz::Require(false, "the gateway cannot be reached");
    }
    fuzz::Require(pollard::PumpUntil([] { return gReceived == pollard::Gateway::kListRequest; }, 2000),
                  "the gateway was not asked for its list");
    for (int at = 0; at < answer.size(); at += chunk) {
        gClient->write(answer.mid(at, chunk));
        gClient->flush();
        QCoreApplication::processEvents();
    }
    // Everything written has been read: the line stays quiet for some rounds of events.
    pollard::TcpPort& tcp = engine.Tcp();
    QElapsedTimer waited;
    waited.start();
    for (int quiet = 0; quiet < 4 && waited.elapsed() < 2000;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        quiet = gClient->bytesToWrite() == 0 && tcp.BytesAvailable() == 0 ? quiet + 1 : 0;
    }

    fuzz::Require(engine.gatewayConnections.size() <= answer.count(','), "more names than the answer ends");
    for (const QString& name : engine.gatewayConnections) {
        fuzz::Require(!name.contains(QLatin1Char(',')), "a name holds a comma");
        fuzz::Require(name.size() <= 255, "a name beyond 255 characters");
    }
    bool ok = false;
    const int address = engine.Settings().modbusNodeAddress.toInt(&ok);
    fuzz::Require(ok && address >= 1 && address <= 255, "a node address out of range");
    gGateway->Stop();
    return 0;
}
