#include "tests/shell/cmd_fixture.h"

#include "pollard/pollard_api.h"
#include "tevrin/rtdb/analog_output_collection.h"
#include "tevrin/rtdb/comm_db_point_facade.h"
#include "tevrin/rtdb/communications.h"
#include "tevrin/rtdb/version_state.h"
#include "tevrin/shell/cmd_common.h"
#include "tevrin/shell/cmd_logon.h"
#include "tevrin/shell/command_line.h"
#include "tevrin/shell/state_mgr.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace cmdtest {

namespace {

CmdEngine* g_engine = nullptr;

void EngInitialize() {}
void EngCleanup() {}
void EngShowCommSetup() {}
bool EngIsOnline() { return false; }

void EngGetCommErrText(int code, char* buffer, int bufferSize)
{
    const char* text = pollard_api::CommResultText(code);
    if (!text) text = "";
    if (bufferSize <= 0) return;
    std::strncpy(buffer, text, static_cast<size_t>(bufferSize - 1));
    buffer[bufferSize - 1] = '\0';
}

int EngCommConnect()
{
    g_engine->linkCalls.push_back("Connect");
    if (g_engine->connectThrows) throw std::runtime_error("port trouble");
    return g_engine->connectResult;
}

void EngCommDisconnect(bool keepLine)
{
    g_engine->linkCalls.push_back(std::string("Disconnect keep=") + (keepLine ? "1" : "0"));
}

void EngSetUserCancel(bool cancel)
{
    g_engine->linkCalls.push_back(std::string("Cancel ") + (cancel ? "1" : "0"));
    g_engine->userCancel = cancel;
}

int EngSendReceive(const unsigned char* request, int requestLength, unsigned char* reply, int* replyLength, bool)
{
    CmdEngine* e = g_engine;
    ++e->exchanges;
    if (e->userCancel) return pollard_api::crCancelled;
    const QByteArray message(reinterpret_cast<const char*>(request), requestLength);
    std::optional<QByteArray> answer = e->handler->Handle(message);
    if (!answer) return pollard_api::crNoResponse;
    if (answer->size() >= 2 && static_cast<uint8_t>(answer->at(1)) == 0xFF) return pollard_api::crUnitError;
    if (reply && replyLength) {
        const int n = std::min<int>(static_cast<int>(answer->size()), *replyLength);
        std::memcpy(reply, answer->constData(), static_cast<size_t>(n));
        *replyLength = n;
    }
    return pollard_api::crSuccess;
}

}  // namespace

CmdEngine::CmdEngine(sim::MessageHandler* h) : handler(h)
{
    g_engine = this;
    CommDBPointFacade::DestroyInstance();
    Communications::DestroyInstance();
    PollardApi api;
    api.Initialize = EngInitialize;
    api.Cleanup = EngCleanup;
    api.GetCommErrText = EngGetCommErrText;
    api.CommConnect = EngCommConnect;
    api.CommDisconnect = EngCommDisconnect;
    api.SendReceive = EngSendReceive;
    api.ShowCommSetup = EngShowCommSetup;
    api.SetUserCancel = EngSetUserCancel;
    api.IsOnline = EngIsOnline;
    Communications::InstanceWithApi(api);
}

CmdEngine::~CmdEngine()
{
    CommDBPointFacade::DestroyInstance();
    Communications::DestroyInstance();
    g_engine = nullptr;
}

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
