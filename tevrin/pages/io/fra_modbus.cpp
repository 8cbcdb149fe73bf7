#include "tevrin/pages/io/fra_modbus.h"

#include "brannix/qcheckbox.h"
#include "brannix/qhelpcontrols.h"
#include "brannix/qlabel.h"
#include "brannix/qlabelededit.h"
#include "platform/help.h"
#include "platform/messages.h"
#include "platform/prompter.h"
#include "tevrin/pages/page_host.h"
#include "tevrin/pages/widgets/new_modbus_dlg.h"
#include "tevrin/pages/widgets/tree_drag_routes.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/rtdb/modbus_list.h"
#include "tevrin/rtdb/modmap_adapter.h"
#include "tevrin/rtdb/observer_components.h"
#include "tevrin/pages/widgets/point_tree_adapter.h"

#include "ui_fra_modbus.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>

namespace {

constexpr const char* kListFilter = "Sentrel Modbus List (*.K41mb *.K41MB)";
constexpr int kHelpContext = 100;

struct SubgroupDef {
    const char* caption;
    int kind;
};
struct GroupDef {
    const char* caption;
    int kind;   // -1: a MODICON32 register group made of subgroups
    int base;
    SubgroupDef subgroups[3];
};
// The groups of each layout, in tree order.
const GroupDef kGroups[kModbusModeCount][4] = {
    {{"Coils", 0, 1000, {}},
     {"Short Integers", 1, 3000, {}},
     {"Long Integers", 2, 5000, {}},
     {"Floating Point", 3, 7000, {}}},
    {{"Output \"Coils\" Status", 5, 0, {}},
     {"Input Status", 6, 10000, {}},
     {"Input Register", 7, 30000, {}},
     {"Output \"Holding\" Register", 8, 40000, {}}},
    {{"Output \"Coils\" Status", 9, 0, {}},
     {"Input Status", 10, 10000, {}},
     {"Input Register", -1, 30000, {{"Input Register Short", 11}, {"Input Register Long", 12}, {"Input Register Float", 13}}},
     {"Output \"Holding\" Register", -1, 40000,
      {{"Holding Register Short", 14}, {"Holding Register Long", 15}, {"Holding Register Float", 16}}}},
};
const char* const kModeTexts[kModbusModeCount] = {"ENRON", "MODICON16", "MODICON32"};

int KindWidth(int kind)
{
    const MBKindInfo* info = MBKind(kind);
    return info ? info->width : 1;
}

// The caption of a group node up to its count.
QString BareCaption(const QString& caption)
{
    const int open = caption.indexOf(QLatin1Char('('));
    return open < 0 ? caption : caption.left(open);
}

int Depth(const QTreeWidgetItem* node)
{
    int depth = 0;
    for (const QTreeWidgetItem* p = node ? node->parent() : nullptr; p; p = p->parent()) ++depth;
    return depth;
}

}  // namespace

