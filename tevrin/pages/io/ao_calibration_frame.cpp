#include "tevrin/pages/io/ao_calibration_frame.h"

#include "brannix/qcomponentcommon.h"
#include "brannix/qlabelededit.h"
#include "brannix/qupdown.h"
#include "platform/numtext.h"
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

namespace {

void Refuse(const QString& why)
{
    platform::MessageDlg(why + QStringLiteral(" Nothing was written."), platform::DlgType::Warning, platform::mbOK);
}

const char* const kColumn[3] = {"Zero", "Span", "Fail-Safe"};

// An output current: 3 to 23 mA.
bool CurrentValue(const QString& text, double& value)
{
    return TQComponentCommon::StrToFloat(text, value) && value >= 3 && value <= 23;
}

// A meter reading: any number.
bool MeterValue(const QString& text, double& value)
{
    return TQComponentCommon::StrToFloat(text, value) && std::isfinite(value);
}

QString CountRefusal(const char* column, const QString& text)
{
    return QStringLiteral("The %1 raw value \"%2\" is not a count from 0 to 65535.").arg(QString::fromLatin1(column), text);
}

QString CurrentRefusal(const char* what, const QString& text)
{
    return QStringLiteral("The %1 \"%2\" is not a current from 3 to 23 mA.").arg(QString::fromLatin1(what), text);
}

}  // namespace

