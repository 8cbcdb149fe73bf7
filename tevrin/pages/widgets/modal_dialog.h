#pragma once
// What the pages' small modal dialogs share: the OK and Cancel row, and the answer a test may
// give in place of the user.
#include "platform/prompter.h"

#include <QDialog>

#include <functional>
#include <utility>

class QBoxLayout;
class QPushButton;

namespace modaldialog {

// Adds a right-aligned row of OK (the default button, named okName) and Cancel (named
// "btnCancel") to layout; they accept and reject the dialog.
void AddOkCancel(QDialog* dialog, QBoxLayout* layout, const char* okName, QPushButton*& ok, QPushButton*& cancel);

// The one answer a test has set for dialogs of class D (nullptr: the dialog is shown for real).
template <class D>
class Answer {
public:
    static void Set(std::function<int(D&)> answer) { Slot() = std::move(answer); }
    // The set answer's result, or the dialog shown modally and its result.
    static int Run(D& dialog)
    {
        if (Slot()) return Slot()(dialog);
        return platform::ExecUncovered(dialog);
    }

private:
    static std::function<int(D&)>& Slot()
    {
        static std::function<int(D&)> answer;
        return answer;
    }
};

}  // namespace modaldialog