TfraModbus::TfraModbus(QWidget* owner) : TPageFrame(owner, 7, 1, 1), ui(std::make_unique<Ui::TfraModbus>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("fraModbus"));

    TQTreeList* list = ui->tlModbus;
    list->setColumnWidth(ColName, 300);
    list->setColumnWidth(ColRegister, 80);
    list->setColumnWidth(ColType, 50);
    list->setColumnWidth(ColPermission, 80);
    list->setColumnWidth(ColValue, 80);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->viewport()->setMouseTracking(true);
    list->viewport()->installEventFilter(this);
    list->installEventFilter(this);
    // Points go from the left tree into the map; a row dragged back out of the map is deleted.
    auto* routes = new TreeDragRoutes(this);
    routes->AddSource(
        ui->treeDB,
        [](QTreeWidgetItem* n) { return n->childCount() == 0 || n->data(0, PointTreeAdapter::kDataRole).toInt() == -1; },
        [this](QTreeWidgetItem* n) { return StartPointDrag(n); }, [this] { EndDrag(); });
    routes->AddSource(
        list, [](QTreeWidgetItem* n) { return IsRow(n); }, [this](QTreeWidgetItem* n) { return StartItemDrag(n); },
        [this] { EndDrag(); });
    routes->AddTarget(
        list, [this] { return dragRow_ >= 0 && !readOnly_; }, [this](QTreeWidgetItem* n) { return CanDropPoint(n); },
        [this](QTreeWidgetItem* n) { return DropPoint(n); });
    routes->AddTarget(
        ui->treeDB, [this] { return itemDrag_ != nullptr && !readOnly_; },
        [this](QTreeWidgetItem*) { return itemDrag_ != nullptr && !readOnly_; },
        [this](QTreeWidgetItem*) { return DropItemOnPointTree(); });

    popModbus_ = new QMenu(this);
    popModbus_->setObjectName(QStringLiteral("popModbus"));
    popModbus_->addAction(ui->mnuEditSelected);
    popModbus_->addAction(ui->mnuDeleteSelected);
    popModbus_->addSeparator();
    popModbus_->addAction(ui->mnuPrint);
    popModbus_->addSeparator();
    popModbus_->addAction(ui->mnuLoadModbusList);
    popModbus_->addAction(ui->mnuSaveModbusList);
    for (QWidget* w : {static_cast<QWidget*>(list), static_cast<QWidget*>(ui->panBottom)})
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint& at) { popModbus_->popup(w->mapToGlobal(at)); });

    connect(ui->mnuEditSelected, &QAction::triggered, this, [this] { btnLoadModbusClick(); });
    connect(ui->btnLoadModbus, &QToolButton::clicked, this, [this] { btnLoadModbusClick(); });
    connect(ui->mnuDeleteSelected, &QAction::triggered, this, [this] { DeleteSelected(); });
    connect(ui->mnuPrint, &QAction::triggered, this, [this] { mnuPrintClick(); });
    connect(ui->mnuLoadModbusList, &QAction::triggered, this, [this] { mnuLoadModbusListClick(); });
    connect(ui->mnuSaveModbusList, &QAction::triggered, this, [this] { mnuSaveModbusListClick(); });
    connect(ui->NewModbusList, &QToolButton::clicked, this, [this] { NewModbusListClick(); });

    observer_ = new QModbusObserver(this);
    connect(observer_, &QModbusObserver::OnMBChanged, this,
            [this](TMBGProfile profile, int index, const QString& propertyId, int value) {
                OnMBChange(profile, index, propertyId, value);
            });
    WatchStreamCount(ui->lblStream2, StreamCaptionRule::SingleDual);

    printDialog_ = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    SetReadOnly(false);
}

TfraModbus::~TfraModbus()
{
    if (DataBase::Exists())
        if (ModbusList* list = DataBase::Instance()->AsModbusList()) list->Detach(observer_);
}

ModbusList* TfraModbus::List() const { return DataBase::Instance()->AsModbusList(); }

int TfraModbus::Mode() const
{
    const ModbusList* list = List();
    const int mode = list ? static_cast<int>(list->Mode()) : static_cast<int>(kModbusEnron);
    return mode >= 0 && mode < kModbusModeCount ? mode : kModbusEnron;
}

void TfraModbus::SetReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    ui->mnuDeleteSelected->setEnabled(!readOnly);
    ui->NewModbusList->setEnabled(!readOnly);
    if (readOnly) EndDrag();
}

void TfraModbus::Register(int dbId) const
{
    // Rows register their points with the page while it is the current one.
    if (IsCurrentPage()) DataBase::Instance()->AsExpressScan().Add(dbId);
}

void TfraModbus::AfterEnter()
{
    if (!firstEntry_) return;
    firstEntry_ = false;
    BuildTrees();
}

void TfraModbus::OnRegisterDatabase(TMessage& m)
{
    if (ModbusList* list = List()) {
        list->Detach(observer_);
        list->Attach(observer_);
    }
    m.Result = 0;
}

void TfraModbus::OnFreePageData(TMessage& m)
{
    std::lock_guard<std::mutex> guard(lock_);
    EndDrag();
    kindNodes_.clear();
    ui->tlModbus->clear();
    m.Result = 0;
}

void TfraModbus::OnMBChange(int, int, const QString&, int value)
{
    std::lock_guard<std::mutex> guard(lock_);
    if (value != 0) return;
    try {
        BuildTrees();
    } catch (...) {
        // A rebuild that fails leaves the trees as far as they came; the next notice rebuilds.
    }
}

// --- the trees -----------------------------------------------------------------------------------

void TfraModbus::BuildTrees()
{
    BuildPointTree();
    BuildMapTree();
}