TfraAOCalibration::TfraAOCalibration(int n, const BoundIds& bound, QWidget* parent) : QFrame(parent), bound_(bound)
{
    setObjectName(QStringLiteral("fraAOCalibration%1").arg(n));
    auto* outer = new QVBoxLayout(this);
    btnCalibrate_ = ToolButton(this, "btnCalibrateAO1", QStringLiteral("Calibrate AO%1").arg(n), true);
    btnCalibrate_->setProperty("HelpContextVESKA", 592);
    outer->addWidget(btnCalibrate_);

    auto* scaling = new QGroupBox(QStringLiteral("Analog Output %1 Calibration").arg(n), this);
    scaling->setObjectName(QStringLiteral("gbScaling"));
    // The calibration and the test side by side, so that a frame takes one row of the page.
    auto* groups = new QHBoxLayout();
    outer->addLayout(groups);
    groups->addWidget(scaling, 0, Qt::AlignTop);
    auto* grid = new QGridLayout(scaling);
    const auto cell = [&](int row, int column) {
        auto* box = new QHBoxLayout();
        grid->addLayout(box, row, column);
        return box;
    };
    auto* lblZero = new QLabel(QStringLiteral("Zero"), scaling);
    auto* lblSpan = new QLabel(QStringLiteral("Span"), scaling);
    auto* labFailSafe = new QLabel(QStringLiteral("Fail-Safe"), scaling);
    grid->addWidget(lblZero, 0, 1);
    grid->addWidget(lblSpan, 0, 2);
    grid->addWidget(labFailSafe, 0, 3);

    // The currents (mA) with their up-downs 4..6.
    edRawZero_ = LabeledEdit(scaling, cell(1, 1), "edRawZero", QStringLiteral("Scaled Value"), bound.zeroMA, dtFloat);
    edRawSpan_ = Edit(scaling, cell(1, 2), "edRawSpan", bound.spanMA, dtFloat);
    edFailSafeCurrent_ = Edit(scaling, cell(1, 3), "edFailSafeCurrent", bound.failSafeMA, dtFloat);
    // The raw counts with their up-downs 1..3.
    edScaledZero_ = LabeledEdit(scaling, cell(2, 1), "edScaledZero", QStringLiteral("Raw Value"), bound.rawZero, dtInt);
    edScaledSpan_ = Edit(scaling, cell(2, 2), "edScaledSpan", bound.rawSpan, dtInt);
    edFailSafePos_ = LabeledEdit(scaling, cell(2, 3), "edFailSafePos", QStringLiteral("edFailSafePos"), bound.failSafePos, dtInt);
    // Their range is checked on every road a typed value takes (Enter, leaving the box, a page
    // write); the value the analyzer holds is exempt, so that a fail-safe of 0 mA read from it
    // never blocks a write that does not send it (RangeCheckFollowsText).
    for (TQEdit* e : {static_cast<TQEdit*>(edRawZero_), edRawSpan_, edFailSafeCurrent_}) {
        e->setRangeLow(3);
        e->setRangeHigh(23);
        e->setRangeEdit(true);
    }
    for (TQEdit* e : {static_cast<TQEdit*>(edScaledZero_), edScaledSpan_, static_cast<TQEdit*>(edFailSafePos_)}) {
        e->setRangeEdit(true);
        e->setRangeLow(0);
        e->setRangeHigh(65535);
        e->setText(QStringLiteral("0"));
        FitToText(e, LongestCount());
    }
    const std::array<TQEdit*, 3> currents = {edRawZero_, edRawSpan_, edFailSafeCurrent_};
    const std::array<TQEdit*, 3> counts = {edScaledZero_, edScaledSpan_, edFailSafePos_};
    // A refusal names each box as the frame's column and row show it.
    for (size_t i = 0; i < 3; ++i) {
        const QString column = QStringLiteral("Analog Output %1 %2").arg(n).arg(QString::fromLatin1(kColumn[i]));
        currents[i]->setAccessibleName(column + QStringLiteral(" Scaled Value"));
        counts[i]->setAccessibleName(column + QStringLiteral(" Raw Value"));
    }
    for (int i = 0; i < 3; ++i) {
        auto* count = new TQUpDown(scaling);
        count->setObjectName(QStringLiteral("QUpDown%1").arg(i + 1));
        count->setRange(-32768, 32767);
        count->SetPosition(0);
        count->setAssociatedControl(counts[static_cast<size_t>(i)]);
        count->setAssociatedControlOffset(32768);
        grid->addWidget(count, 2, 4 + i);
        countUpDowns_[static_cast<size_t>(i)] = count;
        connect(count, &TQUpDown::Click, this, [this, i] { udBitsClickb(i); });

        auto* current = new TQUpDown(scaling);
        current->setObjectName(QStringLiteral("QUpDown%1").arg(i + 4));
        current->setRange(3, 23);
        current->SetPosition(3);
        current->setAssociatedControl(currents[static_cast<size_t>(i)]);
        grid->addWidget(current, 1, 4 + i);
        currentUpDowns_[static_cast<size_t>(i)] = current;
    }
    // The zero current's step only keeps its box and position in step; it writes nothing.
    connect(currentUpDowns_[0], &TQUpDown::Click, this, [this] {
        if (busy_) return;
        busy_ = true;
        FollowUpDown(currentUpDowns_[0], true);
        busy_ = false;
    });

    auto* btnOutputZero = ToolButton(scaling, "btnOutputZero", QStringLiteral("Output Zero"));
    auto* btnOutputSpan = ToolButton(scaling, "btnOutputSpan", QStringLiteral("Output Span"));
    auto* btnOutputFailSafe = ToolButton(scaling, "btnOutputFailSafe", QStringLiteral("Fail-Safe"));
    grid->addWidget(btnOutputZero, 3, 1);
    grid->addWidget(btnOutputSpan, 3, 2);
    grid->addWidget(btnOutputFailSafe, 3, 3);
    meter_[0] = LabeledEdit(scaling, cell(4, 1), "labMeterReadingZero", QStringLiteral("Meter Reading "), 0, dtFloat);
    meter_[1] = Edit(scaling, cell(4, 2), "edMeterReadingSpan", 0, dtFloat);
    meter_[2] = Edit(scaling, cell(4, 3), "edMeterReadingFS", 0, dtFloat);
    std::array<QToolButton*, 3> autoCal{};
    const char* const autoNames[3] = {"btnAutoCalZero", "btnAutoCalSpan", "btnAutoCalFS"};
    for (int i = 0; i < 3; ++i) {
        autoCal[static_cast<size_t>(i)] = ToolButton(scaling, autoNames[i], QStringLiteral("Auto. Cal."));
        grid->addWidget(autoCal[static_cast<size_t>(i)], 5, 1 + i);
    }
    auto* btnCapture = ToolButton(scaling, "btnCaptureCalibration", QStringLiteral("Capture"));
    grid->addWidget(btnCapture, 6, 1);

    auto* test = new QGroupBox(QStringLiteral("Analog Output Test"), this);
    test->setObjectName(QStringLiteral("QGroupBox1"));
    groups->addWidget(test, 0, Qt::AlignTop);
    auto* testRow = new QHBoxLayout(test);
    auto* btnOutputTest = ToolButton(test, "btnOutputTest", QStringLiteral("Output Test"));
    testRow->addWidget(btnOutputTest);
    ledCalTestPercent_ = LabeledEdit(test, testRow, "ledCalTestPercent", QStringLiteral("Test (Percent)"), 0, dtInt);
    ledCalTestPercent_->setToolTip(QStringLiteral("Test value as a percent of full scale"));
    ledCalTestPercent_->setRangeLow(0);
    ledCalTestPercent_->setRangeHigh(100);
    ledCalTestPercent_->setText(QStringLiteral("0"));
    udTest_ = new TQUpDown(test);
    udTest_->setObjectName(QStringLiteral("udTest"));
    udTest_->setRange(0, 100);
    udTest_->SetPosition(0);
    udTest_->setAssociatedControl(ledCalTestPercent_);
    testRow->addWidget(udTest_);
    connect(udTest_, &TQUpDown::Click, this, [this] { udTestClick(); });
    ledTestRaw_ = LabeledEdit(test, testRow, "ledTestRaw", QStringLiteral("Test mA"), 0, dtFloat);
    ledTestRaw_->setReadOnly(true);

    usable_ = {btnOutputZero, btnOutputSpan, edRawZero_, edRawSpan_, edFailSafeCurrent_, edScaledZero_, edScaledSpan_,
               edFailSafePos_, lblZero, lblSpan, btnOutputFailSafe, btnCapture, ledCalTestPercent_, btnOutputTest,
               ledTestRaw_, labFailSafe, meter_[0], meter_[1], meter_[2], autoCal[0], autoCal[1], autoCal[2]};
    colouredEdits_ = {edRawZero_, edRawSpan_, edFailSafeCurrent_, edScaledZero_, edScaledSpan_, edFailSafePos_,
                      ledCalTestPercent_, meter_[0], meter_[1], meter_[2]};
    btnCalibrateAO1Click();

    connect(btnCalibrate_, &QToolButton::clicked, this, [this] { btnCalibrateAO1Click(); });
    connect(btnOutputZero, &QToolButton::clicked, this, [this] { btnOutputZeroClick(); });
    connect(btnOutputSpan, &QToolButton::clicked, this, [this] { btnOutputSpanClick(); });
    connect(btnOutputFailSafe, &QToolButton::clicked, this, [this] { btnOutputFailSafeClick(); });
    for (int i = 0; i < 3; ++i)
        connect(autoCal[static_cast<size_t>(i)], &QToolButton::clicked, this, [this, i] { AutoCal(i); });
    connect(btnCapture, &QToolButton::clicked, this, [this] { btnCaptureCalibrationClick(); });
    connect(btnOutputTest, &QToolButton::clicked, this, [this] { btnOutputTestClick(); });

    // Enter in a bound box writes its text to its point; Enter in a meter reading writes the
    // target current of the same column. Enter in the test percentage writes nothing.
    for (int i = 0; i < 3; ++i) {
        TQEdit* count = counts[static_cast<size_t>(i)];
        TQEdit* current = currents[static_cast<size_t>(i)];
        connect(count, &QLineEdit::returnPressed, this, [count] { WritePoint(count->DbId(), count->text()); });
        for (TQEdit* source : {current, meter_[static_cast<size_t>(i)]})
            connect(source, &QLineEdit::returnPressed, this, [this, current, i] {
                double mA = 0;
                if (!CurrentUsable(i, mA)) {
                    Refuse(CurrentRefusal("current", current->text()));
                    return;
                }
                WritePoint(current->DbId(), current->text());
            });
        // An arriving current moves its up-down; the box shows the value.
        TQUpDown* upDown = currentUpDowns_[static_cast<size_t>(i)];
        connect(current, &TQEdit::OnDBPointValueChanged, this, [this, upDown, i](const QString& v, bool&) {
            held_[static_cast<size_t>(i)] = v;
            RangeCheckFollowsText(i);
            double mA = 0;
            if (TQComponentCommon::StrToFloat(v, mA) && std::isfinite(mA) && std::fabs(mA) < 1e9)
                upDown->SetPosition(static_cast<int>(std::trunc(mA)));
        });
        connect(current, &QLineEdit::textChanged, this, [this, i] { RangeCheckFollowsText(i); });
    }
}

