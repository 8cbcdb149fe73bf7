#pragma once
// The Events page: the analyzer's event log. It has no page number; its own button reads it.
#include "tevrin/pages/page_frame.h"

class QTableWidget;

class TfrmAudit : public TPageFrame {
    Q_OBJECT
public:
    explicit TfrmAudit(QWidget* owner);

    // Decodes the event-log image the last event-log read left in the database into the grid;
    // the image stays in place.
    void AuditFinish();

    QTableWidget* grid() const { return grid_; }

private:
    QTableWidget* grid_ = nullptr;
};
