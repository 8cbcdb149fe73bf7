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
#include <QStringList>
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
        frame->onChanged = [this, k] {
            edited_[static_cast<size_t>(k)] = true;
            RefreshLogFigures();
        };
        frame->onFrequencyChanged = [this] { WriteRecords(); };
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

LogRecordSet TLogFrm::RecordsToWrite() const
{
    LogRecordSet records{};
    for (int k = 0; k < kLogCount; ++k)
        records[static_cast<size_t>(k)] = edited_[static_cast<size_t>(k)] || DataBase::Instance()->LogRecordRead(k);
    return records;
}

void TLogFrm::ReadRecords()
{
    Post("ReadLogConfig");
    // What the read brought replaces whatever the window had changed.
    edited_ = LogRecordSet{};
    QStringList unread;
    for (int k = 0; k < kLogCount; ++k)
        if (!DataBase::Instance()->LogRecordRead(k))
            unread << (k < kLogsShown ? QString::fromLatin1(kTabCaptions[k]).trimmed() : QStringLiteral("Log Periodic 3"));
    if (unread.isEmpty()) return;
    platform::MessageDlg(QStringLiteral("The configuration of these logs could not be read from the analyzer: %1.\n"
                                        "They will not be written back to it unless you change them here.")
                             .arg(unread.join(QStringLiteral(", "))),
                         platform::DlgType::Warning, platform::mbOK);
}

void TLogFrm::WriteRecords()
{
    const LogRecordSet records = RecordsToWrite();
    if (records == LogRecordSet{}) return;
    if (IPageHost* host = PageHost()) host->PostCommand("WriteLogConfig", LogRecordSetText(records));
}

void TLogFrm::FormActivate()
{
    tree_->clear();
    PointTreeAdapter::Build(tree_, QString::fromLatin1(PointTreeAdapter::kRootCaption),
                            QString::fromLatin1(PointTreeAdapter::kLogListName));
    ReadRecords();
    DataBase* db = DataBase::Instance();
    repairDeclined_ = false;
    // Records the read did not bring are not the unit's codes; they are not compared.
    if (!db->LogIdsAreUnique(RecordsToWrite())) {
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
        WriteRecords();
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
    if (!db->LogIdsAreUnique(RecordsToWrite())) db->ResetLogIds();
    // Written on every close, changed or not: the analyzer then holds what the window showed.
    WriteRecords();
}

void TLogFrm::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TLogFrm::btnReadClick()
{
    ReadRecords();
    LoadFrames();
    RefreshLogFigures();
}

void TLogFrm::btnWriteClick() { WriteRecords(); }

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