void TfraAOCalibration::WritePoint(TDbId id, const char* text) { TPageFrame::WriteSinglePoint(id, text); }
void TfraAOCalibration::WritePoint(TDbId id, const QString& text) { TPageFrame::WriteSinglePoint(id, text.trimmed().toStdString()); }

TQEdit* TfraAOCalibration::CountEdit(int which) const
{
    const std::array<TQEdit*, 3> counts = {edScaledZero_, edScaledSpan_, edFailSafePos_};
    return counts.at(static_cast<size_t>(which));
}

TQEdit* TfraAOCalibration::CurrentEdit(int which) const
{
    const std::array<TQEdit*, 3> currents = {edRawZero_, edRawSpan_, edFailSafeCurrent_};
    return currents.at(static_cast<size_t>(which));
}

bool TfraAOCalibration::ShowsHeldValue(int which) const
{
    double shown = 0, held = 0;
    const QString& arrived = held_.at(static_cast<size_t>(which));
    return !arrived.isEmpty() && TQComponentCommon::StrToFloat(CurrentEdit(which)->text(), shown) &&
           std::isfinite(shown) && TQComponentCommon::StrToFloat(arrived, held) && held == shown;
}

bool TfraAOCalibration::CurrentUsable(int which, double& mA) const
{
    if (CurrentValue(CurrentEdit(which)->text(), mA)) return true;
    return ShowsHeldValue(which) && TQComponentCommon::StrToFloat(CurrentEdit(which)->text(), mA);
}

