#include "tests/fuzz/fuzz_support.h"

#include "platform/messages.h"
#include "platform/prompter.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

namespace {

class SilentPrompter : public platform::IPrompter {
public:
    int Ask(const platform::Prompt&) override { return platform::mrCancel; }
    QString ChooseFile(const platform::FileRequest&) override { return QString(); }
};

QTemporaryDir* gHome = nullptr;

}  // namespace

void Init()
{
    static bool done = false;
    if (done) return;
    done = true;
    gHome = new QTemporaryDir();
    if (gHome->isValid()) {
        const QByteArray h = gHome->path().toLocal8Bit();
        setenv("HOME", h.constData(), 1);
        setenv("XDG_DATA_HOME", (h + "/.local/share").constData(), 1);
        setenv("XDG_CONFIG_HOME", (h + "/.config").constData(), 1);
        setenv("XDG_CACHE_HOME", (h + "/.cache").constData(), 1);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tevrin"));
    platform::ReserveMessageNumbers();
    static SilentPrompter prompter;
    platform::SetPrompter(&prompter);
}

QString WriteFile(const QString& name, const uint8_t* data, size_t size)
{
    const QString path = QDir(gHome ? gHome->path() : QDir::tempPath()).filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    return path;
}

bool WriteSettingsFile(const QString& path, const uint8_t* data, size_t size)
{
    static qint64 runs = 0;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000 + ++runs), QFileDevice::FileModificationTime);
    return true;
}

void Require(bool condition, const char* what)
{
    if (condition) return;
    std::fprintf(stderr, "fuzz finding: %s\n", what);
    std::abort();
}

}  // namespace fuzz
