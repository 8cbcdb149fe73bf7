#pragma once
// The pictures of the pages' indicator lights. Two image lists are used: the alarm list
// (imlAlarms) and the system-alarm list (imlSysAlarm); a handler picks an icon by its index.
//   imlAlarms:   0 green (no alarm), 1 amber, 2 red (alarm, latched, output on), 3 grey (off)
//   imlSysAlarm: 0 green, 1 amber, 2 red (system alarm), 3 green (no system alarm)
#include <QPixmap>

class QLabel;

namespace alarmicons {

enum class List { Alarms, SysAlarm };

// Icon `index` of a list; an empty picture for an index the list does not hold.
QPixmap Icon(List list, int index);

// Puts icon `index` of a list into a label (an image control is a label).
void SetIcon(QLabel* image, List list, int index);

}  // namespace alarmicons
