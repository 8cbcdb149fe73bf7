#pragma once
// The Status page (page 15): inputs, outputs and power at a glance; the live values are polled.
#include "tevrin/pages/page_frame.h"

class TfrmIOStatus : public TPageFrame {
    Q_OBJECT
public:
    explicit TfrmIOStatus(QWidget* owner);

protected:
    std::vector<int> FixedPointsAfter() const override { return PollPoints(); }
    std::vector<int> PollPoints() const override;
};
