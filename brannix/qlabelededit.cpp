#include "brannix/qlabelededit.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLabel>

TQLabeledEdit::TQLabeledEdit(QWidget* parent) : TQEdit(parent)
{
    label_ = new QLabel(parent);
    label_->setBuddy(this);
    PlaceLabel();
}

TQLabeledEdit::~TQLabeledEdit() { delete label_.data(); }

QString TQLabeledEdit::EditLabelCaption() const { return label_ ? label_->text() : QString(); }

void TQLabeledEdit::setEditLabelCaption(const QString& caption)
{
    if (!label_) return;
    label_->setText(caption);
    label_->adjustSize();
    PlaceLabel();
}

QString TQLabeledEdit::ConfirmationName() const { return EditLabelCaption(); }

namespace {
// The box layout (at any depth under `layout`) that holds `w` directly, and its index there.
QBoxLayout* BoxHolding(QLayout* layout, QWidget* w, int& index)
{
    if (!layout) return nullptr;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == w) {
            index = i;
            return qobject_cast<QBoxLayout*>(layout);
        }
        if (QBoxLayout* inner = BoxHolding(item->layout(), w, index)) return inner;
    }
    return nullptr;
}
}  // namespace

void TQLabeledEdit::PlaceLabel()
{
    if (!label_) return;
    if (label_->parentWidget() != parentWidget()) {
        label_->setParent(parentWidget());
        inLayout_ = false;
    }
    // Laid out in a box: the caption goes into the box just before the edit (above it in a
    // column, to its left in a row). Placed freely: just above the edit.
    if (!inLayout_ && parentWidget()) {
        int index = -1;
        if (QBoxLayout* box = BoxHolding(parentWidget()->layout(), this, index)) {
            box->insertWidget(index, label_);
            inLayout_ = true;
        }
    }
    if (!inLayout_) label_->move(x(), y() - label_->height() - kLabelSpacing);
    label_->setVisible(!isHidden());
    label_->setEnabled(isEnabled());
}

bool TQLabeledEdit::event(QEvent* e)
{
    const bool handled = TQEdit::event(e);
    switch (e->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ParentChange:
    case QEvent::EnabledChange:
        PlaceLabel();
        break;
    default:
        break;
    }
    return handled;
}
