#pragma once
// Message boxes and file dialogs go through one injectable prompter, so that tests can
// answer them without a display and without hanging.
#include <QColor>
#include <QList>
#include <QPointer>
#include <QString>

class QDialog;
class QFileDialog;
class QWidget;

namespace platform {

enum class DlgType { Warning, Error, Information, Confirmation, Custom };

// Buttons (combine with |).
enum DlgButton : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
};
constexpr unsigned mbYesNo = mbYes | mbNo;
constexpr unsigned mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr unsigned mbOKCancel = mbOK | mbCancel;

// Answers, numbered as the Windows dialog results.
enum ModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

struct Prompt {
    QString caption;   // empty: the caption that goes with the type ("Warning", "Error", ...)
    QString text;
    DlgType type = DlgType::Information;
    unsigned buttons = mbOK;
};

struct FileRequest {
    bool save = false;
    QString caption;
    QString filter;       // Qt filter text, e.g. "Configuration (*.cfg)"
    QString directory;
    QString defaultSuffix;
    // A save dialog asks before a chosen file is replaced, unless the caller asks that itself.
    bool confirmOverwrite = true;
};

// Sets up a file dialog as the request asks.
void SetUpFileDialog(QFileDialog& dialog, const FileRequest& request);

class IPrompter {
public:
    virtual ~IPrompter() = default;
    virtual int Ask(const Prompt& prompt) = 0;                 // one of ModalResult
    virtual QString ChooseFile(const FileRequest& request) = 0;  // empty when cancelled
    // The one-line input box: value holds the offered text and takes the answer; false (value
    // unchanged) when cancelled. A prompter that does not answer input boxes cancels them.
    virtual bool InputQuery(const QString& caption, const QString& prompt, QString& value);
    // The colour dialog, starting at color; false (color unchanged) when cancelled.
    virtual bool ChooseColor(QColor& color);
};

// While a box or dialog that the program waits on is up, no stay-on-top window of the program
// covers it: the scope hides every visible stay-on-top window (but `dialog`) and shows again,
// when it ends, those it hid that are still hidden. Every question of Prompter() is asked inside
// one; a dialog shown with exec() opens one around it. Scopes nest.
class PromptScope {
public:
    explicit PromptScope(const QWidget* dialog = nullptr);
    ~PromptScope();
    PromptScope(const PromptScope&) = delete;
    PromptScope& operator=(const PromptScope&) = delete;

private:
    QList<QPointer<QWidget>> hidden_;
};

// Shows `dialog` modally inside a PromptScope; its result.
int ExecUncovered(QDialog& dialog);

// The prompter in use: the installed one, or the one that shows real Qt dialogs; each of its
// questions is asked inside a PromptScope.
IPrompter& Prompter();
// Installs a prompter for the whole process (nullptr restores the real dialogs).
void SetPrompter(IPrompter* prompter);

// How many message boxes Prompter() has asked in this process so far, from every module: a road
// compares two counts to learn whether a step it ran has told the user anything.
int BoxesAsked();

// Shortcuts in the shape the program uses them.
int MessageDlg(const QString& text, DlgType type, unsigned buttons);
int MessageBox(const QString& text, const QString& caption, DlgType type = DlgType::Information,
               unsigned buttons = mbOK);
void ShowMessage(const QString& text);
bool InputQuery(const QString& caption, const QString& prompt, QString& value);

QString DefaultCaption(DlgType type);

}  // namespace platform
