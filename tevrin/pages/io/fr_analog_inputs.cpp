#include "tevrin/pages/io/fr_analog_inputs.h"
#include "tevrin/rtdb/database.h"

#include "brannix/qcheckbox.h"
#include "brannix/qlabel.h"
#include "brannix/qlabelededit.h"
#include "tevrin/pages/io/ai_calibration_frame.h"
#include "tevrin/pages/widgets/bound_controls.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace pagecontrols;

namespace {

// The points of one alarm: enable box, limit, actions (relays in bits 0..5, solenoids 8..15).
struct AlarmIds {
    int enable, limit, actions;
};
AlarmIds HighAlarm(int n) { return {1443 + 3 * (n - 1), 1444 + 3 * (n - 1), 1445 + 3 * (n - 1)}; }
AlarmIds LowAlarm(int n) { return {1455 + 3 * (n - 1), 1456 + 3 * (n - 1), 1457 + 3 * (n - 1)}; }

}  // namespace

TfrAnalogInputs::TfrAnalogInputs(QWidget* owner) : TPageFrame(owner, 14, 1, 0)
{
    setObjectName(QStringLiteral("frAnalogInputs"));
    auto* page = new QVBoxLayout(this);

    auto* alarms = new QGroupBox(QStringLiteral("Analog Inputs Alarm"), this);
    page->addWidget(alarms);
    auto* grid = new QGridLayout(alarms);
    grid->addWidget(new QLabel(QStringLiteral("Limit"), alarms), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Enabled"), alarms), 0, 2);
    auto* actionsHeader = new QVBoxLayout();
    actionsHeader->addWidget(new QLabel(QStringLiteral("Actions"), alarms));
    auto* actionKinds = new QHBoxLayout();
    actionKinds->addWidget(new QLabel(QStringLiteral("Relays"), alarms));
    actionKinds->addWidget(new QLabel(QStringLiteral("Solenoids"), alarms));
    actionsHeader->addLayout(actionKinds);
    grid->addLayout(actionsHeader, 0, 3);
    int gridRow = 1;
    for (bool high : {true, false}) {
        for (int n = 1; n <= 4; ++n) {
            const AlarmIds ids = high ? HighAlarm(n) : LowAlarm(n);
            const QString kind = high ? QStringLiteral("H") : QStringLiteral("L");
            const QString caption = QStringLiteral("Analog Input %1 %2 Limit").arg(n).arg(high ? '>' : '<');
            grid->addWidget(new QLabel(caption, alarms), gridRow, 0);
            auto* limitRow = new QHBoxLayout();
            Edit(alarms, limitRow, QStringLiteral("edAlarmAI%1Limit%2").arg(kind).arg(n).toLatin1().constData(),
                 static_cast<TDbId>(ids.limit), dtFloat)
                ->setAccessibleName(caption);
            grid->addLayout(limitRow, gridRow, 1);
            grid->addWidget(CheckBox(alarms, QStringLiteral("ckAlarmAI%1LEanble%2").arg(kind).arg(n).toLatin1().constData(),
                                     QString(), static_cast<TDbId>(ids.enable)),
                            gridRow, 2);
            auto* actions = new QHBoxLayout();
            for (int r = 1; r <= 6; ++r)
                actions->addWidget(CheckBox(alarms,
                                            QStringLiteral("ckAlarmAI%1LimitR%2%3").arg(kind).arg(r).arg(n).toLatin1().constData(),
                                            QString::number(r), static_cast<TDbId>(ids.actions), r - 1));
            actions->addSpacing(12);
            for (int s = 1; s <= 8; ++s)
                actions->addWidget(CheckBox(alarms,
                                            QStringLiteral("ckAlarmAI%1LimitS%2%3").arg(kind).arg(s).arg(n).toLatin1().constData(),
                                            QString::number(s), static_cast<TDbId>(ids.actions), 7 + s));
            grid->addLayout(actions, gridRow, 3);
            ++gridRow;
        }
    }

    auto* frames = new QGridLayout();
    page->addLayout(frames, 1);
    for (int n = 1; n <= 4; ++n) {
        auto* frame = new TTfraAICalibration(n, this);
        frame->SetGainPoint(static_cast<TDbId>(1502 + 9 * (n - 1)));
        frame->SetOffsetPoint(static_cast<TDbId>(1503 + 9 * (n - 1)));
        frames->addWidget(frame, (n - 1) / 2, (n - 1) % 2);
        frames_[static_cast<size_t>(n - 1)] = frame;
    }

    streams_ = new TQLabel(this);
    streams_->setObjectName(QStringLiteral("streams"));
    streams_->setDbId(DataBase::kStreamsDbId);
    streams_->setUseDatabase(true);
    streams_->setVisible(false);
    WatchStreamCount(streams_, StreamCaptionRule::Streams);
}

std::vector<int> TfrAnalogInputs::FixedPointsBefore() const
{
    std::vector<int> ids;
    for (bool high : {true, false})
        for (int n = 1; n <= 4; ++n) {
            const AlarmIds a = high ? HighAlarm(n) : LowAlarm(n);
            ids.insert(ids.end(), {a.enable, a.limit, a.actions});
        }
    for (const TTfraAICalibration* f : frames_) {
        const aical::Ids& i = f->Ids();
        ids.insert(ids.end(), {i.desc, i.min, i.range, i.value, i.rawZero, i.rawSpan, i.scaledZero, i.scaledSpan, i.ratio,
                               i.mA, i.raw, i.units});
    }
    for (const TTfraAICalibration* f : frames_) ids.insert(ids.end(), {f->GainPoint(), f->OffsetPoint()});
    ids.push_back(20);
    return ids;
}

std::vector<int> TfrAnalogInputs::PollPoints() const
{
    std::vector<int> ids;
    for (const TTfraAICalibration* f : frames_) {
        const aical::Ids& i = f->Ids();
        ids.insert(ids.end(), {i.value, i.ratio, i.mA, i.raw});
    }
    return ids;
}
