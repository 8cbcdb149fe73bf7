#include "tevrin/pages/io/ai_calibration_frame.h"

#include "brannix/qcomponentcommon.h"
#include "brannix/qlabelededit.h"
#include "platform/numtext.h"
#include "platform/prompter.h"
#include "tevrin/pages/page_frame.h"
#include "tevrin/pages/widgets/bound_controls.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

using namespace pagecontrols;

namespace aical {

Result Compute(const QString& rawZero, const QString& rawSpan, const QString& scaledZero, const QString& scaledSpan)
{
    Result r;
    double rz = 0, rs = 0, sz = 0, ss = 0;
    if (!TQComponentCommon::StrToFloat(rawZero, rz) || !std::isfinite(rz)) {
        r.rawNotNumber = true;
        r.badRaw = rawZero;
        return r;
    }
    if (!TQComponentCommon::StrToFloat(rawSpan, rs) || !std::isfinite(rs)) {
        r.rawNotNumber = true;
        r.badRaw = rawSpan;
        return r;
    }
    const float d = static_cast<float>(rs - rz);
    if (d == 0.0f) return r;
    if (!TQComponentCommon::StrToFloat(scaledZero, sz) || !TQComponentCommon::StrToFloat(scaledSpan, ss)) return r;
    const float gain = static_cast<float>((ss - sz) / static_cast<double>(d));
    const float offset = static_cast<float>(sz - rz * static_cast<double>(gain));
    if (!std::isfinite(gain) || !std::isfinite(offset)) return r;
    r.ok = true;
    r.gain = numtext::FloatToStr(static_cast<double>(gain));
    r.offset = numtext::FloatToStr(static_cast<double>(offset));
    return r;
}

Ids IdsOf(int n)
{
    const auto k = static_cast<TDbId>(9 * (n - 1));
    const auto m = static_cast<TDbId>(n - 1);
    Ids ids{};
    ids.desc = static_cast<TDbId>(1504 + k);
    ids.min = static_cast<TDbId>(1501 + k);
    ids.range = static_cast<TDbId>(1500 + k);
    ids.value = static_cast<TDbId>(1544 + m);
    ids.units = static_cast<TDbId>(1552 + m);
    ids.rawZero = static_cast<TDbId>(1496 + k);
    ids.rawSpan = static_cast<TDbId>(1497 + k);
    ids.scaledZero = static_cast<TDbId>(1498 + k);
    ids.scaledSpan = static_cast<TDbId>(1499 + k);
    ids.raw = static_cast<TDbId>(1536 + m);
    ids.mA = static_cast<TDbId>(1532 + m);
    ids.ratio = static_cast<TDbId>(1540 + m);
    ids.gain = static_cast<TDbId>(1502 + k);
    ids.offset = static_cast<TDbId>(1503 + k);
    return ids;
}

}  // namespace aical

