#pragma once
// The per-user application-data folder ("Passw.dat", "dispPlace.cfg", "LogWrite.dbg", ...).
#include <QString>

namespace platform {

// Absolute path of the folder, created on first use.
QString UserDataFolder();
// Absolute path of a file in that folder.
QString UserDataFile(const QString& name);
// Makes the folder the current directory (the program keeps it current, but never relies on it).
bool MakeUserDataFolderCurrent();
// The folder of the running program (where the shared libraries and "addrInfo.cfg" live).
QString ProgramFolder();

}  // namespace platform
