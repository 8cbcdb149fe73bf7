#pragma once
// The Events page: the analyzer's event log. It has no page number and reads nothing when its
// tab is shown; its own button posts "ReadAudit", whose end hands the event-log memory to
// AuditFinish: the records are decoded, sorted by time and shown with how full the memory is.
#include "tevrin/pages/page_frame.h"

#include <memory>

class QToolButton;
class QLabel;
class QAdvColumnGrid;
class TAuditGridPanel;
namespace Ui {
class TfrmAudit;
}

class TfrmAudit : public TPageFrame {
    Q_OBJECT
public:
    explicit TfrmAudit(QWidget* owner);
    ~TfrmAudit() override;

    // Decodes the event-log image the last event-log read left in the database into the grid;
    // the image stays in place.
    void AuditFinish();

    // "Read from Analyzer": the table and the bar emptied, then "ReadAudit" posted.
    void btnBackClick();

    TAuditGridPanel* Panel() const;
    QAdvColumnGrid* gridAudit() const;
    QToolButton* btnReadAudit() const;
    QToolButton* btnAutoSizeCols() const;

protected:
    bool RegistersBoundControls() const override { return false; }

private:
    std::unique_ptr<Ui::TfrmAudit> ui;
};
