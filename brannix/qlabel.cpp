#include "brannix/qlabel.h"

TQLabel::TQLabel(QWidget* parent) : QLabel(parent), common_(this, this)
{
    common_.valueChanged = [this](const QString& v, bool& d) { emit OnDBPointValueChanged(v, d); };
    common_.afterRegister = [this] { emit AfterRegisterDatabase(); };
}

TQLabel::~TQLabel() = default;

void TQLabel::Respond(const char* value)
{
    try {
        const QString v = TQComponentCommon::FromDb(value);
        if (common_.FireValueChanged(v)) setText(v);
    } catch (...) {
    }
}

bool TQLabel::event(QEvent* e)
{
    if (BrannixDeliver(e, [this](TMessage& m) { Dispatch(m); })) return true;
    return QLabel::event(e);
}

void TQLabel::Dispatch(TMessage& m)
{
    if (m.Msg != platform::QM_REGISTERDATABASE) return;
    common_.RegisterWithDatabase(TQMDATABASE{m}, [this] {
        SetColor(clOlive());
        setText(QStringLiteral("not available"));
    });
}
