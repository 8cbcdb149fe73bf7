#include "tevrin/pages/io/supply_cal_frame.h"

#include "brannix/qcomponentcommon.h"
#include "brannix/qlabelededit.h"
#include "platform/prompter.h"
#include "tevrin/pages/page_frame.h"
#include "tevrin/pages/widgets/bound_controls.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

using namespace pagecontrols;

namespace supplycal {

namespace {
constexpr long long kCountMax = 65535;
constexpr int kOffset = 32768;   // arrow position 0 is count 32768

Checked Fail(QString why)
{
    Checked c;
    c.why = std::move(why);
    return c;
}
Checked Good(QString text)
{
    Checked c;
    c.ok = true;
    c.text = std::move(text);
    return c;
}
}  // namespace

Ids IdsOf(int n)
{
    if (n == 2) return {1039, 1037, 1038, 1035, 1204};
    return {1031, 1029, 1030, 1027, 1203};
}

Checked CheckVoltage(const QString& field, const QString& text)
{
    double v = 0;
    if (!TQComponentCommon::StrToFloat(text, v) || !std::isfinite(v))
        return Fail(QStringLiteral("%1 \"%2\" is not a number. Nothing was written.").arg(field, text));
    return Good(text.trimmed());
}

Checked CheckPosition(const QString& field, const QString& text)
{
    long long n = 0;
    if (!CountValue(text, n))
        return Fail(QStringLiteral("%1 \"%2\" is not a count from 0 to 65535. Nothing was written.").arg(field, text));
    return Good(QString::number(n));
}

Checked StepPosition(const QString& field, const QString& text, int steps)
{
    const Checked now = CheckPosition(field, text);
    if (!now.ok) return now;
    long long n = now.text.toLongLong() + steps;
    n = std::max(0LL, std::min(kCountMax, n));
    return Good(QString::number(n));
}

Checked StepVoltage(const QString& field, const QString& text, int steps)
{
    const Checked now = CheckVoltage(field, text);
    if (!now.ok) return now;
    double v = 0;
    TQComponentCommon::StrToFloat(now.text, v);
    v = std::round((v + steps * kVoltageStep) * 1000.0) / 1000.0;
    if (!std::isfinite(v)) return Fail(QStringLiteral("%1 \"%2\" cannot be stepped. Nothing was written.").arg(field, text));
    if (v == 0.0) v = 0.0;   // no "-0"
    return Good(QString::number(v, 'g', 15));
}

}  // namespace supplycal

namespace {
TSupplyUpDown* Arrows(QWidget* parent, const char* name, QLineEdit* associated)
{
    auto* ud = new TSupplyUpDown(parent);
    ud->setObjectName(QString::fromLatin1(name));
    ud->setRange(-32768, 32767);
    ud->SetPosition(0);
    // The position arrows count in the box (position + offset); the voltage arrows step the
    // voltage themselves and carry no count into their box.
    if (associated) {
        ud->setAssociatedControl(associated);
        ud->setAssociatedControlOffset(supplycal::kOffset);
    }
    return ud;
}
}  // namespace

