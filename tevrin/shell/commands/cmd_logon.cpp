#include "tevrin/shell/commands/cmd_logon.h"

#include "platform/clock.h"
#include "platform/prompter.h"
#include "tevrin/rtdb/archive_capacity.h"
#include "tevrin/rtdb/comm_db_point_facade.h"
#include "tevrin/rtdb/communications.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/commands/cmd_common.h"

#include <QString>

using namespace CommandKeys;

void LogonCommand::Execute()
{
    // Marked failed first: a Logon that is left by an exception never reads as a success.
    result_ = LogonResult::CommunicationError;
    result_ = Run();
}

LogonResult LogonCommand::Run()
{
    SetText(StatusLineSpecialPanel, "Logon...");
    const int r = cmd::OpenLink(Owner());
    if (r < 0) return LogonResult::ConnectFailed;
    if (r != 0) {
        // No link: the window goes back to off line, ready for the next try.
        SetFlag(tbtnLogon, true);
        SetFlag(tbtnLogoff, false);
        SetText(StatusLineSpecialPanel, "");
        return LogonResult::Cancelled;
    }

    DataBase* db = DataBase::Instance();
    SetNumber(localPBarMax, kProgressExtra + db->CountReadAllRequests());
    SetFlag(SetDatabaseConfigFileTypeID, true);

    bool exitChosen = false;
    try {
        db->Connect();
        platform::Sleep(kSettleMs);
        const LogStatus status = CommDBPointFacade::Instance()->ReadLogStatus();
        db->SetArchiveMemorySize(status.value[1]);

        if (archive_capacity::StrToInt(db->GetPointText(DataBase::kStreamsDbId)) != 0) {
            const int answer = platform::MessageBox(QStringLiteral("Do you want to setup analyzer as K41W?"),
                                                    QStringLiteral("Inquiry"), platform::DlgType::Confirmation,
                                                    platform::mbYesNo);
            if (answer == platform::mrYes) {
                db->SetPointText(DataBase::kStreamsDbId, "0");
                // A set-up that was not sent is not a K41W: handled as a failed logon.
                if (db->WritePoint(DataBase::kStreamsDbId) != 0) throw static_cast<int>(kErrPointNotWritten);
                try {
                    // The analyzer keeps it in flash; its store runs on without us.
                    CommDBPointFacade::Instance()->WriteConfig();
                } catch (...) {
                }
            } else {
                exitChosen = true;
            }
        }
    } catch (...) {
        platform::ShowMessage(QStringLiteral("Communication error!"));
        SetFlag(tbtnLogon, true);
        SetText(StatusLineSpecialPanel, "Logon error.");
        Communications::Instance()->CommDisconnect(true);
        SetText(StatusLineSpecialPanel, "");
        SetExitRequested(true);
        return LogonResult::CommunicationError;
    }

    if (exitChosen) {
        Request(Exit);
        return LogonResult::ExitChosen;
    }

    SetText(StatusLineSpecialPanel, "Logon Successful.");
    SetFlag(tbtnLogon, false);
    SetFlag(tbtnLogoff, true);
    SetFlag(SetLogOn, true);
    SetText(StatusLineSpecialPanel, "");
    return LogonResult::Success;
}

void LogoffCommand::Execute()
{
    DataBase::Instance()->ClearValid();
    Communications* comms = Communications::Instance();
    comms->SetUserCancel(true);
    // Logged off already (the Logon button usable): only the engine's state goes offline.
    comms->CommDisconnect(GetFlag(LoggingOn));
    SetText(StatusLineSpecialPanel, "Logoff Successful.");
    SetFlag(tbtnLogon, true);
    SetFlag(tbtnLogoff, false);
    SetFlag(SetLogOff, true);
    SetFlag(EnablePages, true);
    SetText(StatusLineSpecialPanel, "");
}
