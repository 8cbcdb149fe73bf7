#pragma once
// The column grid's table: columns with their settings, and rows that come either from a
// row source (large tables: the texts are made when a cell is shown) or from the grid's own
// text cells (small tables that pages fill cell by cell). A filter per column keeps an index
// of the rows that pass; the view shows those rows only.
#include "tevrin/pages/widgets/grid_filter.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <string>
#include <functional>
#include <vector>

// Rows of a large table, read on demand. Row and column indexes are the source's own.
class IGridRowSource {
public:
    virtual ~IGridRowSource() = default;
    virtual int RowCount() const = 0;
    virtual QString Text(int row, int column) const = 0;
    // The cell as a number for filters and spreadsheets (a date-time cell gives its day
    // count); false for a text cell or an empty one. By default the text is read.
    virtual bool Number(int row, int column, double& value) const;
    // The cell as a spreadsheet holds it: true with number for a cell whose text is a plain
    // finite number; otherwise false with the text as UTF-8 (empty for an empty cell). By
    // default the text is read; a source that holds numbers gives them without a text.
    virtual bool SheetCell(int row, int column, double& number, std::string& text) const;
};

// The default reading of a cell text for a spreadsheet (see IGridRowSource::SheetCell).
bool SheetCellFromText(const QString& cell, double& number, std::string& text);

// One entry of a column's filter drop-down: the name shown and the condition it stands for.
struct GridFilterItem {
    QString name;
    QString condition;
    bool operator==(const GridFilterItem& o) const { return name == o.name && condition == o.condition; }
};

struct GridColumn {
    QString name;       // the column's name, for finding it
    QString header;
    int tag = 0;
    bool editable = false;
    int editor = 0;     // QAdvColumnGrid::EditorType
    QStringList comboItems;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    std::vector<GridFilterItem> filters;
    QString condition;  // the filter in force; empty passes all
};

class TGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kMaxColumns = 64;

    explicit TGridModel(QObject* parent = nullptr);

    // --- columns
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    void SetColumnCount(int count);
    GridColumn& Column(int column);               // column must be in range
    const GridColumn& Column(int column) const;
    int ColumnByName(const QString& name) const;  // -1 when none
    void SetFixedColumns(int count) { fixedColumns_ = count; }
    int FixedColumns() const { return fixedColumns_; }
    void SetHeader(int column, const QString& header);

    // --- rows (indexes are rows of the whole table, before any filter)
    int AllRowCount() const;
    // Hands the rows to a source (nullptr: back to the grid's own, empty, cells). Filters
    // are applied again.
    void SetRowSource(std::shared_ptr<const IGridRowSource> source);
    bool HasRowSource() const { return source_ != nullptr; }
    void SetRowCount(int count);   // own cells; cuts or adds empty rows
    void InsertRow(int row);
    void RemoveRow(int row);
    void MoveRow(int from, int to);
    QString Text(int row, int column) const;
    bool Number(int row, int column, double& value) const;
    bool SheetCell(int row, int column, double& number, std::string& text) const;
    void SetText(int row, int column, const QString& text);
    void AddCheckBox(int row, int column, bool checked);
    bool HasCheckBox(int row, int column) const;
    void RemoveCheckBox(int row, int column);
    // Every row replaced at once, with their check boxes cleared.
    void SetAllTexts(std::vector<std::vector<QString>> rows);

    // --- filter
    // Sets a column's condition and filters the rows again.
    void SetCondition(int column, const QString& condition);
    void ClearConditions();
    bool Filtered() const { return filtered_; }
    // The table row shown at view row r, and back (-1 when that row is filtered out).
    int TableRow(int viewRow) const { return filtered_ ? shown_[static_cast<size_t>(viewRow)] : viewRow; }
    int ViewRow(int tableRow) const;
    int ShownRowCount() const { return filtered_ ? static_cast<int>(shown_.size()) : AllRowCount(); }

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Asked before a cell is edited: clear allow to refuse.
    std::function<void(int column, int row, bool& allow)> canEdit;

signals:
    // A check box was ticked or cleared by the user (table row).
    void CheckBoxClicked(int column, int row, bool checked);

private:
    void Refilter();
    void MaterializeSource();
    std::vector<QString>& OwnRow(int row);

    std::vector<GridColumn> columns_;
    int fixedColumns_ = 0;
    std::shared_ptr<const IGridRowSource> source_;
    std::vector<std::vector<QString>> cells_;   // own rows; a row may be shorter than the columns
    std::vector<uint64_t> checks_;               // own rows: a bit per column that has a check box
    bool filtered_ = false;
    std::vector<int> shown_;
};
