#include "tevrin/pages/config/fra_ana_set_defn.h"

#include "brannix/qcheckbox.h"
#include "brannix/qcombobox.h"
#include "brannix/qlabelededit.h"
#include "platform/messages.h"
#include "tevrin/pages/config/fra_stream.h"
#include "tevrin/pages/widgets/ao_source_combo.h"
#include "tevrin/pages/widgets/bound_controls.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace streamsets;

namespace {

// Binds a control to its point. A control that the set never shows binds nothing: a hidden
// copy of a point shown elsewhere would otherwise hand its stale text back at every write.
template <class W>
W* Bind(W* w, const char* name, TDbId id, bool shown)
{
    w->setObjectName(QString::fromLatin1(name));
    w->setDbId(id);
    w->setUseDatabase(id != 0 && shown);
    if (!shown) w->setVisible(false);
    return w;
}

TQLabeledEdit* Edit(QWidget* parent, QBoxLayout* box, const char* name, const char* caption, TDbId id, TDataType type,
                    bool shown = true)
{
    auto* edit = Bind(new TQLabeledEdit(parent), name, id, shown);
    edit->setDataType(type);
    if (box) box->addWidget(edit);
    edit->setEditLabelCaption(QString::fromLatin1(caption));
    return edit;
}

TQCheckBox* CheckBox(QWidget* parent, const char* name, const char* caption, TDbId id, bool shown = true)
{
    auto* box = Bind(new TQCheckBox(parent), name, id, shown);
    box->setText(QString::fromLatin1(caption));
    box->setTrueValue(QStringLiteral("True"));
    return box;
}

void Range(TQEdit* edit, float low, float high)
{
    edit->setRangeEdit(true);
    edit->setRangeLow(low);
    edit->setRangeHigh(high);
}

}  // namespace

