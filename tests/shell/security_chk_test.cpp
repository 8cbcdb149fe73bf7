#include "tevrin/shell/security_chk.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray Hex(const SecurityChk::Digest& d)
{
    return QByteArray(reinterpret_cast<const char*>(d.data()), static_cast<int>(d.size())).toHex();
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void WriteRaw(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

TEST(Md5, KnownVectors)
{
    struct Case {
        const char* text;
        const char* hex;
    };
    for (const Case& c : {
             Case{"", "d41d8cd98f00b204e9800998ecf8427e"},
             Case{"a", "0cc175b9c0f1b6a831c399e269772661"},
             Case{"abc", "900150983cd24fb0d6963f7d28e17f72"},
             Case{"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
             Case{"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
                  "57edf4a22be3c955ac49da2e2107b67a"},
         }) {
        EXPECT_EQ(Hex(SecurityChk::Md5(c.text)), QByteArray(c.hex)) << c.text;
    }
}

class SecurityChkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SecurityChk::Destroy();
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + "/data";
        security = &SecurityChk::Instance();
        security->SetAppDataFolder(folder);
        file = folder + "/Passw.dat";
    }
    void TearDown() override { SecurityChk::Destroy(); }

    QTemporaryDir dir;
    QString folder;
    QString file;
    SecurityChk* security = nullptr;
};

TEST_F(SecurityChkTest, TheDataFolderIsCreatedAndMadeCurrent)
{
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_EQ(security->GetFolder(), QDir(folder).absolutePath());
    EXPECT_EQ(security->PasswordFilePath(), QDir(folder).absolutePath() + "/Passw.dat");
    EXPECT_TRUE(security->ChangeToFolder());
    EXPECT_EQ(QDir::currentPath(), QDir(folder).canonicalPath());
}

TEST_F(SecurityChkTest, TheDefaultFolderIsTheUsersDataFolder)
{
    security->SetAppDataFolder();
    EXPECT_FALSE(security->GetFolder().isEmpty());
    EXPECT_TRUE(QDir(security->GetFolder()).exists());
}

TEST_F(SecurityChkTest, StoresExactlyTheSixteenDigestBytes)
{
    ASSERT_TRUE(security->SetPassword("abc"));
    EXPECT_EQ(ReadAll(file).toHex(), QByteArray("900150983cd24fb0d6963f7d28e17f72"));

    ASSERT_TRUE(security->SetPassword("Update 2024"));
    EXPECT_EQ(ReadAll(file), QCryptographicHash::hash("Update 2024", QCryptographicHash::Md5));
}

TEST_F(SecurityChkTest, ChecksPasswordsAgainstTheStoredDigest)
{
    ASSERT_TRUE(security->SetPassword("4711"));
    struct Case {
        std::string password;
        bool accepted;
    };
    for (const Case& c : {Case{"4711", true}, Case{"4712", false}, Case{"", false}, Case{"4711 ", false},
                          Case{SecurityChk::kMasterPassword, true}}) {
        EXPECT_EQ(security->CheckPassword(c.password), c.accepted) << c.password;
    }
}

TEST_F(SecurityChkTest, AFileWrittenElsewhereIsRead)
{
    // A digest computed independently of the store, written as raw bytes.
    WriteRaw(file, QCryptographicHash::hash("s3cret", QCryptographicHash::Md5));
    EXPECT_TRUE(security->CheckPassword("s3cret"));
    EXPECT_FALSE(security->CheckPassword("S3cret"));
}

TEST_F(SecurityChkTest, TheMasterPasswordLeavesTheStoredDigestAlone)
{
    ASSERT_TRUE(security->SetPassword("4711"));
    const QByteArray before = ReadAll(file);
    EXPECT_TRUE(security->CheckPassword(SecurityChk::kMasterPassword));
    EXPECT_EQ(ReadAll(file), before);
    EXPECT_TRUE(security->CheckPassword("4711"));
}

TEST_F(SecurityChkTest, WithoutAFileOnlyTheMasterPasswordIsAccepted)
{
    ASSERT_FALSE(QFile::exists(file));
    EXPECT_FALSE(security->CheckPassword(""));
    EXPECT_FALSE(security->CheckPassword(SecurityChk::kDefaultPassword));
    EXPECT_TRUE(security->CheckPassword(SecurityChk::kMasterPassword));
}

TEST_F(SecurityChkTest, AShortFileIsComparedAsIfZeroFilled)
{
    const QByteArray full = QCryptographicHash::hash("abc", QCryptographicHash::Md5);
    WriteRaw(file, full.left(8));
    EXPECT_FALSE(security->CheckPassword("abc"));
    EXPECT_EQ(Hex(security->LastDigest()), full.left(8).toHex() + QByteArray(16, '0'));

    WriteRaw(file, QByteArray());
    EXPECT_FALSE(security->CheckPassword(""));
    EXPECT_EQ(Hex(security->LastDigest()), QByteArray(32, '0'));
}

TEST_F(SecurityChkTest, ResetStoresTheDefaultPassword)
{
    ASSERT_TRUE(security->SetPassword("4711"));
    ASSERT_TRUE(security->ResetPassword());
    EXPECT_TRUE(security->CheckPassword(SecurityChk::kDefaultPassword));
    EXPECT_FALSE(security->CheckPassword("4711"));
}

TEST_F(SecurityChkTest, AStoreThatCannotBeWrittenSaysSoAndKeepsTheOldState)
{
    // A folder in the way of the file: nothing can be written there.
    ASSERT_TRUE(QDir().mkpath(file));
    EXPECT_FALSE(security->SetPassword("4711"));
    EXPECT_TRUE(QFileInfo(file).isDir());
    EXPECT_FALSE(security->CheckPassword("4711"));
}

TEST_F(SecurityChkTest, WithoutADataFolderTheCurrentFolderIsUsed)
{
    security->SetAppDataFolder(QString());
    EXPECT_TRUE(security->GetFolder().isEmpty());
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    ASSERT_TRUE(security->SetPassword("abc"));
    EXPECT_TRUE(QFile::exists(dir.path() + "/Passw.dat"));
    EXPECT_TRUE(security->CheckPassword("abc"));
    QDir::setCurrent(previous);
}

TEST_F(SecurityChkTest, ReadOnlyModeAndFactoryCode)
{
    EXPECT_TRUE(security->IsReadOnlyMode());
    security->SetReadOnlyMode(0);
    EXPECT_FALSE(security->IsReadOnlyMode());
    EXPECT_TRUE(SecurityChk::IsFactoryCode(SecurityChk::kFactoryCode));
    std::string upper = SecurityChk::kFactoryCode;
    for (char& ch : upper) ch = static_cast<char>(ch - 'a' + 'A');
    EXPECT_FALSE(SecurityChk::IsFactoryCode(upper));
    EXPECT_FALSE(SecurityChk::IsFactoryCode(""));
}

}  // namespace
