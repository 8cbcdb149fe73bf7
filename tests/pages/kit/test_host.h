#pragma once
// A page host for page tests without the main window: it says whether someone is logged on,
// and records what the pages asked of it.
#include "tevrin/pages/page_host.h"

#include <string>
#include <vector>

namespace pagetest {

class TestHost : public IPageHost {
public:
    explicit TestHost(bool loggedOn = false) : loggedOn(loggedOn) { SetPageHost(this); }
    ~TestHost() override { SetPageHost(nullptr); }
    void SetStreamDisp(const QString& text) override { streamDisp = text; }
    void SetStatusText(const QString& text) override { status.push_back(text); }
    bool LoggedOn() const override { return loggedOn; }
    bool ReadOnlyMode() const override { return false; }
    void PostCommand(const std::string& name, const std::string& argument) override
    {
        posts.push_back(name + ":" + argument);
    }
    bool CommandBusy() const override { return false; }
    void WriteSinglePoint(TDbId id, const std::string& text) override
    {
        writes.push_back(std::to_string(id) + "=" + text);
    }
    int32_t PostEdits() override { return postEditsResult; }
    int32_t postEditsResult = 0;   // what the pages answer to the posting of their edits
    bool TimestampTokenToDate(uint32_t, double&) const override { return false; }
    void ReadSinglePoint(TDbId id) override { reads.push_back(id); }
    bool RunCommand(const std::string& name, const std::string& argument) override
    {
        PostCommand(name, argument);
        return true;
    }
    QString EnterDataFolder() override { return QString(); }
    bool WriteConfigFile(const QString&, QString*) override
    {
        ++configFileWrites;
        return false;
    }
    int configFileWrites = 0;
    bool ReadConfigFile(const QString&, int*, QString*) override { return false; }
    void SetImageFile(const QString&) override {}
    QString ReadBackFile() const override { return QString(); }
    bool CompareFirmwareFiles(const QString&, const QString&) const override { return false; }
    IUpgradeWindow* UpgradeWindow() override { return nullptr; }
    void SetPagesEnabled(bool) override {}
    void LogOff() override {}
    void Restart() override {}
    void CloseProgram() override {}
    std::vector<int> reads;
    void PostNewModbusList(uint8_t mode) override { posts.push_back("NewModbusList:" + std::to_string(mode)); }
    bool ResetUpdatePassword(QString* why) override
    {
        ++passwordResets;
        if (!passwordResetWorks && why) *why = QStringLiteral("No space left on device");
        return passwordResetWorks;
    }
    int passwordResets = 0;
    bool passwordResetWorks = true;

    bool loggedOn;
    QString streamDisp;
    std::vector<QString> status;
    std::vector<std::string> posts, writes;
};

}  // namespace pagetest
