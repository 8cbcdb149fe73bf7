#include "brannix/qcomponentcommon.h"

#include "brannix/qstatusbar.h"
#include "platform/errors.h"
#include "platform/help.h"
#include "platform/numtext.h"
#include "platform/prompter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QWidget>
#include <algorithm>
#include <climits>
#include <exception>
#include <vector>

namespace {

// Never destroyed, so that a database or control that outlives static destruction still finds it.
std::vector<TQComponentCommon*>& liveControls()
{
    static auto* all = new std::vector<TQComponentCommon*>;
    return *all;
}

int g_reporting = 0;

// Marks a report in progress for as long as it lives.
struct ReportingScope {
    ReportingScope() { ++g_reporting; }
    ~ReportingScope() { --g_reporting; }
};

}  // namespace

TQComponentCommon::TQComponentCommon(QWidget* control, IDBPointObserver* observer)
    : control_(control), observer_(observer)
{
    savedColor_ = Color();
    liveControls().push_back(this);
}

TQComponentCommon::~TQComponentCommon()
{
    auto& all = liveControls();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    Detach();
}

// --- binding ---------------------------------------------------------------------------

void TQComponentCommon::Detach()
{
    if (binding_ == Binding::Registered && glue_ && observer_) {
        try {
            glue_->Detach(attachedId_, observer_);
        } catch (...) {
            // The database refusing to let go must not take the control's owner down.
        }
    }
    if (binding_ == Binding::Registered) binding_ = Binding::Unbound;
}

void TQComponentCommon::ForgetDatabase(IDatabaseGlue* glue)
{
    for (TQComponentCommon* c : liveControls()) {
        if (c->glue_ != glue) continue;
        c->glue_ = nullptr;
        if (c->binding_ == Binding::Registered) c->binding_ = Binding::Unbound;
    }
}

TQComponentCommon::Binding TQComponentCommon::RegisterWithDatabase(TQMDATABASE m,
                                                                  const std::function<void()>& onRefused)
{
    // A second registration replaces the first: never two attachments of one control.
    Detach();
    binding_ = Binding::Unbound;
    glue_ = m.Database();
    if (glue_ && useDatabase && observer_) {
        int r = 1;
        try {
            r = glue_->Attach(dbId, observer_);
        } catch (...) {
            r = 1;
        }
        if (r == 0) {
            binding_ = Binding::Registered;
            attachedId_ = dbId;
        } else {
            binding_ = Binding::Refused;
            if (onRefused) onRefused();
        }
    }
    if (afterRegister) afterRegister();
    return binding_;
}

void TQComponentCommon::SetDbId(TDbId id)
{
    if (id == dbId) return;
    dbId = id;
    // A bound control follows its new point at once.
    if (binding_ == Binding::Registered && glue_ && observer_) {
        Detach();
        int r = 1;
        try {
            r = glue_->Attach(dbId, observer_);
        } catch (...) {
            r = 1;
        }
        if (r == 0) {
            binding_ = Binding::Registered;
            attachedId_ = dbId;
        } else {
            binding_ = Binding::Refused;
        }
    }
}

void TQComponentCommon::Put(TQMMOVEVAL m, const QString& text)
{
    if (!CanPut()) return;
    bool doDefault = true;
    if (putToDatabase) putToDatabase(doDefault);
    if (!doDefault) return;
    const QByteArray bytes = ToDb(text);
    try {
        glue_->PutText(attachedId_, bytes.constData());
    } catch (const EConvertError& e) {
        ReportError(QString::fromLocal8Bit(e.what()));
        m.Result() = 1;
    } catch (const std::exception& e) {
        ReportError(QString::fromLocal8Bit(e.what()));
        m.Result() = 1;
    }
}

bool TQComponentCommon::FireValueChanged(const QString& value)
{
    bool doDefault = true;
    if (valueChanged) valueChanged(value, doDefault);
    return doDefault;
}

bool TQComponentCommon::FireBeforePostEvent()
{
    bool canPost = true;
    if (beforePost) beforePost(canPost);
    return canPost;
}

