#include "tevrin/pages/analysis/log_frm.h"

#include "platform/errors.h"
#include "platform/prompter.h"
#include "tevrin/pages/analysis/archive_hdr_frame.h"
#include "tevrin/pages/page_host.h"
#include "tevrin/pages/widgets/tree_drag_routes.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/pages/widgets/point_tree_adapter.h"
#include "ui_log_frm.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include <exception>

namespace {
const char* const kTabCaptions[TLogFrm::kLogsShown] = {"Log On Run", " Log Hourly", " Log Daily", " Log Periodic 1",
                                                       " Log Periodic 2"};
}  // namespace

TLogFrm::TLogFrm(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TLogFrm>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("LogFrm"));
    tree_ = ui->OrgPointsTreeView;
    tabs_ = ui->pcLogs;
    btnRead_ = ui->btnRead;
    btnWrite_ = ui->btnWrite;
    records_ = {ui->labOnRun, ui->labHour, ui->labDaily, ui->labPeriodic1, ui->labPeriodic2};
    days_ = {ui->labDayOnRun, ui->labDayHourly, ui->labDayDaily, ui->labDayPeriodic1, ui->labDayPeriodic2};

    // One tab per log, the same frame made for each.
    for (int k = 0; k < kLogsShown; ++k) {
        auto* frame = new TfraArchiveHdr(tabs_, k);
        frame->draggedRow = [this] { return dragRow_; };
        frame->onChanged = [this] { RefreshLogFigures(); };
        frame->onFrequencyChanged = [this] { Post("WriteLogConfig"); };
        frames_[static_cast<size_t>(k)] = frame;
        tabs_->addTab(frame, QString::fromLatin1(kTabCaptions[k]));
    }

    connect(btnRead_, &QPushButton::clicked, this, &TLogFrm::btnReadClick);
    connect(btnWrite_, &QPushButton::clicked, this, &TLogFrm::btnWriteClick);

    // Drags start from any node of the tree; only a point's row can be dropped on a log.
    auto* routes = new TreeDragRoutes(this);
    routes->AddSource(
        tree_, [](QTreeWidgetItem* item) { return item != nullptr; },
        [this](QTreeWidgetItem* item) {
            dragRow_ = item ? item->data(0, PointTreeAdapter::kDataRole).toInt() : -1;
            return true;
        },
        [this] { dragRow_ = -1; });
}

TLogFrm::~TLogFrm() = default;

void TLogFrm::Post(const char* command)
{
    if (IPageHost* host = PageHost()) host->PostCommand(command);
}

void TLogFrm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormActivate();
}


void TLogFrm::LoadFrames()
{
    for (TfraArchiveHdr* frame : frames_) frame->LoadFromRecord();
}

void TLogFrm::FormActivate()
{
    tree_->clear();
    PointTreeAdapter::Build(tree_, QString::fromLatin1(PointTreeAdapter::kRootCaption),
                            QString::fromLatin1(PointTreeAdapter::kLogListName));
    Post("ReadLogConfig");
    DataBase* db = DataBase::Instance();
    repairDeclined_ = false;
    if (!db->LogIdsAreUnique()) {
        const int answer = platform::MessageDlg(
            QStringLiteral("Invalid Log Configuration was found. Do you want to fix it automatically?\n") +
                QStringLiteral("If YES, some historic Log data may be lost.\n") +
                QStringLiteral("If NO, please call Torquine for assistance."),
            platform::DlgType::Warning, platform::mbYesNo);
        if (answer != platform::mrYes) {
            // Nothing is changed and nothing is written in this showing.
            repairDeclined_ = true;
            tree_->setEnabled(false);
            tabs_->setEnabled(false);
            btnRead_->setEnabled(false);
            return;
        }
        db->ResetLogIds();
        Post("WriteLogConfig");
        Post("WriteConfig");
    }
    tree_->setEnabled(true);
    tabs_->setEnabled(true);
    btnRead_->setEnabled(true);
    LoadFrames();
    RefreshLogFigures();
}

void TLogFrm::FormClose()
{
    if (repairDeclined_) return;
    DataBase* db = DataBase::Instance();
    if (!db->LogIdsAreUnique()) db->ResetLogIds();
    // Written on every close, changed or not: the analyzer then holds what the window showed.
    Post("WriteLogConfig");
}

void TLogFrm::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TLogFrm::btnReadClick()
{
    Post("ReadLogConfig");
    LoadFrames();
    RefreshLogFigures();
}

void TLogFrm::btnWriteClick() { Post("WriteLogConfig"); }

void TLogFrm::RefreshLogFigures()
{
    DataBase* db = DataBase::Instance();
    bool computed = true;
    try {
        db->ComputeRunTimes();
    } catch (const std::exception&) {
        // A run-time point that holds no number (not read yet): no figures to show.
        computed = false;
    }
    for (int k = 0; k < kLogsShown; ++k) {
        records_[static_cast<size_t>(k)]->setText(computed ? QString::number(db->RecordCapacity(k)) : QStringLiteral("-"));
        days_[static_cast<size_t>(k)]->setText(computed ? QString::fromStdString(db->CapacityText(k)) : QStringLiteral("-"));
    }
}
