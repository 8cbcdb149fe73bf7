#pragma once
// The commands that open and close the connection to the analyzer:
//   "Logon"   LogonCommand   connects, builds the database from the analyzer and makes sure
//                            the analyzer is set up as the single-stream K41W
//   "Logoff"  LogoffCommand  marks the database stale and closes the link
// Neither looks at the logged-on flag first and neither reads its argument. Both report only
// through the owner keys and message boxes.
#include "tevrin/shell/commands/command.h"

// How the last Logon ended. The main window's logon road goes on to the mode choice only
// after Success.
enum class LogonResult {
    NotRun,               // no Logon has run yet
    Success,              // connected and filled; "Logon Successful."
    Cancelled,            // the link could not be made (a dial-up connection failed)
    ConnectFailed,        // connecting raised; "Logon fail!"
    CommunicationError,   // reading the analyzer failed; "Communication error!"
    ExitChosen,           // the user declined the K41W set-up; the program is closing
};

class LogonCommand : public Command {
public:
    static constexpr int kProgressExtra = 124;   // added to the read-all requests
    static constexpr int kSettleMs = 1000;       // pause between the reads and the log status

    void Execute() override;

    LogonResult Result() const { return result_; }
    bool Succeeded() const { return result_ == LogonResult::Success; }

private:
    LogonResult Run();

    LogonResult result_ = LogonResult::NotRun;
};

class LogoffCommand : public Command {
public:
    void Execute() override;
};
