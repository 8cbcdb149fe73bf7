#include "tevrin/pages/io/fra_factory.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

TfraFactory::TfraFactory(QWidget* owner) : TPageFrame(owner, 8, 0, 1)
{
    setObjectName(QStringLiteral("fraFactory"));
    auto* layout = new QVBoxLayout(this);
    lblNotice_ = new QLabel(QStringLiteral("Factory settings need the factory access code."), this);
    lblNotice_->setObjectName(QStringLiteral("lblNotice"));
    lblStreams_ = new QLabel(QStringLiteral("Number of Streams"), this);
    lblStreams_->setObjectName(QStringLiteral("lblStreams"));
    cbStreams_ = new QComboBox(this);
    cbStreams_->setObjectName(QStringLiteral("cbStreams"));
    for (int s = 1; s <= 4; ++s) cbStreams_->addItem(QString::number(s));
    auto* settings = new QGroupBox(QStringLiteral("Factory Settings"), this);
    settings->setObjectName(QStringLiteral("grpFactory"));
    layout->addWidget(lblNotice_);
    layout->addWidget(lblStreams_);
    layout->addWidget(cbStreams_);
    layout->addWidget(settings, 1);
    ShowContents(false);
}

void TfraFactory::ShowContents(bool show)
{
    const QList<QWidget*> children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (child == lblNotice_)
            child->setVisible(!show);
        else if (show || child == lblStreams_ || child == cbStreams_)
            child->setVisible(true);
        else
            child->setVisible(false);
    }
}

std::vector<int> TfraFactory::FixedPointsBefore() const
{
    return {386, 285, 470, 471, 472, 311, 312, 313, 314, 315, 29,
            20,  1031, 1029, 1030, 1027, 1203, 1039, 1037, 1038, 1035, 1204, 511, 1688, 1689};
}
