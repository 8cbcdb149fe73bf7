#pragma once
// One analog supply's calibration frame (the Factory page holds two, one class): the supply's
// description, and its operating and bypass settings, each as a voltage and as a raw position.
// With its Calibrate toggle down the user edits or steps the values and each change goes to
// the analyzer at once; "Capture Calibration" writes all four again.
//
// Every write checks its input first: a voltage must be a number, a position a whole count
// 0..65535. Capture checks all four before it writes any, and writes all or nothing; the user
// is told what was wrong. The step buttons are never disabled and write whatever the
// Calibrate toggle's state. A voltage step moves the voltage by 0.1 V (it never puts a raw count into a voltage box).
#include "brannix/database_glue.h"
#include "brannix/qupdown.h"

#include <QFrame>
#include <QString>


class QGroupBox;
class QLabel;
class QToolButton;
class TQEdit;
class TQLabeledEdit;

namespace supplycal {

// The points of supply n (1 or 2).
struct Ids {
    TDbId voltage, raw, bypassVoltage, bypassPosition, description;
};
Ids IdsOf(int n);

// The voltage step of the voltage arrows.
constexpr double kVoltageStep = 0.1;

// A checked value: the text to write, or why there is none.
struct Checked {
    bool ok = false;
    QString text;   // what is written (the value's own text, blanks trimmed)
    QString why;    // the message when !ok
};

// A voltage must be a number; a position a whole number 0..65535.
Checked CheckVoltage(const QString& field, const QString& text);
Checked CheckPosition(const QString& field, const QString& text);
// The value after `steps` clicks of an arrow (negative: down), from a text that checks. A
// position stays within 0..65535; a voltage moves by kVoltageStep a click, shown with at most
// three decimals.
Checked StepPosition(const QString& field, const QString& text, int steps);
Checked StepVoltage(const QString& field, const QString& text, int steps);

}  // namespace supplycal

// Up-down arrows whose clicks are handed to the owner, which steps them when it lets them.
class TSupplyUpDown : public TQUpDown {
    Q_OBJECT
public:
    explicit TSupplyUpDown(QWidget* parent = nullptr) : TQUpDown(parent) {}
    void stepBy(int steps) override { emit StepClicked(steps); }

Q_SIGNALS:
    void StepClicked(int steps);
};

class TfmAnalogSupply : public QFrame {
    Q_OBJECT
public:
    // The frame of supply n (1 or 2) with that supply's points and captions.
    TfmAnalogSupply(int n, QWidget* parent);

    const supplycal::Ids& Ids() const { return ids_; }

    // The Calibrate toggle: down makes the four values, their arrows, labels and Capture usable.
    void btnCalibrateAS1Click();
    // Writes voltage, raw, bypass voltage and bypass position, in this order, when all four
    // check; otherwise says why and writes nothing. True when it wrote.
    bool btnCaptureCalibrationClick();
    bool Calibrating() const;

    QToolButton* btnCalibrateAS() const { return btnCalibrate_; }
    QToolButton* btnCaptureCalibration() const { return btnCapture_; }
    QLabel* lblOutput() const { return lblOutput_; }
    QLabel* labFailSafe() const { return labFailSafe_; }
    QLabel* lblDescription() const { return lblDescription_; }
    QGroupBox* gbScaling() const { return gbScaling_; }
    TQLabeledEdit* edASDesc() const { return edDesc_; }
    TQLabeledEdit* edOutputVoltage() const { return edOutputVoltage_; }
    TQLabeledEdit* edOutputRaw() const { return edOutputRaw_; }
    TQEdit* edFailSafeCurrent() const { return edFailSafeCurrent_; }
    TQLabeledEdit* edFailSafePos() const { return edFailSafePos_; }
    // The arrows of voltage, raw, bypass voltage and bypass position (1..4).
    TSupplyUpDown* UpDown(int k) const;

private:
    enum class Kind { Voltage, Position };
    struct Value {
        TQEdit* edit;
        TSupplyUpDown* upDown;
        Kind kind;
        const char* field;
    };
    supplycal::Checked Check(const Value& v) const;
    void Step(const Value& v, int steps);
    void WriteOne(const Value& v);

    supplycal::Ids ids_;
    bool busy_ = false;
    QToolButton* btnCalibrate_ = nullptr;
    QToolButton* btnCapture_ = nullptr;
    QLabel* lblOutput_ = nullptr;
    QLabel* labFailSafe_ = nullptr;
    QLabel* lblDescription_ = nullptr;
    QGroupBox* gbScaling_ = nullptr;
    TQLabeledEdit* edDesc_ = nullptr;
    TQLabeledEdit* edOutputVoltage_ = nullptr;
    TQLabeledEdit* edOutputRaw_ = nullptr;
    TQEdit* edFailSafeCurrent_ = nullptr;
    TQLabeledEdit* edFailSafePos_ = nullptr;
    Value values_[4] = {};
};
