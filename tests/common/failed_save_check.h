#pragma once
// The check every save is held to when the disk fills: over a file that holds old, a save that
// finds no room at all, and one that finds room for only part of its file, fails with the reason
// in words, the old file stays byte for byte and no other file is left beside it; with room
// again the same save goes through and replaces (or extends) the file.
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

inline void WriteFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// save(path, why) saves into path and gives the reason of a failure in why. appends: the save
// adds to the end of the file; on the full disk the disk still takes a few bytes past the old
// file, so that the append only partly fits.
inline void ExpectFailedSaveKeepsTheOldFile(const QString& path, const QByteArray& old, bool appends,
                                            const std::function<bool(const QString&, QString&)>& save)
{
    // With room, the save goes through: what it writes sets how much of it the disk takes below.
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    WriteFileBytes(path, old);
    QString why;
    ASSERT_TRUE(save(path, why)) << why.toStdString();
    const QByteArray saved = FileBytes(path);
    ASSERT_NE(saved, old);
    const qint64 written = appends ? saved.size() - old.size() : saved.size();
    ASSERT_GT(written, 1);

    const QDir dir = QFileInfo(path).absoluteDir();
    const struct {
        const char* disk;
        qint64 room;   // bytes the disk takes of what the save writes
    } disks[] = {
        {"full disk", appends ? 8 : 0},
        {"disk with room for half the file", written / 2},
    };
    for (const auto& d : disks) {
        SCOPED_TRACE(d.disk);
        WriteFileBytes(path, old);
        const QStringList before = dir.entryList(QDir::Files | QDir::Hidden);
        why.clear();
        bool ok = true;
        {
            FileSizeLimit limit(static_cast<rlim_t>((appends ? old.size() : 0) + d.room));
            ok = save(path, why);
        }
        EXPECT_FALSE(ok);
        EXPECT_TRUE(why.contains(QLatin1String("File too large"))) << why.toStdString();
        const QByteArray kept = FileBytes(path);
        EXPECT_TRUE(kept == old) << "the file holds " << kept.size() << " bytes in place of the old " << old.size();
        EXPECT_EQ(dir.entryList(QDir::Files | QDir::Hidden), before);
    }
    QFile::remove(path);
}

}  // namespace testsupport
