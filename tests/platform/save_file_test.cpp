#include "platform/save_file.h"
#include "tests/common/file_size_limit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

}  // namespace

TEST(CommitWhole, WritesTheFileWhenEveryByteFits)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("list.txt");
    platform::SaveFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("new content\r\n");
    QString why;
    EXPECT_TRUE(platform::CommitWhole(file, &why)) << why.toStdString();
    EXPECT_EQ(ReadAll(path), QByteArray("new content\r\n"));
}

// However the bytes meet the full disk (kept in the buffer until the commit, or written past it
// in one go and taken only in part without an error), the commit refuses the file.
TEST(CommitWhole, ASaveThatDoesNotWhollyFitKeepsTheOldFileAndSaysWhy)
{
    const struct {
        const char* kind;
        rlim_t room;        // bytes the disk takes
        qint64 chunk;       // bytes handed to each write
        qint64 size;        // bytes of the file
    } cases[] = {
        {"buffered, nothing fits", 0, 100, 100},
        {"buffered, part fits", 8, 100, 100},
        {"one write past the buffer, part fits", 10 * 1024, 48 * 1024, 48 * 1024},
        {"one write past the buffer, nothing fits", 0, 48 * 1024, 48 * 1024},
        {"many writes past the buffer, the last part does not fit", 100 * 1024, 20 * 1024, 120 * 1024},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        QTemporaryDir dir;
        const QString path = dir.filePath("password.dat");
        {
            QFile old(path);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("old content");
        }
        QString why;
        bool committed = true;
        {
            testsupport::FileSizeLimit limit(c.room);
            platform::SaveFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            for (qint64 at = 0; at < c.size; at += c.chunk) file.write(QByteArray(c.chunk, 'x'));
            committed = platform::CommitWhole(file, &why);
        }
        EXPECT_FALSE(committed);
        EXPECT_EQ(why, QStringLiteral("File too large"));
        EXPECT_EQ(ReadAll(path), QByteArray("old content"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"password.dat"});
    }
}

TEST(SaveWhole, ReplacesTheFileOrLeavesItAsItWas)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("addr.txt");
    const QByteArray first(40 * 1024, 'a');
    QString why;
    ASSERT_TRUE(platform::SaveWhole(path, first, &why)) << why.toStdString();
    EXPECT_EQ(ReadAll(path), first);
    {
        testsupport::FileSizeLimit limit(20 * 1024);
        EXPECT_FALSE(platform::SaveWhole(path, QByteArray(30 * 1024, 'b'), &why));
    }
    EXPECT_EQ(why, QStringLiteral("File too large"));
    EXPECT_EQ(ReadAll(path), first);

    EXPECT_FALSE(platform::SaveWhole(dir.filePath("no/such/folder/addr.txt"), first, &why));
    EXPECT_FALSE(why.isEmpty());
}