void TQComponentCommon::DoBeforePost(TQMMOVEVAL m)
{
    if (!FireBeforePostEvent()) m.Result() = 1;
}

// --- colour -----------------------------------------------------------------------------

QColor TQComponentCommon::Color() const { return control_->palette().color(control_->backgroundRole()); }

void TQComponentCommon::SetColor(const QColor& c)
{
    // Pages colour controls from arriving values, most often with the colour they already have.
    const QPalette::ColorRole role = control_->backgroundRole();
    const bool fills = role != QPalette::Window || control_->autoFillBackground();
    if (fills && control_->palette().isBrushSet(QPalette::Active, role) && Color() == c) return;
    QPalette p = control_->palette();
    p.setColor(control_->backgroundRole(), c);
    control_->setPalette(p);
    if (control_->backgroundRole() == QPalette::Window) control_->setAutoFillBackground(true);
}

void TQComponentCommon::EnterAlarm()
{
    if (Color() != alarmColor) savedColor_ = Color();
    SetColor(alarmColor);
}

void TQComponentCommon::LeaveAlarm()
{
    if (Color() == alarmColor)
        SetColor(savedColor_);
    else
        savedColor_ = Color();
}

// --- reports ----------------------------------------------------------------------------

bool TQComponentCommon::Reporting() { return g_reporting > 0; }

void TQComponentCommon::ReportError(const QString& msg)
{
    ReportingScope scope;
    QApplication::beep();
    EnterAlarm();
    QWidget* form = ShowControlForm(control_);
    const int bars = form ? SetFormStatusMessage(control_, msg) : 0;
    if (bars == 0) platform::MessageDlg(msg, platform::DlgType::Error, platform::mbOK);
    if (control_->isVisible() && control_->isEnabled()) control_->setFocus(Qt::OtherFocusReason);
}

bool TQComponentCommon::ReportWarning(const QString& msg)
{
    ReportingScope scope;
    QApplication::beep();
    EnterAlarm();
    ShowControlForm(control_);
    const int answer = platform::MessageDlg(msg + QStringLiteral("\n\nContinue?"), platform::DlgType::Warning,
                                            platform::mbYesNo);
    if (answer == platform::mrYes) SetColor(savedColor_);
    if (control_->isVisible() && control_->isEnabled()) control_->setFocus(Qt::OtherFocusReason);
    return answer == platform::mrYes;
}

// --- F1 ---------------------------------------------------------------------------------

void TQComponentCommon::HelpKey(QKeyEvent* event) const
{
    if (event->key() == Qt::Key_F1 && helpContext != 0) platform::ShowContextHelp(control_, helpContext);
}

// --- confirmation row -------------------------------------------------------------------

void TQComponentCommon::ReportChanges(TMessage& m, bool modified, const QStringList& subItems)
{
    auto* list = reinterpret_cast<QTreeWidget*>(m.LParam);
    if (!list) {
        platform::ShowMessage(QStringLiteral("Invalid ListView passed to ReportChanges."));
        return;
    }
    if (!modified || dbId == 0 || !confirmChanges) return;
    try {
        QStringList columns;
        QWidget* form = control_->isWindow() ? nullptr : control_->window();
        columns << (form ? form->windowTitle() : QString());
        columns << subItems;
        list->setUpdatesEnabled(false);
        list->addTopLevelItem(new QTreeWidgetItem(columns));
        list->setUpdatesEnabled(true);
    } catch (const std::exception& e) {
        list->setUpdatesEnabled(true);
        platform::ShowMessage(QString::fromLocal8Bit(e.what()) +
                              QStringLiteral("\n\nError loading data to confirmation window."));
    }
}

// --- shared routines --------------------------------------------------------------------

QWidget* TQComponentCommon::ShowControlForm(QWidget* control)
{
    if (!control || control->isWindow()) return nullptr;   // a control without a form
    QWidget* form = control->window();
    if (!form->isVisible()) form->show();
    if (form->isMinimized()) form->showNormal();
    if (!form->isActiveWindow()) {
        form->raise();
        form->activateWindow();
    }
    // Bring forward every tab page between the control and its form.
    for (QWidget* w = control->parentWidget(); w && w != form; w = w->parentWidget()) {
        auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
        if (!stack) continue;
        if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget())) tabs->setCurrentWidget(w);
    }
    return form;
}

