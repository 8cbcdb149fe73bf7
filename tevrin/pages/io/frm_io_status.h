#pragma once
// The Status page (page 15): the analog outputs and inputs, the relays, solenoids and their
// latches, the discrete inputs and the power supplies at a glance. Descriptions, units and the
// analog-output readings are read once per entry; the rest is polled. The page writes nothing.
#include "tevrin/pages/page_frame.h"

class QLabel;
class TQLabel;

class TfrmIOStatus : public TPageFrame {
    Q_OBJECT
public:
    explicit TfrmIOStatus(QWidget* owner);

    // The 73 points of the page, in order.
    std::vector<int> PagePoints() const;

protected:
    std::vector<int> FixedPointsBefore() const override { return PagePoints(); }
    bool RegistersBoundControls() const override { return false; }
    std::vector<int> PollPoints() const override;
};
