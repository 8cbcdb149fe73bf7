#include "tevrin/pages/config/fra_analyzer_global.h"

#include "brannix/qcheckbox.h"
#include "brannix/qcombobox.h"
#include "brannix/qedit.h"
#include "brannix/qlabel.h"
#include "brannix/qlabelededit.h"
#include "platform/data_folder.h"
#include "platform/numtext.h"
#include "platform/prompter.h"
#include "tevrin/pages/display_places_file.h"
#include "tevrin/pages/page_host.h"
#include "tevrin/pages/widgets/bound_controls.h"
#include "tevrin/pages/widgets/gain_calculator.h"
#include "ui_fra_analyzer_global.h"

#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QRadioButton>
#include <QToolButton>

using namespace tapeconv;

namespace {

// One global alarm as the page lays it out.
struct AlarmDef {
    const char* enableName;
    const char* caption;
    TDbId enableId;
    const char* limitName;   // nullptr: the alarm has no limit
    TDbId limitId;
    TDataType limitType;
    TDbId actionsId;
    const char* relayPrefix;      // relay box k is relayPrefix + k
    const char* solenoidPrefix;   // solenoid box k is solenoidPrefix + k
    bool hidden;                  // laid out, never shown, bound to nothing
};

const AlarmDef kAlarms[] = {
    {"ckAlarmBatt", "RTC Battery", 11, nullptr, 0, dtFloat, 13, "ckAlmBattR", "ckAlmBattS", false},
    {"ckAlarmSensorTemp", "HighTemp. (Degree C)", 14, "edAlarmSensorTempLimit", 15, dtFloat, 16, "ckAlmSensorTempR",
     "ckAlmSensorTempS", false},
    {"ckAlarmSensorCurrent", "Sensor LED Current (mA)", 17, "edAlarmSensorCurrentLimit", 18, dtPosFloat, 19,
     "ckAlmSensorCurrR", "ckAlmSensorCurrS", false},
    {"chkMaxTapAdv", "Max Tape Adv. (s)", 113, "MaxTapAdvLimit", 157, dtFloat, 180, "ckMaxTapAdvR", "ckMaxTapAdvS", false},
    {"SensorComm", "Sensor Comm.", 461, nullptr, 0, dtFloat, 462, "ckSenComR", "ckSenComS", false},
    {"LowTape", "Low Tape", 511, nullptr, 0, dtFloat, 512, "ckLowTapR", "ckLowTapS", true},
    {"TapeLength", "Tape Length Remaining", 513, "TapeLengthAlarm", 514, dtFloat, 515, "ckTapLenR", "ckTapLenS", false},
    {"Pluse", "Tape Movement", 142, nullptr, 0, dtFloat, 147, "ckTapMovR", "ckTapMovS", false},
    {"LowTemp", "Low Temp. (Degree C)", 3, "LowTempLimit", 302, dtFloat, 303, "LowTempAction", "LowTempS", false},
    {"SensorCal", "Sensor Calibration", 537, nullptr, 0, dtFloat, 538, "SensorCalR", "SensorCalS", false},
    {"chkBypassAlarm", "Bypasss", 603, nullptr, 0, dtFloat, 604, "chkBypassR", "chkBypassS", false},
    {"chkACPower", "AC Power", 1439, nullptr, 0, dtFloat, 1440, "chkACPowerR", "chkACPowerS", false},
    {"chkDCPower", "DC Power", 1441, nullptr, 0, dtFloat, 1442, "chkDCPowerR", "chkDCPowerS", false},
};

// The automatic temperature calibration triggers: reading k of stream n is bit 6 (n - 1) + k.
struct TriggerDef {
    const char* prefix;
    const char* reading;
};
const TriggerDef kTriggers[] = {
    {"chkAutoTempCalTriggerNR", "H2S"},   {"chkAutoTempCalTriggerTS", "TS"},   {"chkAutoTempCalTriggerREF", "Ref1"},
    {"chkAutoTempCalTriggerREF2", "Ref2"}, {"chkAutoTempCalTriggerZR", "Zero"}, {"chkAutoTempCalTriggerCAL", "Cal"},
};
constexpr TDbId kTriggersId = 1435;
constexpr TDbId kTapeRemainingId = 520;

TQCheckBox* MakeBox(QWidget* parent, const QString& name, const QString& caption, TDbId id, int bit, bool bound)
{
    auto* box = new TQCheckBox(parent);
    box->setObjectName(name);
    box->setText(caption);
    box->setDbId(id);
    box->setTrueValue(QStringLiteral("True"));
    if (bit >= 0) box->setWatchBitNumber(static_cast<TBitNum>(bnBit0 + bit));
    box->setUseDatabase(bound);
    return box;
}

// A number as the value handlers read arriving texts: text that is no number counts as 0.
double Lenient(const QString& text) { return numtext::AtoF(text.toStdString()); }

}  // namespace

