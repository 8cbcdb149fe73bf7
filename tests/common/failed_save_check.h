#pragma once
// The check every save is held to on a full disk: over a file that holds old, the save fails
// with the reason in words, the old file stays byte for byte and no other file is left beside
// it; with room again the same save goes through and replaces (or extends) the file.
#include "tests/common/file_size_limit.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <gtest/gtest.h>

#include <functional>

namespace testsupport {

inline QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// save(path, why) saves into path and gives the reason of a failure in why. appends: the disk
// still takes a few bytes past the old file, so that an append only partly fits.
inline void ExpectFailedSaveKeepsTheOldFile(const QString& path, const QByteArray& old, bool appends,
                                            const std::function<bool(const QString&, QString&)>& save)
{
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(old), old.size());
    }
    const QDir dir = QFileInfo(path).absoluteDir();
    const QStringList before = dir.entryList(QDir::Files | QDir::Hidden);

    QString why;
    bool saved = true;
    {
        FileSizeLimit full(appends ? static_cast<rlim_t>(old.size() + 8) : 0);
        saved = save(path, why);
    }
    EXPECT_FALSE(saved);
    EXPECT_TRUE(why.contains(QLatin1String("File too large"))) << why.toStdString();
    EXPECT_EQ(FileBytes(path), old);
    EXPECT_EQ(dir.entryList(QDir::Files | QDir::Hidden), before);

    why.clear();
    EXPECT_TRUE(save(path, why)) << why.toStdString();
    EXPECT_NE(FileBytes(path), old);
    QFile::remove(path);
}

}  // namespace testsupport
