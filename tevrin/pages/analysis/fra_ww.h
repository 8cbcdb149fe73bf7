#pragma once
// The Analysis page (page 0): the analyzer's state and the last results of stream 1.
#include "tevrin/pages/page_frame.h"

#include <QString>

class TQLabel;

class TfraWW : public TPageFrame {
    Q_OBJECT
public:
    explicit TfraWW(QWidget* owner);

    // Page 0, flags 0 and 0: the run-kind names of stream 1, then the bound controls; then the
    // display places from "dispPlace.cfg".
    void EnterPage() override;

    int PrintCount() const { return printCount_; }
    int SaveCount() const { return saveCount_; }
    QString ReportBaseName() const { return reportBaseName_; }
    // The format the results are shown with: empty until the first entry.
    QString DisplayFormat() const { return displayFormat_; }
    // Stream count as last shown by the hidden stream-count label.
    int StreamCount() const { return streamCount_; }

    TQLabel* streamNo() const { return streamNo_; }

protected:
    std::vector<int> FixedPointsBefore() const override { return {45, 611, 68, 91, 1269, 114}; }

private:
    int printCount_ = 0;
    int saveCount_ = 0;
    QString reportBaseName_ = QStringLiteral("Report");
    QString displayFormat_;
    int streamCount_ = 0;
    TQLabel* streamNo_ = nullptr;
};
