#include "tevrin/pages/widgets/adv_column_grid.h"

#include "brannix/qcomponentcommon.h"
#include "platform/help.h"
#include "platform/ini_guard.h"
#include "platform/messages.h"
#include "platform/prompter.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

constexpr int kDropDownWidth = 14;
constexpr int kRowHeight = 21;

// Cells of a combo column are edited with a drop-down of the column's items: free text with
// edComboEdit, one of the items only with edComboList.
class ComboColumnDelegate : public QStyledItemDelegate {
public:
    explicit ComboColumnDelegate(QAdvColumnGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QAdvColumnGrid::EditorType editor = grid_->ColumnEditor(index.column());
        if (editor != QAdvColumnGrid::edComboEdit && editor != QAdvColumnGrid::edComboList)
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto* combo = new QComboBox(parent);
        combo->setEditable(editor == QAdvColumnGrid::edComboEdit);
        combo->addItems(grid_->ColumnComboItems(index.column()));
        return combo;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* combo = qobject_cast<QComboBox*>(editor);
        if (!combo) return QStyledItemDelegate::setEditorData(editor, index);
        const QString text = index.data(Qt::EditRole).toString();
        const int at = combo->findText(text);
        if (combo->isEditable())
            combo->setEditText(text);
        else
            combo->setCurrentIndex(at);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        auto* combo = qobject_cast<QComboBox*>(editor);
        if (!combo) return QStyledItemDelegate::setModelData(editor, model, index);
        model->setData(index, combo->currentText(), Qt::EditRole);
    }

private:
    QAdvColumnGrid* grid_;
};

// The column headers, with a drop-down button at the right of every column that offers
// filter items while the grid's filter drop-down is on.
class FilterHeader : public QHeaderView {
public:
    FilterHeader(QAdvColumnGrid* grid, std::function<void(int, QPoint)> onDropDown)
        : QHeaderView(Qt::Horizontal, grid), grid_(grid), onDropDown_(std::move(onDropDown))
    {
        setSectionsClickable(true);
        setHighlightSections(true);
    }

protected:
    bool HasButton(int section) const
    {
        return grid_->FilterDropDown() && section >= 0 && section < grid_->ColCount() &&
               !grid_->Model()->Column(section).filters.empty();
    }
    QRect ButtonRect(const QRect& section) const
    {
        return QRect(section.right() - kDropDownWidth, section.top() + 2, kDropDownWidth - 2, section.height() - 4);
    }
    void paintSection(QPainter* painter, const QRect& rect, int section) const override
    {
        painter->save();
        QHeaderView::paintSection(painter, rect, section);
        painter->restore();
        if (!HasButton(section)) return;
        const QRect b = ButtonRect(rect);
        QStyleOption opt;
        opt.initFrom(this);
        opt.rect = b;
        // A filtered column shows its arrow in the highlight colour.
        if (!grid_->ColumnFilter(section).isEmpty() && grid_->ColumnFilter(section) != QLatin1String("*"))
            opt.palette.setColor(QPalette::ButtonText, opt.palette.color(QPalette::Highlight));
        style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &opt, painter, this);
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        const int section = logicalIndexAt(e->position().toPoint());
        if (e->button() == Qt::LeftButton && HasButton(section)) {
            const QRect r(sectionViewportPosition(section), 0, sectionSize(section), height());
            if (ButtonRect(r).contains(e->position().toPoint())) {
                onDropDown_(section, mapToGlobal(QPoint(r.left(), r.bottom())));
                return;
            }
        }
        QHeaderView::mousePressEvent(e);
    }

private:
    QAdvColumnGrid* grid_;
    std::function<void(int, QPoint)> onDropDown_;
};

}  // namespace

