#include "tests/shell/cmd_fixture.h"

#include "tevrin/rtdb/analog_output_collection.h"
#include "tevrin/rtdb/version_state.h"
#include "tevrin/shell/commands/cmd_common.h"
#include "tevrin/shell/commands/cmd_logon.h"
#include "tevrin/shell/commands/command_line.h"
#include "tevrin/shell/state_mgr.h"

namespace cmdtest {

void CmdOwner::SetFlag(std::string key, bool value)
{
    FakeOwner::SetFlag(key, value);
    if (key == CommandKeys::tbtnLogon) logonEnabled = value;
    else if (key == CommandKeys::tbtnLogoff) logoffEnabled = value;
    else if (key == CommandKeys::SetLogOn) StateMgr::Instance().SetLogOn();
    else if (key == CommandKeys::SetLogOff) StateMgr::Instance().SetLogOff();
    else if (key == CommandKeys::EnablePages) pagesEnabled = true;
    else if (key == CommandKeys::DisablePages) pagesEnabled = false;
    else if (key == CommandKeys::SetDatabaseConfigFileTypeID)
        DataBase::Instance()->SetConfigFileTypeID(CommandKeys::DatabaseConfigFileTypeText);
}

void CmdOwner::SetNumber(std::string key, int32_t value)
{
    FakeOwner::SetNumber(key, value);
    if (key == CommandKeys::localPBarMax) progressMax = value;
}

void CmdOwner::SetText(std::string key, std::string text)
{
    FakeOwner::SetText(key, text);
    if (key == CommandKeys::StatusLineSpecialPanel) panel = text;
}

bool CmdOwner::GetFlag(std::string key)
{
    if (key == CommandKeys::LoggingOn) {
        calls.push_back("GetFlag " + key);
        return logonEnabled;
    }
    return FakeOwner::GetFlag(key);
}

int32_t CmdOwner::Request(std::string key, void* argument)
{
    FakeOwner::Request(key, argument);
    if (key == CommandKeys::SendToDatabase) return sendToDatabase();
    if (key == CommandKeys::Exit) {
        ++exitRequests;
        return 0;
    }
    return kDefaultRequest;
}

std::vector<std::string> CmdOwner::PanelTexts() const
{
    std::vector<std::string> texts;
    const std::string prefix = std::string("SetText ") + CommandKeys::StatusLineSpecialPanel + " ";
    for (const std::string& c : calls)
        if (c.rfind(prefix, 0) == 0) texts.push_back(c.substr(prefix.size()));
    return texts;
}

std::vector<std::string> CmdOwner::CallsStarting(const std::string& prefix) const
{
    std::vector<std::string> out;
    for (const std::string& c : calls)
        if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
}

void CommandTest::SetUp()
{
    SetExitRequested(false);
    VersionState::SetVersionKnown(1);
    StateMgr::Instance().SetView(&view);
    wait = std::make_unique<TWait>();
    db = DataBase::Instance();
}

void CommandTest::TearDown()
{
    CommandLine::Shutdown();
    wait.reset();
    DataBase::DestroyInstance();
    AnalogOutputCollection::DestroyInstance();
    StateMgr::Destroy();
    SetExitRequested(false);
    VersionState::SetVersionKnown(1);
}

void CommandTest::LogOn()
{
    LogonCommand logon;
    logon.SetOwner(&owner);
    logon.Execute();
    ASSERT_TRUE(logon.Succeeded());
    unit.ClearLog();
    prompter.prompts.clear();
    owner.calls.clear();
    engine.linkCalls.clear();
    clock.sleeps.clear();
}

void CommandTest::LogOnForUpdate()
{
    LogOn();
    StateMgr::Instance().SetUpdate();
    StateMgr::Instance().SetIdle();
}

std::vector<int> CommandTest::RequestTypes() const
{
    std::vector<int> types;
    for (const QByteArray& r : unit.Requests()) types.push_back(r.size() > 1 ? static_cast<uint8_t>(r.at(1)) : -1);
    return types;
}

std::vector<int> BlockRows(const QByteArray& request)
{
    std::vector<int> rows;
    const int count = static_cast<uint8_t>(request.at(2));
    for (int k = 0; k < count; ++k) {
        uint16_t row;
        std::memcpy(&row, request.constData() + 3 + 2 * k, 2);
        rows.push_back(row);
    }
    return rows;
}

int RequestAddress(const QByteArray& request)
{
    uint16_t a;
    std::memcpy(&a, request.constData() + 2, 2);
    return a;
}

}  // namespace cmdtest
