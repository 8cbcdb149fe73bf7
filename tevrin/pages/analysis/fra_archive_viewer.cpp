#include "tevrin/pages/analysis/fra_archive_viewer.h"

#include "platform/data_folder.h"
#include "platform/prompter.h"
#include "tevrin/pages/analysis/archive_chart.h"
#include "tevrin/pages/analysis/archive_csv.h"
#include "tevrin/pages/analysis/archive_xml.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/page_host.h"
#include "tevrin/pages/widgets/column_filters.h"
#include "tevrin/pages/widgets/date_text.h"
#include "tevrin/pages/widgets/file_prompts.h"
#include "tevrin/rtdb/database.h"
#include "ui_fra_archive_viewer.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>
#include <charconv>
#include <cmath>

using fileprompts::AskFile;
using fileprompts::SaySaveFailed;

namespace {

const char* const kLogNames[kLogCount] = {"On Run", "Hourly", "Daily", "Periodic 1", "Periodic 2", "Periodic 3"};
// The archive list offers the first five logs.
constexpr int kListedLogs = 5;

QString LogName(int position)
{
    return position >= 0 && position < kLogCount ? QString::fromLatin1(kLogNames[position]) : QStringLiteral("unknown");
}

int ValueCount(const LogConfigRecord& log) { return std::clamp(static_cast<int>(log.ParametersInLog) - 1, 0, kLogValuesPerLog); }

// The last samples of one log, made into cell texts as they are shown: Seq, Log Name,
// Timestamp, then the log's values.
class ArchiveRows : public IGridRowSource {
public:
    ArchiveRows(const LogDBManager* archive, int position, int first, int count, int values)
        : archive_(archive), position_(position), first_(first), count_(count), values_(values)
    {
    }
    int RowCount() const override { return count_; }
    QString Text(int row, int column) const override
    {
        const LogEntry* e = At(row);
        if (!e) return {};
        switch (column) {
        case 0: return QString::number(first_ + row + 1);
        case 1: return LogName(position_);
        case 2: return datetext::DateTimeToStr(e->Time);
        default: {
            const int j = column - TfraArchiveViewer::kFixedColumns;
            return j < values_ ? QString::fromStdString(archive_->ValueText(*e, j)) : QString();
        }
        }
    }
    bool Number(int row, int column, double& value) const override
    {
        const LogEntry* e = At(row);
        if (!e) return false;
        switch (column) {
        case 0: value = first_ + row + 1; return true;
        case 1: return false;
        case 2: value = e->Time; return true;
        default: {
            const int j = column - TfraArchiveViewer::kFixedColumns;
            return j < values_ && archive_->ValueNumber(*e, j, value);
        }
        }
    }

    bool SheetCell(int row, int column, double& number, std::string& text) const override
    {
        text.clear();
        const LogEntry* e = At(row);
        if (!e) return false;
        switch (column) {
        case 0: number = first_ + row + 1; return true;
        case 1: text = LogName(position_).toStdString(); return false;
        case 2: {
            char buffer[datetext::Formats::kMaxText];
            text.assign(buffer, datetext::Current().Write(e->Time, buffer));
            return false;
        }
        default: break;
        }
        const int j = column - TfraArchiveViewer::kFixedColumns;
        if (j >= values_) return false;
        if (const std::string* held = archive_->HeldText(*e, j))
            return SheetCellFromText(QString::fromStdString(*held), number, text);
        // The number the cell shows: whole numbers exactly, floats as their text gives them.
        char buffer[LogDBManager::kValueTextMax];
        const char* end = archive_->WriteValue(*e, j, buffer);
        if (!archive_->ValueNumber(*e, j, number) || !std::isfinite(number)) {
            text.assign(buffer, static_cast<size_t>(end - buffer));
            return false;
        }
        if (number != std::trunc(number) || std::fabs(number) >= 1e15) std::from_chars(buffer, end, number);
        return true;
    }

private:
    const LogEntry* At(int row) const
    {
        const std::vector<uint32_t>& list = archive_->LogList(position_);
        const size_t k = static_cast<size_t>(first_) + static_cast<size_t>(row);
        return row >= 0 && k < list.size() ? archive_->Entry(static_cast<int>(list[k])) : nullptr;
    }

