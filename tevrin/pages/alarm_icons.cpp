#include "tevrin/pages/alarm_icons.h"

#include <QLabel>
#include <QVariant>

#include <array>

// The pictures are compiled into the page library; a static library's resources must be
// registered by hand before their first use.
static void EnsureResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(alarm_icons);
        return true;
    }();
    (void)done;
}

namespace alarmicons {

QPixmap Icon(List list, int index)
{
    EnsureResources();
    static const std::array<const char*, 4> kAlarms = {
        ":/pages/icons/light_green.png", ":/pages/icons/light_amber.png", ":/pages/icons/light_red.png",
        ":/pages/icons/light_grey.png"};
    static const std::array<const char*, 4> kSysAlarm = {
        ":/pages/icons/light_green.png", ":/pages/icons/light_amber.png", ":/pages/icons/light_red.png",
        ":/pages/icons/light_green.png"};
    if (index < 0 || index >= 4) return QPixmap();
    const auto& files = list == List::Alarms ? kAlarms : kSysAlarm;
    return QPixmap(QString::fromLatin1(files[static_cast<size_t>(index)]));
}

void SetIcon(QLabel* image, List list, int index)
{
    if (!image) return;
    // Pages set the icon at every poll; the same picture again is neither loaded nor drawn.
    const QVariant shownList = image->property("iconList");
    if (shownList.isValid() && shownList.toInt() == static_cast<int>(list) && image->property("iconIndex") == index) return;
    image->setPixmap(Icon(list, index));
    image->setProperty("iconList", static_cast<int>(list));
    // The picture's index, so that tests and handlers can tell which icon is shown.
    image->setProperty("iconIndex", index);
}

}  // namespace alarmicons
