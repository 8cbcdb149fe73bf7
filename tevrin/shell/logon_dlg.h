#pragma once
// The password dialog of the Update-mode and factory logons. The caller sets the caption;
// every showing starts with an empty password that has the focus.
#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class TfrmLogon;
}
class QLineEdit;
class QPushButton;

class TfrmLogon : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLogon(QWidget* parent = nullptr);
    ~TfrmLogon() override;

    // Shows the dialog modally: platform::mrOk or platform::mrCancel.
    int ShowModal();
    QString Password() const;

    QLineEdit* ledPassword() const;
    QPushButton* btnOK() const;
    QPushButton* btnCancel() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TfrmLogon> ui;
};

// What the Update-mode password prompt decided.
enum class UpdateModeAnswer {
    ReadOnly,    // cancelled, or a password that was refused
    Update,      // a password that was accepted while the database version is known
    Unchanged,   // OK with an empty password: no setting at all
};

// Asks for the Update-mode password ("Update Mode Logon") and checks it with SecurityChk. An
// accepted password with an unknown database version still gives read-only mode. With
// warnWhenRefused, a refusal shows "Invalid password!\n Read Only Mode" first.
UpdateModeAnswer AskUpdateModePassword(TfrmLogon& dialog, bool warnWhenRefused);

enum class FactoryLogonAnswer { Cancelled, Accepted, Refused };

// Asks for the factory access code ("Factory Mode Logon"); a wrong code is refused without
// a message.
FactoryLogonAnswer AskFactoryCode(TfrmLogon& dialog);