    const LogDBManager* archive_;
    int position_;
    int first_;
    int count_;
    int values_;
};

// The wait window's bar, kept alive while a file is read or written.
void StepWait()
{
    if (IPageHost* host = PageHost()) host->StepWaitBar();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void SpecialPanel(const QString& text)
{
    if (IPageHost* host = PageHost()) host->SetSpecialPanelText(text);
}

void HideWait()
{
    if (IPageHost* host = PageHost()) host->HideWaitWindow();
}

std::vector<GridFilterItem> AllAndCustom() { return {{QStringLiteral("[All]"), QStringLiteral("*")}, {QStringLiteral("[Custom]"), QStringLiteral("*")}}; }

}  // namespace

TfraArchiveViewer::TfraArchiveViewer(QWidget* owner) : TPageFrame(owner, 1, 0, 1), ui(new Ui::TfraArchiveViewer)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("fraArchiveViewer"));

    QAdvColumnGrid* grid = ui->gridArchive;
    grid->SetColCount(kFixedColumns + kValueColumns);
    grid->SetFixedCols(kFixedColumns);
    const char* const names[kFixedColumns] = {"colSeq", "colLogID", "colTS"};
    const char* const headers[kFixedColumns] = {"Seq", "Log Name", "Timestamp"};
    for (int c = 0; c < kFixedColumns; ++c) {
        grid->SetColumnName(c, QString::fromLatin1(names[c]));
        grid->SetColumnHeader(c, QString::fromLatin1(headers[c]));
    }
    for (int c = kFixedColumns; c < grid->ColCount(); ++c) {
        grid->SetColumnName(c, QStringLiteral("col%1").arg(c));
        grid->setColumnWidth(c, 64);
    }
    colSeq_ = grid->ColumnByName(QStringLiteral("colSeq"));
    colLogID_ = grid->ColumnByName(QStringLiteral("colLogID"));
    colTS_ = grid->ColumnByName(QStringLiteral("colTS"));
    grid->setColumnWidth(colSeq_, 64);
    grid->setColumnWidth(colLogID_, 64);
    grid->setColumnWidth(colTS_, 100);
    grid->SetFilterDropDown(true);
    grid->SetColumnFilterList(colSeq_, AllAndCustom());
    std::vector<GridFilterItem> dates = AllAndCustom();
    for (const char* name : {"Today", "Yesterday", "This Month", "Last Month"})
        dates.push_back({QString::fromLatin1(name), QStringLiteral("*")});
    grid->SetColumnFilterList(colTS_, dates);
    ResetFilterLists();
    grid->SetColumnWidthsKey(QStringLiteral("SenR27"), QStringLiteral("ArchReader"));
    grid->LoadColumnWidths();

    ui->cbArchive->setPlaceholderText(QStringLiteral("Select an archive to view"));
    FillArchiveList();
    BuildMenu();

    connect(ui->cbArchive, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        selectedPosition_ = ui->cbArchive->itemData(index).toInt();
        ShowArchive(selectedPosition_);
    });
    connect(ui->btnReadFromUnit, &QToolButton::clicked, this, &TfraArchiveViewer::btnReadFromUnitClick);
    connect(ui->btnReadFromFile, &QToolButton::clicked, this, &TfraArchiveViewer::btnReadFromFileClick);
    connect(ui->btnLogSetup, &QToolButton::clicked, this, &TfraArchiveViewer::btnLogSetupClick);
    connect(ui->btnGraphSelCol, &QToolButton::clicked, this, &TfraArchiveViewer::btnGraphSelColClick);
    ui->chartArchive->AdoptToolButtons(ui->tbtnZoomMode, ui->tbtnAutoScale, ui->tbtnFullGraph);
    connect(ui->btnAutoSizeCols, &QToolButton::clicked, this, &TfraArchiveViewer::btnAutoSizeColsClick);
    connect(ui->pcViewer, &QTabWidget::currentChanged, this, &TfraArchiveViewer::pcViewerChange);
    connect(grid, &QAdvColumnGrid::FilterSelect, this, &TfraArchiveViewer::gridArchiveFilterSelect);
    connect(grid, &QAdvColumnGrid::SelectionChanged, this, &TfraArchiveViewer::gridArchiveSelectionChanged);
    connect(grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popArchGrid_->popup(ui->gridArchive->viewport()->mapToGlobal(at)); });
    ui->edtDispRange->installEventFilter(this);
}