void TfraModbus::BuildPointTree()
{
    ui->treeDB->clear();
    PointTreeAdapter::Build(ui->treeDB, QString::fromLatin1(PointTreeAdapter::kRootCaption),
                            QString::fromLatin1(PointTreeAdapter::kModbusListName));
}

QTreeWidgetItem* TfraModbus::AddGroupNode(QTreeWidgetItem* parent, const QString& caption, int kind, int group,
                                          int subgroup)
{
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(ui->tlModbus);
    node->setText(ColName, caption + QStringLiteral(" (0)"));
    node->setData(0, kGroupRole, group);
    node->setData(0, kSubgroupRole, subgroup);
    node->setData(0, kImageRole, -1);
    if (kind >= 0) {
        node->setData(0, kKindRole, kind);
        kindNodes_[kind] = node;
    }
    return node;
}

void TfraModbus::BuildMapTree()
{
    itemDrag_ = nullptr;
    ModbusList* list = List();
    if (!list) return;
    // The adapter mirrors the groups exactly, in their order.
    list->FillAdapter();
    ModmapAdapter* adapter = ModmapAdapter::Instance();

    TQTreeList* tree = ui->tlModbus;
    tree->clear();
    kindNodes_.clear();
    const int mode = Mode();
    ui->lblMBModeText->setText(QString::fromLatin1(kModeTexts[mode]));
    for (int g = 0; g < 4; ++g) {
        const GroupDef& def = kGroups[mode][g];
        QTreeWidgetItem* top = AddGroupNode(nullptr, QString::fromLatin1(def.caption), def.kind, g, -1);
        top->setData(0, kBaseRole, def.base);
        if (def.kind < 0) {
            top->setData(0, kImageRole, 0);   // the parents of subgroups keep the tree's picture
            for (int s = 0; s < 3; ++s)
                AddGroupNode(top, QString::fromLatin1(def.subgroups[s].caption), def.subgroups[s].kind, g, s);
        }
    }

    std::map<int, int> positions;
    for (int i = 0; i < adapter->Count(); ++i) {
        const int kind = adapter->RegisterKind(i);
        const auto node = kindNodes_.find(kind);
        DatabasePoint* point = adapter->PointAt(i);
        if (node == kindNodes_.end() || !point) continue;
        int& position = positions[kind];
        AddItemNode(node->second, point, kind, position);
        position += KindWidth(kind);
    }
    NumberAndCaption();
    tree->expandAll();
}

void TfraModbus::AddItemNode(QTreeWidgetItem* group, DatabasePoint* point, int kind, int position)
{
    if (!point) return;
    const IPageHost* host = PageHost();
    const bool loggedOn = host && host->LoggedOn();
    Register(point->GetDbId());
    auto* row = new QTreeWidgetItem(group);
    row->setText(ColName, QString::fromStdString(point->GetName()));
    row->setText(ColType, QString::fromStdString(point->GetTypeName()));
    row->setText(ColPermission, point->IsWritable() ? QStringLiteral("Writable") : QStringLiteral("Read Only"));
    row->setText(ColValue, loggedOn ? QString::fromStdString(point->GetText()) : QStringLiteral("0"));
    row->setData(0, kKindRole, kind);
    row->setData(0, kPositionRole, position);
    row->setData(0, kDbIdRole, point->GetDbId());
    row->setData(0, kImageRole, 0);
    row->setIcon(0, QApplication::style()->standardIcon(QStyle::SP_FileIcon));
}

bool TfraModbus::IsRow(const QTreeWidgetItem* node) { return node && node->data(0, kDbIdRole).isValid(); }

int TfraModbus::RegisterNumber(const QTreeWidgetItem* row) const
{
    const QTreeWidgetItem* group = row->parent();
    const QTreeWidgetItem* top = group->parent() ? group->parent() : group;
    const int base = top->data(0, kBaseRole).toInt();
    const int i = group->indexOfChild(const_cast<QTreeWidgetItem*>(row));
    const int subgroup = group->data(0, kSubgroupRole).toInt();
    if (subgroup <= 0) return base + i + 1;
    const int nShort = top->child(0)->childCount();
    if (subgroup == 1) return base + nShort + 2 * i + 1;
    const int nLong = top->child(1)->childCount();
    return base + nShort + 2 * nLong + 2 * i + 1;
}