QAdvColumnGrid::QAdvColumnGrid(QWidget* parent) : QTableView(parent), model_(new TGridModel(this))
{
    setHorizontalHeader(new FilterHeader(this, [this](int column, QPoint at) { ShowFilterMenu(column, at); }));
    setModel(model_);
    setItemDelegate(new ComboColumnDelegate(this));
    // Fixed row heights: sizing rows to their contents would measure every row.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    alarmColor_ = Color();
    restoreColor_ = Color();

    model_->canEdit = [this](int column, int row, bool& allow) {
        if (allow) emit CanEditCell(row, column, allow);
    };
    connect(model_, &TGridModel::CheckBoxClicked, this, &QAdvColumnGrid::CheckBoxClick);
    auto reportSelection = [this] {
        const GridRect r = SelectionRect();
        emit SelectionChanged(r.left, r.top, r.right, r.bottom);
    };
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, reportSelection);
    fixed_ = new QTableView(this);
    fixed_->setObjectName(QStringLiteral("fixedColumns"));
    fixed_->setHorizontalHeader(new FilterHeader(this, [this](int column, QPoint at) { ShowFilterMenu(column, at); }));
    fixed_->setModel(model_);
    fixed_->setSelectionModel(selectionModel());
    fixed_->setItemDelegate(itemDelegate());
    fixed_->setFocusPolicy(Qt::NoFocus);
    fixed_->setFrameShape(QFrame::NoFrame);
    fixed_->setWordWrap(false);
    fixed_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    fixed_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fixed_->verticalHeader()->hide();
    fixed_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    fixed_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    fixed_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixed_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixed_->hide();
    viewport()->stackUnder(fixed_);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(fixed_->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(), &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, fixed_->verticalScrollBar(), &QAbstractSlider::setValue);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (column < FixedCols() && !updatingFixed_) {
            fixed_->setColumnWidth(column, size);
            UpdateFixedGeometry();
        }
    });
    connect(fixed_->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (!updatingFixed_ && column < FixedCols() && !isColumnHidden(column) && columnWidth(column) != size)
            setColumnWidth(column, size);
    });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { UpdateFixed(); });
    connect(verticalHeader(), &QHeaderView::sectionMoved, this, [this](int, int from, int to) {
        // The header only shows the move; the rows themselves move in the table.
        QHeaderView* h = verticalHeader();
        const QSignalBlocker block(h);
        h->moveSection(to, from);
        MoveRow(ShownRow(from), ShownRow(to));
    });
}

QAdvColumnGrid::~QAdvColumnGrid()
{
    if (!widthsKey_.isEmpty()) SaveColumnWidths();
}

QColor QAdvColumnGrid::Color() const { return palette().color(QPalette::Base); }

void QAdvColumnGrid::SetColor(const QColor& color)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

// --- columns

void QAdvColumnGrid::SetColCount(int count)
{
    model_->SetColumnCount(count);
    UpdateFixed();
}

void QAdvColumnGrid::SetFixedCols(int count)
{
    model_->SetFixedColumns(count);
    UpdateFixed();
    viewport()->update();
}

int QAdvColumnGrid::FixedWidth() const
{
    int width = 0;
    for (int c = 0; c < std::min(FixedCols(), ColCount()); ++c)
        if (!isColumnHidden(c)) width += columnWidth(c);
    return width;
}

void QAdvColumnGrid::UpdateFixed()
{
    if (!fixed_) return;
    const int fixedCount = std::min(FixedCols(), ColCount());
    // The fixed view takes the grid's widths; its own header's changes here are no resizing.
    updatingFixed_ = true;
    for (int c = 0; c < ColCount(); ++c) {
        const bool shown = c < fixedCount && !isColumnHidden(c);
        if (shown) fixed_->setColumnWidth(c, columnWidth(c));
        fixed_->setColumnHidden(c, !shown);
        if (shown) fixed_->setColumnWidth(c, columnWidth(c));
    }
    updatingFixed_ = false;
    fixed_->setVisible(fixedCount > 0 && FixedWidth() > 0);
    UpdateFixedGeometry();
}

void QAdvColumnGrid::UpdateFixedGeometry()
{
    if (!fixed_ || !fixed_->isVisibleTo(this)) return;
    const int left = frameWidth() + (verticalHeader()->isVisible() ? verticalHeader()->width() : 0);
    fixed_->setGeometry(left, frameWidth(), FixedWidth(), viewport()->height() + horizontalHeader()->height());
    fixed_->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

void QAdvColumnGrid::resizeEvent(QResizeEvent* e)
{
    QTableView::resizeEvent(e);
    UpdateFixedGeometry();
}

QModelIndex QAdvColumnGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = QTableView::moveCursor(action, modifiers);
    // Moving left under the fixed columns scrolls the cell out from under them.
    if (action == MoveLeft && current.column() >= FixedCols() && visualRect(current).left() < FixedWidth())
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + visualRect(current).left() - FixedWidth());
    return current;
}

void QAdvColumnGrid::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (index.column() >= FixedCols() || !fixed_->isVisibleTo(this)) {
        QTableView::scrollTo(index, hint);
        return;
    }
    // A fixed cell is always in view sideways; only the rows scroll.
    QTableView::scrollTo(model_->index(index.row(), std::min(FixedCols(), ColCount() - 1)), hint);
}

