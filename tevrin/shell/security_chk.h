#pragma once
// User-level secrets and the per-user data folder.
//
// The Update-mode password is kept as its MD5 digest: "Passw.dat" in the per-user data
// folder holds exactly the 16 raw digest bytes. A built-in master password opens Update
// mode on any installation without touching the file. The factory access code of the
// Factory tab is compared in plain.
#include <QString>

#include <array>
#include <cstdint>
#include <string>

class SecurityChk {
public:
    using Digest = std::array<uint8_t, 16>;

    static constexpr const char* kPasswordFileName = "Passw.dat";
    // Built-in secrets.
    static const char* const kMasterPassword;    // accepted before the file is consulted
    static const char* const kDefaultPassword;   // stored by ResetPassword
    static const char* const kFactoryCode;       // the Factory tab's access code

    static SecurityChk& Instance();
    static void Destroy();

    // The data folder := the user's application-data folder (created when missing); empty
    // when there is none, and then the files are used in the current folder.
    void SetAppDataFolder();
    void SetAppDataFolder(const QString& folder);
    // Makes the data folder the current folder (nothing when it is empty).
    bool ChangeToFolder() const;
    QString GetFolder() const { return dataFolder_; }
    // The password file's path (a bare name when there is no data folder).
    QString PasswordFilePath() const;

    void SetReadOnlyMode(unsigned char readOnly) { readOnlyMode_ = readOnly; }
    bool IsReadOnlyMode() const { return readOnlyMode_ != 0; }

    // The master password, or the password whose digest the file holds. A missing or
    // unreadable file accepts only the master password; a file shorter than 16 bytes is
    // compared as if the missing bytes were zero.
    bool CheckPassword(const std::string& password);
    // Stores the password's digest, replacing the file whole. False when the file could not
    // be written (the old file is then unchanged and `why` says why).
    bool SetPassword(const std::string& password, QString* why = nullptr);
    // Stores the built-in default password.
    bool ResetPassword(QString* why = nullptr);

    static bool IsFactoryCode(const std::string& text);

    // The digest last read from or written to the file.
    const Digest& LastDigest() const { return digest_; }

    // MD5 (RFC 1321) of the bytes of text.
    static Digest Md5(const std::string& text);

private:
    SecurityChk() = default;

    unsigned char readOnlyMode_ = 1;
    Digest digest_{};
    QString dataFolder_;
};
