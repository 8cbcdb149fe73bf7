#include "tevrin/shell/main_form_internal.h"

using mainform::Safely;

// ------------------------------------------------------------------------------------------------
// The owner of the commands

void TFormMain::SetFlag(std::string key, bool value)
{
    using namespace CommandKeys;
    if (key == tbtnLogoff) {
        ui->tbtnLogoff->setEnabled(value);
    } else if (key == SetLogOff) {
        StateMgr::Instance().SetLogOff();
    } else if (key == SetLogOn) {
        StateMgr::Instance().SetLogOn();
    } else if (key == tbtnLogon) {
        ui->tbtnLogon->setEnabled(value);
        if (value) {
            if (TWait* wait = TWait::Current()) wait->hide();
            ShowOffLineLook();
        }
    } else if (key == SetDatabaseConfigFileTypeID) {
        if (servicesCreated_) DataBase::Instance()->Driver()->SetConfigFileTypeID(DatabaseConfigFileTypeText);
    } else if (key == tbtnExit) {
        ui->tbtnExit->setEnabled(value);
        ui->Exit1->setEnabled(value);
    } else if (key == AuditFinish) {
        frmAudit_->AuditFinish();
    } else if (key == UpdateLogView) {
        fraArchiveViewer_->UpdateLogView();
    } else if (key == ReadALog2) {
        if (fraArchiveViewer_->ReadArchiveFile()) fraArchiveViewer_->UpdateLogView();
    } else if (key == SaveLogFile) {
        fraArchiveViewer_->SaveLogFile();
    } else if (key == EnablePages) {
        ui->PageControlMain->setEnabled(true);
    } else if (key == DisablePages) {
        ui->PageControlMain->setEnabled(false);
    }
}

void TFormMain::ShowOffLineLook()
{
    ui->ModeDisp->setText(QStringLiteral("OFF LINE"));
    ui->StreamDisp->setText(QStringLiteral(" "));
    ui->mnuUpdateMode->setEnabled(false);
    ui->mnuUpdateMode->setChecked(false);
    ui->tbtnComm->setEnabled(true);
    ui->tbtnUpgrade->setEnabled(true);
    waitProgress_ = true;
}

void TFormMain::SetNumber(std::string key, int32_t value)
{
    if (key == CommandKeys::localPBarMax) {
        progressMax_ = value;
        if (statusProgress_) statusProgress_->setValue(0);
    }
}

void TFormMain::SetText(std::string key, std::string text)
{
    if (key != CommandKeys::StatusLineSpecialPanel || !specialPanel_) return;
    if (text.empty()) {
        if (statusProgress_) statusProgress_->setValue(0);
        SetPanelColour(false);
    } else {
        SetPanelColour(true);
    }
    specialPanel_->setText(QString::fromStdString(text));
}

bool TFormMain::GetFlag(std::string key)
{
    if (key == CommandKeys::LoggingOn) return ui->tbtnLogon->isEnabled();
    if (key == CommandKeys::tbtnPollDown) return ui->tbtnPoll->isChecked();
    if (key == CommandKeys::tbtnBypass) return ui->tbtnBypass->isChecked();
    return kDefaultFlag;
}

int32_t TFormMain::Request(std::string key, void* argument)
{
    if (key == CommandKeys::SendToDatabase) return PostEdits();
    if (key == CommandKeys::DateToTimestampToken) {
        if (!argument || !ombrel_.DateToTimestampToken) return kDefaultRequest;
        return static_cast<int32_t>(ombrel_.DateToTimestampToken(*static_cast<const double*>(argument)));
    }
    if (key == CommandKeys::Exit) {
        tbtnExitClick();
        return 0;
    }
    return kDefaultRequest;
}

double TFormMain::GetDate(std::string key, int32_t value)
{
    if (key == CommandKeys::TimestampTokenToDate && ombrel_.TimestampTokenToDate)
        return ombrel_.TimestampTokenToDate(static_cast<uint32_t>(value));
    return kDefaultDate;
}

int32_t TFormMain::PostEdits()
{
    if (!ombrel_.DoMyBroadcast) return 1;
    for (unsigned msg : {platform::QM_EDIT, platform::QM_BEFOREPOST, platform::QM_PUT}) {
        TMessage m = MakeMoveValMessage(msg, this);
        ombrel_.DoMyBroadcast(this, &m, false, true);
        if (m.Result != 0) return static_cast<int32_t>(m.Result);
    }
    return 0;
}

void TFormMain::WriteSinglePoint(TDbId id, const std::string& text)
{
    CommandLine* line = CommandLine::Existing();
    if (!line) return;
    if (SetSinglePointValue(*line, id, text)) line->Post("WriteSinglePoint");
}

void TFormMain::ReadSinglePoint(TDbId id)
{
    CommandLine* line = CommandLine::Existing();
    if (!line) return;
    if (auto* read = line->FindAs<ReadSinglePointCommand>("ReadSinglePoint")) {
        read->SetPoint(static_cast<int16_t>(id));
        line->Post("ReadSinglePoint");
    }
}

void TFormMain::ReleaseDirectControl()
{
    // The analyzer is never left under direct control by the program: while the link is up and
    // direct control may be on, it is switched off before the link goes.
    if (!servicesCreated_ || !fraBoardTester_ || !LoggedOn() || !fraBoardTester_->DirectControlMayBeOn()) return;
    fraBoardTester_->ReleaseControls();
    WriteSinglePoint(TfraBoardTester::kDirectControl, "False");
}

bool TFormMain::RunCommand(const std::string& name, const std::string& argument)
{
    CommandLine* line = CommandLine::Existing();
    if (!line || line->IsBusy()) return false;
    Command* command = line->Find(name);
    if (!command) return false;
    line->Post(name, argument);
    return command->Succeeded();
}