TfraAnalyzerGlobal::TfraAnalyzerGlobal(QWidget* owner)
    : TPageFrame(owner, 2, 0, 1), ui_(std::make_unique<Ui::TfraAnalyzerGlobal>())
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("fraAnalyzerGlobal"));
    BuildAlarms();
    BuildTriggers();
    ConnectHandlers();
    WatchStreamCount(ui_->Streams, StreamCaptionRule::Streams);
}

TfraAnalyzerGlobal::~TfraAnalyzerGlobal() = default;

QComboBox* TfraAnalyzerGlobal::cbDispPlace() const { return ui_->cbDispPlace; }

void TfraAnalyzerGlobal::BuildAlarms()
{
    auto* grid = ui_->layGlobalAlarms;
    int row = 1;
    for (const AlarmDef& def : kAlarms) {
        AlarmRow alarm;
        alarm.enable = MakeBox(ui_->grpGlobalAlarms, QString::fromLatin1(def.enableName),
                               QString::fromLatin1(def.caption), def.enableId, -1, !def.hidden);
        grid->addWidget(alarm.enable, row, 0);
        if (def.limitName) {
            alarm.limit = new TQEdit(ui_->grpGlobalAlarms);
            alarm.limit->setObjectName(QString::fromLatin1(def.limitName));
            alarm.limit->setDbId(def.limitId);
            alarm.limit->setDataType(def.limitType);
            alarm.limit->setUseDatabase(true);
            alarm.limit->setAccessibleName(QString::fromLatin1(def.caption));   // the alarm it limits
            pagecontrols::FitToText(alarm.limit, pagecontrols::LongestFloat());
            grid->addWidget(alarm.limit, row, 1);
        }
        auto* actions = new QWidget(ui_->grpGlobalAlarms);
        actions->setObjectName(QString::fromLatin1(def.enableName) + QStringLiteral("Actions"));
        auto* line = new QHBoxLayout(actions);
        line->setContentsMargins(0, 0, 0, 0);
        for (int k = 1; k <= 6; ++k)
            alarm.actions.push_back(MakeBox(actions, QString::fromLatin1(def.relayPrefix) + QString::number(k),
                                            QString::number(k), def.actionsId, k - 1, !def.hidden));
        for (int k = 1; k <= 8; ++k)
            alarm.actions.push_back(MakeBox(actions, QString::fromLatin1(def.solenoidPrefix) + QString::number(k),
                                            QString::number(k), def.actionsId, k + 7, !def.hidden));
        for (TQCheckBox* box : alarm.actions) line->addWidget(box);
        grid->addWidget(actions, row, 2);
        if (def.hidden) {
            alarm.enable->setVisible(false);
            alarm.enable->setEnabled(false);
            actions->setVisible(false);
        }
        alarms_.push_back(std::move(alarm));
        ++row;
    }
}

void TfraAnalyzerGlobal::BuildTriggers()
{
    auto* grid = ui_->layAutoTempCalTriggers;
    for (int stream = 1; stream <= 4; ++stream)
        for (int k = 0; k < 6; ++k) {
            auto* box = new TQCheckBox32(ui_->pnlAutoTempCalTriggers);
            box->setObjectName(QString::fromLatin1(kTriggers[k].prefix) + QString::number(stream));
            box->setText(QStringLiteral("Stream %1 %2 Reading").arg(stream).arg(QString::fromLatin1(kTriggers[k].reading)));
            box->setDbId(kTriggersId);
            box->setTrueValue(QStringLiteral("True"));
            box->setWatchBitNumber(static_cast<TBitNum>(bnBit0 + 6 * (stream - 1) + k));
            box->setUseDatabase(true);
            grid->addWidget(box, k, stream - 1);
            triggers_.push_back(box);
        }
}

