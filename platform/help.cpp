#include "platform/help.h"

#include "platform/process_wide.h"

#include <QHash>
#include <QWhatsThis>
#include <QWidget>

namespace platform {

namespace {
// One table for the whole process, whichever module installs or asks.
QHash<int, QString>& table()
{
    constexpr const char* kKey = "tevrin.contextHelp";
    auto* t = static_cast<QHash<int, QString>*>(ProcessWideGet(kKey));
    if (!t) {
        static QHash<int, QString> own;
        t = &own;
        ProcessWideSet(kKey, t);
    }
    return *t;
}
}  // namespace

void SetContextHelpText(int context, const QString& text)
{
    if (text.isEmpty())
        table().remove(context);
    else
        table().insert(context, text);
}

QString ContextHelpText(int context) { return table().value(context); }

void ClearContextHelpTexts() { table().clear(); }

bool ShowContextHelp(QWidget* from, int context)
{
    if (context == 0) return false;
    const QString text = ContextHelpText(context);
    if (text.isEmpty()) return false;
    const QPoint at = from ? from->mapToGlobal(QPoint(0, from->height())) : QPoint();
    QWhatsThis::showText(at, text, from);
    return true;
}

}  // namespace platform
