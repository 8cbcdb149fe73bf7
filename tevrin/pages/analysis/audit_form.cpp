#include "tevrin/pages/analysis/audit_form.h"

#include "tevrin/pages/analysis/audit_panel.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/rtdb/database.h"

#include <QEvent>
#include <QVBoxLayout>

TAuditForm::TAuditForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AuditForm"));
    setWindowTitle(QStringLiteral("Event Log"));
    panel_ = new TAuditGridPanel(this, QStringLiteral("Memory Usage:"), QStringLiteral("Sentrel Event Log(*.vkau)"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel_);
    connect(panel_, &TAuditGridPanel::CopyImageRequested, this, [this] { panel_->CopyImage(this); });
    resize(900, 500);
}

bool TAuditForm::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return QDialog::event(e);
}

void TAuditForm::FormActivate()
{
    panel_->ClearEvents();
    const std::vector<uint8_t>& memory = DataBase::Instance()->EventData();
    PlainAuditRecords records = ReadPlainAuditRecords(memory.data(), memory.size(), LogDBManager::Instance()->TokenToDate());
    const double good = static_cast<double>(records.events.size());
    panel_->ShowEvents(std::move(records.events));
    panel_->ShowUsage(good, records.walked);
}
