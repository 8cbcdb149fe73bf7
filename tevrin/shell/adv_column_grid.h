#pragma once
// A column grid that behaves like the data-bound controls: it takes part in the before-post
// step of the control protocol, reports validation errors and warnings the same way (beep,
// alarm colour, the text in the form's status bars, its page brought to the front), opens
// its help context on F1 and tells that context through IQVESKAHelp. It holds no binding to
// the database; the pages fill it.
#include "brannix/control_protocol.h"

#include <QColor>
#include <QStringList>
#include <QTableWidget>

#include <vector>

class TMessage;

class QAdvColumnGrid : public QTableWidget, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(QColor AlarmColor READ AlarmColor WRITE SetAlarmColor)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE SetHelpContextVESKA)

public:
    // The cell editor of a column; the two combo kinds pick from the column's item list.
    enum EditorType { edNormal = 0, edComboEdit = 2, edComboList = 3 };

    explicit QAdvColumnGrid(QWidget* parent = nullptr);

    // The grid's background colour (the cells' base colour).
    QColor Color() const;
    void SetColor(const QColor& color);

    QColor AlarmColor() const { return alarmColor_; }
    void SetAlarmColor(const QColor& color) { alarmColor_ = color; }

    int GetHelpContextVESKA() const override { return helpContext_; }
    void SetHelpContextVESKA(int context) { helpContext_ = context; }

    // The columns' editors and combo item lists (a column never set has a plain editor).
    void SetColumnEditor(int column, EditorType editor);
    EditorType ColumnEditor(int column) const;
    void SetColumnComboItems(int column, const QStringList& items);
    QStringList ColumnComboItems(int column) const;

    // The position of the cell's text in its column's combo items; -1 for a negative column
    // or row, a column without a combo editor, or a text that is not among the items.
    int GetComboItemIndex(int column, int row) const;

    // QM_BEFOREPOST: asks BeforePost; a refusal answers 1 in the message (the broadcast stops).
    // Returns whether the grid accepts.
    bool DoBeforePost(TMessage& m);
    void FireBeforePostEvent(bool& accept);

    // Shows the grid's form (restored and in front) and brings forward every tab page between
    // the grid and the form. Returns the form (nullptr for a grid that is a window itself).
    QWidget* FindMe();

    // Beep, alarm colour, the text in the form's status bars (or an error box below the grid),
    // the focus back to the grid. The alarm colour stays until the caller restores it.
    void ReportError(const QString& text);
    // Beep, alarm colour and the question text + "Continue?"; Yes restores the colour. True
    // for Yes.
    bool ReportWarning(const QString& text);

signals:
    // Asked at the before-post step; clear accept to refuse.
    void BeforePost(QAdvColumnGrid* sender, bool& accept);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void EnterAlarm();

    struct ColumnSetup {
        EditorType editor = edNormal;
        QStringList comboItems;
    };

    QColor alarmColor_;
    QColor restoreColor_;
    int helpContext_ = 0;
    std::vector<ColumnSetup> columns_;
};
