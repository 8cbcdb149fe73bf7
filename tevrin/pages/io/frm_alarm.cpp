#include "tevrin/pages/io/frm_alarm.h"

#include "brannix/qimage.h"
#include "brannix/qlabel.h"
#include "tevrin/pages/alarm_icons.h"
#include "tevrin/rtdb/database.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

struct Light {
    const char* image;
    int dbId;
    const char* label;
};

const Light kSystemAlarms[] = {
    {"SystemAlarm", 407, "System Alarm"},
    {"SensorTemp", 347, "High Temperature"},
    {"SensorTempLow", 532, "Low Temperature"},
    {"SensorCurrent", 348, "Sensor LED Current"},
    {"SensorCommAlarm", 469, "Sensor Comm. "},
    {"battery", 346, "RTC Battery"},
    {"MaxTapeAlarm", 473, "Max Tape Adv. Alarm"},
    {"LowTape", 518, "Low Tape Alarm"},
    {"TapeLength", 519, "Tape Length Alarm"},
    {"TapeBreak", 152, "Tape Movement Alarm"},
    {"SensorCal", 539, "Sensor Calibration Alarm"},
    {"imgBypass", 602, "Bypass Alarm"},
    {"DCPowerAlarm", 1438, "DC Power Alarm"},
    {"ACPowerAlarm", 1437, "AC Power Alarm"},
};

// The analysis alarms of one stream, by the image's name after "imS<n>" and the lock.
enum StreamLight { ND, NA, NP, Lock, CD, CA, RD, RA, ZD, ZA, R2D, R2A, StreamLights };
const char* const kStreamLightNames[StreamLights] = {"ND", "NA", "NP", "Lock", "CD", "CA", "RD", "RA", "ZD", "ZA", "R2D", "R2A"};
constexpr int kStreamLightPoints[4][StreamLights] = {
    {349, 350, 504, 1680, 352, 353, 355, 356, 358, 359, 1415, 1416},
    {361, 362, 505, 1682, 364, 365, 367, 368, 370, 371, 1417, 1418},
    {1102, 1103, 1101, 1684, 1107, 1108, 1109, 1110, 1111, 1112, 1419, 1420},
    {1114, 1115, 1113, 1686, 1119, 1120, 1121, 1122, 1123, 1124, 1421, 1422},
};
// The order a stream's lights are read in (the locks are read with the analog input limits).
constexpr StreamLight kStreamReadOrder[] = {ND, NA, NP, CD, CA, RD, R2D, RA, R2A, ZD, ZA};

// The group boxes of a stream panel and the lights in each, with their captions.
struct StreamGroup {
    const char* title;
    std::vector<std::pair<StreamLight, const char*>> lights;
};
const StreamGroup kStreamGroups[] = {
    {"Sample", {{ND, "Deviation"}, {NA, "High Alarm"}, {NP, "High High Alarm"}, {Lock, "Lock"}}},
    {"Calibration", {{CD, "Deviation"}, {CA, "High Alarm"}}},
    {"Reference 1", {{RD, "Deviation"}, {RA, "High Alarm"}}},
    {"Zero", {{ZD, "Deviation"}, {ZA, "High Alarm"}}},
    {"Reference 2", {{R2D, "Deviation"}, {R2A, "High Alarm"}}},
};

QString StreamLightName(int stream, StreamLight light)
{
    if (light == Lock) return QStringLiteral("imgLock%1").arg(stream);
    return QStringLiteral("imS%1%2").arg(stream).arg(QString::fromLatin1(kStreamLightNames[light]));
}

}  // namespace

TQImageBase* TfrmAlarm::AddLight(QWidget* parent, const QString& name, int dbId, const QString& caption, bool system)
{
    auto* row = new QHBoxLayout;
    auto* image = new TQImage(parent);
    image->setObjectName(name);
    image->setDbId(static_cast<TDbId>(dbId));
    image->setUseDatabase(true);
    image->setTrueValue(QStringLiteral("True"));
    image->setFixedSize(16, 16);
    image->setScaledContents(true);
    auto* label = new QLabel(caption, parent);
    row->addWidget(image);
    row->addWidget(label);
    row->addStretch(1);
    qobject_cast<QBoxLayout*>(parent->layout())->addLayout(row);
    if (system) {
        alarmicons::SetIcon(image, alarmicons::List::SysAlarm, 3);
        connect(image, &TQImageBase::OnDBPointValueChanged, this, [image](const QString&) {
            alarmicons::SetIcon(image, alarmicons::List::SysAlarm, image->State() == TQImageBase::StateOn ? 2 : 3);
        });
    } else {
        alarmicons::SetIcon(image, alarmicons::List::Alarms, 0);
        connect(image, &TQImageBase::OnDBPointValueChanged, this, [image](const QString&) {
            alarmicons::SetIcon(image, alarmicons::List::Alarms, image->State() == TQImageBase::StateOn ? 2 : 0);
        });
    }
    return image;
}