void TQComponentCommon::SetStatusBarMessage(QStatusBar* bar, const QString& msg)
{
    if (auto* q = qobject_cast<TQStatusBar*>(bar); q && q->PanelCount() > 0)
        q->SetPanelText(0, msg);
    else if (msg.isEmpty())
        bar->clearMessage();
    else
        bar->showMessage(msg);
    bar->update();
}

int TQComponentCommon::SetFormStatusMessage(QWidget* control, const QString& msg)
{
    if (!control || control->isWindow()) return 0;
    int count = 0;
    for (QObject* child : control->window()->children()) {
        if (auto* bar = qobject_cast<QStatusBar*>(child)) {
            SetStatusBarMessage(bar, msg);
            ++count;
        }
    }
    return count;
}

void TQComponentCommon::ClearFormStatusMessage(QWidget* control) { SetFormStatusMessage(control, QString()); }

// --- number text ------------------------------------------------------------------------

bool TQComponentCommon::StrToFloat(const QString& text, double& value)
{
    const QByteArray s = text.trimmed().toLatin1();
    const char* p = s.constData();
    if (*p == '+' || *p == '-') ++p;
    bool digits = false;
    while (*p >= '0' && *p <= '9') { ++p; digits = true; }
    if (*p == '.') {
        ++p;
        while (*p >= '0' && *p <= '9') { ++p; digits = true; }
    }
    if (!digits) return false;
    if (*p == 'e' || *p == 'E') {
        ++p;
        if (*p == '+' || *p == '-') ++p;
        if (!(*p >= '0' && *p <= '9')) return false;
        while (*p >= '0' && *p <= '9') ++p;
    }
    if (*p != '\0') return false;
    value = numtext::AtoF(s.constData());
    return numtext::IsValidFloat(value);
}

bool TQComponentCommon::StrToInt64(const QString& text, long long& value)
{
    const QByteArray s = text.trimmed().toLatin1();
    const char* p = s.constData();
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    if (!(*p >= '0' && *p <= '9')) return false;
    unsigned long long acc = 0;
    bool overflow = false;
    while (*p >= '0' && *p <= '9') {
        const unsigned d = static_cast<unsigned>(*p++ - '0');
        if (acc > (ULLONG_MAX - d) / 10u) overflow = true; else acc = acc * 10u + d;
    }
    if (*p != '\0') return false;
    // Saturate: a number too long for 64 bits is still an integer, only out of every range.
    if (overflow || acc > static_cast<unsigned long long>(LLONG_MAX))
        value = negative ? LLONG_MIN : LLONG_MAX;
    else
        value = negative ? -static_cast<long long>(acc) : static_cast<long long>(acc);
    return true;
}

void TQComponentCommon::ShowText(QLineEdit* edit, const QString& text)
{
    // A text longer than the edit holds shows cut: the cut text is what an equal value shows.
    if (edit && edit->text() != QStringView(text).left(edit->maxLength())) edit->setText(text);
}

QString TQComponentCommon::FromDb(const char* text) { return text ? QString::fromLatin1(text) : QString(); }

QByteArray TQComponentCommon::ToDb(const QString& text) { return text.toLatin1(); }

// --- delivery ---------------------------------------------------------------------------

bool BrannixDeliver(QEvent* event, const std::function<void(TMessage&)>& dispatch)
{
    if (!TMessage::IsWindowMessage(event)) return false;
    auto& m = static_cast<TMessage&>(*event);
    try {
        dispatch(m);
    } catch (...) {
        // Nothing may cross the event loop; a handler that failed counts as a refusal.
        m.Result = 1;
    }
    return true;
}

void BrannixForgetDatabase(IDatabaseGlue* glue) { TQComponentCommon::ForgetDatabase(glue); }
