#include "tevrin/shell/about_form.h"

#include "ui_about_form.h"

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TAboutForm>())
{
    ui->setupUi(this);
    ui->Version->setText(QStringLiteral("Version ") + ProgramVersion());
}

QString TAboutForm::ProgramVersion() { return QStringLiteral(TEVRIN_VERSION); }

TAboutForm::~TAboutForm() = default;

QLabel* TAboutForm::ProductName() const { return ui->ProductName; }
QLabel* TAboutForm::Comments() const { return ui->Comments; }
QLabel* TAboutForm::Version() const { return ui->Version; }
QPushButton* TAboutForm::OKButton() const { return ui->OKButton; }
