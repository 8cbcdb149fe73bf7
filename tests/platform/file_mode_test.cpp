// The mode of the files the program writes anew.
#include "platform/file_mode.h"
#include "tests/common/mask_for.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

namespace {

TEST(NewFileMode, IsWhatTheMaskLeavesOfReadAndWrite)
{
    for (const mode_t mask : {022, 027, 077, 002, 0, 0777}) {
        const testsupport::MaskFor set(mask);
        EXPECT_EQ(platform::NewFileMode(), 0666 & ~mask) << std::oct << mask;
    }
}

// The mask belongs to every thread of the process: while one thread asks for the mode, the
// files another one makes get what the mask leaves, never more.
TEST(NewFileMode, AskingLeavesTheMaskAsItIsForEveryOtherThread)
{
    const testsupport::MaskFor set(077);
    QTemporaryDir dir;
    const QByteArray name = QFile::encodeName(QDir(dir.path()).filePath(QStringLiteral("made")));
    std::atomic<bool> done{false};
    std::thread asking([&done] {
        while (!done) platform::NewFileMode();
    });
    int opened = 0;
    for (int k = 0; k < 2000; ++k) {
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        ASSERT_GE(fd, 0);
        struct stat st {};
        ASSERT_EQ(::fstat(fd, &st), 0);
        if ((st.st_mode & 0777) != 0600) ++opened;
        ::close(fd);
        ::unlink(name.constData());
    }
    done = true;
    asking.join();
    EXPECT_EQ(opened, 0) << "files made more open than the mask lets them be";
}

}  // namespace