void QAdvColumnGrid::SetColumnName(int column, const QString& name)
{
    if (column >= 0 && column < ColCount()) model_->Column(column).name = name;
}

QString QAdvColumnGrid::ColumnHeader(int column) const
{
    return column >= 0 && column < ColCount() ? model_->Column(column).header : QString();
}

void QAdvColumnGrid::SetColumnTag(int column, int tag)
{
    if (column >= 0 && column < ColCount()) model_->Column(column).tag = tag;
}

int QAdvColumnGrid::ColumnTag(int column) const
{
    return column >= 0 && column < ColCount() ? model_->Column(column).tag : 0;
}

void QAdvColumnGrid::SetColumnAlignment(int column, Qt::Alignment alignment)
{
    if (column < 0 || column >= ColCount()) return;
    model_->Column(column).alignment = alignment;
    viewport()->update();
}

void QAdvColumnGrid::SetColumnEditable(int column, bool editable)
{
    if (column >= 0 && column < ColCount()) model_->Column(column).editable = editable;
}

void QAdvColumnGrid::HideColumn(int column)
{
    setColumnHidden(column, true);
    UpdateFixed();
}

void QAdvColumnGrid::HideColumns(int from, int to)
{
    for (int c = std::max(from, 0); c <= to && c < ColCount(); ++c) setColumnHidden(c, true);
    UpdateFixed();
}

void QAdvColumnGrid::UnHideColumnsAll()
{
    for (int c = 0; c < ColCount(); ++c) setColumnHidden(c, false);
    UpdateFixed();
}

std::vector<int> QAdvColumnGrid::ShownColumns() const
{
    std::vector<int> columns;
    for (int v = 0; v < ColCount(); ++v) {
        const int c = horizontalHeader()->logicalIndex(v);
        if (c >= 0 && !isColumnHidden(c)) columns.push_back(c);
    }
    return columns;
}

void QAdvColumnGrid::SetColumnEditor(int column, EditorType editor)
{
    if (column < 0) return;
    if (column >= ColCount()) SetColCount(column + 1);
    if (column < ColCount()) model_->Column(column).editor = editor;
}

QAdvColumnGrid::EditorType QAdvColumnGrid::ColumnEditor(int column) const
{
    if (column < 0 || column >= ColCount()) return edNormal;
    return static_cast<EditorType>(model_->Column(column).editor);
}

void QAdvColumnGrid::SetColumnComboItems(int column, const QStringList& items)
{
    if (column < 0) return;
    if (column >= ColCount()) SetColCount(column + 1);
    if (column < ColCount()) model_->Column(column).comboItems = items;
}

QStringList QAdvColumnGrid::ColumnComboItems(int column) const
{
    if (column < 0 || column >= ColCount()) return {};
    return model_->Column(column).comboItems;
}

int QAdvColumnGrid::GetComboItemIndex(int column, int row) const
{
    if (column < 0 || row < 0) return -1;
    const EditorType editor = ColumnEditor(column);
    if (editor != edComboEdit && editor != edComboList) return -1;
    return static_cast<int>(model_->Column(column).comboItems.indexOf(Cells(column, row)));
}

// --- rows

int QAdvColumnGrid::AddRow()
{
    const int row = RowCount();
    model_->InsertRow(row);
    return row;
}

void QAdvColumnGrid::MoveRow(int from, int to)
{
    if (from < 0 || to < 0 || from >= RowCount() || to >= RowCount() || from == to) return;
    model_->MoveRow(from, to);
    emit RowMoved(from, to);
}

void QAdvColumnGrid::SetRowsMovable(bool movable)
{
    verticalHeader()->setVisible(movable);
    verticalHeader()->setSectionsMovable(movable);
}

bool QAdvColumnGrid::GetCheckBoxState(int column, int row) const
{
    return HasCheckBox(column, row) && Cells(column, row) == QLatin1String("Y");
}

void QAdvColumnGrid::SetCheckBoxState(int column, int row, bool checked)
{
    if (HasCheckBox(column, row)) SetCells(column, row, checked ? QStringLiteral("Y") : QStringLiteral("N"));
}

// --- filter

void QAdvColumnGrid::SetFilterDropDown(bool active)
{
    filterDropDown_ = active;
    horizontalHeader()->viewport()->update();
}