void TfraAnalyzerGlobal::ConnectHandlers()
{
    // Alarm enables write at once while the page is current; arriving values set the action
    // boxes' enabled state from the value that arrived.
    for (size_t i = 0; i < alarms_.size(); ++i) {
        AlarmRow& alarm = alarms_[i];
        if (kAlarms[i].hidden) continue;
        TQCheckBox* enable = alarm.enable;
        connect(enable, &QCheckBox::clicked, this, [this, enable](bool checked) {
            if (!IsCurrentPage()) return;
            WriteSinglePoint(enable->DbId(), checked ? "True" : "False");
        });
        connect(enable, &TQCheckBox::OnDBPointValueChanged, this, [this, i](const QString& value, bool&) {
            const bool enabled = value == alarms_[i].enable->TrueValue();
            for (TQCheckBox* box : alarms_[i].actions) box->setEnabled(!enabled);
        });
        for (TQCheckBox* box : alarm.actions)
            connect(box, &QCheckBox::clicked, this, [this, box](bool checked) {
                if (!CanWrite()) return;
                WriteBit(box->DbId(), Brannix::BitIndex(box->WatchBitNumber()), checked);
            });
    }

    // Versions: at least eight upper-case hexadecimal digits.
    for (TQLabeledEdit* version : {ui_->FirmwareVersion, ui_->RosettaVer, ui_->SensorMVer})
        connect(version, &TQEdit::OnDBPointValueChanged, this, [version](const QString& value, bool& DoDefault) {
            bool ok = false;
            const qlonglong n = value.trimmed().toLongLong(&ok);
            if (!ok) return;
            version->setText(QStringLiteral("%1").arg(static_cast<quint32>(n), 8, 16, QLatin1Char('0')).toUpper());
            DoDefault = false;
        });

    // The bypass timeout point holds milliseconds; the edit shows seconds.
    connect(ui_->edtBypassTimeoutActions, &TQEdit::OnDBPointValueChanged, this, [this](const QString& value, bool& DoDefault) {
        if (value.isEmpty()) return;
        const float seconds = static_cast<float>(Lenient(value) * 0.001);
        ui_->edtBypassTimeoutActions->setText(GeneralFloatText(seconds));
        DoDefault = false;
    });

    // Every change of the text is clamped, also a value read from the analyzer; values below 1
    // are left to the control's own range check when the page is written.
    connect(ui_->TrendFilterLength, &QLineEdit::textChanged, this, [this](const QString& text) {
        double v = 0;
        if (!ParseNumber(text, v)) v = 0;
        if (v > 10) ui_->TrendFilterLength->setText(QStringLiteral("10"));
    });

    connect(ui_->cbDispPlace, &QComboBox::activated, this, &TfraAnalyzerGlobal::cbDispPlaceSelect);

    // Tape.
    connect(ui_->btnSWPAccept, &QPushButton::clicked, this, &TfraAnalyzerGlobal::btnSWPAcceptClick);
    connect(ui_->btnAccept2, &QPushButton::clicked, this, &TfraAnalyzerGlobal::btnSWPAcceptClick);
    connect(ui_->rdMetric, &QRadioButton::clicked, this, &TfraAnalyzerGlobal::rdMetricClick);
    connect(ui_->rdImperial, &QRadioButton::clicked, this, &TfraAnalyzerGlobal::rdImperialClick);
    connect(ui_->btnTapeLengthReset, &QPushButton::clicked, this, &TfraAnalyzerGlobal::btnTapeLengthResetClick);
    connect(ui_->AdvanceLength, &TQEdit::OnDBPointValueChanged, this, [this](const QString& value, bool&) {
        if (ui_->AdvancePulses->text().isEmpty()) return;
        const double perPulse = Lenient(value);
        ui_->StainWidth->setText(GeneralFloatText(perPulse * Lenient(ui_->AdvancePulses->text())));
        ui_->CapstanDiameter->setEditLabelCaption(DiameterCaption(imperial_));
        ui_->CapstanDiameter->setText(DiameterText(perPulse, imperial_));
    });
    connect(ui_->AdvancePulses, &TQEdit::OnDBPointValueChanged, this, [this](const QString& value, bool&) {
        if (ui_->AdvanceLength->text().isEmpty()) return;
        ui_->StainWidth->setText(GeneralFloatText(Lenient(value) * Lenient(ui_->AdvanceLength->text())));
    });
    connect(ui_->edtTapeMeasurementUnits, &TQEdit::OnDBPointValueChanged, this, [this](const QString& value, bool&) {
        const bool imperial = numtext::AtoL(value.toStdString()) == 0;
        const bool changed = imperial != imperial_;
        imperial_ = imperial;
        ui_->rdImperial->setChecked(imperial);
        ui_->rdMetric->setChecked(!imperial);
        ShowUnitCaptions(imperial);
        // The diameter shown stands for the analyzer's own stain width per pulse: in the
        // analyzer's unit it is shown again from that value (nothing is converted or written).
        if (changed && !ui_->AdvanceLength->text().isEmpty())
            ui_->CapstanDiameter->setText(DiameterText(Lenient(ui_->AdvanceLength->text()), imperial));
    });

    // Hidden groups.
    for (TQLabeledEdit* input : {ui_->edtCalGas, ui_->edtAnaReading, ui_->edtCurrGainFactor})
        connect(input, &QLineEdit::textEdited, this, [this] { ManualCalGainCal(); });
    connect(ui_->btnTest, &QToolButton::toggled, this, &TfraAnalyzerGlobal::btnTestClick);
    // The furnace conversions run on the key itself, before the box's own range check: a
    // pulse width above the limit still shows its temperature and the warning.
    ui_->edFurancePulseWidth->installEventFilter(this);
    ui_->FCT->installEventFilter(this);
    connect(ui_->edFurancePulseWidth, &TQEdit::OnDBPointValueChanged, this, [this](const QString& value, bool&) {
        if (value.isEmpty()) return;
        ui_->FCT->setText(QString::number(FurnaceCoreTemperature(Lenient(value), ui_->rb110->isChecked())));
    });
}

