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
    QSaveFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("new content\r\n");
    QString why;
    EXPECT_TRUE(platform::CommitWhole(file, &why)) << why.toStdString();
    EXPECT_EQ(ReadAll(path), QByteArray("new content\r\n"));
}

TEST(CommitWhole, ASmallSaveThatCannotReachTheDiskKeepsTheOldFileAndSaysWhy)
{
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
        testsupport::FileSizeLimit limit(8);
        QSaveFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(100, 'x'));  // stays in the buffer until the commit
        committed = platform::CommitWhole(file, &why);
    }
    EXPECT_FALSE(committed);
    EXPECT_EQ(why, QStringLiteral("File too large"));
    EXPECT_EQ(ReadAll(path), QByteArray("old content"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"password.dat"});
}
