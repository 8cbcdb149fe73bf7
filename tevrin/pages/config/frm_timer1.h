#pragma once
// The Timers page (page 16): the twelve scheduled timers.
#include "tevrin/pages/page_frame.h"

class TfrmTimer1 : public TPageFrame {
    Q_OBJECT
public:
    explicit TfrmTimer1(QWidget* owner);

protected:
    // Only the stream count.
    std::vector<int> FixedPointsBefore() const override { return {20}; }
    bool RegistersBoundControls() const override { return false; }
};
