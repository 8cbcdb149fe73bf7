#include "platform/prompter.h"

#include "platform/process_wide.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace platform {

namespace {
constexpr const char* kKey = "tevrin.prompter";

class QtPrompter : public IPrompter {
public:
    int Ask(const Prompt& prompt) override
    {
        QMessageBox box;
        box.setWindowTitle(prompt.caption.isEmpty() ? DefaultCaption(prompt.type) : prompt.caption);
        box.setText(prompt.text);
        switch (prompt.type) {
        case DlgType::Warning: box.setIcon(QMessageBox::Warning); break;
        case DlgType::Error: box.setIcon(QMessageBox::Critical); break;
        case DlgType::Information: box.setIcon(QMessageBox::Information); break;
        case DlgType::Confirmation: box.setIcon(QMessageBox::Question); break;
        case DlgType::Custom: box.setIcon(QMessageBox::NoIcon); break;
        }
        struct Map { unsigned button; QMessageBox::StandardButton std; int result; };
        static const Map map[] = {
            {mbYes, QMessageBox::Yes, mrYes},       {mbNo, QMessageBox::No, mrNo},
            {mbOK, QMessageBox::Ok, mrOk},          {mbCancel, QMessageBox::Cancel, mrCancel},
            {mbAbort, QMessageBox::Abort, mrAbort}, {mbRetry, QMessageBox::Retry, mrRetry},
            {mbIgnore, QMessageBox::Ignore, mrIgnore},
        };
        QMessageBox::StandardButtons buttons;
        for (const auto& m : map)
            if (prompt.buttons & m.button) buttons |= m.std;
        if (!buttons) buttons = QMessageBox::Ok;
        box.setStandardButtons(buttons);
        const int pressed = box.exec();
        for (const auto& m : map)
            if (pressed == m.std) return m.result;
        return (prompt.buttons & mbCancel) ? mrCancel : mrNone;
    }

    QString ChooseFile(const FileRequest& request) override
    {
        QFileDialog dialog(nullptr, request.caption, request.directory, request.filter);
        SetUpFileDialog(dialog, request);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
        return dialog.selectedFiles().first();
    }

    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override
    {
        bool ok = false;
        const QString answer = QInputDialog::getText(nullptr, caption, prompt, QLineEdit::Normal, value, &ok);
        if (ok) value = answer;
        return ok;
    }

    bool ChooseColor(QColor& color) override
    {
        const QColor chosen = QColorDialog::getColor(color);
        if (!chosen.isValid()) return false;
        color = chosen;
        return true;
    }
};

QtPrompter& qtPrompter()
{
    static QtPrompter prompter;
    return prompter;
}

IPrompter& Installed()
{
    if (auto* p = static_cast<IPrompter*>(ProcessWideGet(kKey))) return *p;
    return qtPrompter();
}

constexpr const char* kBoxesKey = "tevrin.boxesAsked";

// The one count of every module: the first module to ask keeps it.
int& BoxCount()
{
    static int own = 0;
    auto* count = static_cast<int*>(ProcessWideGet(kBoxesKey));
    if (!count) {
        ProcessWideSet(kBoxesKey, &own);
        count = &own;
    }
    return *count;
}

// Asks the installed prompter with no stay-on-top window of ours over the question.
class UncoveredPrompter : public IPrompter {
public:
    int Ask(const Prompt& prompt) override
    {
        ++BoxCount();
        PromptScope scope;
        return Installed().Ask(prompt);
    }
    QString ChooseFile(const FileRequest& request) override
    {
        PromptScope scope;
        return Installed().ChooseFile(request);
    }
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override
    {
        PromptScope scope;
        return Installed().InputQuery(caption, prompt, value);
    }
    bool ChooseColor(QColor& color) override
    {
        PromptScope scope;
        return Installed().ChooseColor(color);
    }
};

}  // namespace

PromptScope::PromptScope(const QWidget* dialog)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == dialog || !w->isVisible() || !(w->windowFlags() & Qt::WindowStaysOnTopHint)) continue;
        hidden_.append(QPointer<QWidget>(w));
    }
    for (const QPointer<QWidget>& w : hidden_) w->hide();
}

PromptScope::~PromptScope()
{
    for (const QPointer<QWidget>& w : hidden_)
        if (w && w->isHidden()) w->show();
}

int ExecUncovered(QDialog& dialog)
{
    PromptScope scope(&dialog);
    return dialog.exec();
}

IPrompter& Prompter()
{
    static UncoveredPrompter prompter;
    return prompter;
}

bool IPrompter::InputQuery(const QString&, const QString&, QString&) { return false; }

bool IPrompter::ChooseColor(QColor&) { return false; }

void SetPrompter(IPrompter* prompter) { ProcessWideSet(kKey, prompter); }

int BoxesAsked() { return BoxCount(); }

void SetUpFileDialog(QFileDialog& dialog, const FileRequest& request)
{
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
}

QString DefaultCaption(DlgType type)
{
    switch (type) {
    case DlgType::Warning: return QStringLiteral("Warning");
    case DlgType::Error: return QStringLiteral("Error");
    case DlgType::Information: return QStringLiteral("Information");
    case DlgType::Confirmation: return QStringLiteral("Confirm");
    case DlgType::Custom: break;
    }
    return QApplication::applicationName();
}

int MessageDlg(const QString& text, DlgType type, unsigned buttons)
{
    return Prompter().Ask(Prompt{QString(), text, type, buttons});
}

int MessageBox(const QString& text, const QString& caption, DlgType type, unsigned buttons)
{
    return Prompter().Ask(Prompt{caption, text, type, buttons});
}

void ShowMessage(const QString& text) { Prompter().Ask(Prompt{QString(), text, DlgType::Custom, mbOK}); }

bool InputQuery(const QString& caption, const QString& prompt, QString& value)
{
    return Prompter().InputQuery(caption, prompt, value);
}

}  // namespace platform
