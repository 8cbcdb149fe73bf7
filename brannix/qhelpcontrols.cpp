#include "brannix/qhelpcontrols.h"

#include "platform/help.h"

#include <QKeyEvent>

void BrannixHelpKey(QWidget* control, QKeyEvent* event, int context)
{
    if (event->key() == Qt::Key_F1 && context != 0) platform::ShowContextHelp(control, context);
}

QTreeWidgetItem* TQTreeList::AddNode(QTreeWidgetItem* parent, const QString& text, const QVariant& data)
{
    const QStringList columns = separator_.isEmpty() ? QStringList{text} : text.split(separator_);
    auto* item = parent ? new QTreeWidgetItem(parent, columns) : new QTreeWidgetItem(this, columns);
    item->setData(0, Qt::UserRole, data);
    return item;
}

QVariant TQTreeList::NodeData(const QTreeWidgetItem* item) { return item ? item->data(0, Qt::UserRole) : QVariant(); }

QString TQTreeList::NodeText(const QTreeWidgetItem* item) const
{
    if (!item) return QString();
    QStringList parts;
    for (int i = 0; i < item->columnCount(); ++i) parts << item->text(i);
    return parts.join(separator_);
}

void TQAdvToolButton::setGroupIndex(int g)
{
    groupIndex_ = g;
    setCheckable(g != 0);
}

void TQAdvToolButton::setDown(bool down)
{
    if (groupIndex_ == 0) {
        if (isCheckable()) setChecked(down);
        return;
    }
    setChecked(down);
    if (down) RaiseOthers();
}

void TQAdvToolButton::nextCheckState()
{
    if (groupIndex_ == 0) {   // a check-style button outside any group simply toggles
        QToolButton::nextCheckState();
        return;
    }
    if (isChecked()) {
        if (allowAllUp_) setChecked(false);   // otherwise the down button of a group stays down
        return;
    }
    setChecked(true);
    RaiseOthers();
}

void TQAdvToolButton::RaiseOthers()
{
    if (!parentWidget()) return;
    for (auto* other : parentWidget()->findChildren<TQAdvToolButton*>(QString(), Qt::FindDirectChildrenOnly))
        if (other != this && other->groupIndex_ == groupIndex_ && other->isChecked()) other->setChecked(false);
}
