#include "brannix/qcheckbox.h"

#include "platform/numtext.h"

#include <QKeyEvent>

namespace {
// The value's 32 bits when the text starts with a number (atol-like, 32-bit wraparound, so
// "4294967295" and "-1" are the same bits); false when it holds no number at all.
bool ValueBits(const QString& text, uint32_t& bits)
{
    const QByteArray s = text.toLatin1();
    const char* p = s.constData();
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '+' || *p == '-') ++p;
    if (!(*p >= '0' && *p <= '9')) return false;
    bits = static_cast<uint32_t>(numtext::AtoL(s.constData()));
    return true;
}
}  // namespace

TQCheckBoxBase::TQCheckBoxBase(int width, QWidget* parent) : QCheckBox(parent), width_(width), common_(this, this)
{
    common_.beforePost = [this](bool& canPost) { emit BeforePost(canPost); };
    common_.valueChanged = [this](const QString& v, bool& d) { emit OnDBPointValueChanged(v, d); };
    common_.afterRegister = [this] { emit AfterRegisterDatabase(); };
    common_.putToDatabase = [this](bool& d) { emit OnPutToDatabase(d, 1); };
    // Only the user's click: a value arriving from the database sets the state without it.
    connect(this, &QAbstractButton::clicked, this, [this] {
        unknown_ = false;
        common_.LeaveAlarm();
        TQComponentCommon::ClearFormStatusMessage(this);
    });
}

TQCheckBoxBase::~TQCheckBoxBase() = default;

void TQCheckBoxBase::Respond(const char* value)
{
    try {
        const QString v = TQComponentCommon::FromDb(value);
        if (!common_.FireValueChanged(v)) return;
        const int bit = Brannix::BitIndex(watchBit_);
        if (bit < 0) {
            unknown_ = false;
            setChecked(v == trueValue_);
            return;
        }
        uint32_t bits = 0;
        if (bit >= width_ || !ValueBits(v, bits)) {
            unknown_ = true;   // shows no real value: written back never
            if (bit < width_) setChecked(false);
            return;
        }
        unknown_ = false;
        setChecked(((bits >> bit) & 1u) != 0);
    } catch (...) {
    }
}

QString TQCheckBoxBase::PutTextForState() const
{
    const int bit = Brannix::BitIndex(watchBit_);
    if (bit < 0) return isChecked() ? QStringLiteral("True") : QStringLiteral("False");
    const uint32_t one = 1u << bit;
    const uint32_t full = width_ == 32 ? 0xFFFFFFFFu : 0xFFFFu;
    return QString::number(isChecked() ? one : full - one);
}

bool TQCheckBoxBase::event(QEvent* e)
{
    if (BrannixDeliver(e, [this](TMessage& m) { Dispatch(m); })) return true;
    return QCheckBox::event(e);
}

void TQCheckBoxBase::Dispatch(TMessage& m)
{
    const auto onOff = [](bool b) { return b ? QStringLiteral("On") : QStringLiteral("Off"); };
    switch (m.Msg) {
    case platform::QM_GET: oldState_ = isChecked(); break;
    case platform::QM_PUT: {
        const int bit = Brannix::BitIndex(watchBit_);
        if (unknown_ || bit >= width_) break;
        common_.Put(TQMMOVEVAL{m}, PutTextForState());
        break;
    }
    case platform::QM_RESET: setChecked(oldState_); break;
    case platform::QM_BEFOREPOST: common_.DoBeforePost(TQMMOVEVAL{m}); break;
    case platform::QM_REPORTCHANGES:
        common_.ReportChanges(m, Modified(), {common_.fieldName, onOff(oldState_), onOff(isChecked()), QStringLiteral("?")});
        break;
    case platform::QM_REGISTERDATABASE:
        common_.RegisterWithDatabase(TQMDATABASE{m}, [this] { SetColor(clOlive()); });
        break;
    default: break;   // QM_EDIT: a check box never rejects
    }
}

void TQCheckBoxBase::keyPressEvent(QKeyEvent* e)
{
    common_.HelpKey(e);
    QCheckBox::keyPressEvent(e);
}
