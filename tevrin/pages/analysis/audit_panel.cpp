#include "tevrin/pages/analysis/audit_panel.h"

#include "platform/data_folder.h"
#include "platform/prompter.h"
#include "tevrin/pages/widgets/adv_column_grid.h"
#include "tevrin/pages/widgets/column_filters.h"
#include "tevrin/pages/widgets/date_text.h"
#include "tevrin/pages/widgets/file_prompts.h"
#include "ui_audit_panel.h"

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>

#include <utility>

namespace {

// The events as table cells, made when a cell is shown.
class AuditRows : public IGridRowSource {
public:
    explicit AuditRows(std::shared_ptr<const std::vector<AuditEvent>> events) : events_(std::move(events)) {}
    int RowCount() const override { return static_cast<int>(events_->size()); }
    QString Text(int row, int column) const override
    {
        if (row < 0 || row >= RowCount()) return {};
        const AuditEvent& e = (*events_)[static_cast<size_t>(row)];
        switch (column) {
        case TAuditGridPanel::colSeq: return QString::number(row + 1);
        case TAuditGridPanel::colTS: return datetext::DateTimeToStr(e.Time);
        case TAuditGridPanel::colEvent: return e.Event();
        case TAuditGridPanel::colAlarm: return e.Detail();
        case TAuditGridPanel::colState: return e.Value();
        default: return {};
        }
    }
    bool Number(int row, int column, double& value) const override
    {
        if (row < 0 || row >= RowCount()) return false;
        if (column == TAuditGridPanel::colSeq) {
            value = row + 1;
            return true;
        }
        if (column == TAuditGridPanel::colTS) {
            value = (*events_)[static_cast<size_t>(row)].Time;
            return true;
        }
        return false;
    }

private:
    std::shared_ptr<const std::vector<AuditEvent>> events_;
};

std::vector<GridFilterItem> AllAndCustom()
{
    return {{QStringLiteral("[All]"), QStringLiteral("*")}, {QStringLiteral("[Custom]"), QStringLiteral("*")}};
}

}  // namespace

TAuditGridPanel::TAuditGridPanel(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TAuditGridPanel>()), events_(std::make_shared<std::vector<AuditEvent>>())
{
    ui->setupUi(this);
    grid_ = ui->gridAudit;
    grid_->SetColCount(kColumns);
    grid_->SetFixedCols(5);
    const struct {
        const char* name;
        const char* header;
        int width;
    } kColumnsOf[kColumns] = {
        {"colSeq", "Seq", 45},
        {"colTS", "Timestamp", 150},
        {"colEvent", "Event", 200},
        {"colAlarm", "Description 1", 200},
        {"colState", "Description 2", 150},
        {"colComment", "", 150},
    };
    for (int c = 0; c < kColumns; ++c) {
        grid_->SetColumnName(c, QString::fromLatin1(kColumnsOf[c].name));
        grid_->SetColumnHeader(c, QString::fromLatin1(kColumnsOf[c].header));
        grid_->setColumnWidth(c, kColumnsOf[c].width);
    }
    grid_->SetColumnEditable(colComment, true);
    grid_->SetFilterDropDown(true);
    std::vector<GridFilterItem> dates = AllAndCustom();
    for (const char* name : {"Today", "Yesterday", "This Month", "Last Month"})
        dates.push_back({QString::fromLatin1(name), QStringLiteral("*")});
    grid_->SetColumnFilterList(colTS, dates);
    for (int c : {colSeq, colEvent, colAlarm, colState}) grid_->SetColumnFilterList(c, AllAndCustom());
    // The comment column fills the view to its right edge; it is never narrower than given.
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->SetColumnWidthsKey(QStringLiteral("SenR27Audit"), QStringLiteral("ArchReader"));
    grid_->LoadColumnWidths();
    connect(grid_, &QAdvColumnGrid::FilterSelect, this, &TAuditGridPanel::gridAuditFilterSelect);
    connect(grid_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { menu_->popup(grid_->viewport()->mapToGlobal(at)); });
    DrawBar(0);
    BuildMenu();
}

TAuditGridPanel::TAuditGridPanel(QWidget* parent, const QString& usageCaption, const QString& saveFilter)
    : TAuditGridPanel(parent)
{
    setUsageCaption(usageCaption);
    setSaveFilter(saveFilter);
}

TAuditGridPanel::~TAuditGridPanel() = default;

QString TAuditGridPanel::UsageCaption() const { return ui->labUsage->text(); }
void TAuditGridPanel::setUsageCaption(const QString& caption) { ui->labUsage->setText(caption); }
QAdvColumnGrid* TAuditGridPanel::gridAudit() const { return ui->gridAudit; }
QLabel* TAuditGridPanel::imGraph() const { return ui->imGraph; }
QLabel* TAuditGridPanel::labPercent() const { return ui->labPercent; }

// The pop-up menu holds the form's actions in this order; a null entry is a separator.
void TAuditGridPanel::BuildMenu()
{
    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("popAuditGrid"));
    const std::pair<QAction*, void (TAuditGridPanel::*)()> kItems[] = {
        {ui->mnuLoadFile, &TAuditGridPanel::mnuLoadFileClick},
        {ui->mnuSaveFile, &TAuditGridPanel::mnuSaveFileClick},
        {ui->SaveasCSV, &TAuditGridPanel::SaveasCSVClick},
        {ui->mnuSaveasXLS, &TAuditGridPanel::mnuSaveasXLSClick},
        {ui->CopySelectiontoClipboard1, &TAuditGridPanel::CopySelectiontoClipboard1Click},
        {ui->mnuCopyImagetoClipboard, nullptr},
        {nullptr, nullptr},
        {ui->mnuHideSelectedColumn, nullptr},
        {ui->mnuUnhideAllColumns, nullptr},
    };
    for (const auto& [action, handler] : kItems) {
        if (!action) {
            menu_->addSeparator();
            continue;
        }
        menu_->addAction(action);
        if (handler) connect(action, &QAction::triggered, this, handler);
    }
    connect(ui->mnuCopyImagetoClipboard, &QAction::triggered, this, &TAuditGridPanel::CopyImageRequested);
}

