#pragma once
// The column grid of the archive, event and log pages: a table view on a grid model, so that
// half a million rows scroll smoothly. Columns carry a name, a header, a tag, an editor, a
// filter drop-down and may be fixed (drawn as headers) or hidden; cells may hold check boxes
// ("Y"/"N"); rows may be moved with the mouse. Rows come from the grid's own text cells or
// from a row source that makes each text when the cell is shown. The grid filters rows by
// condition (grid_filter.h), sizes its columns to their content, keeps its column widths in
// the user's settings, and writes its rows as a grid file, CSV, spreadsheet or clipboard text.
//
// It also behaves like the data-bound controls: it takes part in the before-post step of the
// control protocol, reports validation errors and warnings the same way (beep, alarm colour,
// the text in the form's status bars, its page brought to the front), opens its help context
// on F1 and tells that context through IQVESKAHelp. It holds no binding to the database.
//
// Rows are counted from 0, without the header row; cells are addressed (column, row).
#include "brannix/control_protocol.h"
#include "tevrin/pages/widgets/grid_model.h"

#include <QColor>
#include <QStringList>
#include <QTableView>

#include <memory>
#include <vector>

class TMessage;

struct GridRect {
    int left = -1, top = -1, right = -1, bottom = -1;   // shown rows; -1 when nothing is selected
};

class QAdvColumnGrid : public QTableView, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(QColor AlarmColor READ AlarmColor WRITE SetAlarmColor)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE SetHelpContextVESKA)

