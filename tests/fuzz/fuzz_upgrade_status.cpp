// The upgrade status file "UpgradeStatus.dat" as the upgrade window reads it at start. Its
// three flags come from its first three lines: a line whose leading number (in its first 40
// characters) is 1 sets its flag, any other clears it; a file with fewer lines is reported and
// keeps the flags read so far. Flags read whole are written back and read again unchanged.
#include "tests/fuzz/fuzz_support.h"

#include "platform/numtext.h"
#include "tevrin/shell/security_chk.h"
#include "tevrin/shell/upgrade.h"

#include <QDir>

#include <array>

namespace {
TfmUpgrade* gWindow = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    const QString folder = QDir::home().filePath(QStringLiteral("data"));
    QDir().mkpath(folder);
    SecurityChk::Instance().SetAppDataFolder(folder);
    gWindow = new TfmUpgrade();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 64 * 1024) return 0;
    const QString path = fuzz::WriteFile(QString::fromLatin1(TfmUpgrade::kStatusFileName), data, size);

    // What the file says, line by line.
    const std::array<uint8_t, 3> before = {1, 0, 1};
    std::array<uint8_t, 3> expected = before;
    int expectedResult = 0;
    size_t at = 0;
    for (uint8_t& flag : expected) {
        if (at >= size) {
            expectedResult = 3;
            break;
        }
        size_t end = at;
        while (end < size && data[end] != '\n') ++end;
        const size_t counted = std::min<size_t>(end - at, 40);
        flag = numtext::AtoL(std::string(reinterpret_cast<const char*>(data + at), counted)) == 1 ? 1 : 0;
        at = end + 1;
    }

    gWindow->StepDone = before;
    const int result = gWindow->ReadStatus(path);
    fuzz::Require(result == expectedResult, "the status file read gives another result");
    fuzz::Require(gWindow->StepDone == expected, "the status file read gives other flags");

    if (result == 0) {
        const QString again = QDir::home().filePath(QStringLiteral("again.dat"));
        fuzz::Require(gWindow->SaveStatus(again) == 0, "the status cannot be written");
        gWindow->StepDone = {0, 1, 0};
        fuzz::Require(gWindow->ReadStatus(again) == 0, "the written status cannot be read");
        fuzz::Require(gWindow->StepDone == expected, "the written status reads back otherwise");
    }
    return 0;
}
