#include "tevrin/shell/commands/cmd_common.h"

#include "platform/prompter.h"
#include "tevrin/rtdb/communications.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/state_mgr.h"
#include "tevrin/shell/wait_dlg.h"

#include <QString>

namespace {
bool g_exitRequested = false;

void Flag(ICommandOwner* owner, const char* key, bool value)
{
    if (owner) owner->SetFlag(key, value);
}

void Text(ICommandOwner* owner, const char* key, const std::string& text)
{
    if (owner) owner->SetText(key, text);
}
}  // namespace

bool ExitRequested() { return g_exitRequested; }
void SetExitRequested(bool requested) { g_exitRequested = requested; }

namespace cmd {

std::string ErrorText(int code) { return Communications::Instance()->ErrorText(code); }

std::string NotWrittenText(int writeResult)
{
    if (writeResult == kErrPointNotRead)
        return "The value was not written: the point has not been read from the analyzer.";
    return "The value was not written: the point cannot be written.";
}

void ShowWaitAnimated()
{
    if (TWait* wait = TWait::Current()) wait->ShowAnimated();
}

void HideWait()
{
    if (TWait* wait = TWait::Current()) wait->hide();
}

BusyScope::BusyScope(ICommandOwner* owner) : owner_(owner)
{
    Flag(owner_, CommandKeys::DisablePages, true);
    StateMgr::Instance().SetBusy();
    ShowWaitAnimated();
}

BusyScope::~BusyScope()
{
    if (!open_) return;
    try {
        Close();
    } catch (...) {
        // Already on a failure's way out; the first failure is the one reported.
    }
}

void BusyScope::Close()
{
    CloseWithoutPages();
    Flag(owner_, CommandKeys::EnablePages, true);
}

void BusyScope::CloseWithoutPages()
{
    open_ = false;
    HideWait();
    StateMgr::Instance().SetIdle();
}

void ForcedLogOff(ICommandOwner* owner, int code)
{
    platform::ShowMessage(QString::fromStdString("Read error: " + ErrorText(code)));
    DataBase::Instance()->ClearValid();
    Communications::Instance()->SetUserCancel(true);
    Flag(owner, CommandKeys::EnablePages, true);
    Flag(owner, CommandKeys::tbtnLogon, true);
    Flag(owner, CommandKeys::tbtnLogoff, false);
    Flag(owner, CommandKeys::SetLogOff, true);
    Text(owner, CommandKeys::StatusLineSpecialPanel, "");
}

int OpenLink(ICommandOwner* owner, const std::function<void()>& beforeFailureBox)
{
    Communications* comms = Communications::Instance();
    comms->SetUserCancel(false);
    SetExitRequested(false);
    int r = 0;
    try {
        r = comms->CommConnect();
    } catch (...) {
        if (beforeFailureBox) beforeFailureBox();
        platform::ShowMessage(QStringLiteral("Logon fail!"));
        Flag(owner, CommandKeys::tbtnLogon, true);
        Flag(owner, CommandKeys::tbtnLogoff, false);
        Text(owner, CommandKeys::StatusLineSpecialPanel, "Logon fail.");
        Text(owner, CommandKeys::StatusLineSpecialPanel, "");
        return -1;
    }
    if (r == 1) platform::ShowMessage(QStringLiteral("Logon cancelled."));
    return r;
}

}  // namespace cmd