public:
    // The cell editor of a column; the two combo kinds pick from the column's item list.
    enum EditorType { edNormal = 0, edComboEdit = 2, edComboList = 3 };

    explicit QAdvColumnGrid(QWidget* parent = nullptr);
    ~QAdvColumnGrid() override;

    TGridModel* Model() const { return model_; }

    // The grid's background colour (the cells' base colour).
    QColor Color() const;
    void SetColor(const QColor& color);

    QColor AlarmColor() const { return alarmColor_; }
    void SetAlarmColor(const QColor& color) { alarmColor_ = color; }

    int GetHelpContextVESKA() const override { return helpContext_; }
    void SetHelpContextVESKA(int context) { helpContext_ = context; }

    // --- columns
    void SetColCount(int count);
    int ColCount() const { return model_->ColumnCount(); }
    void SetFixedCols(int count);
    int FixedCols() const { return model_->FixedColumns(); }
    void SetColumnName(int column, const QString& name);
    int ColumnByName(const QString& name) const { return model_->ColumnByName(name); }
    void SetColumnHeader(int column, const QString& header) { model_->SetHeader(column, header); }
    QString ColumnHeader(int column) const;
    void SetColumnTag(int column, int tag);
    int ColumnTag(int column) const;
    void SetColumnAlignment(int column, Qt::Alignment alignment);
    // A plain column's cells can be edited only when the column is editable (and CanEditCell
    // does not refuse); combo columns always offer their editor.
    void SetColumnEditable(int column, bool editable);
    void HideColumn(int column);
    void HideColumns(int from, int to);
    void UnHideColumnsAll();
    bool IsHiddenColumn(int column) const { return isColumnHidden(column); }

    // The columns' editors and combo item lists (a column never set has a plain editor).
    void SetColumnEditor(int column, EditorType editor);
    EditorType ColumnEditor(int column) const;
    void SetColumnComboItems(int column, const QStringList& items);
    QStringList ColumnComboItems(int column) const;

    // The position of the cell's text in its column's combo items; -1 for a negative column
    // or row, a column without a combo editor, or a text that is not among the items.
    int GetComboItemIndex(int column, int row) const;

    // --- rows and cells (rows of the whole table, before any filter)
    void SetRowCount(int count) { model_->SetRowCount(count); }
    int RowCount() const { return model_->AllRowCount(); }
    int AddRow();   // the new row's index
    void InsertRow(int row) { model_->InsertRow(row); }
    void RemoveRow(int row) { model_->RemoveRow(row); }
    void MoveRow(int from, int to);
    void ClearRows() { model_->SetRowCount(0); }
    QString Cells(int column, int row) const { return model_->Text(row, column); }
    void SetCells(int column, int row, const QString& text) { model_->SetText(row, column, text); }
    void SetRowSource(std::shared_ptr<const IGridRowSource> source) { model_->SetRowSource(std::move(source)); }
    // Every row at once, as rows of cell texts.
    void SetAllTexts(std::vector<std::vector<QString>> rows) { model_->SetAllTexts(std::move(rows)); }
    // Moving rows by dragging their row headers.
    void SetRowsMovable(bool movable);

    // Check box cells: the cell text is "Y" when ticked, "N" when not.
    void AddCheckBox(int column, int row, bool checked) { model_->AddCheckBox(row, column, checked); }
    bool HasCheckBox(int column, int row) const { return model_->HasCheckBox(row, column); }
    bool GetCheckBoxState(int column, int row) const;
    void SetCheckBoxState(int column, int row, bool checked);

    // --- filter
    // Whether the header shows the drop-down of the columns that have filter items.
    void SetFilterDropDown(bool active);
    bool FilterDropDown() const { return filterDropDown_; }
    void SetColumnFilterList(int column, std::vector<GridFilterItem> items);
    std::vector<GridFilterItem> ColumnFilterList(int column) const;
    // The drop-down's choice: FilterSelect may rewrite the item's condition, then the
    // condition is applied to the column.
    void SelectFilter(int column, int item);
    void ApplyFilter(int column, const QString& condition);
    QString ColumnFilter(int column) const;
    void RemoveAllFilters() { model_->ClearConditions(); }
    int ShownRowCount() const { return model_->ShownRowCount(); }
    // The table row shown at a shown row.
    int ShownRow(int shownRow) const { return model_->TableRow(shownRow); }

    // --- selection, size
    GridRect SelectionRect() const;
    // Selects the shown cells of a rectangle.
    void SelectRange(int left, int top, int right, int bottom);
    // Every column (the fixed ones too when asked) as wide as its widest text, header or
    // cell, with the style's margins around it, plus padding; a column with no header and
    // no text keeps its width.
    void AutoSizeColumns(bool fixedToo, int padding);
    // Column widths kept in the user's settings under key and section. A last column that the
    // header stretches to fill the view has no width of its own to keep and is left out.
    void SetColumnWidthsKey(const QString& key, const QString& section);
    void SaveColumnWidths() const;
    void LoadColumnWidths();

    // --- files and clipboard. Each file is written whole or not at all; false with the
    // reason in error when it could not be written (read).
    // The grid file: every column (headers, hidden ones too) and every row, with check boxes.
    bool SaveToFile(const QString& fileName, QString* error = nullptr) const;
    // Replaces columns and rows with the file's; a file that is not a grid file changes nothing.
    bool LoadFromFile(const QString& fileName, QString* error = nullptr);
    // The shown rows and columns with the headers, fields quoted where they need it.
    bool SaveToCSV(const QString& fileName, QChar separator = QLatin1Char(','), QString* error = nullptr) const;
    // A spreadsheet (.xlsx) of the shown rows and columns; numbers as numbers.
    bool SaveToXLSX(const QString& fileName, QString* error = nullptr) const;
    // The selected cells, tab-separated lines.
    QString SelectionText() const;
    void CopySelectionToClipboard() const;

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

    // The visible columns in order (for exports).
    std::vector<int> ShownColumns() const;

signals:
    // Asked at the before-post step; clear accept to refuse.
    void BeforePost(QAdvColumnGrid* sender, bool& accept);
    // Asked before a cell is edited; clear canEdit to refuse.
    void CanEditCell(int row, int column, bool& canEdit);
    // A filter item was chosen; the handler may rewrite the condition before it is applied.
    void FilterSelect(int column, int item, const QString& friendlyName, QString& condition);
    void SelectionChanged(int left, int top, int right, int bottom);
    void CheckBoxClick(int column, int row, bool checked);
    void RowMoved(int from, int to);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

private:
    void EnterAlarm();
    // The column the header stretches to fill the view (the last one shown), or -1.
    int StretchedColumn() const;
    // The fixed columns stay in place: a second view of the same rows over the grid's left
    // edge shows them while the other columns scroll beneath.
    void UpdateFixed();
    void UpdateFixedGeometry();
    int FixedWidth() const;
    void ShowFilterMenu(int column, const QPoint& at);

    TGridModel* model_;
    QTableView* fixed_ = nullptr;
    bool updatingFixed_ = false;
    QColor alarmColor_;
    QColor restoreColor_;
    int helpContext_ = 0;
    bool filterDropDown_ = false;
    QString widthsKey_;
    QString widthsSection_;
};