void TfraAOCalibration::RangeCheckFollowsText(int which)
{
    CurrentEdit(which)->setRangeEdit(!ShowsHeldValue(which));
}

void TfraAOCalibration::btnCalibrateAO1Click()
{
    const bool down = btnCalibrate_->isChecked();
    for (QWidget* w : usable_) w->setEnabled(down);
    for (TQEdit* e : colouredEdits_) e->SetColor(down ? clWindow() : clScrollBar());
}

void TfraAOCalibration::Drive(int which)
{
    long long count = 0;
    const QString text = CountEdit(which)->text();
    if (!CountValue(text, count)) {
        Refuse(CountRefusal(kColumn[which], text));
        return;
    }
    WritePoint(cmd_.factoryBypass, "False");
    WritePoint(cmd_.rawBypass, "True");
    testActive_ = false;
    rawActive_ = true;
    WritePoint(cmd_.rawOutput, QString::number(count));
}

void TfraAOCalibration::udBitsClickb(int which)
{
    if (busy_) return;
    busy_ = true;
    TQUpDown* upDown = countUpDowns_.at(static_cast<size_t>(which));
    long long count = 0;
    if (!FollowUpDown(upDown, false) || !CountValue(upDown->AssociatedControl()->text(), count)) {
        Refuse(CountRefusal(kColumn[which], upDown->AssociatedControl()->text()));
        busy_ = false;
        return;
    }
    if (!rawActive_) {
        WritePoint(cmd_.rawBypass, "True");
        rawActive_ = true;
    }
    if (testActive_) {
        WritePoint(cmd_.factoryBypass, "False");
        testActive_ = false;
    }
    WritePoint(cmd_.rawOutput, QString::number(count));
    busy_ = false;
}

