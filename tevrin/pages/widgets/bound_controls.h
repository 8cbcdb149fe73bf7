#pragma once
// Small builders for the bound controls the service pages lay out in code, and the two
// background colours of their calibration edits (grey while unusable, window colour while
// usable).
#include "brannix/control_protocol.h"

#include <QColor>
#include <QString>

class QBoxLayout;
class QToolButton;
class QWidget;
class TQCheckBox;
class TQEdit;
class TQLabeledEdit;

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

// Enables or disables an edit and gives it the matching background (window or grey).
void SetUsable(TQEdit* edit, bool usable);

}  // namespace pagecontrols
