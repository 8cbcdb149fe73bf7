#pragma once
// The Events page: the analyzer's event log. It has no page number and reads nothing when its
// tab is shown; its own button posts "ReadAudit", whose end hands the event-log memory to
// AuditFinish: the records are decoded, sorted by time and shown with how full the memory is.
#include "tevrin/pages/page_frame.h"

class QToolButton;
class QLabel;
class QAdvColumnGrid;
class TAuditGridPanel;

class TfrmAudit : public TPageFrame {
    Q_OBJECT
public:
    explicit TfrmAudit(QWidget* owner);

    // Decodes the event-log image the last event-log read left in the database into the grid;
    // the image stays in place.
    void AuditFinish();

    // "Read from Analyzer": the table and the bar emptied, then "ReadAudit" posted.
    void btnBackClick();

    TAuditGridPanel* Panel() const { return panel_; }
    QAdvColumnGrid* gridAudit() const;
    QToolButton* btnReadAudit() const { return btnReadAudit_; }
    QToolButton* btnAutoSizeCols() const { return btnAutoSizeCols_; }

protected:
    bool RegistersBoundControls() const override { return false; }

private:
    TAuditGridPanel* panel_;
    QToolButton* btnReadAudit_;
    QToolButton* btnAutoSizeCols_;
};