std::vector<int> TfraAnalyzerGlobal::FixedPointsBefore() const
{
    return {0,   1,   2,   10,  19,  14,  11,  18,  15,  16,  13,   277,  284,  113,  157,  461,  488,
            508, 507, 500, 328, 514, 513, 34,  67,  142, 516, 517,  520,  3,    302,  303,  537,  85,
            603, 20,  180, 462, 515, 147, 538, 604, 17,  1439, 1440, 1441, 1442, 1433, 1434, 1435};
}

void TfraAnalyzerGlobal::EnterPage()
{
    TPageFrame::EnterPage();
    ui_->cbDispPlace->setCurrentIndex(0);
    if (!QFile::exists(platform::UserDataFile(QStringLiteral("dispPlace.cfg")))) return;
    // A file that holds no number of places selects nothing.
    ui_->cbDispPlace->setCurrentIndex(ReadDisplayPlaces());
}

void TfraAnalyzerGlobal::cbDispPlaceSelect(int index)
{
    if (index < 0) return;
    QString why;
    if (WriteDisplayPlaces(index, &why)) return;
    if (IPageHost* host = PageHost())
        host->SetStatusText(QStringLiteral("The decimal places could not be saved to \"dispPlace.cfg\": %1").arg(why));
}

void TfraAnalyzerGlobal::ShowUnitCaptions(bool imperial)
{
    ui_->CapstanDiameter->setEditLabelCaption(DiameterCaption(imperial));
    alarms_[6].enable->setText(TapeLengthCaption(imperial));
}

void TfraAnalyzerGlobal::btnSWPAcceptClick()
{
    const QString text = ui_->CapstanDiameter->text();
    if (text.isEmpty()) return;
    double diameter = 0;
    if (!ParseNumber(text, diameter)) return ShowNotAFloat(text);
    const float perPulse = PerPulseAdvance(diameter, imperial_);
    alarms_[6].enable->setText(TapeLengthCaption(imperial_));
    ui_->AdvanceLength->setText(GeneralFloatText(perPulse));
    ShowStainWidth();
}