void QAdvColumnGrid::SetColumnFilterList(int column, std::vector<GridFilterItem> items)
{
    if (column < 0 || column >= ColCount()) return;
    model_->Column(column).filters = std::move(items);
    horizontalHeader()->viewport()->update();
}

std::vector<GridFilterItem> QAdvColumnGrid::ColumnFilterList(int column) const
{
    if (column < 0 || column >= ColCount()) return {};
    return model_->Column(column).filters;
}

void QAdvColumnGrid::SelectFilter(int column, int item)
{
    if (column < 0 || column >= ColCount()) return;
    const auto& items = model_->Column(column).filters;
    if (item < 0 || item >= static_cast<int>(items.size())) return;
    const QString name = items[static_cast<size_t>(item)].name;
    QString condition = items[static_cast<size_t>(item)].condition;
    emit FilterSelect(column, item, name, condition);
    ApplyFilter(column, condition);
}

void QAdvColumnGrid::ApplyFilter(int column, const QString& condition)
{
    model_->SetCondition(column, condition);
    horizontalHeader()->viewport()->update();
}

QString QAdvColumnGrid::ColumnFilter(int column) const
{
    return column >= 0 && column < ColCount() ? model_->Column(column).condition : QString();
}

void QAdvColumnGrid::ShowFilterMenu(int column, const QPoint& at)
{
    QMenu menu(this);
    const auto& items = model_->Column(column).filters;
    for (int i = 0; i < static_cast<int>(items.size()); ++i)
        menu.addAction(items[static_cast<size_t>(i)].name)->setData(i);
    QAction* chosen = menu.exec(at);
    if (chosen) SelectFilter(column, chosen->data().toInt());
}

// --- selection and size

GridRect QAdvColumnGrid::SelectionRect() const
{
    GridRect r;
    const QItemSelection s = selectionModel() ? selectionModel()->selection() : QItemSelection();
    for (const QItemSelectionRange& range : s) {
        if (r.left < 0 || range.left() < r.left) r.left = range.left();
        if (r.top < 0 || range.top() < r.top) r.top = range.top();
        r.right = std::max(r.right, range.right());
        r.bottom = std::max(r.bottom, range.bottom());
    }
    return r;
}

void QAdvColumnGrid::SelectRange(int left, int top, int right, int bottom)
{
    if (ShownRowCount() == 0 || ColCount() == 0) return;
    top = std::clamp(top, 0, ShownRowCount() - 1);
    bottom = std::clamp(bottom, 0, ShownRowCount() - 1);
    left = std::clamp(left, 0, ColCount() - 1);
    right = std::clamp(right, 0, ColCount() - 1);
    selectionModel()->select(QItemSelection(model_->index(top, left), model_->index(bottom, right)),
                             QItemSelectionModel::ClearAndSelect);
}

void QAdvColumnGrid::AutoSizeColumns(bool fixedToo, int padding)
{
    const QFontMetrics cellFont(font());
    const QFontMetrics headFont(horizontalHeader()->font());
    // The room the style keeps around a header's text and a cell's text.
    const int headerMargin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, horizontalHeader());
    const int cellMargin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int rows = ShownRowCount();
    // A long table is judged by an even spread of its rows (the first and the last among
    // them): a column's texts are alike in width, and half a million rows are not all made.
    constexpr int kMostRowsLooked = 20000;
    const int stride = rows > kMostRowsLooked ? rows / kMostRowsLooked : 1;
    std::vector<int> looked;
    for (int v = 0; v < rows; v += stride) looked.push_back(v);
    if (rows > 0 && looked.back() != rows - 1) looked.push_back(rows - 1);
    for (int c = fixedToo ? 0 : FixedCols(); c < ColCount(); ++c) {
        // The longest texts by length, then measured: a wide table is not measured cell by cell.
        int longest = 0;
        std::vector<int> candidates;
        for (int v : looked) {
            const int len = static_cast<int>(Cells(c, ShownRow(v)).size());
            if (len > longest) {
                longest = len;
                candidates.clear();
            }
            if (len == longest && candidates.size() < 16) candidates.push_back(v);
        }
        // The header's text stands in the middle, clear of the drop-down button on its right.
        const bool button = filterDropDown_ && !model_->Column(c).filters.empty();
        const int header = headFont.horizontalAdvance(ColumnHeader(c)) + 2 * headerMargin + (button ? 2 * kDropDownWidth : 0);
        int cells = 0;
        for (int v : candidates) cells = std::max(cells, cellFont.horizontalAdvance(Cells(c, ShownRow(v))));
        // A column with nothing to show (an empty comment column) keeps its width.
        if (ColumnHeader(c).isEmpty() && cells == 0) continue;
        setColumnWidth(c, std::max(header, cells + 2 * cellMargin) + padding);
    }
}

