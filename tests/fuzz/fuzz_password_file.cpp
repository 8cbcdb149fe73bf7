// The Update-mode password file "Passw.dat" as the password check reads it. The input is the
// length of a password (its low six bits; bit 7: the file starts with that password's digest,
// so that the accepting road is taken too), the password, then the file's bytes. A password
// opens Update mode exactly when it is the master password or its digest is the file's first
// 16 bytes (missing bytes counting as zero).
#include "tests/fuzz/fuzz_support.h"

#include "tevrin/shell/security_chk.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <string>

namespace {
QString gFolder;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    gFolder = QDir::home().filePath(QStringLiteral("passwords"));
    QDir().mkpath(gFolder);
    SecurityChk::Instance().SetAppDataFolder(gFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 4096) return 0;
    const size_t length = std::min<size_t>(data[0] & 0x3F, size - 1);
    const bool digestFirst = (data[0] & 0x80) != 0;
    const std::string password(reinterpret_cast<const char*>(data + 1), length);
    const char* rest = reinterpret_cast<const char*>(data + 1 + length);
    const size_t restSize = size - 1 - length;

    SecurityChk& security = SecurityChk::Instance();
    QByteArray file;
    if (digestFirst) {
        const SecurityChk::Digest d = SecurityChk::Md5(password);
        file.append(reinterpret_cast<const char*>(d.data()), static_cast<int>(d.size()));
    }
    file.append(rest, static_cast<int>(restSize));
    {
        QFile out(security.PasswordFilePath());
        fuzz::Require(out.open(QIODevice::WriteOnly | QIODevice::Truncate), "the password file can be written");
        out.write(file);
    }

    QByteArray stored = file.left(16);
    stored.append(QByteArray(16 - stored.size(), '\0'));
    const SecurityChk::Digest d = SecurityChk::Md5(password);
    const bool expected = password == SecurityChk::kMasterPassword ||
                          QByteArray(reinterpret_cast<const char*>(d.data()), 16) == stored;
    fuzz::Require(security.CheckPassword(password) == expected, "the password check disagrees with the file");
    fuzz::Require(security.CheckPassword(SecurityChk::kMasterPassword), "the master password always opens");
    if (digestFirst) fuzz::Require(security.CheckPassword(password), "the stored password opens");
    return 0;
}
