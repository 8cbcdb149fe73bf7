#pragma once
// The Stream page (page 3): stream 1's settings and run-kind definitions.
#include "tevrin/pages/page_frame.h"

#include <vector>

class QComboBox;
class QTabWidget;

class TfraAnalyzerStreams : public TPageFrame {
    Q_OBJECT
public:
    explicit TfraAnalyzerStreams(QWidget* owner);

    // Enables stream 1's set definitions and its gain, offset and unit edits.
    void EnableStreamEditing(bool on);
    bool StreamEditingEnabled() const { return editing_; }

    // Refills the analog-output function combo boxes from the analog output source list.
    void FillAOManagerFunctions();

    QTabWidget* streamTabs() const { return streamTabs_; }
    const std::vector<QComboBox*>& aoCombos() const { return aoCombos_; }

protected:
    void FirstEntry() override { FillAOManagerFunctions(); }
    std::vector<int> FixedPointsAfter() const override;

private:
    QTabWidget* streamTabs_ = nullptr;
    QWidget* stream1_ = nullptr;
    std::vector<QComboBox*> aoCombos_;
    bool editing_ = true;
};