void TfraModbus::NumberAndCaption()
{
    for (const auto& [kind, group] : kindNodes_) {
        for (int i = 0; i < group->childCount(); ++i)
            group->child(i)->setText(ColRegister, QString::number(RegisterNumber(group->child(i))));
        group->setText(ColName, BareCaption(group->text(ColName)) + QStringLiteral("(%1)").arg(group->childCount()));
        if (QTreeWidgetItem* top = group->parent()) {
            int rows = 0;
            for (int s = 0; s < top->childCount(); ++s) rows += top->child(s)->childCount();
            top->setText(ColName, BareCaption(top->text(ColName)) + QStringLiteral("(%1)").arg(rows));
        }
    }
}

QTreeWidgetItem* TfraModbus::Group(int index, int subgroup) const
{
    if (index < 0 || index >= ui->tlModbus->topLevelItemCount()) return nullptr;
    QTreeWidgetItem* top = ui->tlModbus->topLevelItem(index);
    if (subgroup < 0) return top;
    if (top->data(0, kKindRole).isValid() || subgroup >= top->childCount()) return nullptr;
    return top->child(subgroup);
}

QTreeWidgetItem* TfraModbus::PartnerOf(const QTreeWidgetItem* group) const
{
    if (!group || IsRow(group)) return nullptr;
    const int mode = Mode();
    if (mode == kModbusEnron) return nullptr;
    const int index = group->data(0, kGroupRole).toInt();
    const int subgroup = group->data(0, kSubgroupRole).toInt();
    const int partner = index ^ 1;   // 0 with 1, 2 with 3
    if (mode == kModbusModicon32 && index >= 2) return subgroup >= 0 ? Group(partner, subgroup) : nullptr;
    return Group(partner);
}

QTreeWidgetItem* TfraModbus::PartnerRow(const QTreeWidgetItem* row) const
{
    if (!IsRow(row)) return nullptr;
    QTreeWidgetItem* partner = PartnerOf(row->parent());
    const int index = row->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(row));
    if (!partner || index >= partner->childCount()) return nullptr;
    QTreeWidgetItem* candidate = partner->child(index);
    // A map read from the analyzer or a file need not hold its partners in step: only the
    // same point at the same place is the partner, never an unrelated entry.
    return candidate->data(0, kDbIdRole) == row->data(0, kDbIdRole) ? candidate : nullptr;
}

QTreeWidgetItem* TfraModbus::PointNode(int dbId) const
{
    for (QTreeWidgetItemIterator it(ui->treeDB); *it; ++it) {
        const int row = (*it)->data(0, PointTreeAdapter::kDataRole).toInt();
        if (row < 0 || (*it)->childCount() > 0) continue;
        const DatabasePoint* point = DataBase::Instance()->PointByIndex(row);
        if (point && point->GetDbId() == dbId) return *it;
    }
    return nullptr;
}

void TfraModbus::SelectRow(int kind, int index)
{
    const auto node = kindNodes_.find(kind);
    if (node == kindNodes_.end() || node->second->childCount() == 0) return;
    ui->tlModbus->setCurrentItem(node->second->child(std::clamp(index, 0, node->second->childCount() - 1)));
}

// --- drag and drop -------------------------------------------------------------------------------

void TfraModbus::EndDrag()
{
    dragRow_ = -1;
    itemDrag_ = nullptr;
}

bool TfraModbus::StartPointDrag(QTreeWidgetItem* node)
{
    EndDrag();
    if (readOnly_ || !node || node->treeWidget() != ui->treeDB) return false;
    // The node must lie below a group node (data -1).
    const QTreeWidgetItem* carrier = node;
    while (carrier && carrier->data(0, PointTreeAdapter::kDataRole).toInt() != -1) carrier = carrier->parent();
    if (!carrier) return false;
    dragRow_ = node->childCount() > 0 ? -1 : node->data(0, PointTreeAdapter::kDataRole).toInt();
    return dragRow_ >= 0;
}

bool TfraModbus::CanDropPoint(QTreeWidgetItem* target)
{
    if (readOnly_ || itemDrag_ || dragRow_ < 0) return false;
    const DatabasePoint* point = DataBase::Instance()->PointByIndex(dragRow_);
    if (!point) return false;
    if (point->GetTypeName() == "text") {
        EndDrag();   // a text point is never mapped
        return false;
    }
    if (!target || target->treeWidget() != ui->tlModbus) return false;
    if (Mode() == kModbusModicon32) {
        const int depth = Depth(target);
        if (depth == 0 && target->data(0, kGroupRole).toInt() >= 2) return false;
        if (depth == 1 && target->data(0, kSubgroupRole).toInt() >= 0) return true;
        if (depth >= 2) return false;
    }
    // Onto a row (it joins that row's group) or onto an empty group.
    return !(target->childCount() > 0 && IsRow(target->child(0)));
}

