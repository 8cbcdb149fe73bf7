#include "tevrin/shell/about_form.h"

#include "ui_about_form.h"

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TAboutForm>())
{
    ui->setupUi(this);
}

TAboutForm::~TAboutForm() = default;

QLabel* TAboutForm::ProductName() const { return ui->ProductName; }
QLabel* TAboutForm::Comments() const { return ui->Comments; }
QPushButton* TAboutForm::OKButton() const { return ui->OKButton; }
