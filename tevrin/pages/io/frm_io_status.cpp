#include "tevrin/pages/io/frm_io_status.h"

#include "brannix/qimage.h"
#include "brannix/qlabel.h"
#include "brannix/qlabelededit.h"
#include "tevrin/pages/alarm_icons.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kAODescriptions[] = {1197, 1198, 1199, 1200, 1201, 1202};
constexpr int kAOReadings[] = {486, 487, 1149, 1150, 1151, 1152};
constexpr int kAIReadings[] = {1544, 1545, 1546, 1547};
constexpr int kRelayDescriptions[] = {247, 249, 251, 253, 955, 957};
constexpr int kOutputPositions = 380;   // relays in bits 0-5, solenoids in bits 8-15
constexpr int kLatches[] = {410, 411, 412, 413, 414, 415, 1129, 1130, 1131, 1132, 1133, 1134, 1135, 1136};
constexpr int kDIDescriptions[] = {264, 267, 270, 273, 974, 980, 986, 992};
constexpr int kDIStates[] = {373, 374, 375, 376, 1125, 1126, 1127, 1128};
constexpr int kSolenoidDescriptions[] = {255, 257, 259, 261, 963, 965, 967, 969};
constexpr int kAIDescriptions[] = {1504, 1513, 1522, 1531};
constexpr int kAIUnits[] = {1552, 1553, 1554, 1555};
constexpr int kDCPower = 1476;
constexpr int kACPower = 1475;

TQLabel* Description(QWidget* parent, const QString& name, int dbId)
{
    auto* label = new TQLabel(parent);
    label->setObjectName(name);
    label->setDbId(static_cast<TDbId>(dbId));
    label->setUseDatabase(true);
    label->setMinimumWidth(120);
    return label;
}

// A reading shown with three decimals; a value that is not a number shows "NAN" when the
// analyzer could give none, 0.000 otherwise.
void ShowReading(TQLabeledEdit* edit, const QString& value, bool& DoDefault)
{
    const QString word = value.trimmed().toLower();
    double number = 0;
    if (word == QLatin1String("nan") || word == QLatin1String("-nan"))
        edit->setText(QStringLiteral("NAN"));
    else
        edit->setText(QString::number(TQComponentCommon::StrToFloat(value, number) ? number : 0.0, 'f', 3));
    DoDefault = false;
}

}  // namespace

