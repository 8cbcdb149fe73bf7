#include "tevrin/pages/analysis/frm_audit.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

TfrmAudit::TfrmAudit(QWidget* owner) : TPageFrame(owner, -1, 0, 0)
{
    setObjectName(QStringLiteral("frmAudit"));
    auto* layout = new QVBoxLayout(this);
    grid_ = new QTableWidget(0, 3, this);
    grid_->setObjectName(QStringLiteral("grid"));
    grid_->setHorizontalHeaderLabels({QStringLiteral("Time"), QStringLiteral("Event"), QStringLiteral("Comment")});
    grid_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(grid_);
}

void TfrmAudit::AuditFinish()
{
    // The event-log decoding belongs to the event pages; the grid is emptied so that it never
    // shows a stale log.
    grid_->setRowCount(0);
}
