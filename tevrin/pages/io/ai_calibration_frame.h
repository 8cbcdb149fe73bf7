#pragma once
// One analog input's calibration frame on the Analog Input page (four of them, one class):
// the input's description, minimum, range, scaled value and units, its live raw reading,
// current and ratio, and the capture of the raw readings at two known inputs (zero and
// span). From the captured raw values and the scaled values the user typed the frame
// computes the gain (scaling factor) and zero offset and writes them to the analyzer.
//
// A recalculation first writes the four zero/span values as the boxes show them, so the
// analyzer always holds the raw counts the boxes show (a box whose text is no number is not
// written). The gain and offset follow when they can
// be computed: a raw value that is no number is reported; equal raw zero and span, or a scaled
// value that is no number, simply leave the gain and offset as they were.
#include "brannix/database_glue.h"

#include <QFrame>
#include <QString>

#include <string>

class QToolButton;
class TQEdit;
class TQLabeledEdit;

namespace aical {

// The gain and zero offset from the four texts of a frame, or none.
struct Result {
    bool ok = false;
    bool rawNotNumber = false;   // when !ok: a raw text is no number (reported); else silent
    QString badRaw;              // that raw text
    std::string gain;     // general float text (15 significant digits) of the 32-bit gain
    std::string offset;   // the same of the 32-bit zero offset
};

// gain = (scaled span - scaled zero) / (raw span - raw zero), offset = scaled zero - raw zero
// x gain, both held as 32-bit floats. No result when a raw text is no number (rawNotNumber, badRaw),
// when raw zero and span are equal, when a scaled text is no number, or when the arithmetic
// leaves the range of a 32-bit float.
Result Compute(const QString& rawZero, const QString& rawSpan, const QString& scaledZero, const QString& scaledSpan);

// The ids of frame n (1..4).
struct Ids {
    TDbId desc, min, range, value, units, rawZero, rawSpan, scaledZero, scaledSpan, raw, mA, ratio, gain, offset;
};
Ids IdsOf(int n);

}  // namespace aical

class TTfraAICalibration : public QFrame {
    Q_OBJECT
public:
    // Frame n (1..4) with the point ids of that input.
    TTfraAICalibration(int n, QWidget* parent);

    // The gain and offset points the calibration writes.
    TDbId GainPoint() const { return gainPoint_; }
    TDbId OffsetPoint() const { return offsetPoint_; }
    void SetGainPoint(TDbId id) { gainPoint_ = id; }
    void SetOffsetPoint(TDbId id) { offsetPoint_ = id; }

    // The Calibrate toggle: down enables the captures and the scaled values.
    void btnCalibrateAI1Click();
    // Takes the live raw reading as the raw zero (span), then recalculates.
    void btnCaptureZeroClick();
    void btnCaptureSpanClick();
    // Writes scaled zero and span, raw zero and span, then the gain and the offset when they
    // can be computed (see the top). True when the gain and offset were written.
    bool Recalculate();

    const aical::Ids& Ids() const { return ids_; }
    QToolButton* btnCalibrateAI() const { return btnCalibrate_; }
    QToolButton* btnCaptureZero() const { return btnCaptureZero_; }
    QToolButton* btnCaptureSpan() const { return btnCaptureSpan_; }
    TQLabeledEdit* edRawZero() const { return edRawZero_; }
    TQLabeledEdit* edRawSpan() const { return edRawSpan_; }
    TQLabeledEdit* edScaledZero() const { return edScaledZero_; }
    TQLabeledEdit* edScaledSpan() const { return edScaledSpan_; }
    TQLabeledEdit* edAIRaw() const { return edAIRaw_; }
    TQLabeledEdit* edAI() const { return edAI_; }
    TQLabeledEdit* ledCalPercent() const { return ledCalPercent_; }

private:
    void Capture(TQLabeledEdit* target);

    aical::Ids ids_;
    TDbId gainPoint_ = 0;
    TDbId offsetPoint_ = 0;
    QToolButton* btnCalibrate_ = nullptr;
    QToolButton* btnCaptureZero_ = nullptr;
    QToolButton* btnCaptureSpan_ = nullptr;
    TQLabeledEdit* edRawZero_ = nullptr;
    TQLabeledEdit* edRawSpan_ = nullptr;
    TQLabeledEdit* edScaledZero_ = nullptr;
    TQLabeledEdit* edScaledSpan_ = nullptr;
    TQLabeledEdit* edAIRaw_ = nullptr;
    TQLabeledEdit* edAI_ = nullptr;
    TQLabeledEdit* ledCalPercent_ = nullptr;
};
