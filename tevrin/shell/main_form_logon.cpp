#include "tevrin/shell/main_form_internal.h"

using mainform::Safely;

// ------------------------------------------------------------------------------------------------
// Logon, logoff and user levels

bool TFormMain::RefuseWhileBusy()
{
    CommandLine* line = CommandLine::Existing();
    if (!line || !line->IsBusy()) return false;
    platform::MessageDlg(mainform::kBusyText, platform::DlgType::Warning, platform::mbOK);
    return true;
}

void TFormMain::tbtnLogonClick()
{
    CommandLine* line = CommandLine::Existing();
    if (!line || !servicesCreated_) return;
    // The road reads the result of "Logon" right after posting it, so the post must run now.
    if (RefuseWhileBusy()) return;

    ui->PageControlMain->setCurrentIndex(static_cast<int>(MainPage::Analysis));
    SwitchPolling(false);

    waitProgress_ = true;
    TWait* wait = Wait();
    wait->ShowProgress(DataBase::Instance()->CountReadAllRequests() + 12);

    ui->tbtnLogon->setEnabled(false);
    ui->tbtnUpgrade->setEnabled(false);
    ui->tbtnComm->setEnabled(false);
    line->Post("Logon");

    if (ui->tbtnLogon->isEnabled() || !LastLogonSucceeded(*line) || ExitRequestedFlag()) {
        // Failed (the command has reported why), or the user chose to close the program.
        wait->hide();
        ui->tbtnUpgrade->setEnabled(true);
        ui->tbtnComm->setEnabled(true);
        ui->tbtnLogon->setEnabled(true);
        return;
    }

    wait->hide();
    TUpdModeDlg modeDialog(this);
    TfrmLogon passwordDialog(this);
    switch (ChooseLogonMode(modeDialog, passwordDialog)) {
    case UpdateModeAnswer::ReadOnly: ApplyReadOnlySetting(*this); break;
    case UpdateModeAnswer::Update: ApplyUpdateSetting(*this); break;
    case UpdateModeAnswer::Unchanged: break;
    }
    ShowTabsForMode();
    ui->mnuUpdateMode->setEnabled(true);

    switch (CurrentPage()) {
    case MainPage::Analysis:
        fraWW_->EnterPage();
        SwitchPolling(true);
        StateMgr::Instance().SetBusy();
        break;
    case MainPage::Alarms:
    case MainPage::AnalogInput:
    case MainPage::Status:
        SwitchPolling(true);
        break;
    default:
        for (QAction* a : {ui->tbtnPoll, ui->tbtnSave, ui->tbtnSaveAs, ui->tbtnOpen}) a->setEnabled(true);
        break;
    }
    wait->Progress()->setMaximum(100);
}

void TFormMain::tbtnLogoffClick()
{
    if (CurrentPage() == MainPage::Analysis) SwitchPolling(false);
    ReleaseDirectControl();
    ui->tbtnLogoff->setEnabled(false);
    Post("Logoff");
    SecurityChk::Instance().SetReadOnlyMode(1);
    StateMgr::Instance().SetReadOnly();
    if (servicesCreated_) DataBase::Instance()->AsWriteLogRecordsManager().Clear();
    ShowOffLineLook();
}

void TFormMain::mnuUpdateModeClick()
{
    // The menu item has already inverted its check mark.
    if (ui->mnuUpdateMode->isChecked()) {
        TfrmLogon dialog(this);
        switch (AskUpdateModePassword(dialog, false)) {
        case UpdateModeAnswer::ReadOnly: ApplyReadOnlySetting(*this); break;
        case UpdateModeAnswer::Update: ApplyUpdateSetting(*this); break;
        case UpdateModeAnswer::Unchanged: ui->mnuUpdateMode->setChecked(false); break;
        }
    } else {
        ApplyReadOnlySetting(*this);
    }
    ShowTabsForMode();
    if (CurrentPage() == MainPage::Analysis) StateMgr::Instance().SetBusy();
}

void TFormMain::mnuChangePasswordClick()
{
    TSetUpdPwdDlg dialog(this);
    ChangeUpdatePassword(dialog);
}
