// The engine's files saved while the disk cannot take a byte more: the save fails, the old file
// stays byte for byte, no temporary file is left, and the reason is in words.
#include "tests/common/failed_save_check.h"
#include "pollard/address_book.h"
#include "pollard/trace_log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

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
        testsupport::ExpectFailedSaveKeepsTheOldFile(dir.filePath(QLatin1String(c.fileName)), old, c.appends, c.save);
    }
}
