#pragma once
// The Factory page (page 8): factory settings behind the factory access code.
#include "tevrin/pages/page_frame.h"

class QComboBox;
class QLabel;

class TfraFactory : public TPageFrame {
    Q_OBJECT
public:
    explicit TfraFactory(QWidget* owner);

    // true: every child visible and the notice hidden; false: every child hidden but the
    // notice and the stream-count label and combo box.
    void ShowContents(bool show);

    QLabel* lblNotice() const { return lblNotice_; }
    QLabel* lblStreams() const { return lblStreams_; }
    QComboBox* cbStreams() const { return cbStreams_; }

protected:
    std::vector<int> FixedPointsBefore() const override;
    bool RegistersBoundControls() const override { return false; }

private:
    QLabel* lblNotice_ = nullptr;
    QLabel* lblStreams_ = nullptr;
    QComboBox* cbStreams_ = nullptr;
};
