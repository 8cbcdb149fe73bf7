#pragma once
// The Factory page (page 8): the manufacturer's settings of the analyzer (sensor and diode,
// the sensor port's speed, the run counter, the colour card, the low-tape alarm and its
// actions, the two analog supplies) and four service actions (factory default configuration,
// wipe archive, wipe event log, reset the Update-mode password). Its contents stay hidden
// until the factory logon of the tab's show handler succeeds; the wipes run unconfirmed.
#include "tevrin/pages/page_frame.h"

#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QToolButton;
class TQCheckBox;
class TQComboBox;
class TQLabel;
class TQLabeledEdit;
class TfmAnalogSupply;
class TfraPort;

class TfraFactory : public TPageFrame {
    Q_OBJECT
public:
    explicit TfraFactory(QWidget* owner);

    // true: every part of the page visible and the notice hidden; false: only the notice. The
    // hidden stream-count controls stay hidden either way.
    void ShowContents(bool show);

    // The service actions.
    void butResetDefaultConfigClick();
    void btnWipeClick();
    void btnWipeLogClick();
    void btnResetPwClick();

    QLabel* lblNotice() const { return lblNotice_; }
    QLabel* QLabel1() const { return lblStreams_; }
    TQComboBox* cbStreams() const { return cbStreams_; }
    TQLabel* lblStream2() const { return lblStream2_; }
    TfraPort* fraPortX() const { return fraPortX_; }
    TfmAnalogSupply* fmAnalogSupply(int n) const { return n == 2 ? supply2_ : supply1_; }
    TQCheckBox* LowTape() const { return chkLowTape_; }
    // The low-tape action boxes: relays 1..6 (k 0..5), then solenoids 1..8 (k 6..13).
    TQCheckBox* LowTapeAction(int k) const;
    TQLabeledEdit* Edit(const char* name) const;
    QToolButton* butWriteConfigFlash() const { return butWriteConfigFlash_; }
    QToolButton* btnWipe() const { return btnWipe_; }
    QToolButton* btnWipeLog() const { return btnWipeLog_; }
    QToolButton* btnResetPw() const { return btnResetPw_; }

protected:
    std::vector<int> FixedPointsBefore() const override;
    bool RegistersBoundControls() const override { return false; }
    void AfterEnter() override;

private:
    QLabel* lblNotice_ = nullptr;
    QLabel* lblStreams_ = nullptr;
    TQComboBox* cbStreams_ = nullptr;
    TQLabel* lblStream2_ = nullptr;
    TfraPort* fraPortX_ = nullptr;
    TfmAnalogSupply* supply1_ = nullptr;
    TfmAnalogSupply* supply2_ = nullptr;
    TQCheckBox* chkLowTape_ = nullptr;
    std::array<TQCheckBox*, 14> actions_{};
    QToolButton* butWriteConfigFlash_ = nullptr;
    QToolButton* btnWipe_ = nullptr;
    QToolButton* btnWipeLog_ = nullptr;
    QToolButton* btnResetPw_ = nullptr;
};