TTfraAICalibration::TTfraAICalibration(int n, QWidget* parent) : QFrame(parent), ids_(aical::IdsOf(n))
{
    setObjectName(QStringLiteral("fraAICalibration%1").arg(n));
    auto* outer = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Analog Input #%1").arg(n), this);
    outer->addWidget(group);
    auto* column = new QVBoxLayout(group);
    const auto row = [&] {
        auto* r = new QHBoxLayout();
        column->addLayout(r);
        return r;
    };

    QHBoxLayout* r = row();
    auto* desc = LabeledEdit(group, r, "edAIDesc1", QStringLiteral("Description"), ids_.desc, dtText);
    desc->setMaxLength(6);
    LabeledEdit(group, r, "edAIMin1", QStringLiteral("Minimum"), ids_.min, dtFloat);
    LabeledEdit(group, r, "edAIRange1", QStringLiteral("Range"), ids_.range, dtFloat);
    r = row();
    auto* value = LabeledEdit(group, r, "edAIValue", QStringLiteral("Value"), ids_.value, dtFloat);
    value->setReadOnly(true);
    value->SetColor(clScrollBar());
    LabeledEdit(group, r, "edAIUnits", QStringLiteral("Engineering Units "), ids_.units, dtText);

    auto* cal = new QGroupBox(QStringLiteral("Analog Input %1 Calibration").arg(n), group);
    column->addWidget(cal);
    auto* calColumn = new QVBoxLayout(cal);
    const auto calRow = [&] {
        auto* cr = new QHBoxLayout();
        calColumn->addLayout(cr);
        return cr;
    };
    r = calRow();
    btnCalibrate_ = ToolButton(cal, "btnCalibrateAI1", QStringLiteral("Calibrate AI%1").arg(n), true);
    btnCalibrate_->setProperty("HelpContextVESKA", 592);
    r->addWidget(btnCalibrate_);
    btnCaptureZero_ = ToolButton(cal, "btnCaptureZero", QStringLiteral("Capture Zero"));
    btnCaptureSpan_ = ToolButton(cal, "btnCaptureSpan", QStringLiteral("Capture Span"));
    r->addWidget(btnCaptureZero_);
    r->addWidget(btnCaptureSpan_);
    r = calRow();
    edRawZero_ = LabeledEdit(cal, r, "edRawZero", QStringLiteral("     Raw Zero"), ids_.rawZero, dtInt);
    edRawSpan_ = LabeledEdit(cal, r, "edRawSpan", QStringLiteral("     Raw Span"), ids_.rawSpan, dtInt);
    r = calRow();
    edScaledZero_ = LabeledEdit(cal, r, "edScaledZero", QStringLiteral("   Scaled Zero"), ids_.scaledZero, dtFloat);
    edScaledSpan_ = LabeledEdit(cal, r, "edScaledSpan", QStringLiteral("   Scaled Span"), ids_.scaledSpan, dtFloat);
    r = calRow();
    ledCalPercent_ = LabeledEdit(cal, r, "ledCalPercent", QStringLiteral("Ratio"), ids_.ratio, dtFloat);
    ledCalPercent_->setToolTip(QStringLiteral("Test value as a percent of full scale"));
    r->addWidget(new QLabel(QStringLiteral("%"), cal));
    edAI_ = LabeledEdit(cal, r, "edAI", QStringLiteral("       AI (mA)"), ids_.mA, dtFloat);
    edAIRaw_ = LabeledEdit(cal, r, "edAIRaw", QStringLiteral("      AI (Raw)"), ids_.raw, dtInt);

    for (TQLabeledEdit* e : {edRawZero_, edRawSpan_, edAIRaw_}) FitToText(e, LongestCount());
    for (TQLabeledEdit* e : {edRawZero_, edRawSpan_, edAIRaw_, edAI_, ledCalPercent_}) {
        e->setReadOnly(true);
        e->SetColor(clScrollBar());
    }
    // The live readings only show what arrives; as text they never stop the window's write
    // when the analyzer reports a value that is no number.
    for (TQLabeledEdit* e : {value, edAIRaw_, edAI_, ledCalPercent_}) e->setDataType(dtText);
    edRawZero_->setRangeHigh(65535);
    edRawSpan_->setRangeHigh(65535);
    for (TQLabeledEdit* e : {edScaledZero_, edScaledSpan_}) {
        e->setRangeLow(3);
        e->setRangeHigh(23);
        SetUsable(e, false);
    }
    ledCalPercent_->setRangeHigh(100);
    btnCaptureZero_->setEnabled(false);
    btnCaptureSpan_->setEnabled(false);

    connect(btnCalibrate_, &QToolButton::clicked, this, [this] { btnCalibrateAI1Click(); });
    connect(btnCaptureZero_, &QToolButton::clicked, this, [this] { btnCaptureZeroClick(); });
    connect(btnCaptureSpan_, &QToolButton::clicked, this, [this] { btnCaptureSpanClick(); });
    // Enter in a scaled value (accepted by the edit's own check) writes it at once.
    for (TQLabeledEdit* e : {edScaledZero_, edScaledSpan_})
        connect(e, &QLineEdit::returnPressed, this,
                [e] { TPageFrame::WriteSinglePoint(e->DbId(), e->text().toStdString()); });
    // The ratio shows as a whole percentage, the current with two decimals.
    connect(ledCalPercent_, &TQEdit::OnDBPointValueChanged, this, [this](const QString& v, bool& DoDefault) {
        if (v.isEmpty()) return;
        DoDefault = false;
        const double ratio = numtext::AtoF(v.toStdString()) * 100.0;
        const double whole = std::isfinite(ratio) ? std::trunc(ratio) : 0.0;
        ledCalPercent_->setText(QString::number(static_cast<long long>(whole)));
    });
    connect(edAI_, &TQEdit::OnDBPointValueChanged, this, [this](const QString& v, bool& DoDefault) {
        DoDefault = false;
        double mA = 0;
        if (!TQComponentCommon::StrToFloat(v, mA)) mA = 0;
        edAI_->setText(QString::number(mA, 'f', 2));
    });
}

void TTfraAICalibration::btnCalibrateAI1Click()
{
    const bool down = btnCalibrate_->isChecked();
    btnCaptureZero_->setEnabled(down);
    btnCaptureSpan_->setEnabled(down);
    SetUsable(edScaledZero_, down);
    SetUsable(edScaledSpan_, down);
}

void TTfraAICalibration::btnCaptureZeroClick() { Capture(edRawZero_); }
void TTfraAICalibration::btnCaptureSpanClick() { Capture(edRawSpan_); }

void TTfraAICalibration::Capture(TQLabeledEdit* target)
{
    long long raw = 0;
    const QString text = edAIRaw_->text();
    if (!TQComponentCommon::StrToInt64(text, raw)) {
        platform::MessageDlg(QStringLiteral("'%1' is not a valid integer value").arg(text), platform::DlgType::Error,
                             platform::mbOK);
        return;
    }
    target->setText(QString::number(raw));
    Recalculate();
}

bool TTfraAICalibration::Recalculate()
{
    // A box whose text is no number is left out: the database would take it as 0.
    for (TQLabeledEdit* e : {edScaledZero_, edScaledSpan_, edRawZero_, edRawSpan_}) {
        double value = 0;
        if (TQComponentCommon::StrToFloat(e->text(), value) && std::isfinite(value))
            TPageFrame::WriteSinglePoint(e->DbId(), e->text().trimmed().toStdString());
    }
    const aical::Result r = aical::Compute(edRawZero_->text(), edRawSpan_->text(), edScaledZero_->text(), edScaledSpan_->text());
    if (!r.ok) {
        if (r.rawNotNumber) ShowNotAFloat(r.badRaw);
        return false;
    }
    TPageFrame::WriteSinglePoint(gainPoint_, r.gain);
    TPageFrame::WriteSinglePoint(offsetPoint_, r.offset);
    return true;
}