TfraArchiveViewer::~TfraArchiveViewer() = default;

QAdvColumnGrid* TfraArchiveViewer::gridArchive() const { return ui->gridArchive; }
QComboBox* TfraArchiveViewer::cbArchive() const { return ui->cbArchive; }
QLineEdit* TfraArchiveViewer::edtDispRange() const { return ui->edtDispRange; }
QLineEdit* TfraArchiveViewer::LogRecordNum() const { return ui->LogRecordNum; }
QToolButton* TfraArchiveViewer::btnLogSetup() const { return ui->btnLogSetup; }
QToolButton* TfraArchiveViewer::btnReadFromUnit() const { return ui->btnReadFromUnit; }
QToolButton* TfraArchiveViewer::btnReadFromFile() const { return ui->btnReadFromFile; }
QToolButton* TfraArchiveViewer::btnGraphSelCol() const { return ui->btnGraphSelCol; }
QToolButton* TfraArchiveViewer::btnAutoSizeCols() const { return ui->btnAutoSizeCols; }
QTabWidget* TfraArchiveViewer::pcViewer() const { return ui->pcViewer; }
TArchiveChart* TfraArchiveViewer::chartArchive() const { return ui->chartArchive; }

QAction* TfraArchiveViewer::MenuItem(const char* name) const
{
    return popArchGrid_->findChild<QAction*>(QString::fromLatin1(name));
}

