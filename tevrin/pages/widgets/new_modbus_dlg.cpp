#include "tevrin/pages/widgets/new_modbus_dlg.h"

#include "ui_new_modbus_dlg.h"

TNewModbusDlg::TNewModbusDlg(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TNewModbusDlg>())
{
    ui->setupUi(this);
    setModal(true);
    // Only the minimise and maximise border icons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint);
}

TNewModbusDlg::~TNewModbusDlg() = default;

QRadioButton* TNewModbusDlg::Item(int index) const
{
    switch (index) {
    case 0: return ui->rbEnron;
    case 1: return ui->rbModicon16;
    case 2: return ui->rbModicon32;
    default: return nullptr;
    }
}

int TNewModbusDlg::ItemIndex() const
{
    for (int i = 0; i < 3; ++i)
        if (Item(i)->isChecked()) return i;
    return 0;
}

void TNewModbusDlg::SetItemIndex(int index)
{
    if (QRadioButton* item = Item(index)) item->setChecked(true);
}

QPushButton* TNewModbusDlg::btnOK() const { return ui->btnOK; }
QPushButton* TNewModbusDlg::btnCancel() const { return ui->btnCancel; }
