#pragma once
// The change-password dialog: the old Update-mode password and the new one twice. OK closes
// it only when the two new fields match and no field is empty.
#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class TSetUpdPwdDlg;
}
class QLineEdit;
class QPushButton;

class TSetUpdPwdDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSetUpdPwdDlg(QWidget* parent = nullptr);
    ~TSetUpdPwdDlg() override;

    // platform::mrOk or platform::mrCancel.
    int ShowModal();

    QString OldPassword() const;
    QString NewPassword() const;

    QLineEdit* edOldPwd() const;
    QLineEdit* edNewPwd1() const;
    QLineEdit* edNewPwd2() const;
    QPushButton* OKBtn() const;
    QPushButton* CancelBtn() const;

    // The OK button: complains (beep and error box) about mismatching new fields, then,
    // separately, about an empty field; closes with OK only when neither applies.
    void OKBtnClick();

private:
    std::unique_ptr<Ui::TSetUpdPwdDlg> ui;
};

// The change-password road of the main window: shows the dialog; after OK the old password
// must be accepted by SecurityChk ("Old password is invalid. Please try again." otherwise),
// then the new one is stored. A store that fails says so.
void ChangeUpdatePassword(TSetUpdPwdDlg& dialog);
