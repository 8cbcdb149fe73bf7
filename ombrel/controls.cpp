// The routines that work on the caller's widgets: the broadcaster of the control protocol,
// group enabling, the status-bar message, the help context and the requests to the main form.
#include "ombrel/ombrel_exports.h"
#include "ombrel/out_text.h"

#include "platform/data_folder.h"
#include "platform/messages.h"
#include "platform/process_wide.h"
#include "platform/prompter.h"

#include <QApplication>
#include <QColor>
#include <QCoreApplication>
#include <QGroupBox>
#include <QPalette>
#include <QPointer>
#include <QSizeGrip>
#include <QStatusBar>
#include <QVariant>
#include <QWidget>

namespace {

// The i-th entry of the parent's children when it is a control of the same window (a widget
// that is not a window of its own), else null.
QWidget* ChildControl(const QObject* parent, int i)
{
    auto* w = qobject_cast<QWidget*>(parent->children().at(i));
    return (w && !w->isWindow()) ? w : nullptr;
}

QColor ResolveColour(uint32_t colour)
{
    const QPalette pal = QApplication::palette();
    switch (colour) {
    case OMBREL_CL_WINDOW: return pal.color(QPalette::Base);
    case OMBREL_CL_WINDOWTEXT: return pal.color(QPalette::Active, QPalette::WindowText);
    case OMBREL_CL_BTNFACE: return pal.color(QPalette::Button);
    case OMBREL_CL_GRAYTEXT: return pal.color(QPalette::Disabled, QPalette::WindowText);
    default: break;
    }
    return QColor(QRgb(colour & 0x00FFFFFFu));
}

void SetGroup(QWidget* control, bool enable)
{
    if (!control) return;
    control->setEnabled(enable);
    for (int i = 0; i < control->children().size(); ++i)
        if (QWidget* child = ChildControl(control, i)) child->setEnabled(enable);
    if (auto* box = qobject_cast<QGroupBox*>(control)) {
        // The caption (and the children that take the box's colours) in window text or grey.
        const QPalette app = QApplication::palette();
        QPalette pal = box->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            pal.setColor(group, QPalette::WindowText,
                         enable ? app.color(group, QPalette::WindowText)
                                : app.color(QPalette::Disabled, QPalette::WindowText));
        box->setPalette(pal);
    }
}

void SendToMainForm(unsigned msg, int n)
{
    try {
        platform::SendMessage(platform::MainForm(), msg, static_cast<uintptr_t>(static_cast<intptr_t>(n)), 0);
    } catch (...) {
        platform::MessageBox(QStringLiteral("Error in sending Message from DLL"), QString());
    }
}

}  // namespace

extern "C" {

void DoMyBroadcast(QWidget* control, TMessage* message, bool skipSelf, bool stopOnResult)
{
    if (!control || !message) return;
    // A handler may delete the control it runs in; then its children are gone with it.
    QPointer<QWidget> guard(control);
    if (!skipSelf) {
        QCoreApplication::sendEvent(control, message);
        if (message->Result != 0 && stopOnResult) return;
        if (!guard) return;
    }
    // The children are read afresh at every step: a handler may add or remove controls.
    for (int i = 0; guard && i < control->children().size(); ++i) {
        if (message->Result != 0 && stopOnResult) return;
        if (QWidget* child = ChildControl(control, i)) DoMyBroadcast(child, message, false, stopOnResult);
    }
}

void EnableGroup(QWidget* control) { SetGroup(control, true); }

void DisableGroup(QWidget* control) { SetGroup(control, false); }

void LocalStatusBarMsg(QWidget* owner, const char* text, uint32_t colour, bool beep)
{
    if (!owner) return;
    QStatusBar* bar = nullptr;
    for (QObject* child : owner->children())
        if ((bar = qobject_cast<QStatusBar*>(child))) break;
    if (!bar) return;

    const QString message = QString::fromUtf8(text ? text : "");
    // The bar's panels are the widgets it lays out (its child widgets but the size grip), in
    // child order; without any, the bar shows the text as its own message.
    QWidget* panel0 = nullptr;
    for (QObject* child : bar->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && !qobject_cast<QSizeGrip*>(w) && !w->isWindow()) {
            panel0 = w;
            break;
        }
    }
    if (panel0)
        panel0->setProperty("text", message);   // a label's text; an owner-drawn panel keeps it too
    else
        bar->showMessage(message);

    QPalette pal = bar->palette();
    pal.setColor(QPalette::Window, ResolveColour(colour));
    bar->setPalette(pal);
    bar->setAutoFillBackground(true);
    bar->update();
    if (beep) QApplication::beep();
}

int GetHelpContextVESKA(QObject* object)
{
    if (!object) return 0;
    const QVariant v = object->property("HelpContextVESKA");
    bool ok = false;
    const int context = v.toInt(&ok);
    return ok ? context : 0;
}

void RequestPoll(int n) { SendToMainForm(platform::WM_REQUEST_POLL, n); }

void RequestRead(int n) { SendToMainForm(platform::WM_REQUEST_READ, n); }

int GetIniFile(char* out, int outSize)
{
    return ombrel::CopyOut((platform::UserDataFolder() + QStringLiteral("/VESKA.INI")).toUtf8(), out, outSize);
}

}  // extern "C"
