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