TfraAnaSetDefn::TfraAnaSetDefn(QWidget* parent, int stream, int kind, int tabIndex)
    : QFrame(parent), stream_(stream), kind_(kind), tabIndex_(tabIndex), ids_(SetOf(stream, tabIndex))
{
    setObjectName(QStringLiteral("fraAnaSetDefn%1").arg(kind));
    const bool h2s = kind == 1;
    const SetIds& id = ids_;
    // Two columns of settings above the alarms, which take the set's whole width: side by
    // side the three would not fit the window's designed width.
    auto* page = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    page->addLayout(columns);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);

    ledName = Edit(this, left, "ledName", "Name", id[Name], dtText);
    ledName->setMaxLength(kind == 5 ? 7 : 6);
    ledConsecRuns = Edit(this, left, "ledConsecRuns", "Consecutive Runs", id[ConsecRuns], dtPosInt);

    // Analog output overrides.
    auto* ao = new QGroupBox(QStringLiteral("Analog Output Override"), this);
    ao->setObjectName(QStringLiteral("grpAnalogOutputOverride"));
    auto* aoGrid = new QGridLayout(ao);
    ckAOMgr1Enable = CheckBox(ao, "ckAOMgr1Enable", "1", id[AO1Enable]);
    ckAOMgr2Enable = CheckBox(ao, "ckAOMgr2Enable", "2", id[AO2Enable]);
    cbAOMgr1Function = Bind(new TAOSourceCombo(ao), "cbAOMgr1Function", id[AO1Function], true);
    cbAOMgr2Function = Bind(new TAOSourceCombo(ao), "cbAOMgr2Function", id[AO2Function], true);
    cbAOMgr1Channel = Bind(new TQComboBox(ao), "cbAOMgr1Channel", id[AO1Channel], true);
    cbAOMgr2Channel = Bind(new TQComboBox(ao), "cbAOMgr2Channel", id[AO2Channel], true);
    for (TQComboBox* channel : {cbAOMgr1Channel, cbAOMgr2Channel})
        for (int n = 1; n <= 6; ++n) channel->addItem(QStringLiteral("Analog Output #%1").arg(n));
    aoGrid->addWidget(ckAOMgr1Enable, 0, 0);
    aoGrid->addWidget(cbAOMgr1Function, 0, 1);
    aoGrid->addWidget(cbAOMgr1Channel, 0, 2);
    aoGrid->addWidget(ckAOMgr2Enable, 1, 0);
    aoGrid->addWidget(cbAOMgr2Function, 1, 1);
    aoGrid->addWidget(cbAOMgr2Channel, 1, 2);
    left->addWidget(ao);
    // A choice of the user is the point's edited value at once; the next write carries it.
    connect(cbAOMgr1Function, &QComboBox::activated, cbAOMgr1Function, &TAOSourceCombo::StoreChoice);
    connect(cbAOMgr2Function, &QComboBox::activated, cbAOMgr2Function, &TAOSourceCombo::StoreChoice);

    auto* switchingGroup = new QGroupBox(QStringLiteral("Switching"), this);
    switchingGroup->setObjectName(QStringLiteral("grpSwitching"));
    auto* switchingLine = new QHBoxLayout(switchingGroup);
    switching = BitRow(switchingGroup, QStringLiteral("ckSwitching"), id[Switching], true);
    for (TQCheckBox* b : switching) switchingLine->addWidget(b);
    left->addWidget(switchingGroup);

    // Alarms with their actions.
    auto* alarms = new QGroupBox(QStringLiteral("Alarms"), this);
    alarms->setObjectName(QStringLiteral("grpAlarms"));
    auto* grid = new QGridLayout(alarms);
    grid->addWidget(new QLabel(QStringLiteral("Limit"), alarms), 0, 1);
    auto* actionsHeader = new QLabel(QStringLiteral("Actions"), alarms);
    grid->addWidget(actionsHeader, 0, 2);
    const auto actionRow = [&](int row, const QString& prefix, TDbId bits, bool shown) {
        auto* line = new QWidget(alarms);
        line->setObjectName(prefix + QStringLiteral("Row"));
        auto* l = new QHBoxLayout(line);
        l->setContentsMargins(0, 0, 0, 0);
        std::vector<TQCheckBox*> boxes = BitRow(line, prefix, bits, shown);
        for (TQCheckBox* b : boxes) l->addWidget(b);
        if (!shown) line->setVisible(false);
        grid->addWidget(line, row, 2);
        return boxes;
    };
    ckAlarmDevEnable = CheckBox(alarms, "ckAlarmDevEnable", "Deviation Enable", id[DevEnable]);
    edAlarmDevLimit = Bind(new TQEdit(alarms), "edAlarmDevLimit", id[DevLimit], true);
    edAlarmDevLimit->setDataType(dtPosFloat);
    grid->addWidget(ckAlarmDevEnable, 1, 0);
    grid->addWidget(edAlarmDevLimit, 1, 1);
    alarmDevActions = actionRow(1, QStringLiteral("ckAlarmDev"), id[DevBits], true);
    ckAlarm1Enable = CheckBox(alarms, "ckAlarm1Enable", "High Alarm Enable", id[HighEnable]);
    edAlarm1Limit = Bind(new TQEdit(alarms), "edAlarm1Limit", id[HighLimit], true);
    edAlarm1Limit->setDataType(dtPosFloat);
    grid->addWidget(ckAlarm1Enable, 2, 0);
    grid->addWidget(edAlarm1Limit, 2, 1);
    alarm1Actions = actionRow(2, QStringLiteral("ckAlarm1"), id[HighBits], true);
    // The high-high and lock-stream alarms are the H2S set's alone.
    ckPAAEnable = CheckBox(alarms, "ckPAAEnable", "High High Alarm Enable", id[PaaEnable], h2s);
    ledPAALimit = Edit(alarms, nullptr, "ledPAALimit", "", id[PaaLimit], dtPosFloat, h2s);
    grid->addWidget(ckPAAEnable, 3, 0);
    grid->addWidget(ledPAALimit, 3, 1);
    paaActions = actionRow(3, QStringLiteral("ckAlarmPAA"), id[PaaBits], h2s);
    auto* durationRow = new QWidget(alarms);
    auto* durationLine = new QHBoxLayout(durationRow);
    durationLine->setContentsMargins(0, 0, 0, 0);
    duration = Edit(durationRow, durationLine, "duration", "High High Alarm Duration", id[Duration], dtInt, h2s);
    durationLine->addWidget(new QLabel(QStringLiteral("(0-255) s"), durationRow));
    durationLine->addStretch(1);
    durationRow->setVisible(h2s);
    grid->addWidget(durationRow, 4, 0, 1, 3);
    lockAlarmEnable = CheckBox(alarms, "lockAlarmEnable", "Lock Stream Alarm Enable", id[LockEnable], h2s);
    lockAlarmLimit = Edit(alarms, nullptr, "lockAlarmLimit", "", id[LockLimit], dtFloat, h2s);
    grid->addWidget(lockAlarmEnable, 5, 0);
    grid->addWidget(lockAlarmLimit, 5, 1);
    lockActions = actionRow(5, QStringLiteral("lockAlarmActions"), id[LockBits], h2s);
    edAlarmDevLimit->setAccessibleName(QStringLiteral("Deviation Limit"));
    edAlarm1Limit->setAccessibleName(QStringLiteral("High Alarm Limit"));
    ledPAALimit->setAccessibleName(QStringLiteral("High High Alarm Limit"));
    lockAlarmLimit->setAccessibleName(QStringLiteral("Lock Stream Alarm Limit"));
    for (TQEdit* limit : {static_cast<TQEdit*>(edAlarmDevLimit), static_cast<TQEdit*>(edAlarm1Limit),
                          static_cast<TQEdit*>(ledPAALimit), static_cast<TQEdit*>(lockAlarmLimit)})
        pagecontrols::FitToText(limit, pagecontrols::LongestFloat());
    page->addWidget(alarms);
    page->addStretch(1);
    left->addStretch(1);

    // Runs to average and the calibration gas belong to the other sets; the H2S set keeps
    // them hidden.
    ledRunsToAvg = Edit(this, right, "ledRunsToAvg", "Runs to Average", id[RunsToAvg], dtPosInt, !h2s);
    ledCalGasConc = Edit(this, right, "ledCalGasConc", "Cal. Gas Concentration", id[CalGasConc], dtPosFloat, !h2s);
    auto* frequency = new QGroupBox(QStringLiteral("Frequency"), this);
    frequency->setObjectName(QStringLiteral("grpFrequency"));
    // The day above the time of day, so that the column stays narrow.
    auto* frequencyRows = new QVBoxLayout(frequency);
    auto* freq = new QHBoxLayout;
    frequencyRows->addLayout(freq);
    freq->addWidget(new QLabel(QStringLiteral("Day Of Week"), frequency));
    edDays = Bind(new TQComboBox(frequency), "edDays", id[Day], true);
    edDays->addItems({QStringLiteral("Everyday"), QStringLiteral("Sunday"), QStringLiteral("Monday"), QStringLiteral("Tuesday"),
                      QStringLiteral("Wednesday"), QStringLiteral("Thursday"), QStringLiteral("Friday"),
                      QStringLiteral("Saturday")});
    freq->addWidget(edDays);
    freq = new QHBoxLayout;
    frequencyRows->addLayout(freq);
    edHours = Edit(frequency, freq, "edHours", "o'clock", id[Hour], dtPosInt);
    Range(edHours, 0, 23);
    edHours->setText(QStringLiteral("8"));
    edMinute = Edit(frequency, freq, "edMinute", "Minute", id[Minute], dtPosInt);
    edMinute->setText(QStringLiteral("0"));
    right->addWidget(frequency);
    chkTime = CheckBox(this, "chkTime", "Time", id[Time]);
    right->addWidget(chkTime);
    // The Time box's state shows on the set's tab of the stream frame.
    connect(chkTime, &QCheckBox::toggled, this, &TfraAnaSetDefn::SendTabImage);
    ledSampleDelay = Edit(this, right, "ledSampleDelay", "Sample Delay", id[SampleDelay], dtPosInt);
    ledSampleInterval = Edit(this, right, "ledSampleInterval", "Sample Interval", id[SampleInterval], dtPosInt);
    // Stream 2 and every reference 2 set take whole millivolts; the others 1 to 2500 mV.
    const bool wholeMillivolts = stream == 2 || kind == 5;
    ledKFactor = Edit(this, right, "ledKFactor", "TSC(mV)", id[Tsc], wholeMillivolts ? dtPosInt : dtFloat);
    ledKFactor->setToolTip(QStringLiteral("Tape Saturation Cutoff "));
    if (!wholeMillivolts) Range(ledKFactor, 1, 2500);
    btnRequest = new QPushButton(QStringLiteral("Request"), this);
    btnRequest->setObjectName(QStringLiteral("btnRequest"));
    btnRequest->setEnabled(false);
    right->addWidget(btnRequest);
    auto* strmCalUsedLabel = new QLabel(QStringLiteral("Stream Calibration Used:"), this);
    strmCalUsedLabel->setVisible(false);
    right->addWidget(strmCalUsedLabel);
    strmCalUsed = Bind(new TQComboBox(this), "strmCalUsed", id[StrmCalUsed], false);
    for (int n = 1; n <= 4; ++n) strmCalUsed->addItem(QStringLiteral("Stream #%1").arg(n));
    right->addWidget(strmCalUsed);
    right->addStretch(1);
}

