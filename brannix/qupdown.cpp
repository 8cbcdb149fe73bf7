#include "brannix/qupdown.h"

#include "brannix/qcomponentcommon.h"

#include <QLineEdit>
#include <climits>

TQUpDown::TQUpDown(QWidget* parent) : QSpinBox(parent)
{
    setRange(0, 100);
    // Only the arrows show; the number lives in the associated edit.
    lineEdit()->setVisible(false);
    setFixedWidth(sizeHint().height());
}

bool TQUpDown::DoCanChange(int16_t newPosition, int16_t)
{
    if (associated_) associated_->setText(QString::number(newPosition + offset_));
    return true;
}

void TQUpDown::stepBy(int steps)
{
    const int step = steps * singleStep();
    long long n = static_cast<long long>(value()) + step;
    if (wrapping()) {
        if (n > maximum()) n = minimum();
        if (n < minimum()) n = maximum();
    } else {
        n = std::max<long long>(minimum(), std::min<long long>(maximum(), n));
    }
    if (DoCanChange(static_cast<int16_t>(n), static_cast<int16_t>(step))) setValue(static_cast<int>(n));
    emit Click();
}

void TQUpDown::focusInEvent(QFocusEvent* e)
{
    if (associated_) {
        long long n = 0;
        // Not a number, or none that fits an int: position 0.
        if (!TQComponentCommon::StrToInt64(associated_->text(), n) || n < INT_MIN || n > INT_MAX) n = offset_;
        setValue(static_cast<int16_t>(n - offset_));
    }
    QSpinBox::focusInEvent(e);
}
