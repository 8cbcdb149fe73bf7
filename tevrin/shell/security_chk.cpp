#include "tevrin/shell/security_chk.h"

#include "platform/data_folder.h"
#include "platform/save_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <tomcrypt.h>

#include <algorithm>

const char* const SecurityChk::kMasterPassword = "kt$5208";
const char* const SecurityChk::kDefaultPassword = "8421";
const char* const SecurityChk::kFactoryCode = "qmrx";

namespace {
SecurityChk* g_securityChk = nullptr;
}  // namespace

SecurityChk& SecurityChk::Instance()
{
    if (!g_securityChk) g_securityChk = new SecurityChk();
    return *g_securityChk;
}

void SecurityChk::Destroy()
{
    delete g_securityChk;
    g_securityChk = nullptr;
}

void SecurityChk::SetAppDataFolder() { SetAppDataFolder(platform::UserDataFolder()); }

void SecurityChk::SetAppDataFolder(const QString& folder)
{
    dataFolder_.clear();
    if (folder.isEmpty()) return;
    if (!QDir().mkpath(folder)) return;
    dataFolder_ = QDir(folder).absolutePath();
}

bool SecurityChk::ChangeToFolder() const
{
    if (dataFolder_.isEmpty()) return false;
    return QDir::setCurrent(dataFolder_);
}

QString SecurityChk::PasswordFilePath() const
{
    const QString name = QString::fromLatin1(kPasswordFileName);
    return dataFolder_.isEmpty() ? name : QDir(dataFolder_).filePath(name);
}

SecurityChk::Digest SecurityChk::Md5(const std::string& text)
{
    Digest out{};
    hash_state md;
    md5_init(&md);
    md5_process(&md, reinterpret_cast<const unsigned char*>(text.data()), static_cast<unsigned long>(text.size()));
    md5_done(&md, out.data());
    return out;
}

bool SecurityChk::CheckPassword(const std::string& password)
{
    if (password == kMasterPassword) return true;

    ChangeToFolder();
    QFile file(PasswordFilePath());
    if (!file.exists()) return false;
    if (!file.open(QIODevice::ReadOnly)) return false;
    digest_.fill(0);
    const qint64 got = file.read(reinterpret_cast<char*>(digest_.data()), static_cast<qint64>(digest_.size()));
    file.close();
    if (got < 0) return false;

    const Digest computed = Md5(password);
    return std::equal(computed.begin(), computed.end(), digest_.begin());
}

bool SecurityChk::SetPassword(const std::string& password, QString* why)
{
    ChangeToFolder();
    const Digest digest = Md5(password);
    const QByteArray bytes(reinterpret_cast<const char*>(digest.data()), static_cast<qsizetype>(digest.size()));
    if (!platform::SaveWhole(PasswordFilePath(), bytes, why)) return false;
    digest_ = digest;
    return true;
}

bool SecurityChk::ResetPassword(QString* why)
{
    ChangeToFolder();
    return SetPassword(kDefaultPassword, why);
}

bool SecurityChk::IsFactoryCode(const std::string& text) { return text == kFactoryCode; }
