#pragma once
// The Alarms page (page 11): system and stream alarm states.
#include "tevrin/pages/page_frame.h"

class TfrmAlarm : public TPageFrame {
    Q_OBJECT
public:
    explicit TfrmAlarm(QWidget* owner);

protected:
    std::vector<int> FixedPointsBefore() const override;
    bool RegistersBoundControls() const override { return false; }
};