TfrmIOStatus::TfrmIOStatus(QWidget* owner) : TPageFrame(owner, 15, 1, 0)
{
    setObjectName(QStringLiteral("frmIOStatus"));
    auto* layout = new QVBoxLayout(this);

    // A light: its picture follows its point through one of the tables of the page.
    enum class Rule { Status, SystemAlarm };
    const auto light = [this](QWidget* parent, TQImageBase* image, const QString& name, int dbId, int bit, Rule rule) {
        image->setParent(parent);
        image->setObjectName(name);
        image->setDbId(static_cast<TDbId>(dbId));
        image->setUseDatabase(true);
        image->setTrueValue(QStringLiteral("True"));
        if (bit >= 0) image->setWatchBitNumber(static_cast<TBitNum>(bit + 1));
        image->setFixedSize(16, 16);
        image->setScaledContents(true);
        const alarmicons::List list = rule == Rule::Status ? alarmicons::List::Alarms : alarmicons::List::SysAlarm;
        alarmicons::SetIcon(image, list, 3);
        connect(image, &TQImageBase::OnDBPointValueChanged, this, [image, list](const QString&) {
            alarmicons::SetIcon(image, list, image->State() == TQImageBase::StateOn ? 2 : 3);
        });
        return image;
    };

    // Top: stream number (hidden), system alarm and the two power supplies.
    auto* top = new QHBoxLayout;
    auto* streamNo = Description(this, QStringLiteral("streamNo"), 392);
    streamNo->setVisible(false);
    connect(streamNo, &TQLabel::OnDBPointValueChanged, this, [](const QString& value, bool& DoDefault) {
        bool ok = false;
        value.trimmed().toInt(&ok);
        if (ok) DoDefault = false;
    });
    top->addWidget(streamNo);
    top->addWidget(light(this, new TQImage, QStringLiteral("SystemAlarm"), 407, -1, Rule::SystemAlarm));
    top->addWidget(new QLabel(QStringLiteral("System Alarm"), this));
    struct Power {
        const char* image;
        int dbId;
        const char* label;
        const char* caption;
        const char* off;
        const char* on;
    };
    const Power powers[] = {
        {"ACPowerStatus", kACPower, "labACPower", "AC Power Status", "AC Power Disconnected", "AC Power Connected"},
        {"DCPowerStatus", kDCPower, "labDCPower", "DC Power Status", "DC Power Disconnected", "DC Power Connected"},
    };
    for (const Power& p : powers) {
        auto* image = new TQImage(this);
        image->setObjectName(QString::fromLatin1(p.image));
        image->setDbId(static_cast<TDbId>(p.dbId));
        image->setUseDatabase(true);
        image->setTrueValue(QStringLiteral("True"));
        image->setFixedSize(16, 16);
        image->setScaledContents(true);
        auto* label = new QLabel(QString::fromLatin1(p.caption), this);
        label->setObjectName(QString::fromLatin1(p.label));
        // A true power point means the supply is gone: the reverse of the other lights.
        const QString off = QString::fromLatin1(p.off), on = QString::fromLatin1(p.on);
        connect(image, &TQImageBase::OnDBPointValueChanged, this, [image, label, off, on](const QString&) {
            const bool disconnected = image->State() == TQImageBase::StateOn;
            alarmicons::SetIcon(image, alarmicons::List::Alarms, disconnected ? 3 : 2);
            label->setText(disconnected ? off : on);
        });
        top->addWidget(image);
        top->addWidget(label);
    }
    top->addStretch(1);
    layout->addLayout(top);

    auto* groups = new QGridLayout;
    layout->addLayout(groups);
    layout->addStretch(1);
    const auto group = [this, groups](const char* name, const char* title, int row, int column) {
        auto* box = new QGroupBox(QString::fromLatin1(title), this);
        box->setObjectName(QString::fromLatin1(name));
        auto* grid = new QGridLayout(box);
        groups->addWidget(box, row, column);
        return std::make_pair(box, grid);
    };
    const auto reading = [this](QWidget* parent, const QString& name, int dbId, const QString& caption) {
        auto* edit = new TQLabeledEdit(parent);
        edit->setObjectName(name);
        edit->setDbId(static_cast<TDbId>(dbId));
        edit->setUseDatabase(true);
        edit->setReadOnly(true);
        edit->setText(QStringLiteral("0"));
        edit->setEditLabelCaption(caption);
        connect(edit, &TQEdit::OnDBPointValueChanged, this,
                [edit](const QString& value, bool& DoDefault) { ShowReading(edit, value, DoDefault); });
        return edit;
    };
    // A reading with its caption label to the left, in a row of its own within a grid cell.
    const auto place = [](QGridLayout* grid, QWidget* w, int row, int column) {
        auto* cell = new QHBoxLayout;
        cell->addWidget(w);
        grid->addLayout(cell, row, column);
        if (auto* edit = qobject_cast<TQLabeledEdit*>(w)) edit->setEditLabelCaption(edit->EditLabelCaption());
    };

    auto [aoBox, ao] = group("grpAnalogOutputs", "Analog Outputs", 0, 0);
    for (int k = 0; k < 6; ++k) {
        ao->addWidget(Description(aoBox, QStringLiteral("labAO%1").arg(k + 1), kAODescriptions[k]), k, 0);
        place(ao, reading(aoBox, QStringLiteral("edtAO%1Desc").arg(k + 1), kAOReadings[k], QStringLiteral("mA")), k, 1);
    }

    auto [relayBox, relays] = group("grpRelays", "Relays", 0, 1);
    for (int k = 0; k < 6; ++k) {
        relays->addWidget(Description(relayBox, QStringLiteral("lblRelay%1").arg(k + 1), kRelayDescriptions[k]), k, 0);
        relays->addWidget(light(relayBox, new QTImage16, QStringLiteral("R%1State").arg(k + 1), kOutputPositions, k, Rule::Status), k, 1);
        relays->addWidget(new QLabel(QStringLiteral("Latch "), relayBox), k, 2);
        TQImageBase* latch = k == 0 ? static_cast<TQImageBase*>(new QTImage16) : new TQImage;
        relays->addWidget(light(relayBox, latch, QStringLiteral("Lat%1").arg(k + 1), kLatches[k], -1, Rule::Status), k, 3);
    }

    auto [solBox, sols] = group("grpSolenoids", "Solenoids", 0, 2);
    for (int k = 0; k < 8; ++k) {
        sols->addWidget(Description(solBox, QStringLiteral("Sol%1Desc").arg(k + 1), kSolenoidDescriptions[k]), k, 0);
        sols->addWidget(light(solBox, new QTImage16, QStringLiteral("imgS%1").arg(k + 1), kOutputPositions, 8 + k, Rule::Status), k, 1);
        sols->addWidget(new QLabel(QStringLiteral("Latch "), solBox), k, 2);
        sols->addWidget(light(solBox, new TQImage, QStringLiteral("Lat%1").arg(k + 9), kLatches[6 + k], -1, Rule::Status), k, 3);
    }

    auto [dryBox, dry] = group("grpDryInputs", "Discrete Inputs (Dry Contact)", 1, 0);
    auto [wetBox, wet] = group("grpWetInputs", "Discrete Inputs (Wet Contact)", 1, 1);
    for (int k = 0; k < 8; ++k) {
        QGroupBox* box = k < 4 ? dryBox : wetBox;
        QGridLayout* grid = k < 4 ? dry : wet;
        const int row = k % 4;
        grid->addWidget(Description(box, QStringLiteral("DI%1Desc").arg(k + 1), kDIDescriptions[k]), row, 0);
        grid->addWidget(light(box, new TQImage, QStringLiteral("D%1State").arg(k + 1), kDIStates[k], -1, Rule::Status), row, 1);
        grid->addWidget(new QLabel(QStringLiteral("Digital Input #%1").arg(k + 1), box), row, 2);
    }

    auto [aiBox, ai] = group("grpAnalogInputs", "Analog Inputs", 1, 2);
    for (int k = 0; k < 4; ++k) {
        ai->addWidget(Description(aiBox, QStringLiteral("labAIDesc%1").arg(k + 1), kAIDescriptions[k]), k, 0);
        place(ai, reading(aiBox, QStringLiteral("edAIR%1").arg(k + 1), kAIReadings[k], QString()), k, 1);
        ai->addWidget(Description(aiBox, QStringLiteral("AIUnit%1").arg(k + 1), kAIUnits[k]), k, 2);
    }
}