TfmAnalogSupply::TfmAnalogSupply(int n, QWidget* parent) : QFrame(parent), ids_(supplycal::IdsOf(n))
{
    setObjectName(QStringLiteral("fmAnalogSupply%1").arg(n));
    auto* outer = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    outer->addLayout(top);
    btnCalibrate_ = ToolButton(this, "btnCalibrateAS1", QStringLiteral("Calibrate AS%1").arg(n), true);
    btnCalibrate_->setProperty("HelpContextVESKA", 592);
    top->addWidget(btnCalibrate_);
    lblDescription_ = new QLabel(QStringLiteral("Supply %1 Description:").arg(n), this);
    lblDescription_->setObjectName(QStringLiteral("QLabel13"));
    top->addWidget(lblDescription_);
    edDesc_ = LabeledEdit(this, top, "edASDesc1", QStringLiteral(" "), ids_.description, dtText);
    edDesc_->setMaxLength(6);

    gbScaling_ = new QGroupBox(QStringLiteral("Analog Supply %1 Calibration").arg(n), this);
    gbScaling_->setObjectName(QStringLiteral("gbScaling"));
    outer->addWidget(gbScaling_);
    auto* grid = new QGridLayout(gbScaling_);
    lblOutput_ = new QLabel(QStringLiteral("Output"), gbScaling_);
    lblOutput_->setObjectName(QStringLiteral("lblOutput"));
    labFailSafe_ = new QLabel(QStringLiteral("Bypass Position"), gbScaling_);
    labFailSafe_->setObjectName(QStringLiteral("labFailSafe"));
    edOutputVoltage_ = LabeledEdit(gbScaling_, nullptr, "edOutputVoltage", QStringLiteral("Voltage"), ids_.voltage, dtFloat);
    edOutputRaw_ = LabeledEdit(gbScaling_, nullptr, "edOutputRaw", QStringLiteral("Raw"), ids_.raw, dtInt);
    edFailSafeCurrent_ = Edit(gbScaling_, nullptr, "edFailSafeCurrent", ids_.bypassVoltage, dtFloat);
    edFailSafePos_ = LabeledEdit(gbScaling_, nullptr, "edFailSafePos", QStringLiteral(" "), ids_.bypassPosition, dtInt);
    for (TQEdit* e : {static_cast<TQEdit*>(edOutputVoltage_), edFailSafeCurrent_}) {
        e->setRangeLow(3);
        e->setRangeHigh(23);
        e->setText(QStringLiteral("0"));
    }
    for (TQEdit* e : {static_cast<TQEdit*>(edOutputRaw_), static_cast<TQEdit*>(edFailSafePos_)}) {
        e->setRangeHigh(65535);
        FitToText(e, LongestCount());
    }

    values_[0] = {edOutputVoltage_, Arrows(gbScaling_, "QUpDown1", nullptr), Kind::Voltage, "Output Voltage"};
    values_[1] = {edOutputRaw_, Arrows(gbScaling_, "QUpDown2", edOutputRaw_), Kind::Position, "Output Raw"};
    values_[2] = {edFailSafeCurrent_, Arrows(gbScaling_, "QUpDown3", nullptr), Kind::Voltage, "Bypass Voltage"};
    values_[3] = {edFailSafePos_, Arrows(gbScaling_, "QUpDown4", edFailSafePos_), Kind::Position, "Bypass Position"};

    grid->addWidget(lblOutput_, 0, 0);
    grid->addWidget(labFailSafe_, 1, 0);
    // A refusal names the value as the frame's row and column show it.
    for (const Value& v : values_)
        v.edit->setAccessibleName(QStringLiteral("Supply %1 %2").arg(n).arg(QString::fromLatin1(v.field)));
    for (int k = 0; k < 4; ++k) {
        // Each value with its arrows in a row of its own, where its caption goes before it.
        auto* box = new QHBoxLayout;
        box->addWidget(values_[k].edit);
        box->addWidget(values_[k].upDown);
        grid->addLayout(box, k / 2, 1 + k % 2);
    }
    btnCapture_ = ToolButton(gbScaling_, "btnCaptureCalibration", QStringLiteral("Capture Calibration"));
    grid->addWidget(btnCapture_, 2, 0, 1, 3);

    connect(btnCalibrate_, &QToolButton::clicked, this, [this] { btnCalibrateAS1Click(); });
    connect(btnCapture_, &QToolButton::clicked, this, [this] { btnCaptureCalibrationClick(); });
    for (const Value& v : values_) {
        connect(v.upDown, &TSupplyUpDown::StepClicked, this, [this, v](int steps) { Step(v, steps); });
        // Enter (accepted by the edit's own check) writes the value at once.
        connect(v.edit, &QLineEdit::returnPressed, this, [this, v] { WriteOne(v); });
    }
    btnCalibrateAS1Click();
}

TSupplyUpDown* TfmAnalogSupply::UpDown(int k) const { return k >= 1 && k <= 4 ? values_[k - 1].upDown : nullptr; }

bool TfmAnalogSupply::Calibrating() const { return btnCalibrate_->isChecked(); }

void TfmAnalogSupply::btnCalibrateAS1Click()
{
    const bool down = Calibrating();
    for (const Value& v : values_) SetUsable(v.edit, down);
    lblOutput_->setEnabled(down);
    labFailSafe_->setEnabled(down);
    btnCapture_->setEnabled(down);
}

supplycal::Checked TfmAnalogSupply::Check(const Value& v) const
{
    const QString field = QString::fromLatin1(v.field);
    return v.kind == Kind::Voltage ? supplycal::CheckVoltage(field, v.edit->text())
                                   : supplycal::CheckPosition(field, v.edit->text());
}

void TfmAnalogSupply::Step(const Value& v, int steps)
{
    // A step that is running (its write pumps events) takes no second click.
    if (busy_) return;
    busy_ = true;
    const QString field = QString::fromLatin1(v.field);
    const supplycal::Checked c = v.kind == Kind::Voltage ? supplycal::StepVoltage(field, v.edit->text(), steps)
                                                         : supplycal::StepPosition(field, v.edit->text(), steps);
    if (!c.ok) {
        platform::MessageDlg(c.why, platform::DlgType::Warning, platform::mbOK);
    } else {
        v.edit->setText(c.text);
        if (v.kind == Kind::Position) v.upDown->SetPosition(c.text.toInt() - supplycal::kOffset);
        TPageFrame::WriteSinglePoint(v.edit->DbId(), c.text.toStdString());
    }
    busy_ = false;
}

void TfmAnalogSupply::WriteOne(const Value& v)
{
    const supplycal::Checked c = Check(v);
    if (!c.ok) {
        platform::MessageDlg(c.why, platform::DlgType::Warning, platform::mbOK);
        return;
    }
    TPageFrame::WriteSinglePoint(v.edit->DbId(), c.text.toStdString());
}

bool TfmAnalogSupply::btnCaptureCalibrationClick()
{
    supplycal::Checked checked[4];
    for (int k = 0; k < 4; ++k) {
        checked[k] = Check(values_[k]);
        if (!checked[k].ok) {
            platform::MessageDlg(checked[k].why, platform::DlgType::Warning, platform::mbOK);
            return false;
        }
    }
    for (int k = 0; k < 4; ++k) TPageFrame::WriteSinglePoint(values_[k].edit->DbId(), checked[k].text.toStdString());
    return true;
}
