#include "tests/pollard/engine_fixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace pollardtest {

void Settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
}

bool SettleUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return true;
}

Exchange Send(const QByteArray& request, bool notify, int capacity)
{
    Exchange ex;
    QByteArray buffer(capacity + 16, static_cast<char>(0xCC));
    ex.replyLength = capacity;
    ex.result = SendReceive(reinterpret_cast<const unsigned char*>(request.constData()), request.size(),
                            reinterpret_cast<unsigned char*>(buffer.data()), &ex.replyLength, notify);
    if (ex.result == 0) ex.reply = buffer.left(ex.replyLength);
    // Nothing may be written past the caller's buffer.
    EXPECT_EQ(buffer.mid(capacity), QByteArray(16, static_cast<char>(0xCC)));
    return ex;
}

void EngineTest::SetUp()
{
    platform::SetMainForm(&form);
    QFile::remove(pollard::SettingsFilePath());   // every test starts from the defaults
    Initialize();
    ASSERT_NE(pollard::Engine::Instance(), nullptr);
    S().retries = QStringLiteral("2");
    S().backoffTimer = QStringLiteral("5");
    S().baud = 115200;
}

void EngineTest::TearDown()
{
    Cleanup();
    wire.Stop();
    platform::SetMainForm(nullptr);
}

void EngineTest::ServePty()
{
    ASSERT_TRUE(wire.StartPty());
    S().connectType = pollard::ctComPortDirect;
    S().portName = wire.PtyPath();
}

void EngineTest::ServeTcp()
{
    ASSERT_TRUE(wire.StartTcp(0));
    S().connectType = pollard::ctEthernet;
    S().winSock.address = QStringLiteral("127.0.0.1");
    S().winSock.port = QString::number(wire.TcpPort());
}

void EngineTest::TraceOn() { E().Trace().SetState(pollard::TraceLog::On); }

int EngineTest::TraceCount(const QString& line) const
{
    return static_cast<int>(pollard::Engine::Instance()->Trace().Lines().count(line));
}

}  // namespace pollardtest