bool TfraModbus::AddPointToGroup(QTreeWidgetItem* group, DatabasePoint* point)
{
    ModbusList* list = List();
    Register(point->GetDbId());
    if (list->EntryCount() >= kMaxEntries) {
        platform::MessageBox(QStringLiteral("The Modbus List if full. The total amount should be less than 100 points."),
                             QStringLiteral("Attention"), platform::DlgType::Custom, platform::mbOK);
        return false;
    }
    return list->AddPoint(point, group->data(0, kKindRole).toInt()) >= 0;
}

bool TfraModbus::DropPoint(QTreeWidgetItem* target)
{
    if (readOnly_ || itemDrag_ || !CanDropPoint(target)) {
        EndDrag();
        return false;
    }
    DatabasePoint* point = DataBase::Instance()->PointByIndex(dragRow_);
    EndDrag();
    QTreeWidgetItem* group = IsRow(target) ? target->parent() : target;
    QTreeWidgetItem* partner = PartnerOf(group);
    ModbusList* list = List();
    // The entry and its partner go in together or not at all.
    if (list->EntryCount() + (partner ? 2 : 1) > kMaxEntries) {
        platform::MessageBox(QStringLiteral("The Modbus List if full. The total amount should be less than 100 points."),
                             QStringLiteral("Attention"), platform::DlgType::Custom, platform::mbOK);
        return false;
    }
    const int kind = group->data(0, kKindRole).toInt();
    if (partner && !AddPointToGroup(partner, point)) return false;
    const bool added = AddPointToGroup(group, point);
    BuildMapTree();
    if (added) SelectRow(kind, kindNodes_.count(kind) ? kindNodes_[kind]->childCount() - 1 : 0);
    return added;
}

bool TfraModbus::StartItemDrag(QTreeWidgetItem* row)
{
    EndDrag();
    if (readOnly_ || !IsRow(row)) return false;
    ui->tlModbus->setCurrentItem(row);
    itemDrag_ = row;
    return true;
}

bool TfraModbus::DropItemOnPointTree()
{
    const bool dragging = itemDrag_ != nullptr;
    EndDrag();
    return dragging && DeleteSelected();
}

// --- delete and move -----------------------------------------------------------------------------

bool TfraModbus::DeleteSelected()
{
    if (readOnly_) return false;
    QTreeWidgetItem* row = ui->tlModbus->currentItem();
    if (!IsRow(row)) return false;
    ModbusList* list = List();
    const int kind = row->data(0, kKindRole).toInt();
    const int index = row->parent()->indexOfChild(row);
    if (QTreeWidgetItem* partner = PartnerRow(row))
        list->DeleteEntry(partner->data(0, kKindRole).toInt(), partner->data(0, kPositionRole).toInt());
    const bool deleted = list->DeleteEntry(kind, row->data(0, kPositionRole).toInt());
    BuildMapTree();
    SelectRow(kind, index);
    return deleted;
}

bool TfraModbus::MoveSelected(bool up)
{
    if (readOnly_) return false;
    QTreeWidgetItem* row = ui->tlModbus->currentItem();
    if (!IsRow(row)) return false;
    QTreeWidgetItem* group = row->parent();
    const int index = group->indexOfChild(row);
    const int to = up ? index - 1 : index + 1;
    if (to < 0 || to >= group->childCount()) return false;   // first up, last down: nothing moves
    ModbusList* list = List();
    const int kind = row->data(0, kKindRole).toInt();
    if (QTreeWidgetItem* partner = PartnerRow(row)) {
        const int partnerKind = partner->data(0, kKindRole).toInt();
        if (to < partner->parent()->childCount()) list->MoveEntry(partnerKind, index, partnerKind, to);
    }
    const bool moved = list->MoveEntry(kind, index, kind, to);
    BuildMapTree();
    SelectRow(kind, moved ? to : index);
    return moved;
}

