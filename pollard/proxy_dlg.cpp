#include "pollard/proxy_dlg.h"

#include "platform/numtext.h"
#include "pollard/comm_settings.h"
#include "ui_proxy_dlg.h"

namespace pollard {

ProxyDialog::ProxyDialog(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::ProxyDialogForm>())
{
    ui_->setupUi(this);
    connect(ui_->btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

ProxyDialog::~ProxyDialog() = default;

void ProxyDialog::Fill(const CommSettings& settings)
{
    ui_->cbSocksVersion->setCurrentIndex(settings.socksVersion - 1);
    ui_->edAddress->setText(settings.proxyAddress);
    ui_->edPort->setText(QString::number(settings.proxyPort));
    ui_->edUsername->setText(settings.proxyUsername);
    ui_->edPassword->setText(settings.proxyPassword);
}

void ProxyDialog::Apply(CommSettings& settings) const
{
    settings.proxyAddress = ui_->edAddress->text();
    settings.proxyPort = numtext::AtoL(ui_->edPort->text().toStdString());
    settings.proxyUsername = ui_->edUsername->text();
    settings.proxyPassword = ui_->edPassword->text();
    settings.socksVersion = ui_->cbSocksVersion->currentIndex() + 1;
}

bool EditProxySettings(QWidget* parent, CommSettings& settings)
{
    ProxyDialog dialog(parent);
    dialog.Fill(settings);
    if (dialog.exec() != QDialog::Accepted) return false;
    dialog.Apply(settings);
    return true;
}

}  // namespace pollard
