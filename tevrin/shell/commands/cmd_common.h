#pragma once
// What the device commands share: the process-wide exit request, the wait window, the busy
// bracket of long work and the forced log-off after a failed read.
#include "tevrin/shell/commands/command_owner.h"

#include <functional>
#include <string>

// Set by the Exit road and by a logon that could not finish its reads; cleared when the main
// window is created, by the upgrade command and by the next Logon. While it is set the poll
// timer switches itself off at its next tick.
bool ExitRequested();
void SetExitRequested(bool requested);

namespace cmd {

// The engine's (or the message layer's) words for a failure code.
std::string ErrorText(int code);

// Why a single-point write sent nothing (a non-zero result of DataBase::WritePoint).
std::string NotWrittenText(int writeResult);

// The wait window with its animated icon and without its bar, shown and painted at once;
// nothing when the program has no wait window.
void ShowWaitAnimated();
void HideWait();

// Long work: the pages disabled, the application busy and the wait window up from the
// constructor until Close, which undoes all three (hide the window, idle, pages enabled).
// A scope left without Close (an exception on its way to the command queue) undoes them in
// the destructor, so that a failure never leaves the window disabled and busy.
class BusyScope {
public:
    explicit BusyScope(ICommandOwner* owner);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

    void Close();
    // Hide the window and go idle only (the forced log-off enables the pages itself).
    void CloseWithoutPages();

private:
    ICommandOwner* owner_;
    bool open_ = true;
};

// The end of a connection after a failed read: the message "Read error: " with the code's
// words, every point invalid, the engine's cancel flag set (nothing more waits on the link),
// the pages enabled, the window logged off and the special panel cleared. The link itself
// stays as it is.
void ForcedLogOff(ICommandOwner* owner, int code);

// Opens the link for a command that logs on, with the user's cancel and the exit request
// cleared. A connection that throws is reported: `beforeFailureBox` runs, the box "Logon fail!",
// the window logged off, the special panel cleared; -1 then. Otherwise the engine's result:
// 0 connected; 1 a dial-up or modem connection was not made, said here as "Logon cancelled.";
// any other code the engine has already told the user (a port that did not open names it).
int OpenLink(ICommandOwner* owner, const std::function<void()>& beforeFailureBox = {});

}  // namespace cmd
