#pragma once
// "CSV File Configuration": one row per value the CSV exports can hold, with a check box
// each; "Save & Exit" takes the ticks.
#include <QDialog>

#include <functional>
#include <vector>

class QAdvColumnGrid;
class QPushButton;

struct CsvColumnItem {
    QString name;
    int position = 0;   // log position
    int index = 0;      // value index
    bool enabled = true;
};

class TfmCSVConfig : public QDialog {
    Q_OBJECT
public:
    explicit TfmCSVConfig(QWidget* parent = nullptr);

    // The items offered, in offer order; SaveExitClick writes their enabled flags back.
    std::vector<CsvColumnItem> Items;

    QAdvColumnGrid* AdvColGridCSVConfig() const { return grid_; }
    QPushButton* SaveExit() const { return saveExit_; }

    // One row per item: its name and a check box, ticked when the item is enabled.
    void FormShow();
    // Each item's flag from its row's check box.
    void SaveExitClick();

    // Shows the dialog modally (FormShow first); a test may answer it instead, ticking boxes
    // and pressing buttons. The result is QDialog::Accepted only through "Save & Exit".
    int ShowModal();
    static void SetAnswer(std::function<int(TfmCSVConfig&)> answer);

private:
    QAdvColumnGrid* grid_;
    QPushButton* saveExit_;
};
