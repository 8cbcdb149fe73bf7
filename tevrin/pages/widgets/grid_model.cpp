#include "tevrin/pages/widgets/grid_model.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

namespace {
const QString kChecked = QStringLiteral("Y");
const QString kUnchecked = QStringLiteral("N");
}  // namespace

bool IGridRowSource::Number(int row, int column, double& value) const
{
    const QString t = Text(row, column);
    return !t.isEmpty() && GridCondition::ReadNumber(t, value);
}

bool SheetCellFromText(const QString& cell, double& number, std::string& text)
{
    bool ok = false;
    if (!cell.isEmpty()) {
        number = cell.toDouble(&ok);
        if (ok && qIsFinite(number)) return true;
    }
    text = cell.toStdString();
    return false;
}

bool IGridRowSource::SheetCell(int row, int column, double& number, std::string& text) const
{
    return SheetCellFromText(Text(row, column), number, text);
}

bool TGridModel::SheetCell(int row, int column, double& number, std::string& text) const
{
    if (source_ && row >= 0 && column >= 0 && column < ColumnCount() && row < AllRowCount())
        return source_->SheetCell(row, column, number, text);
    return SheetCellFromText(Text(row, column), number, text);
}

TGridModel::TGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void TGridModel::SetColumnCount(int count)
{
    count = std::clamp(count, 0, kMaxColumns);
    if (count == ColumnCount()) return;
    beginResetModel();
    columns_.resize(static_cast<size_t>(count));
    for (auto& row : cells_)
        if (row.size() > columns_.size()) row.resize(columns_.size());
    const uint64_t keep = count >= 64 ? ~uint64_t(0) : ((uint64_t(1) << count) - 1);
    for (auto& bits : checks_) bits &= keep;
    endResetModel();
    Refilter();
}

GridColumn& TGridModel::Column(int column) { return columns_.at(static_cast<size_t>(column)); }
const GridColumn& TGridModel::Column(int column) const { return columns_.at(static_cast<size_t>(column)); }

int TGridModel::ColumnByName(const QString& name) const
{
    for (int c = 0; c < ColumnCount(); ++c)
        if (columns_[static_cast<size_t>(c)].name == name) return c;
    return -1;
}

