#pragma once
// The Analog Input page (page 14): the four analog inputs and their calibration; the live
// values are polled.
#include "tevrin/pages/page_frame.h"

class TfrAnalogInputs : public TPageFrame {
    Q_OBJECT
public:
    explicit TfrAnalogInputs(QWidget* owner);

protected:
    std::vector<int> FixedPointsAfter() const override { return {20}; }
};
