#pragma once
// The Outputs page (page 5): six relays and eight solenoids (name, fail-safe position, latch
// enable, latch state with its acknowledge button) and six analog outputs (description,
// minimum, range, driving parameter). The rows are made from tables.
#include "tevrin/pages/page_frame.h"

#include <vector>

class QPushButton;
class TAOSourceCombo;
class TQCheckBox;
class TQEdit;
class TQImage;
class TQLabel;
class TQRadioButton;

class TfraOutput : public TPageFrame {
    Q_OBJECT
public:
    explicit TfraOutput(QWidget* owner);

    // One relay or solenoid.
    struct DigitalOutput {
        TQEdit* name = nullptr;
        TQRadioButton* failSafeOff = nullptr;
        TQRadioButton* failSafeOn = nullptr;
        TQCheckBox* latchEnable = nullptr;
        TQImage* latchState = nullptr;
        QPushButton* acknowledge = nullptr;
    };
    // One analog output.
    struct AnalogOutput {
        TQEdit* description = nullptr;
        TQEdit* minimum = nullptr;
        TQEdit* range = nullptr;
        TAOSourceCombo* parameter = nullptr;
    };

    // Clears and refills the six parameter combos from the analog-output source list; a
    // parameter chosen before stays chosen.
    void FillAOManagerFunctions();
    const std::vector<TAOSourceCombo*>& aoCombos() const { return aoCombos_; }
    // Relays 1..6, then solenoids 1..8.
    const std::vector<DigitalOutput>& digitalOutputs() const { return digital_; }
    const std::vector<AnalogOutput>& analogOutputs() const { return analog_; }

protected:
    void FirstEntry() override { FillAOManagerFunctions(); }
    std::vector<int> FixedPointsBefore() const override;
    bool RegistersBoundControls() const override { return false; }
    void AfterEnter() override;

private:
    QWidget* BuildDigital(bool relays);
    QWidget* BuildAnalog();
    // Acknowledges (releases) a latch: writes "False" to its state and reads the page again.
    void AcknowledgeLatch(const DigitalOutput& output);

    std::vector<DigitalOutput> digital_;
    std::vector<AnalogOutput> analog_;
    std::vector<TAOSourceCombo*> aoCombos_;
    TQLabel* lblStream2_ = nullptr;
};
