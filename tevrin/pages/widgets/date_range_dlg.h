#pragma once
// "Select Date Range": two date pickers; the caller reads both dates after OK.
#include <QDialog>

#include <functional>

class QDateEdit;
class QPushButton;

class TfrmDateRangeDlg : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDateRangeDlg(QWidget* parent = nullptr);

    QDateEdit* DateTime1() const { return dateTime1_; }
    QDateEdit* DateTime2() const { return dateTime2_; }
    QPushButton* BitBtn1() const { return ok_; }
    QPushButton* btnCancel() const { return cancel_; }

    // Shows the dialog modally; a test may answer it instead (nullptr: shown for real).
    // The answer function may set the dates and returns the dialog's result.
    int ShowModal();
    static void SetAnswer(std::function<int(TfrmDateRangeDlg&)> answer);

private:
    QDateEdit* dateTime1_;
    QDateEdit* dateTime2_;
    QPushButton* ok_;
    QPushButton* cancel_;
};
