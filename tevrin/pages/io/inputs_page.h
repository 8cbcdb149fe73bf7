#pragma once
// Shared shape of the two digital-input pages (dry and wet contacts): the stream count after
// the inputs' points, and the warning on every entry.
#include "tevrin/pages/page_frame.h"

#include <QString>

class TInputsPage : public TPageFrame {
    Q_OBJECT
public:
    TInputsPage(QWidget* owner, int pageNumber, const QString& warning);

protected:
    std::vector<int> FixedPointsAfter() const override { return {20}; }
    void AfterEnter() override { ShowPageWarning(warning_); }

private:
    QString warning_;
};
