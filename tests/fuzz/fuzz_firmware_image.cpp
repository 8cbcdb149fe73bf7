// The firmware image file on the upgrade's road: the image is written to the analyzer (the
// simulator's message core behind the test engine), read back into the read-back file, and the
// two files compared. The input's first byte tells the analyzer how many busy polls to answer
// for each block (0 to 3) and, in bit 7, that one byte of the read-back copy is spoilt before
// the compare; the rest is the image file. Whatever its bytes, the analyzer holds the image
// but its last byte, the read-back copy holds the same bytes, and the compare finds them equal
// (unequal once a byte is spoilt).
#include "tests/fuzz/fuzz_support.h"

#include "platform/clock.h"
#include "tests/engine/sim_engine.h"
#include "tests/shell/shell_fakes.h"
#include "tests/sim/core/analyzer_core.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/version_state.h"
#include "tevrin/shell/commands/cmd_image.h"
#include "tevrin/shell/security_chk.h"
#include "tevrin/shell/state_mgr.h"
#include "tevrin/shell/upgrade.h"
#include "tevrin/shell/wait_dlg.h"

#include <QDir>
#include <QFile>

namespace {

// The main window's side: logged on, everything else recorded and forgotten.
class Owner : public FakeOwner {
public:
    bool GetFlag(std::string) override { return false; }
};

sim::AnalyzerCore* gUnit = nullptr;
rtdbtest::SimEngine* gEngine = nullptr;
Owner* gOwner = nullptr;
QString gImage;

void Run(Command& command)
{
    command.SetOwner(gOwner);
    command.LoadParameters(command.SaveParameters());
    command.Execute();
    gOwner->calls.clear();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    static fuzz::QuickClock clock;
    platform::SetClock(&clock);
    VersionState::SetVersionKnown(1);
    static FakeStateView view;
    StateMgr::Instance().SetView(&view);
    static TWait wait;
    DataBase::Instance();
    const QString folder = QDir::home().filePath(QStringLiteral("data"));
    QDir().mkpath(folder);
    SecurityChk::Instance().SetAppDataFolder(folder);
    StateMgr::Instance().SetLogOn();
    StateMgr::Instance().SetIdle();
    gUnit = new sim::AnalyzerCore();
    gEngine = new rtdbtest::SimEngine(gUnit);
    gOwner = new Owner();
    gImage = QDir::home().filePath(QStringLiteral("image.bin"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2 || size > 64 * 1024) return 0;
    const int busyPolls = data[0] & 0x03;
    const bool spoil = (data[0] & 0x80) != 0;
    const QByteArray image(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1));
    fuzz::WriteFile(QStringLiteral("image.bin"), data + 1, size - 1);
    const QString readBack = image::ReadBackPath();
    QFile::remove(readBack);
    gUnit->SetImageMemory(QByteArray());
    gUnit->SetImageWriteBusyPolls(busyPolls);
    gUnit->ClearLog();

    WriteImageCommand write;
    write.SetFileName(gImage);
    Run(write);
    fuzz::Require(write.Succeeded(), "the image write failed");
    fuzz::Require(gUnit->ImageMemory() == image.left(image.size() - 1), "the analyzer holds other bytes");

    ReadImageCommand read;
    read.SetFileName(gImage);
    Run(read);
    fuzz::Require(read.Succeeded(), "the read-back failed");
    fuzz::Require(read.ImageLength() == image.size(), "the read-back took another length");
    QFile copy(readBack);
    fuzz::Require(copy.open(QIODevice::ReadOnly), "no read-back file");
    QByteArray back = copy.readAll();
    copy.close();
    fuzz::Require(back == image.left(image.size() - 1), "the read-back file holds other bytes");
    fuzz::Require(CompareFirmwareFiles(gImage, readBack), "an image and its good copy compare unequal");
    if (spoil && !back.isEmpty()) {
        const int at = static_cast<int>(data[size - 1]) % back.size();
        back[at] = static_cast<char>(back[at] ^ 0x5A);
        fuzz::WriteFile(QStringLiteral("spoilt.tmp"), reinterpret_cast<const uint8_t*>(back.constData()),
                        static_cast<size_t>(back.size()));
        fuzz::Require(!CompareFirmwareFiles(gImage, QDir::home().filePath(QStringLiteral("spoilt.tmp"))),
                      "a spoilt copy compares equal");
    }
    return 0;
}
