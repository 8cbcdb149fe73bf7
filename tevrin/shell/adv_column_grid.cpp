#include "tevrin/shell/adv_column_grid.h"

#include "brannix/qcomponentcommon.h"
#include "platform/help.h"
#include "platform/messages.h"
#include "platform/prompter.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QStyledItemDelegate>

namespace {

// Cells of a combo column are edited with a drop-down of the column's items: free text with
// edComboEdit, one of the items only with edComboList.
class ComboColumnDelegate : public QStyledItemDelegate {
public:
    explicit ComboColumnDelegate(QAdvColumnGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QAdvColumnGrid::EditorType editor = grid_->ColumnEditor(index.column());
        if (editor != QAdvColumnGrid::edComboEdit && editor != QAdvColumnGrid::edComboList)
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto* combo = new QComboBox(parent);
        combo->setEditable(editor == QAdvColumnGrid::edComboEdit);
        combo->addItems(grid_->ColumnComboItems(index.column()));
        return combo;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* combo = qobject_cast<QComboBox*>(editor);
        if (!combo) return QStyledItemDelegate::setEditorData(editor, index);
        const QString text = index.data(Qt::EditRole).toString();
        const int at = combo->findText(text);
        if (combo->isEditable())
            combo->setEditText(text);
        else
            combo->setCurrentIndex(at);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        auto* combo = qobject_cast<QComboBox*>(editor);
        if (!combo) return QStyledItemDelegate::setModelData(editor, model, index);
        model->setData(index, combo->currentText(), Qt::EditRole);
    }

private:
    QAdvColumnGrid* grid_;
};

}  // namespace

QAdvColumnGrid::QAdvColumnGrid(QWidget* parent) : QTableWidget(parent)
{
    alarmColor_ = Color();
    restoreColor_ = Color();
    setItemDelegate(new ComboColumnDelegate(this));
}

QColor QAdvColumnGrid::Color() const { return palette().color(QPalette::Base); }

void QAdvColumnGrid::SetColor(const QColor& color)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

void QAdvColumnGrid::SetColumnEditor(int column, EditorType editor)
{
    if (column < 0) return;
    if (static_cast<size_t>(column) >= columns_.size()) columns_.resize(static_cast<size_t>(column) + 1);
    columns_[static_cast<size_t>(column)].editor = editor;
}

QAdvColumnGrid::EditorType QAdvColumnGrid::ColumnEditor(int column) const
{
    if (column < 0 || static_cast<size_t>(column) >= columns_.size()) return edNormal;
    return columns_[static_cast<size_t>(column)].editor;
}

void QAdvColumnGrid::SetColumnComboItems(int column, const QStringList& items)
{
    if (column < 0) return;
    if (static_cast<size_t>(column) >= columns_.size()) columns_.resize(static_cast<size_t>(column) + 1);
    columns_[static_cast<size_t>(column)].comboItems = items;
}

QStringList QAdvColumnGrid::ColumnComboItems(int column) const
{
    if (column < 0 || static_cast<size_t>(column) >= columns_.size()) return {};
    return columns_[static_cast<size_t>(column)].comboItems;
}

int QAdvColumnGrid::GetComboItemIndex(int column, int row) const
{
    if (column < 0 || row < 0) return -1;
    const EditorType editor = ColumnEditor(column);
    if (editor != edComboEdit && editor != edComboList) return -1;
    const QTableWidgetItem* cell = item(row, column);
    const QString text = cell ? cell->text() : QString();
    return static_cast<int>(columns_[static_cast<size_t>(column)].comboItems.indexOf(text));
}

bool QAdvColumnGrid::event(QEvent* e)
{
    if (TMessage::IsWindowMessage(e)) {
        return BrannixDeliver(e, [this](TMessage& m) {
            if (m.Msg == platform::QM_BEFOREPOST) DoBeforePost(m);
        });
    }
    return QTableWidget::event(e);
}

void QAdvColumnGrid::FireBeforePostEvent(bool& accept) { emit BeforePost(this, accept); }

bool QAdvColumnGrid::DoBeforePost(TMessage& m)
{
    bool accept = true;
    FireBeforePostEvent(accept);
    if (!accept) m.Result = 1;
    return accept;
}

QWidget* QAdvColumnGrid::FindMe() { return TQComponentCommon::ShowControlForm(this); }

void QAdvColumnGrid::EnterAlarm()
{
    if (Color() != alarmColor_) restoreColor_ = Color();
    SetColor(alarmColor_);
}

void QAdvColumnGrid::ReportError(const QString& text)
{
    QApplication::beep();
    EnterAlarm();
    const bool hasForm = FindMe() != nullptr;
    const bool inStatusBar = hasForm && TQComponentCommon::SetFormStatusMessage(this, text) > 0;
    if (!inStatusBar) platform::MessageDlg(text, platform::DlgType::Error, platform::mbOK);

    if (isVisible() && isEnabled()) {
        setFocus(Qt::OtherFocusReason);
        return;
    }
    // The user cannot get at the grid: say which item the error is about.
    const QString note = QStringLiteral("* Note:  Error applies to an item that is currently disabled.\n\nItem name:  ") +
                         objectName() + QStringLiteral("\nItem type:  ") +
                         QString::fromLatin1(metaObject()->className());
    platform::MessageDlg(inStatusBar ? text + QStringLiteral("\n\n") + note : note, platform::DlgType::Error,
                         platform::mbOK);
}

bool QAdvColumnGrid::ReportWarning(const QString& text)
{
    QApplication::beep();
    EnterAlarm();
    FindMe();
    const bool yes = platform::MessageDlg(text + QStringLiteral("\n\nContinue?"), platform::DlgType::Warning,
                                          platform::mbYesNo) == platform::mrYes;
    if (yes) SetColor(restoreColor_);
    if (isVisible() && isEnabled()) setFocus(Qt::OtherFocusReason);
    return yes;
}

void QAdvColumnGrid::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_F1 && helpContext_ != 0) platform::ShowContextHelp(this, helpContext_);
    QTableWidget::keyPressEvent(e);
}
