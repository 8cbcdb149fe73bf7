#include "tevrin/shell/logon_dlg.h"

#include "ui_logon_dlg.h"

#include "platform/prompter.h"
#include "platform/window_fit.h"
#include "tevrin/shell/security_chk.h"
#include "tevrin/shell/state_mgr.h"

TfrmLogon::TfrmLogon(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TfrmLogon>())
{
    ui->setupUi(this);
    // Fitted at each showing: the caller sets the title first.
    platform::FitToContentsWhenShown(*this);
    connect(ui->btnOK, &QPushButton::clicked, this, [this] { done(platform::mrOk); });
    connect(ui->btnCancel, &QPushButton::clicked, this, [this] { done(platform::mrCancel); });
}

TfrmLogon::~TfrmLogon() = default;

int TfrmLogon::ShowModal()
{
    const int r = platform::ExecUncovered(*this);
    return r == platform::mrOk ? platform::mrOk : platform::mrCancel;
}

QString TfrmLogon::Password() const { return ui->ledPassword->text(); }

QLineEdit* TfrmLogon::ledPassword() const { return ui->ledPassword; }
QPushButton* TfrmLogon::btnOK() const { return ui->btnOK; }
QPushButton* TfrmLogon::btnCancel() const { return ui->btnCancel; }

void TfrmLogon::showEvent(QShowEvent* event)
{
    ui->ledPassword->clear();
    ui->ledPassword->setFocus();
    QDialog::showEvent(event);
}

UpdateModeAnswer AskUpdateModePassword(TfrmLogon& dialog, bool warnWhenRefused)
{
    dialog.setWindowTitle(QStringLiteral("Update Mode Logon"));
    if (dialog.ShowModal() != platform::mrOk) return UpdateModeAnswer::ReadOnly;
    const QString password = dialog.Password();
    if (password.isEmpty()) return UpdateModeAnswer::Unchanged;
    if (SecurityChk::Instance().CheckPassword(password.toStdString()) && StateMgr::Instance().IsVersionKnown())
        return UpdateModeAnswer::Update;
    if (warnWhenRefused)
        platform::MessageDlg(QStringLiteral("Invalid password!\n Read Only Mode"), platform::DlgType::Warning,
                             platform::mbOK);
    return UpdateModeAnswer::ReadOnly;
}

FactoryLogonAnswer AskFactoryCode(TfrmLogon& dialog)
{
    dialog.setWindowTitle(QStringLiteral("Factory Mode Logon"));
    if (dialog.ShowModal() != platform::mrOk) return FactoryLogonAnswer::Cancelled;
    return SecurityChk::IsFactoryCode(dialog.Password().toStdString()) ? FactoryLogonAnswer::Accepted
                                                                        : FactoryLogonAnswer::Refused;
}
