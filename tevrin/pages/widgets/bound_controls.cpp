#include "tevrin/pages/widgets/bound_controls.h"

#include "brannix/qcheckbox.h"
#include "brannix/qlabelededit.h"
#include "brannix/qupdown.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace pagecontrols {

namespace {
// The room a line edit keeps at either end of its text (the cursor's margin).
constexpr int kEditTextMargin = 2;

QStyleOptionFrame EditFrameOption(const QLineEdit* edit)
{
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    option.features = QStyleOptionFrame::None;
    return option;
}
}  // namespace

int TextRoom(const QLineEdit* edit)
{
    const QStyleOptionFrame option = EditFrameOption(edit);
    const QRect inside = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    const QMargins margins = edit->textMargins();
    return inside.width() - margins.left() - margins.right() - 2 * kEditTextMargin;
}

void FitToText(QLineEdit* edit, const QString& longest)
{
    // The style's frame and inner margins are whatever the edit at its present width does not
    // give the text; one pixel more keeps the cursor off the last character.
    const int needed = edit->fontMetrics().horizontalAdvance(longest) + 1;
    const int frame = edit->width() - TextRoom(edit);
    edit->setMinimumWidth(std::max(edit->minimumWidth(), needed + frame));
}

void AlignCaptions(const QList<TQLabeledEdit*>& edits)
{
    int widest = 0;
    for (TQLabeledEdit* edit : edits)
        if (QLabel* label = edit->EditLabel())
            widest = std::max(widest, label->sizeHint().width() + label->fontMetrics().averageCharWidth());
    for (TQLabeledEdit* edit : edits)
        if (QLabel* label = edit->EditLabel()) label->setMinimumWidth(widest);
}

void KeepWideAsItsItems(QTreeView* tree)
{
    const auto fit = [tree] {
        const int items = std::max(static_cast<const QAbstractItemView*>(tree)->sizeHintForColumn(0),
                                   tree->isHeaderHidden() ? 0 : tree->header()->sectionSizeHint(0));
        tree->setMinimumWidth(items + 2 * tree->frameWidth() + tree->verticalScrollBar()->sizeHint().width());
    };
    // Once the change is whole: a list filled item by item is measured once.
    auto* pending = new QTimer(tree);
    pending->setSingleShot(true);
    pending->setInterval(0);
    QObject::connect(pending, &QTimer::timeout, tree, fit);
    const auto later = [pending] { pending->start(); };
    QAbstractItemModel* model = tree->model();
    QObject::connect(model, &QAbstractItemModel::rowsInserted, pending, later);
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, pending, later);
    QObject::connect(model, &QAbstractItemModel::modelReset, pending, later);
    QObject::connect(model, &QAbstractItemModel::dataChanged, pending, later);
    QObject::connect(tree, &QTreeView::expanded, pending, later);
    QObject::connect(tree, &QTreeView::collapsed, pending, later);
    fit();
}

QString LongestCount() { return QStringLiteral("70000"); }

QString LongestFloat() { return QStringLiteral("-8888.888"); }

namespace {
template <class E>
E* Bind(E* edit, const char* name, TDbId id, TDataType type)
{
    edit->setObjectName(QString::fromLatin1(name));
    edit->setDataType(type);
    edit->setDbId(id);
    edit->setUseDatabase(id != 0);
    return edit;
}
}  // namespace

TQLabeledEdit* LabeledEdit(QWidget* parent, QBoxLayout* row, const char* name, const QString& caption, TDbId id,
                           TDataType type)
{
    auto* edit = Bind(new TQLabeledEdit(parent), name, id, type);
    if (row) row->addWidget(edit);
    edit->setEditLabelCaption(caption);
    return edit;
}

TQEdit* Edit(QWidget* parent, QBoxLayout* row, const char* name, TDbId id, TDataType type)
{
    auto* edit = Bind(new TQEdit(parent), name, id, type);
    if (row) row->addWidget(edit);
    return edit;
}

TQCheckBox* CheckBox(QWidget* parent, const char* name, const QString& caption, TDbId id, int bit)
{
    auto* box = new TQCheckBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setText(caption);
    box->setDbId(id);
    box->setUseDatabase(id != 0);
    if (bit >= 0) box->setWatchBitNumber(static_cast<TBitNum>(bnBit0 + bit));
    return box;
}

QToolButton* ToolButton(QWidget* parent, const char* name, const QString& caption, bool checkable)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setCheckable(checkable);
    return button;
}

QToolButton* HiddenTestButton(QWidget* parent)
{
    QToolButton* button = ToolButton(parent, "btnTest", QStringLiteral("T"), true);
    button->setToolTip(QStringLiteral("Test"));
    button->setVisible(false);
    return button;
}

void SetUsable(TQEdit* edit, bool usable)
{
    if (!edit) return;
    edit->setEnabled(usable);
    edit->SetColor(usable ? clWindow() : clScrollBar());
}

bool FollowUpDown(TQUpDown* upDown, bool asFloat)
{
    QLineEdit* edit = upDown ? upDown->AssociatedControl() : nullptr;
    if (!edit) return false;
    long long v = 0;
    if (asFloat) {
        double f = 0;
        if (!TQComponentCommon::StrToFloat(edit->text(), f) || !std::isfinite(f) || std::fabs(f) > 1e15) return false;
        v = static_cast<long long>(std::trunc(f));
    } else if (!TQComponentCommon::StrToInt64(edit->text(), v)) {
        return false;
    }
    const long long offset = upDown->AssociatedControlOffset();
    const long long d = std::llabs(v - upDown->Position() - offset);
    if (d > upDown->singleStep())
        upDown->SetPosition(static_cast<int>(std::max<long long>(INT32_MIN, std::min<long long>(INT32_MAX, v - offset))));
    else
        edit->setText(QString::number(upDown->Position() + offset));
    return true;
}

bool CountValue(const QString& text, long long& value)
{
    long long n = 0;
    if (!TQComponentCommon::StrToInt64(text, n) || n < 0 || n > 65535) return false;
    value = n;
    return true;
}

}  // namespace pagecontrols