void TfraArchiveViewer::BuildMenu()
{
    popArchGrid_ = new QMenu(this);
    popArchGrid_->setObjectName(QStringLiteral("popArchGrid"));
    const struct {
        const char* name;
        const char* caption;
        void (TfraArchiveViewer::*handler)();
    } kItems[] = {
        {"mnuLoadFile", "Load from File", &TfraArchiveViewer::mnuLoadFileClick},
        {"mnuSaveFile", "Save to File", &TfraArchiveViewer::mnuSaveFileClick},
        {"SaveAsPacketCSV", "Save as Packet CSV", &TfraArchiveViewer::SaveAsPacketCSVClick},
        {"SaveasCSV", "Save as Legal CSV", &TfraArchiveViewer::SaveasCSVClick},
        {"mnuSaveasXLS", "Save as XLS", &TfraArchiveViewer::mnuSaveasXLSClick},
        {"CopySelectiontoClipboard1", "Copy Selection to Clipboard", &TfraArchiveViewer::CopySelectiontoClipboard1Click},
        {"mnuCopyImagetoClipboard", "Copy Image to Clipboard", &TfraArchiveViewer::mnuCopyImagetoClipboardClick},
        {nullptr, nullptr, nullptr},
        {"mnuHideSelectedColumn", "Hide Selected Column(s)", &TfraArchiveViewer::mnuHideSelectedColumnClick},
        {"mnuUnhideAllColumns", "Unhide All Columns", &TfraArchiveViewer::mnuUnhideAllColumnsClick},
    };
    for (const auto& item : kItems) {
        if (!item.name) {
            popArchGrid_->addSeparator();
            continue;
        }
        QAction* action = popArchGrid_->addAction(QString::fromLatin1(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        connect(action, &QAction::triggered, this, item.handler);
    }
    MenuItem("mnuHideSelectedColumn")->setVisible(false);
    MenuItem("mnuUnhideAllColumns")->setVisible(false);
}

void TfraArchiveViewer::SetReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    ui->btnLogSetup->setEnabled(!readOnly);
}

void TfraArchiveViewer::FillArchiveList()
{
    ui->cbArchive->clear();
    for (int p = 0; p < kListedLogs; ++p) ui->cbArchive->addItem(LogName(p), p);
    ui->cbArchive->setCurrentIndex(-1);
}

void TfraArchiveViewer::ResetFilterLists()
{
    QAdvColumnGrid* grid = ui->gridArchive;
    for (int c = kFixedColumns; c < grid->ColCount(); ++c) {
        grid->SetColumnAlignment(c, Qt::AlignCenter);
        grid->SetColumnFilterList(c, AllAndCustom());
    }
}

void TfraArchiveViewer::LayoutFromLogConfig(int position)
{
    QAdvColumnGrid* grid = ui->gridArchive;
    ResetFilterLists();
    const int values = position >= 0 && position < kLogCount ? ValueCount(DataBase::Instance()->LogRecord(position)) : 0;
    for (int c = 0; c < kValueColumns; ++c) {
        const int column = kFixedColumns + c;
        if (c < values) {
            const uint16_t id = DataBase::Instance()->LogRecord(position).UniqueId[c + 1];
            grid->SetColumnTag(column, id);
            grid->SetColumnHeader(column, ArchivePointName(id));
        } else {
            grid->SetColumnHeader(column, QString());
        }
    }
}

void TfraArchiveViewer::LayoutFromFile(int position)
{
    QAdvColumnGrid* grid = ui->gridArchive;
    ResetFilterLists();
    const std::vector<QString> none;
    const std::vector<QString>& names = position >= 0 && position < kLogCount ? fileNames_[static_cast<size_t>(position)] : none;
    for (int c = 0; c < kValueColumns; ++c)
        grid->SetColumnHeader(kFixedColumns + c, c < static_cast<int>(names.size()) ? names[static_cast<size_t>(c)] : QString());
}

void TfraArchiveViewer::ShowArchive(int position)
{
    QAdvColumnGrid* grid = ui->gridArchive;
    if (fromFile_)
        LayoutFromFile(position);
    else
        LayoutFromLogConfig(position);
    grid->UnHideColumnsAll();
    grid->RemoveAllFilters();
    grid->SetRowCount(0);   // the header alone

    if (position < 0 || position >= kLogCount) return;
    const LogDBManager* archive = LogDBManager::Instance();
    const LogConfigRecord& log = DataBase::Instance()->LogRecord(position);
    const int count = static_cast<int>(archive->LogList(position).size());
    if (log.ParametersInLog == 0 || count == 0) return;

    bool ok = false;
    const QString text = ui->edtDispRange->text().trimmed();
    int n = text.toInt(&ok);
    if (!ok) {
        platform::MessageDlg(QStringLiteral("'%1' is not a valid integer value").arg(ui->edtDispRange->text()),
                             platform::DlgType::Error, platform::mbOK);
        return;
    }
    n = std::max(n, 0);
    if (n > count) {
        n = count;
        ui->edtDispRange->setText(QString::number(count));
    }
    grid->SetRowSource(std::make_shared<ArchiveRows>(archive, position, count - n, n, ValueCount(log)));
    // The columns fit their headers, time stamps and values as soon as they show.
    btnAutoSizeColsClick();
    ui->LogRecordNum->setText(QString::number(count));
    HideWait();
}

void TfraArchiveViewer::UpdateLogView()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SpecialPanel(QStringLiteral("Preparing Display..."));
    ui->edtDispRange->setText(QStringLiteral("50"));
    ShowArchive(0);
    HideWait();
    ui->cbArchive->setEnabled(true);
    ui->cbArchive->setCurrentIndex(0);
    selectedPosition_ = 0;
    QApplication::restoreOverrideCursor();
}

bool TfraArchiveViewer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->edtDispRange && event->type() == QEvent::KeyPress) {
        // Before the key takes effect: a range above the most there can be is the most.
        bool ok = false;
        const qlonglong n = ui->edtDispRange->text().trimmed().toLongLong(&ok);
        if (ok && n > kMaxDisplayRange) ui->edtDispRange->setText(QString::number(kMaxDisplayRange));
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ShowArchive(selectedPosition_);
            return true;
        }
    }
    return TPageFrame::eventFilter(watched, event);
}

