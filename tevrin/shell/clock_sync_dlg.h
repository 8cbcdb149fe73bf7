#pragma once
// "Set Analyzer Date & Time": the moment the analyzer's clock is set to, either the PC's time
// at the click of "Set Analyzer Time" or a date and time picked by hand. The label shows the
// packed token of the chosen moment; after OK the caller reads SyncToken.
#include <QDateTime>
#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>

namespace Ui {
class TTimeSyncDlg;
}
class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTimeEdit;

class TTimeSyncDlg : public QDialog {
    Q_OBJECT
public:
    // Packs a day-count date-time into the analyzer's token (the shared routine).
    using TokenFn = std::function<uint32_t(double dateTime)>;
    // The PC's present time (tests give their own).
    using NowFn = std::function<QDateTime()>;

    explicit TTimeSyncDlg(TokenFn toToken, QWidget* parent = nullptr, NowFn now = {});
    ~TTimeSyncDlg() override;

    // The token of the chosen moment: set when the dialog is shown, on every picker change
    // and by OK.
    uint32_t SyncToken() const { return syncToken_; }
    // 0: "Use Current PC Time", 1: "Set Time Manually".
    int SyncOption() const;
    void SetSyncOption(int index);

    // A wall-clock moment as the day count since 30 December 1899 with the time as fraction.
    static double ToDateTime(const QDateTime& moment);

    QGroupBox* rgSyncOption() const;
    QDateEdit* dtDate() const;
    QTimeEdit* dtTime() const;
    QLabel* labToken() const;
    QPushButton* btnOk() const;
    QPushButton* btnCancel() const;
    QCheckBox* ckDaylightSavings() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void rgSyncOptionClick();
    void PickerChange();
    void btnOkClick();
    double PickedMoment() const;
    void ShowToken();

    std::unique_ptr<Ui::TTimeSyncDlg> ui;
    TokenFn toToken_;
    NowFn now_;
    uint32_t syncToken_ = 0;
};