QAction* TAuditGridPanel::MenuItem(const char* name) const
{
    for (QAction* action : menu_->actions())
        if (action->objectName() == QLatin1String(name)) return action;
    return nullptr;
}

// --- the events and the bar -----------------------------------------------------------------

void TAuditGridPanel::ShowEvents(std::vector<AuditEvent> events)
{
    events_ = std::make_shared<std::vector<AuditEvent>>(std::move(events));
    grid_->RemoveAllFilters();
    grid_->SetRowSource(std::make_shared<AuditRows>(events_));
    // The columns fit their headers and the events' texts as soon as they show.
    AutoSizeColumns();
}

void TAuditGridPanel::ClearEvents()
{
    grid_->SetRowSource(nullptr);
    grid_->SetRowCount(0);
    events_ = std::make_shared<std::vector<AuditEvent>>();
}

const std::vector<AuditEvent>& TAuditGridPanel::Events() const { return *events_; }

void TAuditGridPanel::DrawBar(int width)
{
    barWidth_ = width;
    QPixmap picture(kBarWidth, kBarHeight);
    picture.fill(palette().color(QPalette::Button));
    if (width > 0) {
        QPainter painter(&picture);
        QPen pen(QColor(255, 255, 0));
        pen.setWidth(2);
        painter.setPen(pen);
        painter.setBrush(QColor(0, 255, 0));
        painter.drawRect(QRect(0, 0, width, kBarHeight));
    }
    ui->imGraph->setPixmap(picture);
}

void TAuditGridPanel::ShowUsage(double used, double whole)
{
    if (!(whole > 0)) return;
    const AuditUsage usage = ComputeAuditUsage(used, whole, kBarWidth);
    DrawBar(usage.barWidth);
    ui->labPercent->setText(usage.text);
}

void TAuditGridPanel::BlankUsage()
{
    DrawBar(0);
    ui->labPercent->clear();
}

// --- filters --------------------------------------------------------------------------------

void TAuditGridPanel::gridAuditFilterSelect(int column, int, const QString& friendlyName, QString& condition)
{
    if (column == colTS) {
        columnfilter::TimeCondition(friendlyName, this, condition);
        return;
    }
    if (column == colSeq) {
        columnfilter::CustomCondition(friendlyName, seqFilter_, condition);
        return;
    }
    if (column > colTS && column < kColumns)
        columnfilter::CustomCondition(friendlyName, customFilters_[static_cast<size_t>(column)], condition);
}

// --- files and clipboard --------------------------------------------------------------------

QString TAuditGridPanel::AskFile(bool save, const QString& caption, const QString& filter, const QString& suffix)
{
    return fileprompts::AskFile(save, caption, filter, suffix, save ? lastFile_ : QString());
}

void TAuditGridPanel::mnuLoadFileClick()
{
    const QString file = AskFile(false, QStringLiteral("Open Sentrel Audit File"),
                                 QStringLiteral("Sentrel Event Log Report (*.vkau)"), QStringLiteral("vkau"));
    if (file.isEmpty()) return;
    grid_->UnHideColumnsAll();
    QString why;
    if (!grid_->LoadFromFile(file, &why)) {
        platform::MessageDlg(QStringLiteral("Error opening file \"%1\"\n%2").arg(file, why), platform::DlgType::Error,
                             platform::mbOK);
    } else {
        // The table is the file's now; the decoded events are gone from it.
        events_ = std::make_shared<std::vector<AuditEvent>>();
    }
    grid_->UnHideColumnsAll();
    lastFile_ = file;
}

void TAuditGridPanel::mnuSaveFileClick()
{
    const QString file = AskFile(true, QStringLiteral("Save Sentrel Audit"), saveFilter_, QStringLiteral("vkau"));
    if (file.isEmpty()) return;
    QString why;
    if (!grid_->SaveToFile(file, &why)) fileprompts::SaySaveFailed(file, why);
}

void TAuditGridPanel::SaveasCSVClick()
{
    const QString file = AskFile(true, QStringLiteral("Save Sentrel Audit"), QStringLiteral("Microsoft Excel (*.csv)"),
                                 QStringLiteral("csv"));
    if (file.isEmpty()) return;
    QString why;
    if (!grid_->SaveToCSV(file, QLatin1Char(','), &why)) fileprompts::SaySaveFailed(file, why);
}

void TAuditGridPanel::mnuSaveasXLSClick()
{
    const QString file = AskFile(true, QStringLiteral("Save Sentrel Audit"), QStringLiteral("Microsoft Excel (*.xlsx)"),
                                 QStringLiteral("xlsx"));
    if (file.isEmpty()) return;
    QString why;
    if (!grid_->SaveToXLSX(file, &why)) fileprompts::SaySaveFailed(file, why);
}

void TAuditGridPanel::CopySelectiontoClipboard1Click() { grid_->CopySelectionToClipboard(); }

void TAuditGridPanel::CopyImage(QWidget* what)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setPixmap((what ? what : this)->grab());
}

void TAuditGridPanel::AutoSizeColumns() { grid_->AutoSizeColumns(true, 5); }