TfrmAlarm::TfrmAlarm(QWidget* owner) : TPageFrame(owner, 11, 0, 0)
{
    setObjectName(QStringLiteral("frmAlarm"));
    auto* layout = new QHBoxLayout(this);

    auto* system = new QGroupBox(QStringLiteral("System Alarms"), this);
    system->setObjectName(QStringLiteral("grpSystemAlarms"));
    new QVBoxLayout(system);
    for (const Light& l : kSystemAlarms)
        AddLight(system, QString::fromLatin1(l.image), l.dbId, QString::fromLatin1(l.label), l.dbId == 407);
    qobject_cast<QBoxLayout*>(system->layout())->addStretch(1);
    layout->addWidget(system);

    auto* analysis = new QGroupBox(QStringLiteral("Analysis Alarms"), this);
    analysis->setObjectName(QStringLiteral("grpAnalysisAlarms"));
    auto* streams = new QGridLayout(analysis);
    for (int stream = 1; stream <= 4; ++stream) {
        auto* panel = new QFrame(analysis);
        panel->setObjectName(QStringLiteral("Stream%1Pan").arg(stream));
        panel->setFrameShape(QFrame::StyledPanel);
        auto* panelLayout = new QVBoxLayout(panel);
        auto* caption = new QLabel(stream == 1 ? QStringLiteral("Stream ") : QStringLiteral("Stream %1").arg(stream), panel);
        caption->setObjectName(QStringLiteral("lblStreamCaption%1").arg(stream));
        panelLayout->addWidget(caption);
        for (const StreamGroup& g : kStreamGroups) {
            auto* group = new QGroupBox(QString::fromLatin1(g.title), panel);
            new QVBoxLayout(group);
            for (const auto& [light, text] : g.lights)
                AddLight(group, StreamLightName(stream, light), kStreamLightPoints[stream - 1][light], QString::fromLatin1(text));
            panelLayout->addWidget(group);
        }
        panelLayout->addStretch(1);
        streams->addWidget(panel, 0, stream - 1);
        panel->setVisible(stream == 1);
        streamPanels_[static_cast<size_t>(stream - 1)] = panel;
    }
    layout->addWidget(analysis, 1);

    auto* inputs = new QGroupBox(QStringLiteral("Analog Input Alarms"), this);
    inputs->setObjectName(QStringLiteral("grpAnalogInputAlarms"));
    new QVBoxLayout(inputs);
    for (int k = 1; k <= 4; ++k)
        AddLight(inputs, QStringLiteral("imDIOHL%1").arg(k), 1466 + k, QStringLiteral("AI #%1 Greater Than Limit").arg(k));
    for (int k = 1; k <= 4; ++k)
        AddLight(inputs, QStringLiteral("imDIOLL%1").arg(k), 1470 + k, QStringLiteral("AI #%1 Less Than Limit").arg(k));
    qobject_cast<QBoxLayout*>(inputs->layout())->addStretch(1);
    layout->addWidget(inputs);

    // Two hidden labels on the stream count: one shows the stream panels, one sets the caption.
    lblStream4_ = new TQLabel(this);
    lblStream4_->setObjectName(QStringLiteral("lblStream4"));
    lblStream4_->setText(QStringLiteral("Stream 4"));
    qLabel71_ = new TQLabel(this);
    qLabel71_->setObjectName(QStringLiteral("QLabel71"));
    qLabel71_->setText(QStringLiteral("Stream 2"));
    for (TQLabel* label : {lblStream4_, qLabel71_}) {
        label->setDbId(DataBase::kStreamsDbId);
        label->setUseDatabase(true);
        label->setVisible(false);
    }
    connect(lblStream4_, &TQLabel::OnDBPointValueChanged, this, [this](const QString& value, bool& DoDefault) {
        if (value.isEmpty()) return;
        DoDefault = false;
        int n = 0;
        if (!IntegerValue(value, n) || n < 0 || n > 3) return;
        ShowStreams(n);
    });
    WatchStreamCount(qLabel71_, StreamCaptionRule::Streams);
}

std::vector<int> TfrmAlarm::PagePoints() const
{
    std::vector<int> ids = {20, 407, 347, 532, 348, 469, 346, 473, 518, 519, 152, 539, 602};
    for (StreamLight light : kStreamReadOrder) ids.push_back(kStreamLightPoints[0][light]);
    ids.push_back(1438);
    ids.push_back(1437);
    AddRange(ids, 1467, 1474);
    for (const auto& stream : kStreamLightPoints) ids.push_back(stream[Lock]);
    // The lights of the other streams, as far as they exist.
    for (int stream = 2; stream <= streamsShown_; ++stream)
        for (StreamLight light : kStreamReadOrder) ids.push_back(kStreamLightPoints[stream - 1][light]);
    return ids;
}

void TfrmAlarm::ShowStreams(int streams)
{
    for (int k = 0; k < 4; ++k) streamPanels_[static_cast<size_t>(k)]->setVisible(k <= streams);
    streamsShown_ = streams + 1;
    // A stream count that arrives while the page shows adds the lights of the streams that now
    // exist, so that the next poll reads them.
    if (IsCurrentPage() && DataBase::Exists()) {
        ExpressScan& scan = DataBase::Instance()->AsExpressScan();
        for (int id : PagePoints()) scan.Add(id);
    }
}
