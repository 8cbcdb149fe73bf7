#pragma once
// The Maintenance page (page 9), offered in Update mode only: direct board control, in which
// the user switches the six relays and eight solenoids by hand and drives, calibrates and tests
// the six analog outputs; the tape encoder count; and the three firmware and configuration
// steps.
//
// Direct control is a state of the analyzer (point 332). The page switches it on only after
// its warning and the user's Yes, and off when the user unchecks the box; the main window
// switches it off when the tab is hidden, at log-off and when the program closes while the
// link is up. A report of direct control left on asks as checking the box does, and Yes
// switches it on in the same way. No other value read from the analyzer writes anything back: a
// relay whose reported state arrives only moves its box.
#include "tevrin/pages/page_frame.h"

#include <array>
#include <memory>

class QGroupBox;
class QPushButton;
class TfraAOCalibration;
class TQCheckBox;
class TQImage;
class TQLabel;
class TQLabeledEdit;
class TUpgradeFlows;

class TfraBoardTester : public TPageFrame {
    Q_OBJECT
public:
    static constexpr TDbId kDirectControl = 332;

    explicit TfraBoardTester(QWidget* owner);
    ~TfraBoardTester() override;

    // The three firmware and configuration steps (their buttons' clicks).
    bool btnReadOldConfigClick();
    bool btnWriteFirmwareClick();
    bool btnMergeFirmwareClick();

    TQCheckBox* DirectControlEnable() const { return directControlEnable_; }
    QPushButton* btnReadOldConfig() const { return btnReadOldConfig_; }
    QPushButton* btnWriteFirmware() const { return btnWriteFirmware_; }
    QPushButton* btnMergeFirmware() const { return btnMergeFirmware_; }
    TfraAOCalibration* AOCalibration(int n) const { return frames_.at(static_cast<size_t>(n - 1)); }
    // Relays 1..6 are outputs 0..5, solenoids 1..8 outputs 6..13.
    TQCheckBox* OutputBox(int i) const { return boxes_.at(static_cast<size_t>(i)); }
    TQImage* OutputImage(int i) const { return images_.at(static_cast<size_t>(i)); }
    static TDbId OutputPoint(int i) { return static_cast<TDbId>(i < 6 ? 334 + i : 1051 + (i - 6)); }
    TQLabeledEdit* PulseCount() const { return pulseCount_; }

    // The direct-control switch as the user sets it (the box is already in its new state).
    void DirectControlEnableClick();
    // A relay's or solenoid's box as the user sets it.
    void OutputClick(int i);

    // The tab is being hidden: with the box checked, switch direct control off as the user
    // would (written and read back). The main window writes 332 "False" afterwards anyway.
    void LeavePage();
    // Direct control may be on: the box is checked or the analyzer last reported it on.
    bool DirectControlMayBeOn() const;
    // Unchecks the box and makes the controls unusable without writing anything (the main
    // window writes the release itself at log-off and close).
    void ReleaseControls();

    // Writes "True" for exactly "True", else "False".
    static void WriteBoolPoint(TDbId id, const QString& text);

protected:
    // The three firmware buttons are enabled on the first entry.
    void FirstEntry() override;
    std::vector<int> FixedPointsBefore() const override;
    bool RegistersBoundControls() const override { return false; }

private:
    void SwitchOn();
    void SwitchOff(bool write);
    void EnableOutputs(bool on);
    void ShowImage(TQImage* image);

    TQCheckBox* directControlEnable_ = nullptr;
    std::array<TQCheckBox*, 14> boxes_{};
    std::array<TQImage*, 14> images_{};
    std::array<TfraAOCalibration*, 6> frames_{};
    TQLabeledEdit* pulseCount_ = nullptr;
    TQLabel* lblStream2_ = nullptr;
    QGroupBox* firmware_ = nullptr;
    QPushButton* btnReadOldConfig_ = nullptr;
    QPushButton* btnWriteFirmware_ = nullptr;
    QPushButton* btnMergeFirmware_ = nullptr;
    std::unique_ptr<TUpgradeFlows> flows_;
};
