#pragma once
// One analog output's calibration frame on the Maintenance page (six of them, one class). It
// drives the output with a raw count (zero, span or fail-safe) through the raw bypass, lets the
// user step the count while watching a meter, computes a count from a meter reading ("Auto.
// Cal."), stores the calibration ("Capture") and drives the output at a percentage of full
// scale through the factory bypass ("Output Test").
//
// Every action checks the numbers it needs before it writes anything; a count outside 0..65535
// (also one that "Auto. Cal." computes) is refused with a message, and so is a current outside
// 3..23 mA, unless it is the very value the analyzer holds (a fail-safe of 0 mA read from the
// analyzer never blocks a capture). The current boxes keep their own range check for the page
// writes and Enter, with the same exemption. The up-downs are never disabled: a step writes
// whatever the Calibrate button's state.
#include "brannix/database_glue.h"

#include <QFrame>

#include <array>
#include <vector>

class QLabel;
class QToolButton;
class TQEdit;
class TQLabeledEdit;
class TQUpDown;

class TfraAOCalibration : public QFrame {
    Q_OBJECT
public:
    // The command points, in the order the owner gives them.
    struct CommandIds {
        TDbId rawBypass = 0, rawOutput = 0, scalingFactor = 0, zeroOffset = 0, factoryBypass = 0, scaledOutput = 0;
    };
    // The bound points: zero, span and fail-safe current (mA), zero, span and fail-safe count.
    struct BoundIds {
        TDbId zeroMA = 0, spanMA = 0, rawZero = 0, rawSpan = 0, failSafePos = 0, failSafeMA = 0;
    };

    TfraAOCalibration(int n, const BoundIds& bound, QWidget* parent);

    void SetCommandIds(const CommandIds& ids) { cmd_ = ids; }
    const CommandIds& Commands() const { return cmd_; }
    const BoundIds& Bound() const { return bound_; }

    // --- the user's actions ------------------------------------------------------------------
    void btnCalibrateAO1Click();     // the toggle: down makes the frame usable, up greys it
    void btnOutputZeroClick() { Drive(0); }
    void btnOutputSpanClick() { Drive(1); }
    void btnOutputFailSafeClick() { Drive(2); }
    void btnAutoCalZeroClick() { AutoCal(0); }
    void btnAutoCalSpanClick() { AutoCal(1); }
    void btnAutoCalFSClick() { AutoCal(2); }
    void btnCaptureCalibrationClick();
    void btnOutputTestClick();
    // A step of a raw count's up-down (index 0 zero, 1 span, 2 fail-safe) and of the test one.
    void udBitsClickb(int which);
    void udTestClick();

    bool RawActive() const { return rawActive_; }
    bool TestActive() const { return testActive_; }

    QToolButton* btnCalibrate() const { return btnCalibrate_; }
    TQLabeledEdit* edRawZero() const { return edRawZero_; }
    TQEdit* edRawSpan() const { return edRawSpan_; }
    TQEdit* edFailSafeCurrent() const { return edFailSafeCurrent_; }
    TQLabeledEdit* edScaledZero() const { return edScaledZero_; }
    TQEdit* edScaledSpan() const { return edScaledSpan_; }
    TQLabeledEdit* edFailSafePos() const { return edFailSafePos_; }
    TQEdit* MeterReading(int which) const { return meter_.at(static_cast<size_t>(which)); }
    TQLabeledEdit* ledCalTestPercent() const { return ledCalTestPercent_; }
    TQLabeledEdit* ledTestRaw() const { return ledTestRaw_; }
    TQUpDown* CountUpDown(int which) const { return countUpDowns_.at(static_cast<size_t>(which)); }
    TQUpDown* CurrentUpDown(int which) const { return currentUpDowns_.at(static_cast<size_t>(which)); }
    TQUpDown* udTest() const { return udTest_; }

private:
    void Drive(int which);
    void AutoCal(int which);
    struct TestValues {
        double fraction = 0, zero = 0, span = 0;
    };
    // The test fraction and the zero and span currents; false (said why) when the percentage
    // is no whole number 0..100 or a current no number.
    bool CheckTestValues(TestValues& values) const;
    // Writes the test fraction and shows the expected current.
    void UpdateTestRaw(const TestValues& values);
    static void WritePoint(TDbId id, const char* text);
    static void WritePoint(TDbId id, const QString& text);
    TQEdit* CountEdit(int which) const;
    TQEdit* CurrentEdit(int which) const;
    // A current the frame may use or write: a number within 3..23 mA, or the value the
    // analyzer last reported for that box.
    bool CurrentUsable(int which, double& mA) const;
    // The current box shows (as a number) the value the analyzer last reported for it.
    bool ShowsHeldValue(int which) const;
    // The box's own range check is on unless it shows the value the analyzer holds.
    void RangeCheckFollowsText(int which);

    BoundIds bound_;
    CommandIds cmd_;
    bool rawActive_ = false;
    bool testActive_ = false;
    bool busy_ = false;
    // The zero, span and fail-safe currents as the analyzer last reported them.
    std::array<QString, 3> held_{};

    QToolButton* btnCalibrate_ = nullptr;
    TQLabeledEdit* edRawZero_ = nullptr;
    TQEdit* edRawSpan_ = nullptr;
    TQEdit* edFailSafeCurrent_ = nullptr;
    TQLabeledEdit* edScaledZero_ = nullptr;
    TQEdit* edScaledSpan_ = nullptr;
    TQLabeledEdit* edFailSafePos_ = nullptr;
    std::array<TQEdit*, 3> meter_{};
    std::array<TQUpDown*, 3> countUpDowns_{};
    std::array<TQUpDown*, 3> currentUpDowns_{};
    TQUpDown* udTest_ = nullptr;
    TQLabeledEdit* ledCalTestPercent_ = nullptr;
    TQLabeledEdit* ledTestRaw_ = nullptr;
    // What the Calibrate button enables and disables.
    std::vector<QWidget*> usable_;
    std::vector<TQEdit*> colouredEdits_;
};
