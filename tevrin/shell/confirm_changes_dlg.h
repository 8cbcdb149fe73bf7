#pragma once
// "Confirm Changes": the points the last writes sent to the analyzer's working memory, shown
// before a permanent write stores them in flash. The rows come from the database's change
// list each time the window is shown. Accept empties the list and answers platform::mrOk;
// Cancel (also Escape and the close box) keeps the list and answers platform::mrCancel.
#include <QDialog>

#include <cstdint>
#include <memory>
#include <string>

namespace Ui {
class TfrmChanges;
}
class DatabasePoint;
class QPushButton;
class QTableWidget;

class TfrmChanges : public QDialog {
    Q_OBJECT
public:
    explicit TfrmChanges(QWidget* parent = nullptr);
    ~TfrmChanges() override;

    // Shows the window modally (the rows are rebuilt first); platform::mrOk or mrCancel.
    int ShowModal();

    // Rebuilds the rows from the database's change list.
    void FormShow();
    void Button1Click();
    void Button2Click();

    QTableWidget* lvChanges() const;
    QPushButton* Button1() const;
    QPushButton* Button2() const;

    // The value column of a point: its text, or for an 8-bit bit set its eight bits.
    static std::string ValueText(DatabasePoint& point);
    // The eight bits of a byte, most significant first ("00000101" for 5).
    static std::string BitDigits(uint8_t byte);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void KeepMinimumWidth(int column, int oldSize, int newSize);

    std::unique_ptr<Ui::TfrmChanges> ui;
};
