#pragma once
// "Event Log": a second viewer of the event log, made hidden with the main window. Nothing
// in the program shows it. It reads the event-log memory as plain 9-byte records (time token,
// type, detail, value, CRC) without start bytes or stuffing, in memory order, and shows the
// share of good records on its bar.
#include <QDialog>

class TAuditGridPanel;

class TAuditForm : public QDialog {
    Q_OBJECT
public:
    explicit TAuditForm(QWidget* parent = nullptr);

    // Every activation: the table made again from the database's event-log memory.
    void FormActivate();
    // Printing the grid has no handler of its own.
    void mnuPrintGridPreviewClick() {}
    void mnuPrintGridClick() {}

    TAuditGridPanel* Panel() const { return panel_; }

protected:
    bool event(QEvent* e) override;

private:
    TAuditGridPanel* panel_;
};