void TfraAnalyzerGlobal::ShowStainWidth()
{
    const QString length = ui_->AdvanceLength->text();
    const QString pulses = ui_->AdvancePulses->text();
    if (length.isEmpty() || pulses.isEmpty()) return;
    double perPulse = 0, count = 0;
    if (!ParseNumber(length, perPulse)) return ShowNotAFloat(length);
    if (!ParseNumber(pulses, count)) return ShowNotAFloat(pulses);
    ui_->StainWidth->setText(GeneralFloatText(perPulse * count));
}

void TfraAnalyzerGlobal::rdMetricClick()
{
    if (!imperial_) return;
    SwitchUnits(true);
}

void TfraAnalyzerGlobal::rdImperialClick()
{
    if (imperial_) return;
    SwitchUnits(false);
}

void TfraAnalyzerGlobal::SwitchUnits(bool toMetric)
{
    imperial_ = !toMetric;
    ui_->rdMetric->setChecked(toMetric);
    ui_->rdImperial->setChecked(!toMetric);
    ui_->edtTapeMeasurementUnits->setText(toMetric ? QStringLiteral("1") : QStringLiteral("0"));
    ui_->CapstanDiameter->setEditLabelCaption(DiameterCaption(imperial_));
    const QString diameter = ui_->CapstanDiameter->text();
    if (!diameter.isEmpty()) {
        QString converted;
        if (!diameter_.Switch(diameter, toMetric, converted)) return ShowNotAFloat(diameter);
        ui_->CapstanDiameter->setText(converted);
    }
    btnSWPAcceptClick();
    TQEdit* limit = alarms_[6].limit;
    const QString length = limit->text();
    if (!length.isEmpty()) {
        QString converted;
        if (!tapeAlarm_.Switch(length, toMetric, converted)) return ShowNotAFloat(length);
        limit->setText(converted);
    }
}

void TfraAnalyzerGlobal::btnTapeLengthResetClick()
{
    IPageHost* host = PageHost();
    if (!host || !host->LoggedOn()) return;
    const QString text = ui_->edtTapeLengthReset->text();
    if (text.isEmpty()) return;
    WriteSinglePoint(kTapeRemainingId, text.toStdString());
}

void TfraAnalyzerGlobal::ManualCalGainCal()
{
    QString result, bad;
    if (!gaincalc::NewGainFactorText(ui_->edtCalGas->text(), ui_->edtAnaReading->text(), ui_->edtCurrGainFactor->text(),
                                     result, bad))
        return ShowNotAFloat(bad);
    ui_->edtNewGainFactor->setText(result);
}

void TfraAnalyzerGlobal::btnTestClick(bool down)
{
    for (size_t i = 0; i < alarms_.size(); ++i) {
        if (kAlarms[i].hidden) continue;
        alarms_[i].enable->setChecked(down);
        for (TQCheckBox* box : alarms_[i].actions) box->setChecked(down);
    }
    ui_->chkAutoTempCalEnable->setChecked(down);
    for (TQCheckBoxBase* box : triggers_) box->setChecked(down);
}

bool TfraAnalyzerGlobal::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == ui_->edFurancePulseWidth) FurnaceEnter();
            else if (watched == ui_->FCT) FctEnter();
        }
    }
    return TPageFrame::eventFilter(watched, event);
}

void TfraAnalyzerGlobal::FurnaceEnter()
{
    const QString text = ui_->edFurancePulseWidth->text();
    if (text.isEmpty()) return;
    double width = 0;
    if (!ParseNumber(text, width)) return ShowNotAFloat(text);
    const bool supply110 = ui_->rb110->isChecked();
    ui_->FCT->setText(QString::number(FurnaceCoreTemperature(width, supply110)));
    const int limit = FurnacePulseWidthLimit(supply110);
    if (width > limit)
        platform::MessageDlg(QStringLiteral("The valid input range should be between 0 and %1.\n").arg(limit) +
                                 QStringLiteral("For more information, please contact Torquine."),
                             platform::DlgType::Warning, platform::mbOK);
}

void TfraAnalyzerGlobal::FctEnter()
{
    const QString text = ui_->FCT->text();
    if (text.isEmpty()) return;
    double t = 0;
    if (!ParseNumber(text, t)) return ShowNotAFloat(text);
    ui_->edFurancePulseWidth->setText(GeneralFloatText(FurnacePulseWidth(t)));
}
