#include "tevrin/pages/analysis/frm_audit.h"

#include "platform/messages.h"
#include "platform/process_wide.h"
#include "tevrin/pages/analysis/audit_panel.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/page_host.h"
#include "tevrin/rtdb/database.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

TfrmAudit::TfrmAudit(QWidget* owner) : TPageFrame(owner, -1, 0, 0)
{
    setObjectName(QStringLiteral("frmAudit"));
    auto* top = new QFrame(this);
    top->setObjectName(QStringLiteral("pnlTop"));
    auto* caption = new QLabel(QStringLiteral("Event Log Records:"), top);
    btnReadAudit_ = new QToolButton(top);
    btnReadAudit_->setObjectName(QStringLiteral("btnReadAudit"));
    btnReadAudit_->setText(QStringLiteral("Read from Analyzer"));
    btnReadAudit_->setToolTip(QStringLiteral("Reading Events from Analyzer"));
    btnAutoSizeCols_ = new QToolButton(top);
    btnAutoSizeCols_->setObjectName(QStringLiteral("btnAutoSizeCols"));
    btnAutoSizeCols_->setText(QStringLiteral("<->"));
    btnAutoSizeCols_->setToolTip(QStringLiteral("Auto-Size Columns"));
    auto* topLayout = new QHBoxLayout(top);
    topLayout->addWidget(caption);
    topLayout->addWidget(btnReadAudit_);
    topLayout->addWidget(btnAutoSizeCols_);
    topLayout->addStretch();

    panel_ = new TAuditGridPanel(this, QStringLiteral("Event Log Memory Usage:"), QStringLiteral("Sentrel Event Log (*.vkau)"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(top);
    layout->addWidget(panel_, 1);

    connect(btnReadAudit_, &QToolButton::clicked, this, &TfrmAudit::btnBackClick);
    connect(btnAutoSizeCols_, &QToolButton::clicked, panel_, &TAuditGridPanel::AutoSizeColumns);
    connect(panel_, &TAuditGridPanel::CopyImageRequested, this, [this] { panel_->CopyImage(this); });
}

QAdvColumnGrid* TfrmAudit::gridAudit() const { return panel_->gridAudit(); }

void TfrmAudit::btnBackClick()
{
    panel_->ClearEvents();
    panel_->BlankUsage();
    btnReadAudit_->setEnabled(false);
    PostCommand("ReadAudit");
    btnReadAudit_->setEnabled(true);
}

void TfrmAudit::AuditFinish()
{
    panel_->ClearEvents();
    const std::vector<uint8_t>& memory = DataBase::Instance()->EventData();
    IPageHost* host = PageHost();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (host) host->SetProgressMax(static_cast<int>(memory.size() / 10));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    AuditFrameParser parser(LogDBManager::Instance()->TokenToDate());
    QObject* mainForm = platform::MainForm();
    parser.Parse(memory.data(), memory.size(), [mainForm] {
        if (mainForm) platform::SendMessage(mainForm, platform::WM_COMM_PROGRESS, 1);
    });
    parser.SortByTime();
    const uint32_t escapes = parser.EscapeCount();
    std::vector<AuditEvent> events = parser.TakeEvents();
    const double used = AuditBytesUsed(events.size(), escapes);
    panel_->ShowEvents(std::move(events));
    panel_->ShowUsage(used, static_cast<double>(memory.size()));
}
