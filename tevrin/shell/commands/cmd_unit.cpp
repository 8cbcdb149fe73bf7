#include "tevrin/shell/commands/cmd_unit.h"

#include "platform/clock.h"
#include "platform/prompter.h"
#include "tevrin/rtdb/comm_db_point_facade.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/shell/commands/cmd_common.h"

#include <QString>

using namespace CommandKeys;
using namespace unitcmd;

namespace {

void Message(const char* text) { platform::ShowMessage(QString::fromLatin1(text)); }

void Information(const char* text)
{
    platform::MessageDlg(QString::fromLatin1(text), platform::DlgType::Information, platform::mbOK);
}

}  // namespace

void WriteConfigCommand::Execute()
{
    if (GetFlag(LoggingOn)) return;
    cmd::BusyScope busy(Owner());

    CommDBPointFacade* facade = CommDBPointFacade::Instance();
    try {
        facade->WriteConfig();
    } catch (...) {
        Message(" Write Config. fail!");
        busy.Close();
        return;
    }

    bool storing = true;
    int polls = 0;
    SetNumber(localPBarMax, 35);
    try {
        do {
            SetText(StatusLineSpecialPanel, "Writing to Flash...");
            storing = facade->IsWriteConfigBusy();
            platform::Sleep(kStorePollMs);
            ++polls;
        } while (storing && polls < kStorePolls);
    } catch (...) {
        SetNumber(localPBarMax, 1);
        SetText(StatusLineSpecialPanel, "Write Flash fail!");
        busy.Close();
        return;   // the panel keeps the failure
    }

    SetNumber(localPBarMax, 1);
    if (storing) {
        // The unit never finished: the failure stays in the panel, like a failed poll's.
        SetText(StatusLineSpecialPanel, "Write Flash fail!");
        busy.Close();
        return;
    }
    SetText(StatusLineSpecialPanel, "Write Flash Finished.");
    busy.Close();
    SetText(StatusLineSpecialPanel, "");
    MarkSucceeded();
}

void SetDefaultConfigCommand::Execute()
{
    RunFramed("Set Default Config.", 1, "Reset Factory Default fail!", [this] {
        CommDBPointFacade::Instance()->SetDefaultConfig();
        SetText(StatusLineSpecialPanel, "Reset Factory Default Submitted");
    });
}

void ResetCommand::Execute()
{
    RunFramed("Reboot...", 1, " Reboot unit fail!", [this] {
        CommDBPointFacade::Instance()->Reboot();
        SetText(StatusLineSpecialPanel, "Reboot Submitted");
        MarkSucceeded();
    });
}

void IsDeviceAvaiableCommand::Execute()
{
    if (GetFlag(LoggingOn)) return;
    SetNumber(localPBarMax, 1);
    DataBase* db = DataBase::Instance();
    for (int tries = 0; tries < kAvailableTries;) {
        try {
            db->ReadPoint(static_cast<TDbId>(kVersionDbId));
        } catch (int code) {
            if (code == kUserCancelCode) return;
            platform::Sleep(kAvailablePauseMs);
            ++tries;
            SetText(StatusLineSpecialPanel, "Please Wait...");
            continue;
        }
        SetText(StatusLineSpecialPanel, "Device is avaiable.");
        SetText(StatusLineSpecialPanel, "");
        return;
    }
    Information("Wait Device Avaiable Timeout, please check device.");
    SetText(StatusLineSpecialPanel, "");
}

void DirectControlConfirmCommand::Execute()
{
    if (GetFlag(LoggingOn)) return;
    SetNumber(localPBarMax, 1);
    DataBase* db = DataBase::Instance();
    const auto id = static_cast<TDbId>(kDirectControlConfirmDbId);
    for (int tries = 0; tries < kConfirmTries;) {
        try {
            db->ReadPoint(id);
        } catch (int code) {
            if (code == kUserCancelCode) return;
            platform::Sleep(kConfirmPauseMs);
            ++tries;
            SetText(StatusLineSpecialPanel, "Please Wait...");
            continue;
        }
        DatabasePoint* point = db->PointByDbId(id);
        if (point && point->GetText() == "True") {
            SetText(StatusLineSpecialPanel, "Control Confirmed.");
            SetText(StatusLineSpecialPanel, "");
            return;
        }
        SetText(StatusLineSpecialPanel, "Please Wait...");
        platform::Sleep(kConfirmPauseMs);
        ++tries;
    }
    Information("Direct Control Confirm Timeout, please check device.");
    SetText(StatusLineSpecialPanel, "");
}