bool TfraModbus::ListKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    const bool alt = modifiers & Qt::AltModifier;
    if (key == Qt::Key_Delete) {
        if (!readOnly_) DeleteSelected();
        return true;
    }
    if (alt && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        if (!readOnly_) MoveSelected(key == Qt::Key_Up);
        return true;
    }
    return false;
}

// --- menu and buttons ----------------------------------------------------------------------------

void TfraModbus::NewModbusListClick()
{
    if (readOnly_) return;
    TNewModbusDlg dialog(window());
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    dialog.hide();
    if (!confirmed) return;
    if (IPageHost* host = PageHost()) host->PostNewModbusList(static_cast<uint8_t>(dialog.ItemIndex()));
    BuildMapTree();
}

void TfraModbus::btnLoadModbusClick() { PostCommand("LoadModbusList"); }

void TfraModbus::mnuLoadModbusListClick()
{
    platform::FileRequest request;
    request.save = false;
    request.filter = QString::fromLatin1(kListFilter);
    request.defaultSuffix = QStringLiteral("K41mb");
    const QString name = platform::Prompter().ChooseFile(request);
    if (name.isEmpty()) return;
    IPageHost* host = PageHost();
    if (host) host->SetStatusText(QStringLiteral("Reading Modbus list from file"));
    ModbusList* list = List();
    if (list && list->LoadFromFile(name) == 0) {
        BuildMapTree();
        if (host) host->SetStatusText(QStringLiteral("Loaded Modbus list from file"));
        return;
    }
    platform::MessageDlg(QStringLiteral("Error opening file \"%1\"").arg(name), platform::DlgType::Error, platform::mbOK);
}

void TfraModbus::mnuSaveModbusListClick()
{
    platform::FileRequest request;
    request.save = true;
    request.caption = QStringLiteral("Save Sentrel Modbus Configuration");
    request.filter = QString::fromLatin1(kListFilter);
    request.defaultSuffix = QStringLiteral("K41mb");
    const QString name = platform::Prompter().ChooseFile(request);
    if (name.isEmpty()) return;
    IPageHost* host = PageHost();
    if (host) host->SetStatusText(QStringLiteral("Saving Modbus List to file"));
    ModbusList* list = List();
    if (list && list->SaveToFile(name) == 0) {
        if (host) host->SetStatusText(QStringLiteral("Modbus List successfully saved to file"));
        return;
    }
    if (host) host->SetStatusText(QString());
    platform::MessageDlg(QStringLiteral("The Modbus list was not saved to \"%1\".\n%2")
                             .arg(name, ModmapAdapter::Instance()->LastError()),
                         platform::DlgType::Error, platform::mbOK);
}

void TfraModbus::mnuPrintClick()
{
    QPrinter printer(QPrinter::HighResolution);
    if (printDialog_ && printDialog_(printer)) PrintTo(printer);
}

QString TfraModbus::TabCaption() const
{
    // The page sits on a tab sheet of the main window's page control.
    for (const QWidget* w = this; w && w->parentWidget(); w = w->parentWidget()) {
        const auto* stack = qobject_cast<const QStackedWidget*>(w->parentWidget());
        const auto* tabs = stack ? qobject_cast<const QTabWidget*>(stack->parentWidget()) : nullptr;
        if (!tabs) continue;
        const int i = tabs->indexOf(const_cast<QWidget*>(w));
        if (i >= 0) return tabs->tabText(i);
    }
    return QStringLiteral("Modbus ");
}

