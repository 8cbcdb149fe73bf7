#include "tevrin/pages/analysis/frm_audit.h"

#include "platform/messages.h"
#include "platform/process_wide.h"
#include "tevrin/pages/analysis/audit_panel.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/page_host.h"
#include "tevrin/rtdb/database.h"
#include "ui_frm_audit.h"

#include <QCoreApplication>
#include <QToolButton>

TfrmAudit::TfrmAudit(QWidget* owner) : TPageFrame(owner, -1, 0, 0), ui(std::make_unique<Ui::TfrmAudit>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("frmAudit"));
    connect(ui->btnReadAudit, &QToolButton::clicked, this, &TfrmAudit::btnBackClick);
    connect(ui->btnAutoSizeCols, &QToolButton::clicked, ui->pnlAudit, &TAuditGridPanel::AutoSizeColumns);
    connect(ui->pnlAudit, &TAuditGridPanel::CopyImageRequested, this, [this] { ui->pnlAudit->CopyImage(this); });
}

TfrmAudit::~TfrmAudit() = default;

TAuditGridPanel* TfrmAudit::Panel() const { return ui->pnlAudit; }
QAdvColumnGrid* TfrmAudit::gridAudit() const { return ui->pnlAudit->gridAudit(); }
QToolButton* TfrmAudit::btnReadAudit() const { return ui->btnReadAudit; }
QToolButton* TfrmAudit::btnAutoSizeCols() const { return ui->btnAutoSizeCols; }

void TfrmAudit::btnBackClick()
{
    ui->pnlAudit->ClearEvents();
    ui->pnlAudit->BlankUsage();
    ui->btnReadAudit->setEnabled(false);
    PostCommand("ReadAudit");
    ui->btnReadAudit->setEnabled(true);
}

void TfrmAudit::AuditFinish()
{
    ui->pnlAudit->ClearEvents();
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
    ui->pnlAudit->ShowEvents(std::move(events));
    ui->pnlAudit->ShowUsage(used, static_cast<double>(memory.size()));
}
