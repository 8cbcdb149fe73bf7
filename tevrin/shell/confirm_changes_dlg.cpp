#include "tevrin/shell/confirm_changes_dlg.h"

#include "ui_confirm_changes_dlg.h"

#include "platform/numtext.h"
#include "platform/prompter.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/rtdb/write_log_records_manager.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include <array>

namespace {

constexpr int kBitSetTypeCode = 7;   // 8-bit bit set

struct ColumnSize {
    int width;
    int minimum;
};
constexpr std::array<ColumnSize, 3> kColumns = {{{150, 50}, {350, 45}, {180, 65}}};

QTableWidgetItem* Cell(const std::string& text)
{
    // Latin-1 both ways, as the database's names and texts are bytes.
    auto* item = new QTableWidgetItem(QString::fromLatin1(text.c_str()));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

TfrmChanges::TfrmChanges(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TfrmChanges>())
{
    ui->setupUi(this);
    QHeaderView* header = ui->lvChanges->horizontalHeader();
    header->setMinimumSectionSize(kColumns[1].minimum);
    for (int c = 0; c < static_cast<int>(kColumns.size()); ++c) ui->lvChanges->setColumnWidth(c, kColumns[c].width);
    connect(header, &QHeaderView::sectionResized, this, &TfrmChanges::KeepMinimumWidth);
    connect(ui->Button1, &QPushButton::clicked, this, &TfrmChanges::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TfrmChanges::Button2Click);
}

TfrmChanges::~TfrmChanges() = default;

QTableWidget* TfrmChanges::lvChanges() const { return ui->lvChanges; }
QPushButton* TfrmChanges::Button1() const { return ui->Button1; }
QPushButton* TfrmChanges::Button2() const { return ui->Button2; }

int TfrmChanges::ShowModal()
{
    // A window that was left open (it never should be) is closed before it is shown again.
    if (isVisible()) hide();
    const int result = platform::ExecUncovered(*this);
    return result == platform::mrOk ? platform::mrOk : platform::mrCancel;
}

void TfrmChanges::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TfrmChanges::KeepMinimumWidth(int column, int /*oldSize*/, int newSize)
{
    if (column < 0 || column >= static_cast<int>(kColumns.size())) return;
    if (newSize < kColumns[column].minimum) ui->lvChanges->setColumnWidth(column, kColumns[column].minimum);
}

std::string TfrmChanges::BitDigits(uint8_t byte)
{
    std::string digits(8, '0');
    for (int bit = 0; bit < 8; ++bit)
        if (byte & (0x80u >> bit)) digits[static_cast<size_t>(bit)] = '1';
    return digits;
}

std::string TfrmChanges::ValueText(DatabasePoint& point)
{
    if (point.GetTypeCode() != kBitSetTypeCode) return point.GetText();
    // The bit set's value is its byte; the point's text is that byte in decimal.
    if (auto* bits = dynamic_cast<ValueDatabasePoint<uint8_t>*>(&point)) return BitDigits(bits->EditedValue());
    return BitDigits(static_cast<uint8_t>(numtext::AtoL(point.GetText().c_str())));
}

void TfrmChanges::FormShow()
{
    QTableWidget* list = ui->lvChanges;
    list->setUpdatesEnabled(false);
    list->clearContents();
    list->setRowCount(0);

    DataBase* db = DataBase::Instance();
    const WriteLogRecordsManager& changes = db->AsWriteLogRecordsManager();
    list->setRowCount(changes.Count());
    for (int i = 0; i < changes.Count(); ++i) {
        const int id = changes.At(i);
        std::string name;
        std::string value;
        if (id == WriteLogRecordsManager::kTimerBlockMarkerId) {
            name = "Timer X";
            value = "Changed";
        } else if (DatabasePoint* point = (id >= 0 && id <= 0xFFFF) ? db->PointByDbId(static_cast<TDbId>(id)) : nullptr) {
            name = point->GetName();
            value = ValueText(*point);
        }
        // An id no point has keeps its number and empty columns.
        list->setItem(i, 0, Cell(std::to_string(id)));
        list->setItem(i, 1, Cell(name));
        list->setItem(i, 2, Cell(value));
    }
    list->setUpdatesEnabled(true);
}

void TfrmChanges::Button1Click()
{
    DataBase::Instance()->AsWriteLogRecordsManager().Clear();
    done(platform::mrOk);
}

void TfrmChanges::Button2Click() { done(platform::mrCancel); }

// Escape and the close box are Cancel: the list keeps its entries.
void TfrmChanges::reject() { Button2Click(); }
