#include "tevrin/pages/analysis/csv_config_dlg.h"

#include "tevrin/pages/widgets/adv_column_grid.h"
#include "tevrin/pages/widgets/modal_dialog.h"

#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kColLogName = 0;
constexpr int kColEnable = 1;
constexpr int kColumnWidths[2] = {220, 180};
constexpr int kColumnPadding = 8;
}  // namespace

TfmCSVConfig::TfmCSVConfig(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmCSVConfig"));
    setWindowTitle(QStringLiteral("CSV File Configuration"));
    grid_ = new QAdvColumnGrid(this);
    grid_->setObjectName(QStringLiteral("AdvColGridCSVConfig"));
    grid_->SetColCount(2);
    grid_->SetColumnName(kColLogName, QStringLiteral("LogName"));
    grid_->SetColumnHeader(kColLogName, QStringLiteral("Log Name"));
    grid_->SetColumnName(kColEnable, QStringLiteral("Enable"));
    grid_->SetColumnHeader(kColEnable, QStringLiteral("Enable Output to CSV File"));
    for (int c : {kColLogName, kColEnable}) grid_->setColumnWidth(c, kColumnWidths[c]);
    saveExit_ = new QPushButton(QStringLiteral("Save && Exit"), this);
    saveExit_->setObjectName(QStringLiteral("SaveExit"));
    connect(saveExit_, &QPushButton::clicked, this, [this] {
        SaveExitClick();
        accept();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    layout->addWidget(saveExit_, 0, Qt::AlignRight);
    resize(460, 360);
}

void TfmCSVConfig::FormShow()
{
    grid_->ClearRows();
    for (const CsvColumnItem& item : Items) {
        const int row = grid_->AddRow();
        grid_->SetCells(kColLogName, row, item.name);
        grid_->AddCheckBox(kColEnable, row, item.enabled);
    }
    // Every name shows whole ("Run Type (0=Sample 1=TS 2=R1 3=R2 4=Z 5=C)" is long): a column
    // grows for its longest text and never gets narrower than it starts, and the dialog widens
    // so that both columns show without scrolling sideways.
    grid_->AutoSizeColumns(true, kColumnPadding);
    int columns = 0;
    for (int c : {kColLogName, kColEnable}) {
        grid_->setColumnWidth(c, std::max(grid_->columnWidth(c), kColumnWidths[c]));
        columns += grid_->columnWidth(c);
    }
    const QMargins margins = layout()->contentsMargins();
    const int needed = columns + 2 * grid_->frameWidth() +
                       grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid_) + margins.left() + margins.right();
    if (needed > width()) resize(needed, height());
}

void TfmCSVConfig::SaveExitClick()
{
    for (size_t i = 0; i < Items.size(); ++i)
        Items[i].enabled = grid_->Cells(kColEnable, static_cast<int>(i)) == QLatin1String("Y");
}

int TfmCSVConfig::ShowModal()
{
    FormShow();
    return modaldialog::Answer<TfmCSVConfig>::Run(*this);
}

void TfmCSVConfig::SetAnswer(std::function<int(TfmCSVConfig&)> answer)
{
    modaldialog::Answer<TfmCSVConfig>::Set(std::move(answer));
}
