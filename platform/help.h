#pragma once
// Context help for F1. There is no help-file viewer here: the program installs a text for
// each help context it knows, and a request for such a context shows that text as a
// "What's This" popup beside the widget. A request for a context without a text does nothing.
#include <QString>

class QWidget;

namespace platform {

// Installs (or, with an empty text, removes) the help text of one context number.
void SetContextHelpText(int context, const QString& text);
QString ContextHelpText(int context);
void ClearContextHelpTexts();

// Shows the help of `context` for `from`; true when a text was shown. Context 0 is "no help".
bool ShowContextHelp(QWidget* from, int context);

}  // namespace platform
