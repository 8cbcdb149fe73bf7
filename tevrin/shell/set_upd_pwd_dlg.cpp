#include "tevrin/shell/set_upd_pwd_dlg.h"

#include "ui_set_upd_pwd_dlg.h"

#include "platform/prompter.h"
#include "platform/window_fit.h"
#include "tevrin/shell/security_chk.h"

#include <QApplication>

TSetUpdPwdDlg::TSetUpdPwdDlg(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TSetUpdPwdDlg>())
{
    ui->setupUi(this);
    platform::FitToContentsWhenShown(*this);
    connect(ui->OKBtn, &QPushButton::clicked, this, &TSetUpdPwdDlg::OKBtnClick);
    connect(ui->CancelBtn, &QPushButton::clicked, this, [this] { done(platform::mrCancel); });
}

TSetUpdPwdDlg::~TSetUpdPwdDlg() = default;

int TSetUpdPwdDlg::ShowModal()
{
    const int r = platform::ExecUncovered(*this);
    return r == platform::mrOk ? platform::mrOk : platform::mrCancel;
}

QString TSetUpdPwdDlg::OldPassword() const { return ui->edOldPwd->text(); }
QString TSetUpdPwdDlg::NewPassword() const { return ui->edNewPwd1->text(); }

QLineEdit* TSetUpdPwdDlg::edOldPwd() const { return ui->edOldPwd; }
QLineEdit* TSetUpdPwdDlg::edNewPwd1() const { return ui->edNewPwd1; }
QLineEdit* TSetUpdPwdDlg::edNewPwd2() const { return ui->edNewPwd2; }
QPushButton* TSetUpdPwdDlg::OKBtn() const { return ui->OKBtn; }
QPushButton* TSetUpdPwdDlg::CancelBtn() const { return ui->CancelBtn; }

void TSetUpdPwdDlg::OKBtnClick()
{
    bool ok = true;
    if (ui->edNewPwd1->text() != ui->edNewPwd2->text()) {
        QApplication::beep();
        platform::MessageDlg(QStringLiteral("New password doesn't match"), platform::DlgType::Error, platform::mbOK);
        ok = false;
    }
    if (ui->edOldPwd->text().isEmpty() || ui->edNewPwd1->text().isEmpty() || ui->edNewPwd2->text().isEmpty()) {
        QApplication::beep();
        platform::MessageDlg(QStringLiteral("Please complete all fields"), platform::DlgType::Error, platform::mbOK);
        ok = false;
    }
    if (ok) done(platform::mrOk);
}

void ChangeUpdatePassword(TSetUpdPwdDlg& dialog)
{
    if (dialog.ShowModal() != platform::mrOk) return;
    SecurityChk& security = SecurityChk::Instance();
    if (!security.CheckPassword(dialog.OldPassword().toStdString())) {
        platform::MessageDlg(QStringLiteral("Old password is invalid. Please try again."), platform::DlgType::Warning,
                             platform::mbOK);
        return;
    }
    QString why;
    if (!security.SetPassword(dialog.NewPassword().toStdString(), &why))
        platform::MessageDlg(QStringLiteral("Unable to save the new password: %1").arg(why), platform::DlgType::Error,
                             platform::mbOK);
}
