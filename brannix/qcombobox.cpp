#include "brannix/qcombobox.h"

#include "brannix/qedit.h"

#include <QKeyEvent>

TQComboBox::TQComboBox(QWidget* parent) : QComboBox(parent), common_(this, this)
{
    common_.beforePost = [this](bool& canPost) { emit BeforePost(canPost); };
    common_.valueChanged = [this](const QString& v, bool& d) { emit OnDBPointValueChanged(v, d); };
    common_.afterRegister = [this] { emit AfterRegisterDatabase(); };
    common_.putToDatabase = [this](bool& d) { emit OnPutToDatabase(d, 1); };
    // The user chose an item: leave the alarm before the page hears of it.
    connect(this, &QComboBox::activated, this, [this] {
        unshownValue_ = false;
        common_.LeaveAlarm();
        TQComponentCommon::ClearFormStatusMessage(this);
    });
}

TQComboBox::~TQComboBox() = default;

bool TQComboBox::DoEdits()
{
    common_.LeaveAlarm();
    TQComponentCommon::ClearFormStatusMessage(this);
    if (common_.NotAvailable()) return false;
    // A value from the analyzer that names no item is not the user's missing choice: the box
    // writes nothing for it (Put) and the other controls' writes go on.
    if (required_ && count() > 0 && currentIndex() < 0 && !unshownValue_) {
        ReportError(QStringLiteral("This field is required."));
        return true;
    }
    return false;
}

void TQComboBox::Respond(const char* value)
{
    try {
        const QString v = TQComponentCommon::FromDb(value);
        if (!common_.FireValueChanged(v)) return;
        // A value that names no item shows nothing (and so is not written back).
        long long n = -1;
        if (!TQComponentCommon::StrToInt64(v, n) || n < 0 || n >= count()) n = -1;
        unshownValue_ = n < 0;
        setCurrentIndex(static_cast<int>(n));
    } catch (...) {
    }
}

void TQComboBox::SelectItemText(const QString& text)
{
    const int n = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    unshownValue_ = n < 0;
    setCurrentIndex(n);
}

bool TQComboBox::event(QEvent* e)
{
    if (BrannixDeliver(e, [this](TMessage& m) { Dispatch(m); })) return true;
    return QComboBox::event(e);
}

void TQComboBox::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case platform::QM_GET:
        SetColor(clLime());
        oldIndex_ = currentIndex();
        break;
    case platform::QM_PUT:
        if (currentIndex() >= 0) common_.Put(TQMMOVEVAL{m}, QString::number(currentIndex()));
        break;
    case platform::QM_EDIT:
        if (DoEdits()) m.Result = 1;
        break;
    case platform::QM_RESET: setCurrentIndex(oldIndex_); break;
    case platform::QM_BEFOREPOST: common_.DoBeforePost(TQMMOVEVAL{m}); break;
    case platform::QM_REPORTCHANGES: {
        const QString old = oldIndex_ >= 0 && oldIndex_ < count() ? itemText(oldIndex_) : QStringLiteral(" ");
        common_.ReportChanges(m, Modified(), {common_.fieldName, old, currentText(), QStringLiteral("?")});
        break;
    }
    case platform::QM_REGISTERDATABASE:
        common_.RegisterWithDatabase(TQMDATABASE{m}, [this] {
            SetColor(clOlive());
            setCurrentIndex(-1);
            if (isEditable())
                setEditText(QStringLiteral("not available"));
            else
                setPlaceholderText(QStringLiteral("not available"));
        });
        break;
    default: break;
    }
}

void TQComboBox::keyPressEvent(QKeyEvent* e)
{
    common_.HelpKey(e);
    QComboBox::keyPressEvent(e);
}

void TQComboBox::focusOutEvent(QFocusEvent* e)
{
    if (BrannixValidatesOnExit(e->reason()) && !TQComponentCommon::Reporting() && DoEdits()) return;
    QComboBox::focusOutEvent(e);
}
