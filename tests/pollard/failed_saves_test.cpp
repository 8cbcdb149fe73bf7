// The engine's files saved while the disk cannot take a byte more: the save fails, the old file
// stays byte for byte, no temporary file is left, and the reason is in words.
#include "tests/common/file_size_limit.h"
#include "pollard/address_book.h"
#include "pollard/trace_log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

}  // namespace

TEST(EngineFileSaves, OnAFullDiskTheyFailKeepTheOldFileAndSayWhy)
{
    QTemporaryDir dir;
    QTemporaryDir fallback;
    using Save = std::function<bool(const QString& path, QString& why)>;
    const struct {
        const char* kind;
        const char* fileName;
        Save save;
        bool appends = false;   // the disk still takes a few bytes: an append only partly fits
    } cases[] = {
        {"address book", "addr.txt",
         [&book_dir = dir, &fallback_dir = fallback](const QString& path, QString& why) {
             pollard::PortAddrMgr book(book_dir.path(), fallback_dir.path());
             book.Add(QStringLiteral("plant"), QStringLiteral("10.0.0.7"), 502);
             const bool ok = book.Save(QFileInfo(path).fileName());
             why = book.LastError();
             return ok;
         }},
        {"trace log (replaced)", "comm.trc",
         [](const QString& path, QString& why) {
             pollard::TraceLog trace;
             trace.SetFileName(path);
             trace.SetState(pollard::TraceLog::On);
             trace.Add(QStringLiteral("Tx: [01][02]"));
             const bool ok = trace.SetState(pollard::TraceLog::Dump);
             why = trace.LastError();
             EXPECT_EQ(trace.Lines().size(), ok ? 0 : 1);   // the lines are kept for another try
             return ok;
         }},
        {"trace log (appended)", "comm.trc",
         [](const QString& path, QString& why) {
             pollard::TraceLog trace;
             trace.SetFileName(path);
             trace.SetState(pollard::TraceLog::On);
             trace.Add(QStringLiteral("Rx: [03]"));
             const bool ok = trace.SetState(pollard::TraceLog::Append);
             why = trace.LastError();
             return ok;
         },
         true},
    };
    const QByteArray old = QByteArrayLiteral("the old file, which must survive\r\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const QString path = dir.filePath(QLatin1String(c.fileName));
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(old);
        }
        const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);

        QString why;
        bool saved = true;
        {
            testsupport::FileSizeLimit full(c.appends ? static_cast<rlim_t>(old.size() + 8) : 0);
            saved = c.save(path, why);
        }
        EXPECT_FALSE(saved);
        EXPECT_TRUE(why.contains(QLatin1String("File too large"))) << why.toStdString();
        EXPECT_EQ(Bytes(path), old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), before);

        why.clear();
        EXPECT_TRUE(c.save(path, why)) << why.toStdString();
        EXPECT_NE(Bytes(path), old);
        QFile::remove(path);
    }
}
