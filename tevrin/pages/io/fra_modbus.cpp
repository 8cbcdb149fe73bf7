#include "tevrin/pages/io/fra_modbus.h"

#include "platform/messages.h"

#include <QAction>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TfraModbus::TfraModbus(QWidget* owner) : TPageFrame(owner, 7, 1, 1)
{
    setObjectName(QStringLiteral("fraModbus"));
    auto* layout = new QVBoxLayout(this);
    tlModbus_ = new QTreeWidget(this);
    tlModbus_->setObjectName(QStringLiteral("tlModbus"));
    tlModbus_->setHeaderHidden(true);
    tlModbus_->setContextMenuPolicy(Qt::ActionsContextMenu);
    mnuDeleteItem_ = new QAction(QStringLiteral("Delete Selected Item"), tlModbus_);
    mnuDeleteItem_->setObjectName(QStringLiteral("mnuDeleteItem"));
    tlModbus_->addAction(mnuDeleteItem_);
    btnNewModbusList_ = new QPushButton(QStringLiteral("New Modbus List"), this);
    btnNewModbusList_->setObjectName(QStringLiteral("btnNewModbusList"));
    layout->addWidget(tlModbus_, 1);
    layout->addWidget(btnNewModbusList_);
    SetReadOnly(false);
}

TfraModbus::~TfraModbus() = default;

void TfraModbus::SetReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    mnuDeleteItem_->setEnabled(!readOnly);
    btnNewModbusList_->setEnabled(!readOnly);
}

void TfraModbus::OnFreePageData(TMessage& m)
{
    std::lock_guard<std::mutex> guard(lock_);
    tlModbus_->clear();
    m.Result = 0;
}