std::vector<TQCheckBox*> TfraAnaSetDefn::BitRow(QWidget* parent, const QString& prefix, TDbId id, bool bound)
{
    std::vector<TQCheckBox*> boxes;
    for (int k = 0; k < 14; ++k) {
        const bool relay = k < 6;
        const int number = relay ? k + 1 : k - 5;
        const int bit = relay ? k : k + 2;   // relays bits 0..5, solenoids bits 8..15
        auto* box = new TQCheckBox(parent);
        box->setObjectName(prefix + (relay ? QStringLiteral("R") : QStringLiteral("S")) + QString::number(number));
        box->setText(QString::number(number));
        box->setDbId(id);
        box->setWatchBitNumber(static_cast<TBitNum>(bnBit0 + bit));
        box->setUseDatabase(bound && id != 0);
        boxes.push_back(box);
    }
    return boxes;
}

void TfraAnaSetDefn::SetSettingsEditable(bool editable)
{
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child != btnRequest) child->setEnabled(editable);
}

std::vector<int> TfraAnaSetDefn::RegisteredIds() const { return std::vector<int>(ids_.begin(), ids_.end()); }

std::vector<TQCheckBox*> TfraAnaSetDefn::CheckBoxes() const
{
    std::vector<TQCheckBox*> all = {ckAOMgr1Enable, ckAOMgr2Enable, ckAlarmDevEnable, ckAlarm1Enable,
                                    ckPAAEnable,    lockAlarmEnable, chkTime};
    for (const auto* row : {&switching, &alarmDevActions, &alarm1Actions, &paaActions, &lockActions})
        all.insert(all.end(), row->begin(), row->end());
    return all;
}

void TfraAnaSetDefn::SendTabImage(bool timed)
{
    for (QWidget* p = parentWidget(); p; p = p->parentWidget())
        if (auto* stream = qobject_cast<TfraStream*>(p)) {
            platform::SendMessage(stream, platform::WM_STREAMTABIMAGE, static_cast<uintptr_t>(tabIndex_), timed ? 1 : 0);
            return;
        }
}