QString TFormMain::EnterDataFolder()
{
    SecurityChk::Instance().ChangeToFolder();
    return SecurityChk::Instance().GetFolder();
}

bool TFormMain::WriteConfigFile(const QString& fileName, QString* error)
{
    if (!servicesCreated_) {
        if (error) *error = QStringLiteral("The database does not exist.");
        return false;
    }
    return config_file::Save(*DataBase::Instance(), fileName, error, Wait());
}

bool TFormMain::ReadConfigFile(const QString& fileName, int* pointCount, QString* error)
{
    if (!servicesCreated_) {
        if (error) *error = QStringLiteral("The database does not exist.");
        return false;
    }
    const config_file::ReadResult r = config_file::Open(*DataBase::Instance(), fileName, Wait());
    if (!r.ok) {
        if (error) *error = r.error;
        return false;
    }
    if (pointCount) *pointCount = r.pointCount;
    return true;
}

void TFormMain::SetImageFile(const QString& path)
{
    CommandLine* line = CommandLine::Existing();
    if (!line) return;
    if (auto* write = line->FindAs<WriteImageCommand>("WriteImage")) write->SetFileName(path);
    if (auto* read = line->FindAs<ReadImageCommand>("ReadImage")) read->SetFileName(path);
}

QString TFormMain::ReadBackFile() const { return image::ReadBackPath(); }

bool TFormMain::CompareFirmwareFiles(const QString& image, const QString& readBack) const
{
    return ::CompareFirmwareFiles(image, readBack);
}

namespace {

// The upgrade window as the pages see it.
class MainUpgradeWindow : public IUpgradeWindow {
public:
    MainUpgradeWindow(TfmUpgrade& window, QAction* menuItem) : window_(window), menuItem_(menuItem) {}
    void SetStep(int step, int item, int state) override
    {
        UpgradeSteps::Instance().SetState(step, item, static_cast<uint8_t>(state));
    }
    uint8_t StepFlag(int i) const override { return i >= 0 && i < 3 ? window_.StepDone[static_cast<size_t>(i)] : 0; }
    void SetStepFlags(uint8_t first, uint8_t second, uint8_t third) override { window_.StepDone = {first, second, third}; }
    bool SaveStatus(QString* why) override { return window_.SaveStatus(TfmUpgrade::StatusFilePath(), why) == 0; }
    void SetIdle(bool idle) override { window_.UpgradeIdle = idle ? 1 : 0; }
    void Show(bool show) override
    {
        if (menuItem_) menuItem_->setChecked(show);
        if (show)
            window_.ShowWithBack();
        else
            window_.HideWithBack();
    }
    bool Shown() const override { return menuItem_ ? menuItem_->isChecked() : window_.isVisible(); }

private:
    TfmUpgrade& window_;
    QAction* menuItem_;
};

}  // namespace

IUpgradeWindow* TFormMain::UpgradeWindow()
{
    if (!fmUpgrade_) return nullptr;
    if (!upgradeWindow_) upgradeWindow_ = std::make_unique<MainUpgradeWindow>(*fmUpgrade_, ui->UpgradeWindow);
    return upgradeWindow_.get();
}

void TFormMain::SetPagesEnabled(bool on) { SetFlag(on ? CommandKeys::EnablePages : CommandKeys::DisablePages, true); }

void TFormMain::SetStreamDisp(const QString& text) { ui->StreamDisp->setText(text); }

void TFormMain::SetStatusText(const QString& text)
{
    if (statusLine_) statusLine_->SetPanelText(0, text);
}

bool TFormMain::ReadOnlyMode() const { return SecurityChk::Instance().IsReadOnlyMode(); }

void TFormMain::PostCommand(const std::string& name, const std::string& argument) { Post(name, argument); }

void TFormMain::PostNewModbusList(uint8_t mode)
{
    CommandLine* line = CommandLine::Existing();
    if (!line) return;
    if (SetNewModbusListMode(*line, mode)) line->Post("NewModbusList");
}

bool TFormMain::CommandBusy() const
{
    const CommandLine* line = CommandLine::Existing();
    return line && line->IsBusy();
}

bool TFormMain::TimestampTokenToDate(uint32_t token, double& dateTime) const
{
    if (!ombrel_.TimestampTokenToDate) return false;
    dateTime = ombrel_.TimestampTokenToDate(token);
    return true;
}

bool TFormMain::ResetUpdatePassword(QString* why) { return SecurityChk::Instance().ResetPassword(why); }

void TFormMain::SetSpecialPanelText(const QString& text) { SetText(CommandKeys::StatusLineSpecialPanel, text.toStdString()); }

void TFormMain::ShowWaitWindow(bool animation, bool bar)
{
    TWait* wait = Wait();
    if (bar)
        wait->ShowProgress(100);
    else
        wait->ShowAnimated();
    wait->AniIcon1()->setVisible(animation);
    wait->repaint();
}

void TFormMain::StepWaitBar()
{
    if (TWait* wait = TWait::Current()) wait->StepBar();
}

void TFormMain::HideWaitWindow()
{
    if (TWait* wait = TWait::Current()) wait->hide();
}

void TFormMain::ShowLogConfiguration()
{
    if (logFrm_) logFrm_->exec();
}

void TFormMain::SetProgressMax(int max) { SetNumber(CommandKeys::localPBarMax, max); }

TWait* TFormMain::Wait()
{
    if (TWait* wait = TWait::Current()) return wait;
    if (!ownWait_) ownWait_ = new TWait(this);
    return ownWait_;
}
