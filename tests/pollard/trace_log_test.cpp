// The port's trace log: bounded in memory, written out whole on request.
#include "tests/pollard/engine_fixture.h"

#include "platform/data_folder.h"

#include <QDir>
#include <QFile>

namespace pollardtest {
namespace {

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(TraceLog, KeepsTheNewestLinesWithinItsSize)
{
    pollard::TraceLog log;
    log.SetMaxBytes(20);
    log.Add(QStringLiteral("ignored while off"));
    log.SetState(pollard::TraceLog::On);
    log.Add(QStringLiteral("first line"));
    log.Add(QStringLiteral("second line"));
    log.Add(QStringLiteral("third"));
    EXPECT_EQ(log.Lines(), (QStringList{QStringLiteral("second line"), QStringLiteral("third")}));
}

TEST(TraceLog, WritesOutReplacingOrAppendingAndSaysWhenItCannot)
{
    pollard::TraceLog log;
    log.SetFileName(QStringLiteral(".\\trace.log"));   // relative: in the per-user data folder
    const QString path = QDir(platform::UserDataFolder()).filePath(QStringLiteral("trace.log"));
    EXPECT_EQ(log.ResolvedFileName(), path);
    log.SetState(pollard::TraceLog::On);
    log.Add(QStringLiteral("one"));
    ASSERT_TRUE(log.SetState(pollard::TraceLog::Dump));
    EXPECT_EQ(ReadFile(path), QByteArray("one\r\n"));
    EXPECT_EQ(log.state(), pollard::TraceLog::Off);
    EXPECT_TRUE(log.Lines().isEmpty());

    log.SetState(pollard::TraceLog::On);
    log.AddData("Tx", QByteArray::fromHex("FF1241"));
    ASSERT_TRUE(log.SetState(pollard::TraceLog::Append));
    EXPECT_EQ(ReadFile(path), QByteArray("one\r\nTx: [FF][12][41]\r\n"));

    log.SetFileName(QStringLiteral("no-such-folder/trace.log"));
    log.SetState(pollard::TraceLog::On);
    log.Add(QStringLiteral("kept"));
    EXPECT_FALSE(log.SetState(pollard::TraceLog::Dump));
    EXPECT_EQ(log.Lines(), QStringList{QStringLiteral("kept")});
}

class TraceAfterSuccess : public EngineTest {};

TEST_F(TraceAfterSuccess, GoodReplyWritesTheLogOutAndTracingGoesOn)
{
    ServePty();
    ASSERT_EQ(CommConnect(), 0);
    S().writeReset = true;
    S().append = true;
    E().Trace().SetFileName(QStringLiteral("comm.log"));
    QFile::remove(E().Trace().ResolvedFileName());
    TraceOn();
    ASSERT_EQ(Send(ReadRow(1)).result, 0);
    ASSERT_EQ(Send(ReadRow(1)).result, 0);
    const QByteArray text = ReadFile(E().Trace().ResolvedFileName());
    EXPECT_EQ(text.count("Action is acRead"), 2);
    EXPECT_EQ(text.count("Tx: [FF][12][04][01][01][00]"), 2);
    EXPECT_TRUE(E().Trace().IsOn());
}

}  // namespace
}  // namespace pollardtest
