#pragma once
// "Create Modbus": the layout of a new, empty Modbus map ("Enron", "Modicon 16", "Modicon with
// Floating Point"; the first is preselected). The caller reads the item index after OK.
#include <QDialog>

#include <memory>

namespace Ui {
class TNewModbusDlg;
}
class QPushButton;
class QRadioButton;

class TNewModbusDlg : public QDialog {
    Q_OBJECT
public:
    explicit TNewModbusDlg(QWidget* parent = nullptr);
    ~TNewModbusDlg() override;

    // The chosen item: 0 Enron, 1 Modicon 16, 2 Modicon with floating point.
    int ItemIndex() const;
    void SetItemIndex(int index);

    QRadioButton* Item(int index) const;
    QPushButton* btnOK() const;
    QPushButton* btnCancel() const;

private:
    std::unique_ptr<Ui::TNewModbusDlg> ui;
};
