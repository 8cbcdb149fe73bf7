#pragma once
// The About box of the Help menu: the program's name and an OK button.
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
    explicit TAboutForm(QWidget* parent = nullptr);
    ~TAboutForm() override;

    QLabel* ProductName() const;
    QLabel* Comments() const;
    QPushButton* OKButton() const;

private:
    std::unique_ptr<Ui::TAboutForm> ui;
};
