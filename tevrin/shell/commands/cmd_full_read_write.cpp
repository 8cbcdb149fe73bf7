#include "tevrin/shell/commands/cmd_full_read_write.h"

#include "platform/numtext.h"
#include "platform/prompter.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/commands/cmd_common.h"

#include <QString>

#include <exception>

using namespace CommandKeys;

namespace {

// The error box of a failed database write, with the words of what went wrong.
void ShowWriteError(const std::string& why)
{
    platform::MessageDlg(QString::fromStdString("Error writing to database\n" + why), platform::DlgType::Error,
                         platform::mbOK);
}

// The write of WriteMain and WriteDirect: a non-zero result means something could not be
// sent; every failure is caught and shown.
template <typename Write>
bool GuardedWrite(ICommandOwner* owner, Write write)
{
    try {
        if (write() != 0) {
            platform::ShowMessage(QStringLiteral("Error sending data to unit."));
        } else {
            if (owner) owner->SetText(StatusLineSpecialPanel, "Write Successful");
            return true;
        }
    } catch (int code) {
        ShowWriteError(cmd::ErrorText(code));
    } catch (const std::exception& e) {
        ShowWriteError(e.what());
    } catch (...) {
        ShowWriteError("Unknown error.");
    }
    return false;
}

}  // namespace

void ReadFullCommand::Execute()
{
    if (GetFlag(LoggingOn)) return;
    SetText(StatusLineSpecialPanel, "Reading All...");
    DataBase* db = DataBase::Instance();
    SetNumber(localPBarMax, db->CountReadAllRequests() + 10);

    cmd::BusyScope busy(Owner());
    try {
        db->ReadAll();
    } catch (int code) {
        cmd::ForcedLogOff(Owner(), code);
        busy.CloseWithoutPages();
        return;
    }
    busy.Close();
    SetText(StatusLineSpecialPanel, "Read Successful.");
    SetText(StatusLineSpecialPanel, "");
    MarkSucceeded();
}

void WriteMainCommand::Execute()
{
    if (GetFlag(LoggingOn)) return;
    SetText(StatusLineSpecialPanel, "Writing...");
    SetNumber(localPBarMax, 1);

    cmd::BusyScope busy(Owner());
    // The controls hand their edits to the database; one that refuses has said why already,
    // and then nothing is written.
    const bool written = Request(SendToDatabase) == 0 &&
                         GuardedWrite(Owner(), [] { return DataBase::Instance()->WriteChanges(); });
    busy.Close();
    SetText(StatusLineSpecialPanel, "");
    if (written) MarkSucceeded();
}

void WriteDirectCommand::Execute()
{
    if (GetFlag(LoggingOn)) return;
    SetText(StatusLineSpecialPanel, "Writing Parameters...");
    SetNumber(localPBarMax, numtext::AtoL(Argument()));

    cmd::BusyScope busy(Owner());
    if (GuardedWrite(Owner(), [] { return DataBase::Instance()->WriteConfigPoints(); })) MarkSucceeded();
    busy.Close();
    SetText(StatusLineSpecialPanel, "");
}

void WriteSinglePointCommand::Execute()
{
    if (GetFlag(LoggingOn)) return;
    SetText(StatusLineSpecialPanel, "Writing...");
    SetNumber(localPBarMax, 1);

    DataBase* db = DataBase::Instance();
    const WriteSinglePointParams& p = Params();
    if (!p.text.empty()) {
        try {
            db->SetPointText(p.dbId, p.text);
        } catch (...) {
            // A text the point cannot take: nothing is written.
            SetText(StatusLineSpecialPanel, "");
            return;
        }
    }
    int result = 0;
    try {
        result = db->WritePoint(p.dbId);
    } catch (int code) {
        // The write failed: its progress text goes and the user is told why.
        SetText(StatusLineSpecialPanel, "");
        ShowWriteError(cmd::ErrorText(code));
        return;
    } catch (...) {
        SetText(StatusLineSpecialPanel, "");
        throw;   // the queue reports it
    }
    if (result != 0) {
        // Nothing was sent: the user is told why, not that an exchange failed.
        SetText(StatusLineSpecialPanel, "");
        platform::ShowMessage(QString::fromStdString(cmd::NotWrittenText(result)));
        return;
    }
    SetText(StatusLineSpecialPanel, "One Point Write");
    SetText(StatusLineSpecialPanel, "");
    MarkSucceeded();
}
