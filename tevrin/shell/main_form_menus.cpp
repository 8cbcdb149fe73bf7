#include "tevrin/shell/main_form_internal.h"

using mainform::Safely;

// ------------------------------------------------------------------------------------------------
// Tool buttons and menus

void TFormMain::tbtnPollClick() { Post("ExpressRead"); }

void TFormMain::tbtnWriteClick()
{
    Post("WriteMain");
    Post("ExpressRead");
}

void TFormMain::SetDefaultConfigClick()
{
    // The change list is looked at right after "WriteMain", so the post must run now.
    if (RefuseWhileBusy()) return;
    // Only a write that went through is stored in the flash. A page that refused its edits, or
    // a write the analyzer failed, has said why; the flash keeps what it had, and the read
    // below still shows what the unit holds.
    const bool written = RunCommand("WriteMain");
    // What was written to working memory is confirmed before it goes to flash. A cancelled
    // list keeps its entries for the next permanent write.
    bool cancelled = !written;
    if (written && !DataBase::Instance()->AsWriteLogRecordsManager().IsEmpty()) {
        auto* changes = findChild<TfrmChanges*>();
        if (!changes) changes = new TfrmChanges(this);
        cancelled = changes->ShowModal() != platform::mrOk;
        changes->hide();
        if (cancelled)
            platform::ShowMessage(QStringLiteral("Operation cancelled. Data was written to the SRAM, but no data has "
                                                 "been written to the Flash."));
    }
    if (!cancelled) Post("WriteConfig");
    Post("ExpressRead");
    if (!written || CurrentPage() != MainPage::Ports) return;
    const int answer = platform::MessageDlg(
        QStringLiteral("Changing the port setting requires the analyzer to be rebooted.\n"
                       "After pressing OK button, analyzer will automatically reboot, and GUI will restart.\n"
                       "After reboot, you can LOG ON again."),
        platform::DlgType::Warning, platform::mbOK | platform::mbCancel);
    if (answer != platform::mrOk) return;
    Post("Reboot");
    tbtnLogoffClick();
    ui->ModeDisp->setText(QStringLiteral("OFF LINE"));
    Restart();
}

void TFormMain::tbtnSyncClick()
{
    // The clock point is written by the command even before a page has read it.
    DataBase::Instance()->SetValid(DataBase::kClockDbId);
    const auto toToken = [this](double dateTime) {
        return ombrel_.DateToTimestampToken ? ombrel_.DateToTimestampToken(dateTime) : OMBREL_INVALID_TOKEN;
    };
    TTimeSyncDlg dialog(toToken, this);
    if (platform::ExecUncovered(dialog) != platform::mrOk) return;
    dialog.hide();
    if (SetSyncClockToken(CommandLine::Instance(), dialog.SyncToken())) Post("SyncClock");
}

void TFormMain::tbtnBypassClick() { Post("SetBypass"); }
void TFormMain::tbtnTapeAdvanceClick() { Post("TapeAdvance"); }
void TFormMain::tbtnAcknowledgeClick() { Post("ResetLatches"); }

void TFormMain::tbtnCommClick()
{
    if (servicesCreated_) Communications::Instance()->ShowCommSetup();
}

void TFormMain::tbtnExitClick()
{
    if (CurrentPage() == MainPage::Analysis) SwitchPolling(false);
    if (!AppFlags::RelaunchRequested && ui->tbtnLogoff->isEnabled()) {
        if (platform::MessageDlg(mainform::kCloseQuestion, platform::DlgType::Confirmation, platform::mbYes | platform::mbNo) !=
            platform::mrYes)
            return;
    }
    ReleaseDirectControl();
    ui->tbtnLogoff->setEnabled(false);
    SetExitRequestedFlag(true);
    if (servicesCreated_) Communications::Instance()->SetUserCancel(true);
    close();
}

ConfigFileRoads& TFormMain::ConfigFile()
{
    if (!configFile_) configFile_ = std::make_unique<ConfigFileRoads>(*this);
    return *configFile_;
}

void TFormMain::tbtnOpenClick() { ConfigFile().Open(); }
void TFormMain::tbtnSaveClick() { ConfigFile().Save(); }
void TFormMain::tbtnSaveAsClick() { ConfigFile().SaveAs(); }

namespace {

// The main window's side of the firmware upgrade.
class MainUpgradeHost : public IUpgradeHost {
public:
    explicit MainUpgradeHost(TFormMain& form) : form_(form) {}
    bool LoggedOn() override { return form_.LoggedOn(); }
    void LogOff() override { form_.tbtnLogoffClick(); }
    void SetModeDisp(const QString& text) override { form_.ModeDisp()->setText(text); }
    void EnableUpgradeButton(bool on) override { form_.Action("tbtnUpgrade")->setEnabled(on); }
    void SetPagesEnabled(bool on) override
    {
        form_.SetFlag(on ? CommandKeys::EnablePages : CommandKeys::DisablePages, true);
    }
    void SetWindowMenuChecked(bool on) override { form_.Action("UpgradeWindow")->setChecked(on); }
    void Restart() override { form_.Restart(); }
    void CloseMain() override { form_.close(); }

private:
    TFormMain& form_;
};

}  // namespace

void TFormMain::tbtnUpgradeClick()
{
    if (!fmUpgrade_) return;
    MainUpgradeHost host(*this);
    RunFirmwareUpgrade(host, CommandLine::Instance(), *fmUpgrade_);
}

void TFormMain::UpgradeWindowClick()
{
    // The menu item has already inverted its check mark.
    if (!fmUpgrade_) return;
    if (ui->UpgradeWindow->isChecked()) fmUpgrade_->ShowWithBack();
    else fmUpgrade_->HideWithBack();
}

void TFormMain::mnuRebootClick()
{
    SwitchPolling(false);
    platform::MessageBox(QStringLiteral("The analyzer will reboot. The GUI will LOG OFF.\nWhen analyzer is ready, please LOG ON again."),
                         QStringLiteral("Attention"));
    Post("Reboot");
    tbtnLogoffClick();
}
