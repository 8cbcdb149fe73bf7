#pragma once
// Up-down buttons that write their position, shifted by an offset, into an associated edit
// and take it back from the edit when they get the focus. Not bound to the database.
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>

class TQUpDown : public QSpinBox {
    Q_OBJECT
    Q_PROPERTY(QLineEdit* AssociatedControl READ AssociatedControl WRITE setAssociatedControl)
    Q_PROPERTY(int AssociatedControlOffset READ AssociatedControlOffset WRITE setAssociatedControlOffset)

public:
    explicit TQUpDown(QWidget* parent = nullptr);

    QLineEdit* AssociatedControl() const { return associated_; }
    void setAssociatedControl(QLineEdit* e) { associated_ = e; }
    int AssociatedControlOffset() const { return offset_; }
    void setAssociatedControlOffset(int v) { offset_ = v; }

    int Position() const { return value(); }
    void SetPosition(int p) { setValue(p); }

    // Asked before every step with the new position and the step; true lets it happen.
    virtual bool DoCanChange(int16_t newPosition, int16_t direction);
    void stepBy(int steps) override;

Q_SIGNALS:
    // The user stepped the up-down (an arrow clicked, a key pressed), after the step moved the
    // position and the associated text. Positions set by code raise nothing.
    void Click();

protected:
    void focusInEvent(QFocusEvent* e) override;

private:
    QPointer<QLineEdit> associated_;
    int offset_ = 0;
};
