#include "brannix/qedit.h"

#include "platform/numtext.h"
#include "platform/prompter.h"

#include <QApplication>
#include <QKeyEvent>
#include <limits>

namespace {

// The integer range of a point's value, by its type code; false for a type that is not an
// integer of a known width.
bool PointIntegerRange(int typeCode, long long& low, long long& high)
{
    switch (typeCode) {
    case 1: case 19: case 20: low = 0; high = 4294967295LL; return true;            // unsigned 32
    // A 32-bit bit set shows its value signed ("-1" is all bits set): it takes its own text
    // back as well as the unsigned form of the same bits.
    case 22: low = std::numeric_limits<int32_t>::min(); high = 4294967295LL; return true;
    case 2: case 21: low = 0; high = 65535; return true;                            // unsigned 16, bit set 16
    case 3: case 24: case 25: case 15: case 7: low = 0; high = 255; return true;    // unsigned 8, baud, bit set 8
    case 4: low = std::numeric_limits<int32_t>::min(); high = std::numeric_limits<int32_t>::max(); return true;
    case 5: low = -32768; high = 32767; return true;
    case 6: low = -128; high = 127; return true;
    default: return false;
    }
}

QString OutOfRangeText(double low, double high)
{
    return QStringLiteral("Out of range.  Range is ") + QString::fromStdString(numtext::FloatToStr(low)) +
           QStringLiteral(" to ") + QString::fromStdString(numtext::FloatToStr(high)) + QStringLiteral(".");
}

}  // namespace

bool BrannixValidatesOnExit(Qt::FocusReason reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
           reason != Qt::MenuBarFocusReason && reason != Qt::NoFocusReason;
}

TQEdit::TQEdit(QWidget* parent) : QLineEdit(parent), common_(this, this)
{
    common_.beforePost = [this](bool& canPost) { emit BeforePost(canPost); };
    common_.valueChanged = [this](const QString& v, bool& d) { emit OnDBPointValueChanged(v, d); };
    common_.afterRegister = [this] { emit AfterRegisterDatabase(); };
    common_.putToDatabase = [this](bool& d) { emit OnPutToDatabase(d, 1); };
}

TQEdit::~TQEdit() = default;

void TQEdit::setDataType(TDataType v)
{
    if (v == dataType_) return;
    if (v == dtText && rangeEdit_) {
        const int answer = platform::MessageDlg(QStringLiteral("Must turn off RangeEdit for non-numeric DataType.  Continue?"),
                                                platform::DlgType::Confirmation, platform::mbOKCancel);
        if (answer != platform::mrOk) return;
        rangeEdit_ = false;
    }
    dataType_ = v;
    update();
}

void TQEdit::setRangeEdit(bool v)
{
    if (v == rangeEdit_) return;
    if (dataType_ == dtText) {
        platform::ShowMessage(QStringLiteral("RangeEdit only valid for numeric DataType"));
        return;
    }
    rangeEdit_ = v;
    update();
}

bool TQEdit::Modified() const { return text() != oldValue_; }

bool TQEdit::DoEdits()
{
    common_.LeaveAlarm();
    TQComponentCommon::ClearFormStatusMessage(this);
    // A control whose point is not available writes nothing, so it has nothing to validate.
    if (common_.NotAvailable()) return false;

    bool rejected = false;
    const QString t = text();
    if (required_ && t.isEmpty()) {
        ReportError(QStringLiteral("This field is required."));
        rejected = true;
    }
    if (t.isEmpty() || dataType_ == dtText) return rejected;

    double value = 0;
    if (!TQComponentCommon::StrToFloat(t, value)) {
        ReportError(QStringLiteral("Invalid number"));
        return true;
    }
    if (dataType_ == dtInt || dataType_ == dtPosInt) {
        // An integer field takes whole numbers only, within the width of its point.
        long long n = 0;
        if (!TQComponentCommon::StrToInt64(t, n)) {
            ReportError(QStringLiteral("Invalid number"));
            return true;
        }
        long long low = 0, high = 0;
        bool known = false;
        bool bitSet32 = false;   // its negative text is its own, not a sign the field refuses
        if (common_.Registered() && common_.Glue()) {
            try {
                const int typeCode = common_.Glue()->GetTypeCode(common_.dbId);
                known = PointIntegerRange(typeCode, low, high);
                bitSet32 = typeCode == 22;
            } catch (...) {
                known = false;
            }
        }
        if (!known) {
            low = dataType_ == dtInt ? std::numeric_limits<int32_t>::min() : 0;
            high = dataType_ == dtInt ? std::numeric_limits<int32_t>::max() : 4294967295LL;
        }
        if (dataType_ == dtPosInt && low < 0 && !bitSet32) low = 0;
        if (n < low || n > high) {
            ReportError(OutOfRangeText(static_cast<double>(low), static_cast<double>(high)));
            return true;
        }
    }
    if (rangeEdit_) {
        // Compared at the bounds' own precision, so that a typed bound such as 0.1 is inside.
        const float v = static_cast<float>(value);
        if (v < rangeLow_ || v > rangeHigh_) {
            ReportError(OutOfRangeText(rangeLow_, rangeHigh_));
            return true;
        }
    }
    return rejected;
}

