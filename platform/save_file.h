#pragma once
// Files written whole or not at all.
//
// QSaveFile keeps the last bytes in its buffer until commit(), and commit() of this Qt
// does not report a failed final flush: on a full disk it renames an empty or cut file
// over the good one and returns true. A write larger than the buffer goes straight to the
// disk, and on a disk that fills part-way it takes only some of the bytes and returns the
// short count without setting an error. Every save of the program therefore writes through
// SaveFile, which counts what it was handed against what it took, and commits through
// CommitWhole, which refuses the file when any byte was lost.
#include <QByteArray>
#include <QSaveFile>
#include <QString>

namespace platform {

class SaveFile : public QSaveFile {
public:
    using QSaveFile::QSaveFile;

protected:
    qint64 writeData(const char* data, qint64 len) override;

private:
    qint64 lost_ = 0;   // bytes handed to write() that the file did not take
    int failure_ = 0;   // errno of the first write that fell short, 0 when it left none

    friend bool CommitWhole(SaveFile& file, QString* why);
};

// Flushes `file`'s buffered bytes and commits it only when every byte handed to it reached
// the file. Otherwise the write is cancelled, the old file stays as it was, false is returned
// and `why` (when given) holds the reason in words, such as "No space left on device".
bool CommitWhole(SaveFile& file, QString* why = nullptr);

// Replaces (or creates) the file at `path` with `bytes`, whole or not at all; false with the
// reason in `why` when the file could not be opened or written.
bool SaveWhole(const QString& path, const QByteArray& bytes, QString* why = nullptr);

}  // namespace platform
