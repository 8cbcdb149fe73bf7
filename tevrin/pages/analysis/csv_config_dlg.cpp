#include "tevrin/pages/analysis/csv_config_dlg.h"

#include "tevrin/pages/widgets/adv_column_grid.h"
#include "tevrin/pages/widgets/modal_dialog.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kColLogName = 0;
constexpr int kColEnable = 1;
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
    grid_->setColumnWidth(kColLogName, 220);
    grid_->setColumnWidth(kColEnable, 180);
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