void TfraArchiveViewer::btnReadFromUnitClick()
{
    IPageHost* host = PageHost();
    if (!host || !host->LoggedOn()) {
        platform::MessageDlg(QStringLiteral("Please logon first, then do this."), platform::DlgType::Warning, platform::mbOK);
        return;
    }
    fromFile_ = false;
    fileName_.clear();
    host->ShowWaitWindow(true, false);
    ui->btnReadFromUnit->setEnabled(false);
    ui->btnLogSetup->setEnabled(false);
    ui->btnReadFromFile->setEnabled(false);
    ui->gridArchive->SetRowCount(0);   // the table lets go of the archive before it is emptied
    LogDBManager::Instance()->Clear();
    host->PostCommand("ReadLogConfig");
    host->PostCommand("ReadALog");
    ui->btnLogSetup->setEnabled(!readOnly_);
    ui->btnReadFromUnit->setEnabled(true);
    ui->btnReadFromFile->setEnabled(true);
}

void TfraArchiveViewer::btnReadFromFileClick()
{
    ui->btnReadFromUnit->setEnabled(false);
    ui->btnReadFromFile->setEnabled(false);
    PostCommand("ReadALog2");
    ui->cbArchive->setEnabled(true);
    ui->cbArchive->setCurrentIndex(0);
    selectedPosition_ = 0;
    ui->btnReadFromUnit->setEnabled(true);
    ui->btnReadFromFile->setEnabled(true);
}

void TfraArchiveViewer::btnLogSetupClick()
{
    if (IPageHost* host = PageHost()) host->ShowLogConfiguration();
}