int TfraModbus::PrintTo(QPrinter& printer)
{
    QPainter p;
    if (!p.begin(&printer)) return 0;
    const int pageWidth = printer.width();
    const int pageHeight = printer.height();
    constexpr int kMargin = 40;
    constexpr int kGap = 20;

    QFont font = p.font();
    const auto setFont = [&](int size, bool bold) {
        font.setPointSize(size);
        font.setBold(bold);
        p.setFont(font);
    };
    setFont(10, false);
    const int textHeight = p.fontMetrics().height();
    // Columns: Register, Name, Type, Units, Value, Permissions, each the width of a run of "n".
    const int letters[6] = {8, 25, 15, 15, 15, 12};
    int columnX[6];
    int x = kMargin;
    for (int c = 0; c < 6; ++c) {
        columnX[c] = x;
        x += p.fontMetrics().horizontalAdvance(QString(letters[c], QLatin1Char('n'))) + kGap;
    }
    const auto centred = [&](int y, const QString& text) {
        const int at = pageWidth / 2 - p.fontMetrics().horizontalAdvance(text) / 2;
        p.drawText(std::max(at, kMargin), y, text);
    };

    int pages = 1;
    int y = 0;
    const auto header = [&] {
        setFont(10, false);
        centred(textHeight + pageHeight - 200, QStringLiteral("Page %1").arg(pages));
        y = 205;
        setFont(18, false);
        centred(y, QStringLiteral("Modbus Register Listing"));
        y += p.fontMetrics().height();
        setFont(16, false);
        centred(y, TabCaption());
        y += p.fontMetrics().height();
        setFont(12, false);
        centred(y, QStringLiteral("Modbus Mode: ") + ui->lblMBModeText->text() + QStringLiteral("\t Address: ") +
                       ui->ledAddress->text());
        y += p.fontMetrics().height();
        setFont(10, false);
        y += textHeight;
        setFont(10, true);
        const char* const headings[6] = {"Register", "Name", "Type", "Units", "Value", "Permissions"};
        for (int c = 0; c < 6; ++c) p.drawText(columnX[c], y, QString::fromLatin1(headings[c]));
        setFont(10, false);
        y += textHeight;
        p.setPen(Qt::black);
        p.drawRect(QRect(QPoint(20, 20), QPoint(pageWidth - 20, pageHeight - 20)));
        p.drawLine(20, y, pageWidth - 20, y);
        y += textHeight;
    };
    const auto newPage = [&] {
        printer.newPage();
        ++pages;
        header();
    };

    header();
    for (QTreeWidgetItemIterator it(ui->tlModbus); *it; ++it) {
        const QTreeWidgetItem* node = *it;
        if (IsRow(node)) {
            if (y > pageHeight - textHeight - 200) newPage();
            setFont(10, true);
            p.drawText(columnX[0], y, node->text(ColRegister));
            setFont(10, false);
            p.drawText(columnX[1], y, node->text(ColName));
            p.drawText(columnX[2], y, node->text(ColType));
            // The points carry no units; value and permission stand under their own headings.
            p.drawText(columnX[4], y, node->text(ColValue));
            p.drawText(columnX[5], y, node->text(ColPermission));
            y += textHeight;
        } else {
            if (y > pageHeight - 3 * textHeight - 200) newPage();
            y += textHeight;
            if (node->parent()) {
                setFont(10, true);
                centred(y, QStringLiteral("----- ") + node->text(ColName) + QStringLiteral(" -----"));
            } else {
                setFont(14, true);
                p.drawText(kMargin, y, node->text(ColName));
            }
            setFont(10, false);
            y += 2 * textHeight;
        }
    }
    p.end();
    return pages;
}

// --- events --------------------------------------------------------------------------------------

void TfraModbus::ShowHelp()
{
    // Context help of the map, once each time the mouse comes over it, when a text is installed.
    if (helpShown_ || platform::ContextHelpText(kHelpContext).isEmpty()) return;
    helpShown_ = platform::ShowContextHelp(ui->tlModbus, kHelpContext);
}

bool TfraModbus::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == ui->tlModbus->viewport()) {
        if (e->type() == QEvent::MouseMove) ShowHelp();
        if (e->type() == QEvent::Leave) helpShown_ = false;
        return false;
    }
    if (watched == ui->tlModbus && e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        return ListKeyDown(ke->key(), ke->modifiers());
    }
    return TPageFrame::eventFilter(watched, e);
}

// --- controls ------------------------------------------------------------------------------------

QTreeWidget* TfraModbus::treeDB() const { return ui->treeDB; }
TQTreeList* TfraModbus::tlModbus() const { return ui->tlModbus; }
QLabel* TfraModbus::lblMBModeText() const { return ui->lblMBModeText; }
QAction* TfraModbus::mnuDeleteSelected() const { return ui->mnuDeleteSelected; }
QAction* TfraModbus::mnuEditSelected() const { return ui->mnuEditSelected; }
QAction* TfraModbus::mnuPrint() const { return ui->mnuPrint; }
QAction* TfraModbus::mnuLoadModbusList() const { return ui->mnuLoadModbusList; }
QAction* TfraModbus::mnuSaveModbusList() const { return ui->mnuSaveModbusList; }
QToolButton* TfraModbus::NewModbusList() const { return ui->NewModbusList; }
QToolButton* TfraModbus::btnLoadModbus() const { return ui->btnLoadModbus; }
