#pragma once
// Files written whole or not at all.
//
// QSaveFile keeps the last bytes in its buffer until commit(), and commit() of this Qt
// does not report a failed final flush: on a full disk it renames an empty or cut file
// over the good one and returns true. Every save of the program commits through here.
#include <QSaveFile>
#include <QString>

namespace platform {

// Flushes `file`'s buffered bytes and commits it only when every byte reached the file.
// Otherwise the write is cancelled, the old file stays as it was, false is returned and
// `why` (when given) holds the reason in words, such as "No space left on device".
bool CommitWhole(QSaveFile& file, QString* why = nullptr);

}  // namespace platform
