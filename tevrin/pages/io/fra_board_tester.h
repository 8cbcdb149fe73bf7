#pragma once
// The Maintenance page (page 9): direct control of relays and solenoids, analog-output
// calibration and the firmware files.
#include "tevrin/pages/page_frame.h"

class QCheckBox;
class QPushButton;

class TfraBoardTester : public TPageFrame {
    Q_OBJECT
public:
    explicit TfraBoardTester(QWidget* owner);

    QCheckBox* DirectControlEnable() const { return directControlEnable_; }
    QPushButton* btnReadOldConfig() const { return btnReadOldConfig_; }
    QPushButton* btnWriteFirmware() const { return btnWriteFirmware_; }
    QPushButton* btnMergeFirmware() const { return btnMergeFirmware_; }

protected:
    // The three firmware buttons are enabled on the first entry.
    void FirstEntry() override;
    std::vector<int> FixedPointsBefore() const override;
    bool RegistersBoundControls() const override { return false; }

private:
    QCheckBox* directControlEnable_ = nullptr;
    QPushButton* btnReadOldConfig_ = nullptr;
    QPushButton* btnWriteFirmware_ = nullptr;
    QPushButton* btnMergeFirmware_ = nullptr;
};
