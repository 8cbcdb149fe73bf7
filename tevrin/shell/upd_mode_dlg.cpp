#include "tevrin/shell/upd_mode_dlg.h"

#include "ui_upd_mode_dlg.h"

#include "platform/prompter.h"
#include "platform/window_fit.h"
#include "tevrin/shell/logon_dlg.h"

#include <QKeyEvent>

TUpdModeDlg::TUpdModeDlg(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TUpdModeDlg>())
{
    ui->setupUi(this);
    platform::FitToContentsWhenShown(*this);
    connect(ui->btnReadOnly, &QPushButton::clicked, this, [this] { done(platform::mrNo); });
    connect(ui->btnUpdate, &QPushButton::clicked, this, [this] { done(platform::mrYes); });
}

TUpdModeDlg::~TUpdModeDlg() = default;

int TUpdModeDlg::ShowModal()
{
    ui->btnReadOnly->setFocus();
    const int r = platform::ExecUncovered(*this);
    return (r == platform::mrNo || r == platform::mrYes) ? r : platform::mrCancel;
}

QPushButton* TUpdModeDlg::btnReadOnly() const { return ui->btnReadOnly; }
QPushButton* TUpdModeDlg::btnUpdate() const { return ui->btnUpdate; }

void TUpdModeDlg::keyPressEvent(QKeyEvent* event)
{
    // "Read Only" is also the cancel button.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        done(platform::mrNo);
        return;
    }
    QDialog::keyPressEvent(event);
}

UpdateModeAnswer ChooseLogonMode(TUpdModeDlg& modeDialog, TfrmLogon& passwordDialog)
{
    if (modeDialog.ShowModal() == platform::mrNo) return UpdateModeAnswer::ReadOnly;
    return AskUpdateModePassword(passwordDialog, true);
}