std::vector<int> TfrmIOStatus::PagePoints() const
{
    std::vector<int> ids = {392, 407};
    ids.insert(ids.end(), std::begin(kAODescriptions), std::end(kAODescriptions));
    ids.insert(ids.end(), std::begin(kAOReadings), std::end(kAOReadings));
    ids.insert(ids.end(), std::begin(kAIReadings), std::end(kAIReadings));
    ids.insert(ids.end(), std::begin(kRelayDescriptions), std::end(kRelayDescriptions));
    ids.push_back(kOutputPositions);
    ids.insert(ids.end(), std::begin(kLatches), std::end(kLatches));
    ids.insert(ids.end(), std::begin(kDIDescriptions), std::end(kDIDescriptions));
    ids.insert(ids.end(), std::begin(kDIStates), std::end(kDIStates));
    ids.insert(ids.end(), std::begin(kSolenoidDescriptions), std::end(kSolenoidDescriptions));
    ids.insert(ids.end(), std::begin(kAIDescriptions), std::end(kAIDescriptions));
    ids.insert(ids.end(), std::begin(kAIUnits), std::end(kAIUnits));
    ids.push_back(kDCPower);
    ids.push_back(kACPower);
    return ids;
}

std::vector<int> TfrmIOStatus::PollPoints() const
{
    std::vector<int> ids = {392, 407};
    ids.insert(ids.end(), std::begin(kAIReadings), std::end(kAIReadings));
    ids.insert(ids.end(), std::begin(kRelayDescriptions), std::end(kRelayDescriptions));
    ids.push_back(kOutputPositions);
    ids.insert(ids.end(), std::begin(kLatches), std::end(kLatches));
    ids.insert(ids.end(), std::begin(kDIStates), std::end(kDIStates));
    ids.push_back(kDCPower);
    ids.push_back(kACPower);
    return ids;
}
