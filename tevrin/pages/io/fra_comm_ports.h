#pragma once
// The Ports page (page 6): the analyzer's four communication ports.
#include "tevrin/pages/page_frame.h"

class TfraCommPorts : public TPageFrame {
    Q_OBJECT
public:
    explicit TfraCommPorts(QWidget* owner);

protected:
    std::vector<int> FixedPointsBefore() const override;
    bool RegistersBoundControls() const override { return false; }
};
