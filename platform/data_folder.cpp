#include "platform/data_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace platform {

QString UserDataFolder()
{
    QString path = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (path.isEmpty()) path = QDir::homePath() + QStringLiteral("/.local/share/Tevrin");
    QDir().mkpath(path);
    return QDir(path).absolutePath();
}

QString UserDataFile(const QString& name) { return UserDataFolder() + QLatin1Char('/') + name; }

bool MakeUserDataFolderCurrent() { return QDir::setCurrent(UserDataFolder()); }

QString ProgramFolder()
{
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

}  // namespace platform
