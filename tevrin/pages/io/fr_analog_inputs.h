#pragma once
// The Analog Input page (page 14): the high and low alarms of the four analog inputs with the
// relays and solenoids each drives, and one calibration frame per input. The settings are read
// once when the page is shown; the live readings (each input's value, ratio, current and raw
// count) are polled.
#include "tevrin/pages/page_frame.h"

#include <array>

class TTfraAICalibration;
class TQLabel;

class TfrAnalogInputs : public TPageFrame {
    Q_OBJECT
public:
    explicit TfrAnalogInputs(QWidget* owner);

    TTfraAICalibration* Calibration(int n) const { return frames_.at(static_cast<size_t>(n - 1)); }

protected:
    std::vector<int> FixedPointsBefore() const override;
    std::vector<int> PollPoints() const override;
    bool RegistersBoundControls() const override { return false; }

private:
    std::array<TTfraAICalibration*, 4> frames_{};
    TQLabel* streams_ = nullptr;
};
