#pragma once
// The mode choice after a logon: "Read Only" (also the Enter and Escape keys) answers
// platform::mrNo, "Update" platform::mrYes. Closing the window any other way answers
// platform::mrCancel, which the logon treats as "Update" (the password is still asked).
#include <QDialog>

#include <memory>

namespace Ui {
class TUpdModeDlg;
}
class QPushButton;
class TfrmLogon;
enum class UpdateModeAnswer;

class TUpdModeDlg : public QDialog {
    Q_OBJECT
public:
    explicit TUpdModeDlg(QWidget* parent = nullptr);
    ~TUpdModeDlg() override;

    int ShowModal();

    QPushButton* btnReadOnly() const;
    QPushButton* btnUpdate() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::TUpdModeDlg> ui;
};

// The mode choice of the logon: "Read Only" (or Escape) gives read-only mode; any other way of
// leaving the mode dialog asks for the Update-mode password, and a refused password shows
// "Invalid password!\n Read Only Mode".
UpdateModeAnswer ChooseLogonMode(TUpdModeDlg& modeDialog, TfrmLogon& passwordDialog);
