#include "platform/save_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Holds the process's file-size limit low while it lives: a write past it fails as a
// full disk does, with the reason in errno, instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit low = old_;
        low.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &low);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

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
        FileSizeLimit limit(8);
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