void TQEdit::ReportError(const QString& msg)
{
    const QString name = posting_ ? RefusalName() : QString();
    common_.ReportError(name.isEmpty() ? msg : name + QStringLiteral(": ") + msg);
}

QString TQEdit::RefusalName() const
{
    for (const QString& name : {accessibleName(), ConfirmationName(), toolTip()})
        if (!name.trimmed().isEmpty()) return name.trimmed();
    return QString();
}

bool TQEdit::ReportWarning(const QString& msg) { return common_.ReportWarning(msg); }

void TQEdit::FireBeforePostEvent(bool& CanPost) { CanPost = common_.FireBeforePostEvent(); }

void TQEdit::Respond(const char* value)
{
    try {
        const QString v = TQComponentCommon::FromDb(value);
        if (common_.FireValueChanged(v)) {
            TQComponentCommon::ShowText(this, v);
            cutShown_ = v.size() > maxLength() ? std::optional<QString>(text()) : std::nullopt;
        }
    } catch (...) {
        // A failing page handler must not unwind into the database.
    }
}

bool TQEdit::event(QEvent* e)
{
    if (BrannixDeliver(e, [this](TMessage& m) { Dispatch(m); })) return true;
    return QLineEdit::event(e);
}

void TQEdit::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case platform::QM_GET: Get(TQMMOVEVAL{m}); break;
    case platform::QM_PUT: Put(TQMMOVEVAL{m}); break;
    case platform::QM_EDIT: Edit(TQMMOVEVAL{m}); break;
    case platform::QM_RESET: Reset(TQMMOVEVAL{m}); break;
    case platform::QM_BEFOREPOST: DoBeforePost(TQMMOVEVAL{m}); break;
    case platform::QM_REPORTCHANGES: ReportChanges(m); break;
    case platform::QM_REGISTERDATABASE: RegisterWithDatabase(TQMDATABASE{m}); break;
    default: break;
    }
}

void TQEdit::Get(TQMMOVEVAL)
{
    SetColor(clLime());
    oldValue_ = text();
}

void TQEdit::Put(TQMMOVEVAL m)
{
    if (isReadOnly()) return;
    // A text from the unit longer than the box holds is shown cut; unless the user changed it,
    // the cut text is not put, so that a write never shortens what the unit holds.
    if (cutShown_ && text() == *cutShown_) return;
    common_.Put(m, text());
}

void TQEdit::Edit(TQMMOVEVAL m)
{
    posting_ = true;
    const bool refused = DoEdits();
    posting_ = false;
    if (refused) m.Result() = 1;
}

void TQEdit::Reset(TQMMOVEVAL) { setText(oldValue_); }

void TQEdit::DoBeforePost(TQMMOVEVAL m)
{
    bool canPost = true;
    FireBeforePostEvent(canPost);
    if (!canPost) m.Result() = 1;
}

void TQEdit::ReportChanges(TMessage& m)
{
    common_.ReportChanges(m, Modified(), {ConfirmationName(), oldValue_, text(), QStringLiteral("?")});
}

void TQEdit::RegisterWithDatabase(TQMDATABASE m)
{
    common_.RegisterWithDatabase(m, [this] {
        SetColor(clOlive());
        setText(QStringLiteral("not available"));
    });
}

bool TQEdit::Accepts(QChar c) const
{
    const char ch = c.toLatin1();
    const bool digit = ch >= '0' && ch <= '9';
    switch (dataType_) {
    case dtSciNot: return digit || ch == '.' || ch == '+' || ch == '-' || ch == 'e' || ch == 'E';
    case dtFloat: return digit || ch == '.' || ch == '+' || ch == '-';
    case dtPosFloat: return digit || ch == '.';
    case dtInt: return digit || ch == '+' || ch == '-';
    case dtPosInt: return digit;
    case dtText: default: return true;
    }
}

void TQEdit::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_F1) {
        common_.HelpKey(e);
        QLineEdit::keyPressEvent(e);
        return;
    }
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    const bool backspace = e->key() == Qt::Key_Backspace;
    if (!enter && !backspace) {
        const QString t = e->text();
        const bool character = !t.isEmpty() && t.at(0).isPrint() &&
                               !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (!character) {   // cursor keys, shortcuts: not the filter's business
            QLineEdit::keyPressEvent(e);
            return;
        }
        for (QChar c : t) {
            if (!Accepts(c)) {
                QApplication::beep();
                e->accept();
                return;
            }
        }
    }
    common_.LeaveAlarm();
    TQComponentCommon::ClearFormStatusMessage(this);
    if (enter && DoEdits()) {
        e->accept();   // the page never sees an Enter on a rejected text
        return;
    }
    QLineEdit::keyPressEvent(e);
    if (enter) e->accept();   // Enter is consumed here
}

void TQEdit::focusOutEvent(QFocusEvent* e)
{
    if (BrannixValidatesOnExit(e->reason()) && !TQComponentCommon::Reporting() && DoEdits())
        return;   // rejected: the report has put the focus back, the page's exit handling is skipped
    QLineEdit::focusOutEvent(e);
}
