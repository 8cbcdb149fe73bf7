#pragma once
// Small builders for the bound controls the service pages lay out in code, and the two
// background colours of their calibration edits (grey while unusable, window colour while
// usable).
#include "brannix/control_protocol.h"

#include <QColor>
#include <QList>
#include <QString>

class QBoxLayout;
class QLineEdit;
class QTreeView;
class QToolButton;
class QWidget;
class TQCheckBox;
class TQEdit;
class TQLabeledEdit;
class TQUpDown;

namespace pagecontrols {

inline QColor clScrollBar() { return QColor(0xC8, 0xC8, 0xC8); }
inline QColor clWindow() { return QColor(0xFF, 0xFF, 0xFF); }

// An edit bound to `id` (id 0: unbound) with its caption to the left, added to `row`.
TQLabeledEdit* LabeledEdit(QWidget* parent, QBoxLayout* row, const char* name, const QString& caption, TDbId id,
                           TDataType type);
// A plain bound edit (no caption), added to `row`.
TQEdit* Edit(QWidget* parent, QBoxLayout* row, const char* name, TDbId id, TDataType type);
// A bound check box; bit < 0 watches the whole point (its TrueValue "True").
TQCheckBox* CheckBox(QWidget* parent, const char* name, const QString& caption, TDbId id, int bit = -1);
// A tool button; a checkable one is a two-state toggle.
QToolButton* ToolButton(QWidget* parent, const char* name, const QString& caption, bool checkable = false);
// The hidden two-state "T" button (btnTest, hint "Test") of a page with a service test.
QToolButton* HiddenTestButton(QWidget* parent);

// The width an edit gives its text: its inside, less the style's frame, its text margins and
// the room the edit keeps at either end of the text.
int TextRoom(const QLineEdit* edit);
// Makes `edit` at least wide enough for `longest` in its own font, whatever the style.
void FitToText(QLineEdit* edit, const QString& longest);
// The widest text of a count 0..65535 (five digits; a typed 70000 still shows whole).
QString LongestCount();
// Gives the captions of edits laid out in rows beside their captions the width of the widest
// of them, so that the edits start in one column as in a form.
void AlignCaptions(const QList<TQLabeledEdit*>& edits);

// Keeps a tree at least as wide as its widest item (indented, with its icon) and its header,
// with room for its vertical scroll bar, whenever its items change.
void KeepWideAsItsItems(QTreeView* tree);

// The widest text of a limit or reading as a float: seven digits, a sign and a point.
QString LongestFloat();

// Enables or disables an edit and gives it the matching background (window or grey).
void SetUsable(TQEdit* edit, bool usable);

// After a step of an up-down with an associated edit: when the edit's number (read as a
// float and cut toward zero with asFloat, else as a whole number) is further from position +
// offset than one step, the user typed a new value and the position follows it; otherwise the
// edit shows position + offset. False, changing nothing, when the edit holds no number.
bool FollowUpDown(TQUpDown* upDown, bool asFloat);

// The whole number 0..65535 of a count text (blanks around it allowed).
bool CountValue(const QString& text, long long& value);

}  // namespace pagecontrols
