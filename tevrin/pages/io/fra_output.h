#pragma once
// The Outputs page (page 5): relays, solenoids, latches and analog outputs.
#include "tevrin/pages/page_frame.h"

#include <vector>

class QComboBox;

class TfraOutput : public TPageFrame {
    Q_OBJECT
public:
    explicit TfraOutput(QWidget* owner);

    // Clears and refills the six analog-output parameter combos from the analog output source
    // list.
    void FillAOManagerFunctions();
    const std::vector<QComboBox*>& aoCombos() const { return aoCombos_; }

protected:
    void FirstEntry() override { FillAOManagerFunctions(); }
    std::vector<int> FixedPointsAfter() const override { return {20}; }
    void AfterEnter() override;

private:
    std::vector<QComboBox*> aoCombos_;
};
