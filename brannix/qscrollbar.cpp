#include "brannix/qscrollbar.h"

TQScrollBar::TQScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent), common_(this, this)
{
    common_.valueChanged = [this](const QString& v, bool& d) { emit OnDBPointValueChanged(v, d); };
    common_.afterRegister = [this] { emit AfterRegisterDatabase(); };
    common_.putToDatabase = [this](bool& d) { emit OnPutToDatabase(d, 1); };
    // Connected first, so the associated edit is up to date before the page hears of it.
    connect(this, &QAbstractSlider::valueChanged, this, [this] {
        if (associated_) associated_->setText(QString::number(ShownValue()));
    });
    connect(this, &QAbstractSlider::actionTriggered, this, [this] { unknown_ = false; });
}

TQScrollBar::~TQScrollBar() = default;

bool TQScrollBar::ShowNumber(const QString& text)
{
    long long n = 0;
    if (!TQComponentCommon::StrToInt64(text, n)) {
        SetShownValue(0);
        return false;
    }
    const bool inside = n >= minimum() && n <= maximum();
    SetShownValue(static_cast<int>(std::max<long long>(minimum(), std::min<long long>(maximum(), n))));
    return inside;
}

void TQScrollBar::Respond(const char* value)
{
    try {
        const QString v = TQComponentCommon::FromDb(value);
        if (!common_.FireValueChanged(v)) return;
        unknown_ = !ShowNumber(v);
        TQComponentCommon::ShowText(associated_, v);
    } catch (...) {
    }
}

void TQScrollBar::focusInEvent(QFocusEvent* e)
{
    // A number typed into the edit moves the bar.
    if (associated_) unknown_ = !ShowNumber(associated_->text());
    QScrollBar::focusInEvent(e);
}

bool TQScrollBar::event(QEvent* e)
{
    if (BrannixDeliver(e, [this](TMessage& m) { Dispatch(m); })) return true;
    return QScrollBar::event(e);
}

void TQScrollBar::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case platform::QM_PUT:
        if (!unknown_) common_.Put(TQMMOVEVAL{m}, QString::number(ShownValue()));
        break;
    case platform::QM_REGISTERDATABASE:
        common_.RegisterWithDatabase(TQMDATABASE{m}, [this] {
            SetColor(clOlive());
            setWindowTitle(QStringLiteral("not available"));
        });
        break;
    default: break;
    }
}
