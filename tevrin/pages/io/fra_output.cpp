#include "tevrin/pages/io/fra_output.h"

#include "brannix/qcheckbox.h"
#include "brannix/qedit.h"
#include "brannix/qimage.h"
#include "brannix/qlabel.h"
#include "brannix/qradiobutton.h"
#include "tevrin/pages/alarm_icons.h"
#include "tevrin/pages/widgets/ao_source_combo.h"
#include "tevrin/pages/widgets/bound_controls.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The points of one relay or solenoid, and the number its controls are named by.
struct DigitalDef {
    int number;         // relays 1..6; solenoids carry 9..16 in the latch controls' names
    TDbId name, failSafe, latchEnable, latchState;
};
const DigitalDef kRelays[] = {
    {1, 247, 248, 292, 410}, {2, 249, 250, 293, 411}, {3, 251, 252, 294, 412},
    {4, 253, 254, 295, 413}, {5, 955, 956, 296, 414}, {6, 957, 958, 297, 415},
};
const DigitalDef kSolenoids[] = {
    {9, 255, 256, 1043, 1129},  {10, 257, 258, 1044, 1130}, {11, 259, 260, 1045, 1131}, {12, 261, 262, 1046, 1132},
    {13, 963, 964, 1047, 1133}, {14, 965, 966, 1048, 1134}, {15, 967, 968, 1049, 1135}, {16, 969, 970, 1050, 1136},
};

struct AnalogDef {
    TDbId description, minimum, range, parameter;
};
const AnalogDef kAnalog[] = {
    {1197, 1246, 1245, 1247}, {1198, 1249, 1248, 1250}, {1199, 1252, 1251, 1253},
    {1200, 1255, 1254, 1256}, {1201, 1258, 1257, 1259}, {1202, 1261, 1260, 1262},
};

constexpr int kLatchedIcon = 2;
constexpr int kNotLatchedIcon = 3;

template <class W>
W* Bound(W* w, const QString& name, TDbId id)
{
    w->setObjectName(name);
    w->setDbId(id);
    w->setUseDatabase(true);
    return w;
}

TQEdit* BoundEdit(QWidget* parent, const QString& name, TDbId id, TDataType type, int maxLength = 0)
{
    auto* edit = Bound(new TQEdit(parent), name, id);
    edit->setDataType(type);
    if (maxLength > 0) edit->setMaxLength(maxLength);
    return edit;
}

QLabel* Header(QWidget* parent, const char* text) { return new QLabel(QString::fromLatin1(text), parent); }

}  // namespace

TfraOutput::TfraOutput(QWidget* owner) : TPageFrame(owner, 5, 0, 1)
{
    setObjectName(QStringLiteral("fraOutput"));
    auto* layout = new QHBoxLayout(this);
    auto* digital = new QGroupBox(QStringLiteral("Digital Outputs"), this);
    digital->setObjectName(QStringLiteral("grpDigitalOutputs"));
    auto* digitalLayout = new QVBoxLayout(digital);
    digitalLayout->addWidget(BuildDigital(true));
    digitalLayout->addWidget(BuildDigital(false));
    layout->addWidget(digital);
    layout->addWidget(BuildAnalog(), 0, Qt::AlignTop);

    lblStream2_ = NewStreamCountLabel();
    WatchStreamCount(lblStream2_, StreamCaptionRule::Streams, {}, true);
}