void TGridModel::SetHeader(int column, const QString& header)
{
    if (column < 0 || column >= ColumnCount()) return;
    Column(column).header = header;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

int TGridModel::AllRowCount() const { return source_ ? source_->RowCount() : static_cast<int>(cells_.size()); }

void TGridModel::SetRowSource(std::shared_ptr<const IGridRowSource> source)
{
    beginResetModel();
    source_ = std::move(source);
    cells_.clear();
    checks_.clear();
    endResetModel();
    Refilter();
}

void TGridModel::MaterializeSource()
{
    if (!source_) return;
    std::vector<std::vector<QString>> rows(static_cast<size_t>(source_->RowCount()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        auto& row = rows[static_cast<size_t>(r)];
        row.resize(columns_.size());
        for (int c = 0; c < ColumnCount(); ++c) row[static_cast<size_t>(c)] = source_->Text(r, c);
    }
    source_.reset();
    cells_ = std::move(rows);
    checks_.assign(cells_.size(), 0);
}

void TGridModel::SetAllTexts(std::vector<std::vector<QString>> rows)
{
    beginResetModel();
    source_.reset();
    cells_ = std::move(rows);
    for (auto& row : cells_)
        if (row.size() > columns_.size()) row.resize(columns_.size());
    checks_.assign(cells_.size(), 0);
    endResetModel();
    Refilter();
}

void TGridModel::SetRowCount(int count)
{
    count = std::max(count, 0);
    beginResetModel();
    if (count == 0) source_.reset();   // nothing of the source is kept
    MaterializeSource();
    cells_.resize(static_cast<size_t>(count));
    checks_.resize(static_cast<size_t>(count), 0);
    endResetModel();
    Refilter();
}

void TGridModel::InsertRow(int row)
{
    beginResetModel();
    MaterializeSource();
    row = std::clamp(row, 0, static_cast<int>(cells_.size()));
    cells_.insert(cells_.begin() + row, std::vector<QString>());
    checks_.insert(checks_.begin() + row, 0);
    endResetModel();
    Refilter();
}

void TGridModel::RemoveRow(int row)
{
    if (row < 0 || row >= AllRowCount()) return;
    beginResetModel();
    MaterializeSource();
    cells_.erase(cells_.begin() + row);
    checks_.erase(checks_.begin() + row);
    endResetModel();
    Refilter();
}

void TGridModel::MoveRow(int from, int to)
{
    const int n = AllRowCount();
    if (from < 0 || from >= n || to < 0 || to >= n || from == to) return;
    beginResetModel();
    MaterializeSource();
    auto move = [from, to](auto& v) {
        if (from < to)
            std::rotate(v.begin() + from, v.begin() + from + 1, v.begin() + to + 1);
        else
            std::rotate(v.begin() + to, v.begin() + from, v.begin() + from + 1);
    };
    move(cells_);
    move(checks_);
    endResetModel();
    Refilter();
}

std::vector<QString>& TGridModel::OwnRow(int row)
{
    auto& r = cells_[static_cast<size_t>(row)];
    if (r.size() < columns_.size()) r.resize(columns_.size());
    return r;
}

QString TGridModel::Text(int row, int column) const
{
    if (row < 0 || column < 0 || column >= ColumnCount() || row >= AllRowCount()) return {};
    if (source_) return source_->Text(row, column);
    const auto& r = cells_[static_cast<size_t>(row)];
    return static_cast<size_t>(column) < r.size() ? r[static_cast<size_t>(column)] : QString();
}

bool TGridModel::Number(int row, int column, double& value) const
{
    if (row < 0 || column < 0 || column >= ColumnCount() || row >= AllRowCount()) return false;
    if (source_) return source_->Number(row, column, value);
    const QString t = Text(row, column);
    return !t.isEmpty() && GridCondition::ReadNumber(t, value);
}

void TGridModel::SetText(int row, int column, const QString& text)
{
    if (row < 0 || column < 0 || column >= ColumnCount() || row >= AllRowCount()) return;
    if (source_) {
        beginResetModel();
        MaterializeSource();
        endResetModel();
    }
    OwnRow(row)[static_cast<size_t>(column)] = text;
    const int v = ViewRow(row);
    if (v >= 0) emit dataChanged(index(v, column), index(v, column));
}

void TGridModel::AddCheckBox(int row, int column, bool checked)
{
    if (row < 0 || column < 0 || column >= ColumnCount() || row >= AllRowCount()) return;
    if (source_) {
        beginResetModel();
        MaterializeSource();
        endResetModel();
    }
    checks_[static_cast<size_t>(row)] |= uint64_t(1) << column;
    SetText(row, column, checked ? kChecked : kUnchecked);
}

bool TGridModel::HasCheckBox(int row, int column) const
{
    if (source_ || row < 0 || column < 0 || column >= ColumnCount() || row >= AllRowCount()) return false;
    return (checks_[static_cast<size_t>(row)] >> column) & 1u;
}

void TGridModel::RemoveCheckBox(int row, int column)
{
    if (!HasCheckBox(row, column)) return;
    checks_[static_cast<size_t>(row)] &= ~(uint64_t(1) << column);
    const int v = ViewRow(row);
    if (v >= 0) emit dataChanged(index(v, column), index(v, column));
}

void TGridModel::SetCondition(int column, const QString& condition)
{
    if (column < 0 || column >= ColumnCount()) return;
    Column(column).condition = condition;
    Refilter();
}

void TGridModel::ClearConditions()
{
    for (auto& c : columns_) c.condition.clear();
    Refilter();
}

int TGridModel::ViewRow(int tableRow) const
{
    if (!filtered_) return tableRow >= 0 && tableRow < AllRowCount() ? tableRow : -1;
    const auto it = std::lower_bound(shown_.begin(), shown_.end(), tableRow);
    return it != shown_.end() && *it == tableRow ? static_cast<int>(it - shown_.begin()) : -1;
}

void TGridModel::Refilter()
{
    struct Active {
        int column;
        GridCondition condition;
    };
    std::vector<Active> active;
    for (int c = 0; c < ColumnCount(); ++c) {
        GridCondition cond(columns_[static_cast<size_t>(c)].condition);
        if (!cond.PassesAll()) active.push_back({c, std::move(cond)});
    }
    beginResetModel();
    shown_.clear();
    filtered_ = !active.empty();
    if (filtered_) {
        const int n = AllRowCount();
        for (int r = 0; r < n; ++r) {
            bool pass = true;
            for (const Active& a : active) {
                double number = 0;
                const bool isNumber = Number(r, a.column, number);
                if (!a.condition.Matches(Text(r, a.column), isNumber ? &number : nullptr)) {
                    pass = false;
                    break;
                }
            }
            if (pass) shown_.push_back(r);
        }
    }
    endResetModel();
}

int TGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ShownRowCount(); }
int TGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount(); }

QVariant TGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    const int row = TableRow(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (HasCheckBox(row, column)) return {};
        return Text(row, column);
    case Qt::CheckStateRole:
        if (!HasCheckBox(row, column)) return {};
        return Text(row, column) == kChecked ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole: return QVariant::fromValue(Column(column).alignment);
    case Qt::BackgroundRole:
        if (column < fixedColumns_) return QGuiApplication::palette().brush(QPalette::Button);
        return {};
    default: return {};
    }
}

bool TGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid()) return false;
    const int row = TableRow(index.row());
    const int column = index.column();
    if (role == Qt::CheckStateRole && HasCheckBox(row, column)) {
        const bool checked = value.toInt() == Qt::Checked;
        SetText(row, column, checked ? kChecked : kUnchecked);
        emit CheckBoxClicked(column, row, checked);
        return true;
    }
    if (role == Qt::EditRole) {
        SetText(row, column, value.toString());
        return true;
    }
    return false;
}

QVariant TGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal) return section >= 0 && section < ColumnCount() ? Column(section).header : QString();
    return section + 1;
}

Qt::ItemFlags TGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int row = TableRow(index.row());
    const int column = index.column();
    if (HasCheckBox(row, column)) return f | Qt::ItemIsUserCheckable;
    bool allow = Column(column).editable || Column(column).editor != 0;
    if (canEdit) canEdit(column, row, allow);
    if (allow) f |= Qt::ItemIsEditable;
    return f;
}
