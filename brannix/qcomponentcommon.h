#pragma once
// The logic that every data-bound control shares, held by each control as one member:
// binding to its point, handing text to the database, the alarm colour, error reports in
// the form's status bars, F1 help and the confirmation-list row.
#include "brannix/control_protocol.h"

#include <QColor>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QKeyEvent;
class QLineEdit;
class QWidget;
class QStatusBar;

class TQComponentCommon {
public:
    TQComponentCommon(QWidget* control, IDBPointObserver* observer);
    ~TQComponentCommon();   // detaches from the point
    TQComponentCommon(const TQComponentCommon&) = delete;
    TQComponentCommon& operator=(const TQComponentCommon&) = delete;

    // Published values that the family shares.
    TDbId dbId = 0;
    bool useDatabase = false;
    QColor alarmColor = clYellow();
    bool confirmChanges = false;
    QString fieldName;
    int helpContext = 0;

    // The control's events, wired by the control to its signals.
    std::function<void(bool& canPost)> beforePost;
    std::function<void(const QString& value, bool& doDefault)> valueChanged;
    std::function<void()> afterRegister;
    std::function<void(bool& doDefault)> putToDatabase;

    // --- binding ---
    enum class Binding { Unbound, Registered, Refused };
    // Keeps the glue (also null), detaches from an earlier attachment, attaches when
    // UseDatabase is set, then fires AfterRegisterDatabase. Never sets the message's Result.
    // onRefused runs when the database refuses the point, before AfterRegisterDatabase.
    Binding RegisterWithDatabase(TQMDATABASE m, const std::function<void()>& onRefused = {});
    // DbId setter: a registered control moves its attachment to the new point.
    void SetDbId(TDbId id);
    Binding State() const { return binding_; }
    bool Registered() const { return binding_ == Binding::Registered; }
    bool NotAvailable() const { return binding_ == Binding::Refused; }
    IDatabaseGlue* Glue() const { return glue_; }
    void Detach();
    // The database is going away: forget it without calling it (every control of the process).
    static void ForgetDatabase(IDatabaseGlue* glue);

    // Puts `text` when the control is bound, UseDatabase, registered and OnPutToDatabase
    // does not veto. A conversion error of the database is reported like a validation error
    // and answers 1 in the message.
    void Put(TQMMOVEVAL m, const QString& text);
    bool CanPut() const { return glue_ && useDatabase && Registered(); }

    // Runs OnDBPointValueChanged; true when the control should show the value itself.
    bool FireValueChanged(const QString& value);
    // BeforePost event with CanPost preset to true; QM_BEFOREPOST answers 1 when it is false.
    bool FireBeforePostEvent();
    void DoBeforePost(TQMMOVEVAL m);

    // --- colour ---
    QColor Color() const;
    void SetColor(const QColor& c);
    QColor SavedColor() const { return savedColor_; }
    void EnterAlarm();
    void LeaveAlarm();

    // --- reports ---
    void ReportError(const QString& msg);
    bool ReportWarning(const QString& msg);
    // True while a control's report (message box, focus return) is in progress: focus changes
    // it causes are not validated again.
    static bool Reporting();

    // --- F1 ---
    // Opens the context help for F1 with a non-zero context; the caller then passes the key on.
    void HelpKey(QKeyEvent* event) const;

    // --- confirmation row (QM_REPORTCHANGES; LParam is the QTreeWidget that takes the rows) ---
    void ReportChanges(TMessage& m, bool modified, const QStringList& subItems);

    // Shared routines.
    static QWidget* ShowControlForm(QWidget* control);
    static void ClearFormStatusMessage(QWidget* control);
    // Writes msg into every status bar among the direct children of the control's form;
    // returns how many there were.
    static int SetFormStatusMessage(QWidget* control, const QString& msg);
    static void SetStatusBarMessage(QStatusBar* bar, const QString& msg);

    // Number text helpers of the family (C locale, '.' as decimal separator).
    // The whole text (blanks around it allowed) is a decimal number.
    static bool StrToFloat(const QString& text, double& value);
    // The whole text is an integer (optional sign and digits), within 64 bits.
    static bool StrToInt64(const QString& text, long long& value);
    // Shows an arriving value in an edit. The same text again (cut to the edit's length as the
    // edit shows it) leaves the edit alone (its cursor, selection and undo steps stay as the user
    // left them).
    static void ShowText(QLineEdit* edit, const QString& text);
    // Latin-1 in both directions, so that the database's bytes come back unchanged.
    static QString FromDb(const char* text);
    static QByteArray ToDb(const QString& text);

private:
    QWidget* control_;
    IDBPointObserver* observer_;
    IDatabaseGlue* glue_ = nullptr;
    Binding binding_ = Binding::Unbound;
    TDbId attachedId_ = 0;
    QColor savedColor_;
};

// Window messages reach a control through event(); this routes them to its Dispatch and
// keeps every exception inside.
bool BrannixDeliver(QEvent* event, const std::function<void(TMessage&)>& dispatch);
