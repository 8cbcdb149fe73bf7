#pragma once
// The Ports page (page 6): the serial settings of the analyzer's ports, one port frame each.
// The front panel port offers all its settings; the RS-485 and modem ports only their baud
// rate; serial port 2 (the sensor port, set on the factory page) is neither shown nor read.
#include "tevrin/pages/page_frame.h"

#include <array>

class QGroupBox;
class TQLabel;
class TfraPort;

class TfraCommPorts : public TPageFrame {
    Q_OBJECT
public:
    explicit TfraCommPorts(QWidget* owner);

    // The port frames by their number 0..3 (front panel, serial port 2, RS-485, modem).
    TfraPort* Port(int number) const;
    QGroupBox* PortGroup(int number) const;
    TQLabel* lblStream2() const { return lblStream2_; }

protected:
    std::vector<int> FixedPointsBefore() const override;
    bool RegistersBoundControls() const override { return false; }
    void AfterEnter() override;

private:
    std::array<TfraPort*, 4> ports_{};
    std::array<QGroupBox*, 4> groups_{};
    TQLabel* lblStream2_ = nullptr;
};
