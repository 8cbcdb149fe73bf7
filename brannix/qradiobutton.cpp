#include "brannix/qradiobutton.h"

#include <QKeyEvent>

TQRadioButton::TQRadioButton(QWidget* parent) : QRadioButton(parent), common_(this, this)
{
    common_.beforePost = [this](bool& canPost) { emit BeforePost(canPost); };
    common_.valueChanged = [this](const QString& v, bool& d) { emit OnDBPointValueChanged(v, d); };
    common_.afterRegister = [this] { emit AfterRegisterDatabase(); };
    common_.putToDatabase = [this](bool& d) { emit OnPutToDatabase(d, 1); };
    connect(this, &QAbstractButton::clicked, this, [this] {
        common_.LeaveAlarm();
        TQComponentCommon::ClearFormStatusMessage(this);
    });
}

TQRadioButton::~TQRadioButton() = default;

void TQRadioButton::SetChecked(bool on)
{
    if (on || !isChecked()) {
        setChecked(on);
        return;
    }
    // An auto-exclusive button cannot be unchecked directly.
    const bool exclusive = autoExclusive();
    setAutoExclusive(false);
    setChecked(false);
    setAutoExclusive(exclusive);
}

void TQRadioButton::Respond(const char* value)
{
    try {
        const QString v = TQComponentCommon::FromDb(value);
        if (common_.FireValueChanged(v)) SetChecked(v == trueValue_);
    } catch (...) {
    }
}

bool TQRadioButton::event(QEvent* e)
{
    if (BrannixDeliver(e, [this](TMessage& m) { Dispatch(m); })) return true;
    return QRadioButton::event(e);
}

void TQRadioButton::Dispatch(TMessage& m)
{
    const auto onOff = [](bool b) { return b ? QStringLiteral("On") : QStringLiteral("Off"); };
    switch (m.Msg) {
    case platform::QM_GET: oldState_ = isChecked(); break;
    case platform::QM_PUT:
        if (isChecked()) common_.Put(TQMMOVEVAL{m}, trueValue_);   // only the chosen button writes
        break;
    case platform::QM_RESET: SetChecked(oldState_); break;
    case platform::QM_BEFOREPOST: common_.DoBeforePost(TQMMOVEVAL{m}); break;
    case platform::QM_REPORTCHANGES:
        common_.ReportChanges(m, Modified(), {common_.fieldName, onOff(oldState_), onOff(isChecked()), QStringLiteral("?")});
        break;
    case platform::QM_REGISTERDATABASE:
        common_.RegisterWithDatabase(TQMDATABASE{m}, [this] { SetColor(clOlive()); });
        break;
    default: break;
    }
}

void TQRadioButton::keyPressEvent(QKeyEvent* e)
{
    common_.HelpKey(e);
    QRadioButton::keyPressEvent(e);
}