QWidget* TfraOutput::BuildDigital(bool relays)
{
    auto* group = new QGroupBox(relays ? QStringLiteral("Relays") : QStringLiteral("Solenoids"));
    group->setObjectName(relays ? QStringLiteral("grpRelays") : QStringLiteral("grpSolenoids"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(Header(group, "Description"), 0, 0);
    grid->addWidget(Header(group, "Fail-Safe Position"), 0, 1);
    grid->addWidget(Header(group, "Off       On"), 1, 1);
    grid->addWidget(Header(group, "Latch Enable"), 0, 2);
    grid->addWidget(Header(group, "Latch State"), 0, 3);
    grid->addWidget(Header(group, "Acknowledge"), 0, 4);

    const DigitalDef* defs = relays ? kRelays : kSolenoids;
    const int count = relays ? 6 : 8;
    for (int i = 0; i < count; ++i) {
        const DigitalDef& def = defs[i];
        const int row = i + 2;
        const int shownNumber = relays ? def.number : def.number - 8;
        const QString kind = relays ? QStringLiteral("Relay") : QStringLiteral("Solenoid");
        DigitalOutput out;
        out.name = BoundEdit(group, kind + QStringLiteral("Name%1").arg(shownNumber), def.name, dtText, 6);
        // The two positions of one point, exclusive within their own row.
        auto* pair = new QWidget(group);
        auto* pairLayout = new QHBoxLayout(pair);
        pairLayout->setContentsMargins(0, 0, 0, 0);
        out.failSafeOff = Bound(new TQRadioButton(pair), kind + QStringLiteral("FSPOff%1").arg(shownNumber), def.failSafe);
        out.failSafeOff->setTrueValue(QStringLiteral("False"));
        out.failSafeOn = Bound(new TQRadioButton(pair), kind + QStringLiteral("FSPOn%1").arg(shownNumber), def.failSafe);
        out.failSafeOn->setTrueValue(QStringLiteral("True"));
        pairLayout->addWidget(out.failSafeOff);
        pairLayout->addWidget(out.failSafeOn);
        out.latchEnable = Bound(new TQCheckBox(group), QStringLiteral("ckLatchEnable%1").arg(def.number), def.latchEnable);
        out.latchEnable->setTrueValue(QStringLiteral("True"));
        out.latchState = Bound(new TQImage(group), QStringLiteral("Lat%1").arg(def.number), def.latchState);
        out.latchState->setTrueValue(QStringLiteral("True"));
        alarmicons::SetIcon(out.latchState, alarmicons::List::Alarms, kNotLatchedIcon);
        out.acknowledge = new QPushButton(QStringLiteral("Latch %1%2").arg(relays ? QLatin1Char('R') : QLatin1Char('S')).arg(shownNumber), group);
        out.acknowledge->setObjectName(QStringLiteral("btnLatch%1").arg(def.number));

        TQImage* image = out.latchState;
        connect(image, &TQImage::OnDBPointValueChanged, this, [image](const QString&) {
            alarmicons::SetIcon(image, alarmicons::List::Alarms,
                                image->State() == TQImage::StateOn ? kLatchedIcon : kNotLatchedIcon);
        });
        const size_t index = digital_.size();
        connect(out.acknowledge, &QPushButton::clicked, this, [this, index] { AcknowledgeLatch(digital_[index]); });

        grid->addWidget(out.name, row, 0);
        grid->addWidget(pair, row, 1);
        grid->addWidget(out.latchEnable, row, 2);
        grid->addWidget(out.latchState, row, 3);
        grid->addWidget(out.acknowledge, row, 4);
        digital_.push_back(out);
    }
    grid->setRowStretch(count + 2, 1);   // the rows keep their height, the room goes below
    return group;
}

QWidget* TfraOutput::BuildAnalog()
{
    auto* group = new QGroupBox(QStringLiteral("Analog Outputs"), this);
    group->setObjectName(QStringLiteral("grpAnalogOutputs"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(Header(group, "Description"), 0, 0);
    grid->addWidget(Header(group, "Minimum"), 0, 1);
    grid->addWidget(Header(group, "Range"), 0, 2);
    grid->addWidget(Header(group, "Parameter"), 0, 3);
    grid->setColumnStretch(3, 1);
    for (int i = 0; i < 6; ++i) {
        const AnalogDef& def = kAnalog[i];
        const int n = i + 1;
        AnalogOutput out;
        out.description = BoundEdit(group, QStringLiteral("edAODesc%1").arg(n), def.description, dtText, 6);
        out.minimum = BoundEdit(group, QStringLiteral("edAOMin%1").arg(n), def.minimum, dtFloat);
        out.range = BoundEdit(group, QStringLiteral("edAORange%1").arg(n), def.range, dtFloat);
        // Both hold any float, a negative one with its sign.
        out.minimum->setAccessibleName(QStringLiteral("Analog Output %1 Minimum").arg(n));
        out.range->setAccessibleName(QStringLiteral("Analog Output %1 Range").arg(n));
        pagecontrols::FitToText(out.minimum, pagecontrols::LongestFloat());
        pagecontrols::FitToText(out.range, pagecontrols::LongestFloat());
        out.parameter = Bound(new TAOSourceCombo(group), QStringLiteral("cbAOMgrFunction%1").arg(n), def.parameter);
        grid->addWidget(out.description, n, 0);
        grid->addWidget(out.minimum, n, 1);
        grid->addWidget(out.range, n, 2);
        grid->addWidget(out.parameter, n, 3);
        // Room for every source name but the longest alarm's, which its list shows whole; the
        // page then fits its sheet at the designed window size with both number edits whole.
        out.parameter->setMinimumWidth(224);
        aoCombos_.push_back(out.parameter);
        analog_.push_back(out);
    }
    return group;
}

std::vector<int> TfraOutput::FixedPointsBefore() const
{
    std::vector<int> ids;
    for (const DigitalDef& s : kRelays) ids.insert(ids.end(), {s.name, s.failSafe, s.latchEnable});
    for (const DigitalDef& s : kSolenoids) ids.insert(ids.end(), {s.name, s.failSafe, s.latchEnable});
    for (const DigitalDef& s : kRelays) ids.push_back(s.latchState);
    for (const DigitalDef& s : kSolenoids) ids.push_back(s.latchState);
    for (const AnalogDef& s : kAnalog) ids.insert(ids.end(), {s.description, s.minimum, s.range, s.parameter});
    ids.push_back(20);
    return ids;
}

void TfraOutput::FillAOManagerFunctions()
{
    for (TAOSourceCombo* combo : aoCombos_) combo->Fill();
}

void TfraOutput::AcknowledgeLatch(const DigitalOutput& output)
{
    WriteSinglePoint(output.latchState->DbId(), "False");
    PostCommand("ExpressRead");
}

void TfraOutput::AfterEnter()
{
    ShowPageWarning(QStringLiteral("Changing parameters in Outputs Page may affect operation of the analyzer.\n"));
}
