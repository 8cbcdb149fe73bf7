// The engine's files saved while the disk cannot take a byte more, or only part of the file: the
// save fails, the old file stays byte for byte, no temporary file is left, and the reason is in
// words. The files are larger than a write the file layer keeps in its buffer.
#include "tests/common/failed_save_check.h"
#include "tests/common/fake_prompter.h"
#include "pollard/comm_settings.h"
#include "pollard/address_book.h"
#include "pollard/trace_log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

TEST(EngineFileSaves, WhenTheDiskFillsTheyFailKeepTheOldFileAndSayWhy)
{
    QTemporaryDir dir;
    QTemporaryDir fallback;
    FakePrompter prompter;
    using Save = std::function<bool(const QString& path, QString& why)>;
    const struct {
        const char* kind;
        QString path;
        Save save;
        bool appends = false;   // adds to the end of the file
    } cases[] = {
        {"address book", dir.filePath(QStringLiteral("addr.txt")),
         [&book_dir = dir, &fallback_dir = fallback](const QString& path, QString& why) {
             pollard::PortAddrMgr book(book_dir.path(), fallback_dir.path());
             for (int k = 0; k < 1000; ++k) book.Add(QStringLiteral("plant %1").arg(k), QStringLiteral("10.0.0.7"), 502);
             const bool ok = book.Save(QFileInfo(path).fileName());
             why = book.LastError();
             return ok;
         }},
        {"trace log (replaced)", dir.filePath(QStringLiteral("comm.trc")),
         [](const QString& path, QString& why) {
             pollard::TraceLog trace;
             trace.SetFileName(path);
             trace.SetMaxBytes(1 << 20);
             trace.SetState(pollard::TraceLog::On);
             for (int k = 0; k < 1000; ++k) trace.Add(QStringLiteral("Tx: [01][02] %1").arg(k));
             const bool ok = trace.SetState(pollard::TraceLog::Dump);
             why = trace.LastError();
             EXPECT_EQ(trace.Lines().size(), ok ? 0 : 1000);   // the lines are kept for another try
             return ok;
         }},
        {"trace log (appended)", dir.filePath(QStringLiteral("comm.trc")),
         [](const QString& path, QString& why) {
             pollard::TraceLog trace;
             trace.SetFileName(path);
             trace.SetMaxBytes(1 << 20);
             trace.SetState(pollard::TraceLog::On);
             for (int k = 0; k < 1000; ++k) trace.Add(QStringLiteral("Rx: [03] %1").arg(k));
             const bool ok = trace.SetState(pollard::TraceLog::Append);
             why = trace.LastError();
             return ok;
         },
         true},
        {"engine settings", pollard::SettingsFilePath(),
         [&prompter](const QString&, QString& why) {
             prompter.prompts.clear();
             pollard::CommSettings settings;
             settings.Load();
             settings.comment = QStringLiteral("line 4, %1").arg(QString(400, QLatin1Char('c')));
             settings.winSock = {QStringLiteral("10.0.0.7"), QStringLiteral("502")};
             const bool ok = settings.Save();
             why = prompter.Texts().join(QLatin1Char('|'));
             return ok;
         }},
    };
    const QByteArray old = QByteArrayLiteral("the old file, which must survive\r\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        testsupport::ExpectFailedSaveKeepsTheOldFile(c.path, old, c.appends, c.save);
    }
}
