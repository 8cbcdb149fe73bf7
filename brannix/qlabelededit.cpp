#include "brannix/qlabelededit.h"

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

void TQLabeledEdit::PlaceLabel()
{
    if (!label_) return;
    if (label_->parentWidget() != parentWidget()) label_->setParent(parentWidget());
    label_->move(x(), y() - label_->height() - kLabelSpacing);
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
