#pragma once
// The two digital-input pages (dry contacts 1 to 4, wet contacts 5 to 8): one page made twice,
// four input panels each. The page registers the inputs' points and the stream count, shows its
// warning on every entry, and writes what the user changes: Enable and Alarm while the page is
// current, polarity and single bits also only after it was first shown.
#include "tevrin/pages/page_frame.h"

#include <QString>

#include <vector>

class TInputPanel;
class TQCheckBox;
class TQLabel;
class TQRadioButton;

class TInputsPage : public TPageFrame {
    Q_OBJECT
public:
    // `firstInput` 1 (dry) or 5 (wet).
    TInputsPage(QWidget* owner, int pageNumber, int firstInput, const QString& groupCaption, const QString& warning);

    const std::vector<TInputPanel*>& Panels() const { return panels_; }
    TQLabel* lblStream2() const { return lblStream2_; }

protected:
    std::vector<int> FixedPointsBefore() const override;
    bool RegistersBoundControls() const override { return false; }
    void AfterEnter() override { ShowPageWarning(warning_); }

private:
    void EnableClicked(TQCheckBox* box);
    void PolarityClicked(TQRadioButton* button, bool on);
    void BitClicked(int dbId, int bit, bool set);

    QString warning_;
    std::vector<TInputPanel*> panels_;
    TQLabel* lblStream2_ = nullptr;
};