void QAdvColumnGrid::SetColumnWidthsKey(const QString& key, const QString& section)
{
    widthsKey_ = key;
    widthsSection_ = section;
}

int QAdvColumnGrid::StretchedColumn() const
{
    const QHeaderView* header = horizontalHeader();
    if (!header->stretchLastSection()) return -1;
    for (int v = header->count() - 1; v >= 0; --v)
        if (!header->isSectionHidden(header->logicalIndex(v))) return header->logicalIndex(v);
    return -1;
}

void QAdvColumnGrid::SaveColumnWidths() const
{
    if (widthsKey_.isEmpty()) return;
    platform::SaveUserIni(widthsKey_, [this](QSettings& ini) {
        ini.beginGroup(widthsSection_);
        ini.setValue(QStringLiteral("ColCount"), ColCount());
        const int stretched = StretchedColumn();
        for (int c = 0; c < ColCount(); ++c)
            if (c != stretched) ini.setValue(QStringLiteral("Col%1").arg(c), columnWidth(c));
        ini.endGroup();
    });
}

void QAdvColumnGrid::LoadColumnWidths()
{
    if (widthsKey_.isEmpty()) return;
    QSettings ini = platform::OpenUserIni(widthsKey_);
    ini.beginGroup(widthsSection_);
    const int stretched = StretchedColumn();
    for (int c = 0; c < ColCount(); ++c) {
        if (c == stretched) continue;
        bool ok = false;
        const int w = ini.value(QStringLiteral("Col%1").arg(c)).toInt(&ok);
        if (ok && w > 0 && w < 5000) setColumnWidth(c, w);
    }
    ini.endGroup();
}

// --- control protocol

bool QAdvColumnGrid::event(QEvent* e)
{
    if (TMessage::IsWindowMessage(e)) {
        return BrannixDeliver(e, [this](TMessage& m) {
            if (m.Msg == platform::QM_BEFOREPOST) DoBeforePost(m);
        });
    }
    return QTableView::event(e);
}

void QAdvColumnGrid::FireBeforePostEvent(bool& accept) { emit BeforePost(this, accept); }

bool QAdvColumnGrid::DoBeforePost(TMessage& m)
{
    bool accept = true;
    FireBeforePostEvent(accept);
    if (!accept) m.Result = 1;
    return accept;
}

QWidget* QAdvColumnGrid::FindMe() { return TQComponentCommon::ShowControlForm(this); }

void QAdvColumnGrid::EnterAlarm()
{
    if (Color() != alarmColor_) restoreColor_ = Color();
    SetColor(alarmColor_);
}

void QAdvColumnGrid::ReportError(const QString& text)
{
    QApplication::beep();
    EnterAlarm();
    const bool hasForm = FindMe() != nullptr;
    const bool inStatusBar = hasForm && TQComponentCommon::SetFormStatusMessage(this, text) > 0;
    if (!inStatusBar) platform::MessageDlg(text, platform::DlgType::Error, platform::mbOK);

    if (isVisible() && isEnabled()) {
        setFocus(Qt::OtherFocusReason);
        return;
    }
    // The user cannot get at the grid: say which item the error is about.
    const QString note = QStringLiteral("* Note:  Error applies to an item that is currently disabled.\n\nItem name:  ") +
                         objectName() + QStringLiteral("\nItem type:  ") +
                         QString::fromLatin1(metaObject()->className());
    platform::MessageDlg(inStatusBar ? text + QStringLiteral("\n\n") + note : note, platform::DlgType::Error,
                         platform::mbOK);
}

bool QAdvColumnGrid::ReportWarning(const QString& text)
{
    QApplication::beep();
    EnterAlarm();
    FindMe();
    const bool yes = platform::MessageDlg(text + QStringLiteral("\n\nContinue?"), platform::DlgType::Warning,
                                          platform::mbYesNo) == platform::mrYes;
    if (yes) SetColor(restoreColor_);
    if (isVisible() && isEnabled()) setFocus(Qt::OtherFocusReason);
    return yes;
}

void QAdvColumnGrid::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_F1 && helpContext_ != 0) platform::ShowContextHelp(this, helpContext_);
    QTableView::keyPressEvent(e);
}
