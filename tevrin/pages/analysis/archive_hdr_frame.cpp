#include "tevrin/pages/analysis/archive_hdr_frame.h"

#include "platform/prompter.h"
#include "tevrin/pages/analysis/archive_xml.h"
#include "tevrin/pages/analysis/log_setup.h"
#include "tevrin/pages/widgets/adv_column_grid.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/rtdb/unique_log_id.h"

#include <QAction>
#include <QCheckBox>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QVBoxLayout>

TfraArchiveHdr::TfraArchiveHdr(QWidget* parent, int logIndex) : QFrame(parent), log_(logIndex)
{
    setObjectName(QStringLiteral("fraArchiveHdr%1").arg(logIndex));
    chkEnable_ = new QCheckBox(QStringLiteral("Enable"), this);
    chkEnable_->setObjectName(QStringLiteral("chkEnable"));
    lblFrequency_ = new QLabel(Daily() ? QStringLiteral("Hour Taken") : QStringLiteral("Frequency"), this);
    edtFrequency_ = new QLineEdit(this);
    edtFrequency_->setObjectName(QStringLiteral("edtFrequency"));
    edtFrequency_->setToolTip(QStringLiteral("After change value, you should press ENTER key."));
    edtUnit_ = new QLabel(Daily() ? QStringLiteral("Hour") : QStringLiteral("seconds"), this);
    edtUnit_->setObjectName(QStringLiteral("edtUnit"));
    // The On Run and Hourly logs have no frequency of their own.
    const bool ownFrequency = log_ >= logsetup::kDailyLog;
    lblFrequency_->setVisible(ownFrequency);
    edtFrequency_->setVisible(ownFrequency);
    edtFrequency_->setReadOnly(!ownFrequency);
    edtUnit_->setVisible(ownFrequency);
    auto* top = new QHBoxLayout;
    top->addWidget(chkEnable_);
    top->addWidget(lblFrequency_);
    top->addWidget(edtFrequency_);
    top->addWidget(edtUnit_);
    top->addStretch();

    grid_ = new QAdvColumnGrid(this);
    grid_->setObjectName(QStringLiteral("gridArchiveHdr"));
    grid_->SetColCount(kColumns);
    const char* const names[kColumns] = {"colSeq", "colPointName", "colEnable", "colFrequency", "colLogID"};
    const QString headers[kColumns] = {QStringLiteral("Item"), QStringLiteral("Data Point"), QStringLiteral("Enable"),
                                       Daily() ? QStringLiteral("Hour Taken") : QStringLiteral("Frequency (seconds)"),
                                       QStringLiteral("Log ID")};
    for (int c = 0; c < kColumns; ++c) {
        grid_->SetColumnName(c, QString::fromLatin1(names[c]));
        grid_->SetColumnHeader(c, headers[c]);
    }
    grid_->setColumnWidth(colPointName, 260);
    grid_->HideColumns(colEnable, colLogID);
    grid_->SetRowsMovable(true);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(grid_, &QAdvColumnGrid::CanEditCell, this, [](int, int, bool& canEdit) { canEdit = false; });
    connect(grid_, &QAdvColumnGrid::RowMoved, this, [this](int from, int to) {
        if (from < 0 || to < 0 || from >= static_cast<int>(positions_.size()) || to >= static_cast<int>(positions_.size()))
            return;
        const int moved = positions_[static_cast<size_t>(from)];
        positions_.erase(positions_.begin() + from);
        positions_.insert(positions_.begin() + to, moved);
        Renumber();
    });
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("popArchiveHdr"));
    QAction* deleteItem = menu_->addAction(QStringLiteral("Delete Item"));
    deleteItem->setObjectName(QStringLiteral("mnuDeleteCurrItem"));
    connect(deleteItem, &QAction::triggered, this, [this] { DeleteRow(menuRow_); });
    connect(grid_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = grid_->indexAt(at);
        menuRow_ = index.isValid() ? grid_->ShownRow(index.row()) : -1;
        if (menuRow_ >= 0 && !grid_->Cells(colPointName, menuRow_).isEmpty())
            menu_->popup(grid_->viewport()->mapToGlobal(at));
    });
    grid_->installEventFilter(this);
    grid_->viewport()->setAcceptDrops(true);
    grid_->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grid_, 1);

    connect(chkEnable_, &QCheckBox::clicked, this, &TfraArchiveHdr::chkEnableClick);
    connect(edtFrequency_, &QLineEdit::returnPressed, this, &TfraArchiveHdr::edtFrequencyEnter);
}

TfraArchiveHdr::~TfraArchiveHdr() { UniqueLogID::DestroyInstance(); }

bool TfraArchiveHdr::Daily() const { return log_ == logsetup::kDailyLog; }

LogConfigRecord& TfraArchiveHdr::Record() const { return DataBase::Instance()->LogRecord(log_); }

void TfraArchiveHdr::AddRow(TDbId point)
{
    const LogConfigRecord& r = Record();
    const int row = grid_->AddRow();
    grid_->SetCells(colSeq, row, QString::number(row + 1));
    grid_->SetCells(colPointName, row, ArchivePointName(point));
    grid_->AddCheckBox(colEnable, row, r.Enable != 0);
    grid_->SetCells(colFrequency, row, QString::number(r.Frequency));
    grid_->SetCells(colLogID, row, QString::number(r.LogIdCode));
}

void TfraArchiveHdr::SetColumnText(int column, const QString& text)
{
    for (int row = 0; row < grid_->RowCount(); ++row) grid_->SetCells(column, row, text);
}

