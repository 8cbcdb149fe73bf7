#include "tevrin/pages/widgets/column_filters.h"

#include "platform/prompter.h"
#include "tevrin/pages/widgets/date_range_dlg.h"
#include "tevrin/pages/widgets/date_text.h"

#include <QDateEdit>

#include <algorithm>

namespace columnfilter {

namespace {
QString Range(const QDate& start, const QDate& end)
{
    return QStringLiteral(">=") + datetext::DateToStr(datetext::FromQDate(start)) + QStringLiteral(" & <") +
           datetext::DateToStr(datetext::FromQDate(end));
}
}  // namespace

QString DateRangeCondition(const QString& friendlyName, const QDate& today)
{
    if (friendlyName == QLatin1String("Today")) return Range(today, today.addDays(1));
    if (friendlyName == QLatin1String("Yesterday")) return Range(today.addDays(-1), today);
    if (friendlyName == QLatin1String("This Month")) return Range(QDate(today.year(), today.month(), 1), today.addDays(1));
    if (friendlyName == QLatin1String("Last Month")) {
        const QDate first(today.year(), today.month(), 1);
        return Range(first.addMonths(-1), first);
    }
    return {};
}

QString DateRangeCondition(const QDate& first, const QDate& second)
{
    return Range(std::min(first, second), std::max(first, second).addDays(1));
}

void TimeCondition(const QString& friendlyName, QWidget* dialogParent, QString& condition)
{
    if (friendlyName == QLatin1String("[All]")) return;
    if (friendlyName == QLatin1String("[Custom]")) {
        TfrmDateRangeDlg dialog(dialogParent);
        if (dialog.ShowModal() != QDialog::Accepted) return;
        condition = DateRangeCondition(dialog.DateTime1()->date(), dialog.DateTime2()->date());
        return;
    }
    const QString range = DateRangeCondition(friendlyName, QDate::currentDate());
    if (!range.isEmpty()) condition = range;
}

void CustomCondition(const QString& friendlyName, QString& remembered, QString& condition)
{
    if (friendlyName != QLatin1String("[Custom]")) return;
    const QString offered = remembered.isEmpty() ? QStringLiteral("*") : remembered;
    QString answer = offered;
    if (!platform::InputQuery(QStringLiteral("Set Filter (<,>,=,*,&,^)"), friendlyName, answer)) answer = offered;
    if (answer.isEmpty()) answer = QStringLiteral("*");
    condition = answer;
    remembered = answer;
}

}  // namespace columnfilter
