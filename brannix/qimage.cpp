#include "brannix/qimage.h"

#include "platform/numtext.h"

#include <QPainter>
#include <QStyle>

TQImageBase::TQImageBase(int width, QWidget* parent) : QLabel(parent), width_(width), common_(this, this)
{
    common_.afterRegister = [this] { emit AfterRegisterDatabase(); };
}

TQImageBase::~TQImageBase() = default;

void TQImageBase::Respond(const char* value)
{
    try {
        const QString v = TQComponentCommon::FromDb(value);
        const int bit = Brannix::BitIndex(watchBit_);
        if (bit < 0) {
            state_ = v == trueValue_ ? StateOn : StateOff;
        } else if (bit < width_) {
            // The value read as a number (atol-like, 32-bit wraparound).
            const auto bits = static_cast<uint32_t>(numtext::AtoL(v.toLatin1().constData()));
            state_ = ((bits >> bit) & 1u) ? StateOn : StateOff;
        }   // a bit beyond the width leaves the state as it was
        emit OnDBPointValueChanged(v);
    } catch (...) {
    }
}

bool TQImageBase::event(QEvent* e)
{
    if (BrannixDeliver(e, [this](TMessage& m) { Dispatch(m); })) return true;
    return QLabel::event(e);
}

void TQImageBase::Dispatch(TMessage& m)
{
    if (m.Msg != platform::QM_REGISTERDATABASE) return;
    common_.RegisterWithDatabase(TQMDATABASE{m}, [this] { state_ = StateNotAvailable; });
}

void TQImageBase::paintEvent(QPaintEvent* e)
{
    const QPixmap picture = pixmap();
    if (isEnabled() || picture.isNull()) {
        QLabel::paintEvent(e);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect();
    if (hasScaledContents())
        painter.drawPixmap(area, picture);
    else
        style()->drawItemPixmap(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()), picture);
}
