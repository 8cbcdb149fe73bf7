#pragma once
// The Global page (page 2): the settings of the analyzer as a whole.
#include "tevrin/pages/page_frame.h"

class QComboBox;

class TfraAnalyzerGlobal : public TPageFrame {
    Q_OBJECT
public:
    explicit TfraAnalyzerGlobal(QWidget* owner);

    // Page 2, flags 0 and 1; then the decimal places from "dispPlace.cfg" into cbDispPlace
    // (item 0 when the file gives none).
    void EnterPage() override;

    QComboBox* cbDispPlace() const { return cbDispPlace_; }

protected:
    std::vector<int> FixedPointsBefore() const override;

private:
    QComboBox* cbDispPlace_ = nullptr;
};