void TfraAOCalibration::AutoCal(int which)
{
    TQEdit* target = CurrentEdit(which);
    TQEdit* meter = meter_.at(static_cast<size_t>(which));
    TQEdit* countEdit = CountEdit(which);
    double targetMA = 0, meterMA = 0;
    long long count = 0;
    if (!CurrentUsable(which, targetMA)) {
        Refuse(CurrentRefusal("target current", target->text()));
        return;
    }
    if (!MeterValue(meter->text(), meterMA)) {
        Refuse(QStringLiteral("The meter reading \"%1\" is not a number.").arg(meter->text()));
        return;
    }
    if (meterMA == 0) {
        platform::MessageDlg(QStringLiteral("Please input Meter Reading.\n"
                                            "And make sure the Meter Reading field not zero.\n"
                                            "This gives user a automatic calibration.\n"),
                             platform::DlgType::Warning, platform::mbOK);
        return;
    }
    if (!CountValue(countEdit->text(), count)) {
        Refuse(CountRefusal(kColumn[which], countEdit->text()));
        return;
    }
    const long double computed = static_cast<long double>(targetMA) / meterMA * static_cast<long double>(count);
    const long double whole = std::trunc(computed);
    if (!(whole >= 0 && whole <= 65535)) {
        Refuse(QStringLiteral("The computed %1 count %2 is outside 0 to 65535; check the meter reading.")
                   .arg(QString::fromLatin1(kColumn[which]), QString::number(static_cast<double>(whole), 'f', 0)));
        return;
    }
    countEdit->setText(QString::number(static_cast<long long>(whole)));
    Drive(which);
}

void TfraAOCalibration::btnCaptureCalibrationClick()
{
    double mA = 0;
    const char* const kWhat[3] = {"zero current", "span current", "fail-safe current"};
    for (int i = 0; i < 3; ++i)
        if (!CurrentUsable(i, mA)) {
            Refuse(CurrentRefusal(kWhat[i], CurrentEdit(i)->text()));
            return;
        }
    std::array<long long, 3> count{};
    for (int i = 0; i < 3; ++i)
        if (!CountValue(CountEdit(i)->text(), count[static_cast<size_t>(i)])) {
            Refuse(CountRefusal(kColumn[i], CountEdit(i)->text()));
            return;
        }
    WritePoint(cmd_.factoryBypass, "False");
    WritePoint(cmd_.rawBypass, "False");
    rawActive_ = false;
    testActive_ = false;
    for (TQEdit* e : {static_cast<TQEdit*>(edRawZero_), edRawSpan_, static_cast<TQEdit*>(edScaledZero_), edScaledSpan_,
                      edFailSafeCurrent_, static_cast<TQEdit*>(edFailSafePos_)})
        WritePoint(e->DbId(), e->text());
    WritePoint(cmd_.scalingFactor, QString::number(count[1] - count[0]));
    WritePoint(cmd_.zeroOffset, QString::number(count[0]));
}

void TfraAOCalibration::btnOutputTestClick()
{
    TestValues values;
    if (!CheckTestValues(values)) return;
    WritePoint(cmd_.rawBypass, "False");
    WritePoint(cmd_.factoryBypass, "True");
    rawActive_ = false;
    testActive_ = true;
    UpdateTestRaw(values);
}

void TfraAOCalibration::udTestClick()
{
    TestValues values;
    if (!CheckTestValues(values)) return;
    if (rawActive_) {
        WritePoint(cmd_.rawBypass, "False");
        rawActive_ = false;
    }
    if (!testActive_) {
        WritePoint(cmd_.factoryBypass, "True");
        testActive_ = true;
    }
    UpdateTestRaw(values);
}

bool TfraAOCalibration::CheckTestValues(TestValues& v) const
{
    long long percent = 0;
    double& z = v.zero;
    double& s = v.span;
    const QString text = ledCalTestPercent_->text();
    if (!TQComponentCommon::StrToInt64(text, percent) || percent < 0 || percent > 100) {
        Refuse(QStringLiteral("The test percentage \"%1\" is not a whole number from 0 to 100.").arg(text));
        return false;
    }
    if (!CurrentUsable(0, z)) {
        Refuse(CurrentRefusal("zero current", edRawZero_->text()));
        return false;
    }
    if (!CurrentUsable(1, s)) {
        Refuse(CurrentRefusal("span current", edRawSpan_->text()));
        return false;
    }
    v.fraction = static_cast<double>(static_cast<long double>(percent) * 0.01L);
    return true;
}

void TfraAOCalibration::UpdateTestRaw(const TestValues& v)
{
    WritePoint(cmd_.scaledOutput, numtext::FloatToStr(v.fraction).c_str());
    ledTestRaw_->setText(QString::fromStdString(numtext::FloatToStr(v.zero + (v.span - v.zero) * v.fraction)));
}
