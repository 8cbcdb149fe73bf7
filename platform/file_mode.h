#pragma once
// The mode (permission bits) of the files the program writes in place of others or anew: a file
// it replaces keeps what its user gave it, and a new file gets what the user's file-creation mask
// leaves, as any other program's new file does.
#include <QString>

#include <sys/types.h>

namespace platform {

// What a new file gets: read and write for everyone, less the user's file-creation mask. The
// mask is read without changing it, since it is shared by every thread of the process.
mode_t NewFileMode();

// What a file written in place of `path` gets: the permission bits of the file there (followed
// through symbolic links), or NewFileMode() when there is none.
mode_t ReplacingMode(const QString& path);

}  // namespace platform
