#pragma once
// The About box of the Help menu: the program's name, its version and an OK button.
#include <QDialog>

#include <memory>

namespace Ui {
class TAboutForm;
}
class QLabel;
class QPushButton;

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    // The program's version, as the build gives it.
    static QString ProgramVersion();

    explicit TAboutForm(QWidget* parent = nullptr);
    ~TAboutForm() override;

    QLabel* ProductName() const;
    QLabel* Comments() const;
    QLabel* Version() const;   // "Version " and the program's version
    QPushButton* OKButton() const;

private:
    std::unique_ptr<Ui::TAboutForm> ui;
};
