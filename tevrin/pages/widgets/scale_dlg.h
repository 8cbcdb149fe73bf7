#pragma once
// "Set Scale for Y-axis": the lowest and highest value of a chart's Y axis. The caller reads
// both numbers after OK.
#include <QDialog>

#include <functional>

class QPushButton;
class TQLabeledEdit;

class TfrmScaleDlg : public QDialog {
    Q_OBJECT
public:
    explicit TfrmScaleDlg(QWidget* parent = nullptr);

    TQLabeledEdit* ledMinY() const { return ledMinY_; }
    TQLabeledEdit* ledMaxY() const { return ledMaxY_; }
    QPushButton* btnOK() const { return ok_; }
    QPushButton* btnCancel() const { return cancel_; }

    // Reads both texts as numbers. False, with the reason in error, when one is not a number
    // or the minimum is not below the maximum.
    bool Values(double& minimum, double& maximum, QString& error) const;

    // Shows the dialog modally (ledMinY takes the focus); a test may answer it instead
    // (nullptr: shown for real). The answer function may set the texts and returns the
    // dialog's result.
    int ShowModal();
    static void SetAnswer(std::function<int(TfrmScaleDlg&)> answer);

protected:
    void showEvent(QShowEvent* e) override;

private:
    TQLabeledEdit* ledMinY_;
    TQLabeledEdit* ledMaxY_;
    QPushButton* ok_;
    QPushButton* cancel_;
};
