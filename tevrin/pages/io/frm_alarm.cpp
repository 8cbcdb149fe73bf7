#include "tevrin/pages/io/frm_alarm.h"

TfrmAlarm::TfrmAlarm(QWidget* owner) : TPageFrame(owner, 11, 0, 0) { setObjectName(QStringLiteral("frmAlarm")); }

std::vector<int> TfrmAlarm::FixedPointsBefore() const
{
    std::vector<int> ids = {20,
                            // system alarms
                            407, 347, 532, 348, 469, 346, 473, 518, 519, 152, 539, 602,
                            // stream 1
                            349, 350, 504, 352, 353, 355, 1415, 356, 1416, 358, 359, 1438, 1437};
    AddRange(ids, 1467, 1474);
    // the locks of the four streams
    for (int id : {1680, 1682, 1684, 1686}) ids.push_back(id);
    return ids;
}