void TfraArchiveViewer::btnGraphSelColClick()
{
    QAdvColumnGrid* grid = ui->gridArchive;
    const int column = grid->currentIndex().column();
    const int top = selection_.top;
    const int bottom = selection_.bottom;
    if (column < kFixedColumns || column >= grid->ColCount() || top < 0 || bottom <= top ||
        bottom >= grid->ShownRowCount()) {
        platform::MessageDlg(QStringLiteral("Select two or more rows of a value column to graph."),
                             platform::DlgType::Information, platform::mbOK);
        return;
    }
    const QString title = QStringLiteral("Archive: ") + ui->cbArchive->currentText() + QStringLiteral(" - Column: ") +
                          grid->ColumnHeader(column);
    // The column's point decides how a cell reads: whole numbers for 8-bit points.
    int typeCode = -1;
    const int entry = column - kFixedColumns + 1;
    if (selectedPosition_ >= 0 && selectedPosition_ < kLogCount && entry < 8)
        typeCode = DataBase::Instance()->GetTypeCode(DataBase::Instance()->LogRecord(selectedPosition_).UniqueId[entry]);

    // Rows whose time stamp is "Invalid", or whose cell or Seq is no number, are left out.
    std::vector<std::pair<double, float>> points;
    points.reserve(static_cast<size_t>(bottom - top + 1));
    for (int shown = top; shown <= bottom; ++shown) {
        const int row = grid->ShownRow(shown);
        if (grid->Cells(colTS_, row) == QLatin1String("Invalid")) continue;
        const QString cell = grid->Cells(column, row).trimmed();
        bool ok = false;
        const double y = typeCode == 3 ? cell.toInt(&ok) : cell.toDouble(&ok);
        bool seqOk = false;
        const double x = grid->Cells(colSeq_, row).trimmed().toDouble(&seqOk);
        if (ok && seqOk && std::isfinite(y)) points.emplace_back(x, static_cast<float>(y));
    }
    // The line runs in Seq order, whatever order a loaded grid file had.
    std::stable_sort(points.begin(), points.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    ChartSamples samples;
    samples.x.reserve(points.size());
    samples.y.reserve(points.size());
    for (const auto& [x, y] : points) {
        samples.x.push_back(x);
        samples.y.push_back(y);
    }
    ui->chartArchive->Plot(title, std::move(samples));
    ui->pcViewer->setCurrentWidget(ui->tsGraph);
    pcViewerChange();
    ui->btnGraphSelCol->setEnabled(false);
}

void TfraArchiveViewer::btnAutoSizeColsClick() { ui->gridArchive->AutoSizeColumns(true, 12); }

void TfraArchiveViewer::pcViewerChange()
{
    const bool graph = ui->pcViewer->currentWidget() == ui->tsGraph;
    ui->tbtnZoomMode->setVisible(graph);
    ui->tbtnAutoScale->setVisible(graph);
    ui->tbtnFullGraph->setVisible(graph);
    ui->btnGraphSelCol->setVisible(!graph);
    ui->btnAutoSizeCols->setVisible(!graph);
}

// --- the archive XML file

void TfraArchiveViewer::SaveLogFile()
{
    const QString file = AskFile(true, QStringLiteral("Save Sentrel Archive"), QStringLiteral("Sentrel Archive (*.xml)"),
                                 QStringLiteral("xml"));
    if (file.isEmpty()) return;
    if (IPageHost* host = PageHost()) host->ShowWaitWindow(false, true);
    QString why;
    const bool ok = WriteArchiveXml(file, *LogDBManager::Instance(), DataBase::Instance()->LogRecords(), &why, StepWait);
    HideWait();
    if (!ok) SaySaveFailed(file, why);
}

bool TfraArchiveViewer::ReadArchiveFile()
{
    if (IPageHost* host = PageHost()) host->ShowWaitWindow(true, true);
    const QString file = AskFile(false, QStringLiteral("Open Sentrel Archive File"), QStringLiteral("Sentrel Archive (*.xml)"),
                                 QStringLiteral("xml"));
    if (file.isEmpty()) {
        HideWait();
        SpecialPanel(QStringLiteral("Preparing Display..."));
        return false;
    }
    if (!QFileInfo::exists(file)) {
        HideWait();
        platform::MessageDlg(QStringLiteral("The file \"%1\" does not exist.").arg(file), platform::DlgType::Error, platform::mbOK);
        return false;
    }
    SpecialPanel(QStringLiteral("Loading file..."));
    ArchiveFile content;
    QString why;
    if (!ReadArchiveXml(file, content, &why, StepWait)) {
        // Nothing was taken over: the archive and the log configuration are as they were.
        HideWait();
        SpecialPanel(QString());
        platform::MessageDlg(QStringLiteral("The file \"%1\" is not a readable archive: %2").arg(QFileInfo(file).fileName(), why),
                             platform::DlgType::Error, platform::mbOK);
        return false;
    }
    SpecialPanel(QStringLiteral("Searching Records..."));
    for (int k = 0; k < kLogCount; ++k) {
        const ArchiveFile::Log& log = content.logs[static_cast<size_t>(k)];
        std::vector<QString> names = log.names;
        names.resize(static_cast<size_t>(std::clamp(log.parameters, 0, static_cast<int>(names.size()))));
        fileNames_[static_cast<size_t>(k)] = std::move(names);
    }
    const int badTimeStamps = content.badTimeStamps;
    ui->gridArchive->SetRowCount(0);   // the table lets go of the archive before it is replaced
    ApplyArchiveFile(std::move(content), *LogDBManager::Instance(), DataBase::Instance()->LogRecords());
    fromFile_ = true;
    fileName_ = file;
    HideWait();
    // Once for the file, however many samples it concerns.
    if (badTimeStamps > 0)
        platform::MessageBox(QStringLiteral("Invalide Time Stamp found."), QStringLiteral("Attention"),
                             platform::DlgType::Custom, platform::mbOK);   // a plain box: no icon
    SpecialPanel(QStringLiteral("Preparing Display..."));
    return true;
}

// --- filters

QString TfraArchiveViewer::DateRangeCondition(const QString& friendlyName, const QDate& today)
{
    return columnfilter::DateRangeCondition(friendlyName, today);
}

void TfraArchiveViewer::gridArchiveFilterSelect(int column, int, const QString& friendlyName, QString& condition)
{
    if (column == colTS_) {
        columnfilter::TimeCondition(friendlyName, this, condition);
        return;
    }
    if (column == colSeq_)
        columnfilter::CustomCondition(friendlyName, seqFilter_, condition);
    else if (column >= kFixedColumns && column - kFixedColumns < static_cast<int>(customFilters_.size()))
        columnfilter::CustomCondition(friendlyName, customFilters_[static_cast<size_t>(column - kFixedColumns)], condition);
}

void TfraArchiveViewer::gridArchiveSelectionChanged(int left, int top, int right, int bottom)
{
    selection_ = {left, top, right, bottom};
    ui->btnGraphSelCol->setEnabled(top >= 0 && top != bottom);
    const int rows = ui->gridArchive->ShownRowCount();
    MenuItem("mnuHideSelectedColumn")->setVisible(rows > 0 && top == 0 && bottom == rows - 1);
}

void TfraArchiveViewer::mnuHideSelectedColumnClick()
{
    if (selection_.left >= 0) ui->gridArchive->HideColumns(selection_.left, selection_.right);
    MenuItem("mnuHideSelectedColumn")->setVisible(false);
    MenuItem("mnuUnhideAllColumns")->setVisible(true);
}

void TfraArchiveViewer::mnuUnhideAllColumnsClick() { ui->gridArchive->UnHideColumnsAll(); }

// --- grid file and exports

void TfraArchiveViewer::mnuLoadFileClick()
{
    const QString file = AskFile(false, QStringLiteral("Open Sentrel Archive File"), QStringLiteral("Sentrel Archive (*.vkar)"),
                                 QStringLiteral("vkar"));
    if (file.isEmpty()) return;
    ui->pcViewer->setCurrentWidget(ui->tsTable);
    ui->gridArchive->UnHideColumnsAll();
    QString why;
    if (!ui->gridArchive->LoadFromFile(file, &why))
        platform::MessageDlg(QStringLiteral("Error opening file \"%1\"\n%2").arg(file, why), platform::DlgType::Error,
                             platform::mbOK);
    ui->gridArchive->UnHideColumnsAll();
    MenuItem("mnuSaveFile")->setVisible(true);
    ui->btnAutoSizeCols->setEnabled(true);
}

void TfraArchiveViewer::mnuSaveFileClick()
{
    const QString file = AskFile(true, QStringLiteral("Save Sentrel Archive"), QStringLiteral("Sentrel Archive (*.vkar)"),
                                 QStringLiteral("vkar"));
    if (file.isEmpty()) return;
    QString why;
    if (!ui->gridArchive->SaveToFile(file, &why)) SaySaveFailed(file, why);
}

void TfraArchiveViewer::mnuSaveasXLSClick()
{
    const QString file = AskFile(true, QStringLiteral("Save Sentrel Archive"), QStringLiteral("Microsoft Excel (*.xlsx)"),
                                 QStringLiteral("xlsx"));
    if (file.isEmpty()) return;
    QString why;
    if (!ui->gridArchive->SaveToXLSX(file, &why)) SaySaveFailed(file, why);
}

void TfraArchiveViewer::SaveasCSVClick()
{
    const QString file = AskFile(true, QStringLiteral("Save Sentrel Archive"), QStringLiteral("CSV File (*.csv)"), QStringLiteral("csv"));
    if (file.isEmpty()) return;
    LogDBManager& archive = *LogDBManager::Instance();
    // A column dialog closed without "Save & Exit" writes nothing.
    if (!ChooseCsvColumns(archive, DataBase::Instance()->LogRecords(), this)) return;
    QString why;
    if (!WriteLegalCsv(file, archive, DataBase::Instance()->LogRecords(), &why)) SaySaveFailed(file, why);
}

void TfraArchiveViewer::SaveAsPacketCSVClick()
{
    const QString file = AskFile(true, QStringLiteral("Save Sentrel Archive"), QStringLiteral("CSV File (*.csv)"), QStringLiteral("csv"));
    if (file.isEmpty()) return;
    LogDBManager& archive = *LogDBManager::Instance();
    if (!ChooseCsvColumns(archive, DataBase::Instance()->LogRecords(), this)) return;
    QString why;
    if (!WritePacketCsv(file, archive, DataBase::Instance()->LogRecords(), &why)) SaySaveFailed(file, why);
}

void TfraArchiveViewer::CopySelectiontoClipboard1Click() { ui->gridArchive->CopySelectionToClipboard(); }

void TfraArchiveViewer::mnuCopyImagetoClipboardClick()
{
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setPixmap(grab());
}
