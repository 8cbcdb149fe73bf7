#pragma once
// The Global page (page 2): the settings of the analyzer as a whole. The form holds the site
// identity, versions, general switches, decimal places, bypass timeout, tape, and the hidden
// furnace, temperature-calibration and gain-calculator groups; the global alarm rows and the
// calibration trigger boxes are made here from tables.
#include "tevrin/pages/config/tape_conversions.h"
#include "tevrin/pages/page_frame.h"

#include <memory>
#include <vector>

class QComboBox;
class TQCheckBox;
class TQCheckBoxBase;
class TQEdit;

namespace Ui {
class TfraAnalyzerGlobal;
}

class TfraAnalyzerGlobal : public TPageFrame {
    Q_OBJECT
public:
    explicit TfraAnalyzerGlobal(QWidget* owner);
    ~TfraAnalyzerGlobal() override;

    // Page 2, flags 0 and 1; then the decimal places from "dispPlace.cfg" into cbDispPlace.
    void EnterPage() override;

    Ui::TfraAnalyzerGlobal* form() const { return ui_.get(); }
    QComboBox* cbDispPlace() const;

    // One global alarm: its enable box, its limit edit (none for some) and its 14 action boxes
    // (relays 1..6 on bits 0..5, solenoids 1..8 on bits 8..15).
    struct AlarmRow {
        TQCheckBox* enable = nullptr;
        TQEdit* limit = nullptr;
        std::vector<TQCheckBox*> actions;
    };
    const std::vector<AlarmRow>& alarms() const { return alarms_; }

    // The handlers, as the controls call them (public for the tests that drive them).
    void cbDispPlaceSelect(int index);
    void btnSWPAcceptClick();
    void rdMetricClick();
    void rdImperialClick();
    void btnTapeLengthResetClick();

protected:
    std::vector<int> FixedPointsBefore() const override;
    bool RegistersBoundControls() const override { return false; }
    // The furnace boxes take Enter before their own range check, which would swallow it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildAlarms();
    void BuildTriggers();
    void ConnectHandlers();
    void SwitchUnits(bool toMetric);
    void ShowUnitCaptions(bool imperial);
    void ShowStainWidth();
    void ManualCalGainCal();
    void btnTestClick(bool down);
    void FurnaceEnter();
    void FctEnter();

    std::unique_ptr<Ui::TfraAnalyzerGlobal> ui_;
    std::vector<AlarmRow> alarms_;
    std::vector<TQCheckBoxBase*> triggers_;
    bool imperial_ = true;   // the unit the radio buttons show
    tapeconv::UnitSwitchedValue diameter_{tapeconv::kMmPerInch, tapeconv::kInchPerMm, 4};
    tapeconv::UnitSwitchedValue tapeAlarm_{tapeconv::kMetrePerFoot, tapeconv::kFeetPerMetre, 2};
};