void TfraArchiveHdr::Renumber()
{
    for (int row = 0; row < grid_->RowCount(); ++row) grid_->SetCells(colSeq, row, QString::number(row + 1));
}

void TfraArchiveHdr::LoadFromRecord()
{
    grid_->ClearRows();
    const LogConfigRecord& r = Record();
    chkEnable_->setChecked(r.Enable != 0);
    edtFrequency_->setText(QString::number(r.Frequency));
    positions_ = logsetup::PointPositions(r);
    for (int position : positions_) AddRow(r.UniqueId[position]);
    idDrawn_ = false;
}

bool TfraArchiveHdr::CanDropPoint() const { return static_cast<int>(positions_.size()) < logsetup::kMaxPoints; }

bool TfraArchiveHdr::DropPoint(int catalogueRow)
{
    if (!CanDropPoint()) return false;
    DataBase* db = DataBase::Instance();
    const DatabasePoint* point = db->PointByIndex(catalogueRow);
    if (!point) return false;

    // The first change of a showing gives the log a new id code (its records in the archive
    // under the old code have the old layout); later drops keep the code drawn.
    int idCode = 0;
    if (!idDrawn_ || positions_.size() <= 1) {
        idCode = logsetup::DrawLogId(db->LogRecords(), log_);
        if (idCode >= UniqueLogID::kNoFreeId) return false;
    } else {
        idCode = grid_->Cells(colLogID, 0).toInt();
    }
    if (positions_.empty()) {
        chkEnable_->setChecked(true);
        edtFrequency_->setText(QStringLiteral("1"));
    }
    LogConfigRecord& r = Record();
    bool numeric = false;
    const QString text = edtFrequency_->text().trimmed();
    int frequency = text.toInt(&numeric);
    if (text.isEmpty())
        frequency = logsetup::kDefaultFrequency;
    else if (!numeric || frequency < 0 || frequency > 0xFFFF)
        frequency = r.Frequency;   // not a frequency: the log keeps its own
    if (!logsetup::AppendPoint(r, log_, point->GetDbId(), frequency, idCode)) return false;
    idDrawn_ = true;
    positions_.push_back(logsetup::EntriesInUse(r) - 1);
    SetColumnText(colFrequency, edtFrequency_->text());
    AddRow(point->GetDbId());
    SetColumnText(colLogID, QString::number(idCode));
    if (onChanged) onChanged();
    return true;
}

bool TfraArchiveHdr::DeleteRow(int row)
{
    LogConfigRecord& r = Record();
    if (r.ParametersInLog <= 1) return false;
    if (row < 0 || row >= static_cast<int>(positions_.size())) return false;
    const QString name = grid_->Cells(colPointName, row);
    if (name.isEmpty()) return false;
    if (platform::MessageDlg(QStringLiteral("Are you sure you want to remove \"%1\"?").arg(name),
                             platform::DlgType::Confirmation, platform::mbYesNo) != platform::mrYes)
        return false;   // declined: the log stays as it was, its id code too
    const int position = positions_[static_cast<size_t>(row)];
    if (!logsetup::RemovePoint(r, log_, position)) return false;
    positions_.erase(positions_.begin() + row);
    for (int& p : positions_)
        if (p > position) --p;
    grid_->RemoveRow(row);
    Renumber();
    if (!idDrawn_) {
        const int idCode = logsetup::DrawLogId(DataBase::Instance()->LogRecords(), log_);
        if (idCode < UniqueLogID::kNoFreeId) {
            r.LogIdCode = static_cast<uint8_t>(idCode);
            SetColumnText(colLogID, QString::number(idCode));
            idDrawn_ = true;
        }
    }
    if (onChanged) onChanged();
    return true;
}

void TfraArchiveHdr::chkEnableClick()
{
    const bool on = chkEnable_->isChecked();
    for (int row = 0; row < grid_->RowCount(); ++row) grid_->SetCheckBoxState(colEnable, row, on);
    LogConfigRecord& r = Record();
    r.LOG_NUMBER = static_cast<uint8_t>(log_);
    r.Enable = on ? 1 : 0;
    if (onChanged) onChanged();
}

void TfraArchiveHdr::edtFrequencyEnter()
{
    const QString text = edtFrequency_->text();
    int value = 0;
    const logsetup::FrequencyCheck check = logsetup::CheckFrequency(text, Daily(), value);
    if (check == logsetup::FrequencyCheck::Empty) return;
    if (check != logsetup::FrequencyCheck::Ok) {
        platform::MessageDlg(logsetup::FrequencyMessage(check, text), platform::DlgType::Warning, platform::mbOK);
        return;
    }
    LogConfigRecord& r = Record();
    SetColumnText(colFrequency, text);
    if (r.Frequency == value) return;   // nothing changed: nothing to write
    r.LOG_NUMBER = static_cast<uint8_t>(log_);
    r.Frequency = static_cast<uint16_t>(value);
    if (onChanged) onChanged();
    if (onFrequencyChanged) onFrequencyChanged();
}

bool TfraArchiveHdr::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == grid_ && e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Delete) {
        // The grid deletes nothing itself; the key asks as "Delete Item" does.
        const QModelIndex current = grid_->currentIndex();
        if (current.isValid()) DeleteRow(grid_->ShownRow(current.row()));
        return true;
    }
    if (watched == grid_->viewport()) {
        switch (e->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(e);
            if (draggedRow && draggedRow() >= 0 && CanDropPoint())
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(e);
            if (draggedRow && draggedRow() >= 0 && DropPoint(draggedRow()))
                drop->acceptProposedAction();
            else
                drop->ignore();
            return true;
        }
        default: break;
        }
    }
    return QFrame::eventFilter(watched, e);
}
