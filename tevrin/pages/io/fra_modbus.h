#pragma once
// The Modbus page (page 7): the editor of the analyzer's Modbus slave map, the database's
// ModbusList. The left tree offers the points that may be mapped; the user drags them into the
// register groups of the map's layout (ENRON, MODICON16, MODICON32), reorders them with
// Alt+Up and Alt+Down, deletes them, starts a new empty list, loads the list from the analyzer
// or a list file ("*.K41mb"), saves it and prints it.
//
// In the MODICON layouts groups come in partner pairs (coil and input status, input and
// holding registers, and in MODICON32 the Short, Long and Float subgroups of the two register
// groups): a drop adds the point to both, a delete and a move act on both. A drop that finds no
// room for both entries is refused whole, so the page never leaves an entry without its
// partner. The page polls nothing.
#include "tevrin/pages/page_frame.h"
#include "tevrin/rtdb/database.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace Ui {
class TfraModbus;
}
class DatabasePoint;
class ModbusList;
class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QModbusObserver;
class TQTreeList;

class TfraModbus : public TPageFrame {
    Q_OBJECT
public:
    // Item data of the map tree's nodes.
    static constexpr int kKindRole = Qt::UserRole + 1;       // rows and kinded groups: register kind
    static constexpr int kPositionRole = Qt::UserRole + 2;   // rows: offset within the group, in registers
    static constexpr int kDbIdRole = Qt::UserRole + 3;       // rows: the mapped point
    static constexpr int kGroupRole = Qt::UserRole + 4;      // groups and subgroups: top-level index
    static constexpr int kSubgroupRole = Qt::UserRole + 5;   // subgroups: 0 Short, 1 Long, 2 Float; else -1
    static constexpr int kBaseRole = Qt::UserRole + 6;       // top-level groups: register base
    static constexpr int kImageRole = Qt::UserRole + 7;
    enum Column { ColName = 0, ColRegister = 1, ColType = 2, ColPermission = 3, ColValue = 4 };
    static constexpr int kMaxEntries = 100;

    explicit TfraModbus(QWidget* owner);
    ~TfraModbus() override;

    // While read-only "Delete Selected Item" and "New Modbus List" are disabled and drags,
    // drops and keys do nothing; loading, saving and printing stay.
    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const { return readOnly_; }

    // The available points, then the map.
    void BuildTrees();
    void BuildPointTree();
    // The map tree from the database's list, in the groups of its layout, numbered.
    void BuildMapTree();

    // --- drag and drop ----------------------------------------------------------------------------
    // A point node of the left tree starts a drag; false when refused.
    bool StartPointDrag(QTreeWidgetItem* node);
    // Whether the dragged point may be dropped on a node of the map. A text point is refused and
    // its drag forgotten.
    bool CanDropPoint(QTreeWidgetItem* target);
    // Adds the dragged point to the group under target (and first to its partner group).
    bool DropPoint(QTreeWidgetItem* target);
    // A map row dragged out of the map; dropped on the left tree it is deleted.
    bool StartItemDrag(QTreeWidgetItem* row);
    bool DropItemOnPointTree();
    void EndDrag();
    int DraggedRow() const { return dragRow_; }

    // Delete, Alt+Up, Alt+Down on the selected row; true when the key was taken.
    bool ListKeyDown(int key, Qt::KeyboardModifiers modifiers);
    // The selected row and its partner; false when nothing was deleted.
    bool DeleteSelected();
    // The selected row and its partner one place up or down; false when nothing moved.
    bool MoveSelected(bool up);

    // --- menu and buttons -------------------------------------------------------------------------
    void NewModbusListClick();
    void btnLoadModbusClick();
    void mnuLoadModbusListClick();
    void mnuSaveModbusListClick();
    void mnuPrintClick();
    // Prints the map as the tree shows it; returns the number of pages.
    int PrintTo(QPrinter& printer);
    // The print dialog (a QPrintDialog unless replaced); true to print.
    void SetPrintDialog(std::function<bool(QPrinter&)> dialog) { printDialog_ = std::move(dialog); }

    // The list's notice: a whole new map (value 0) rebuilds both trees.
    void OnMBChange(int profile, int index, const QString& propertyId, int value);

    // --- what the page shows ----------------------------------------------------------------------
    QTreeWidget* treeDB() const;
    TQTreeList* tlModbus() const;
    QLabel* lblMBModeText() const;
    QAction* mnuDeleteSelected() const;
    QAction* mnuEditSelected() const;
    QAction* mnuPrint() const;
    QAction* mnuLoadModbusList() const;
    QAction* mnuSaveModbusList() const;
    QToolButton* NewModbusList() const;
    QToolButton* btnLoadModbus() const;
    QMenu* popModbus() const { return popModbus_; }
    // A group node by its top-level index and, in MODICON32 groups 2 and 3, subgroup index.
    QTreeWidgetItem* Group(int index, int subgroup = -1) const;
    // The point node of the left tree for a DbId.
    QTreeWidgetItem* PointNode(int dbId) const;
    static bool IsRow(const QTreeWidgetItem* node);

protected:
    std::vector<int> FixedPointsBefore() const override { return {389, DataBase::kStreamsDbId, 1630, 1631}; }
    bool RegistersBoundControls() const override { return false; }
    void FirstEntry() override { firstEntry_ = true; }
    void AfterEnter() override;
    void OnRegisterDatabase(TMessage& m) override;
    void OnFreePageData(TMessage& m) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    ModbusList* List() const;
    int Mode() const;
    QTreeWidgetItem* AddGroupNode(QTreeWidgetItem* parent, const QString& caption, int kind, int group, int subgroup);
    void AddItemNode(QTreeWidgetItem* group, DatabasePoint* point, int kind, int position);
    void NumberAndCaption();
    int RegisterNumber(const QTreeWidgetItem* row) const;
    QTreeWidgetItem* PartnerOf(const QTreeWidgetItem* group) const;
    // The partner's row at the same index when it maps the same point, else nullptr.
    QTreeWidgetItem* PartnerRow(const QTreeWidgetItem* row) const;
    bool AddPointToGroup(QTreeWidgetItem* group, DatabasePoint* point);
    void SelectRow(int kind, int index);
    void Register(int dbId) const;
    QString TabCaption() const;
    void ShowHelp();

    std::unique_ptr<Ui::TfraModbus> ui;
    QMenu* popModbus_ = nullptr;
    QModbusObserver* observer_ = nullptr;
    std::mutex lock_;
    bool readOnly_ = false;
    bool firstEntry_ = false;
    int dragRow_ = -1;                       // catalogue row dragged from the left tree
    QTreeWidgetItem* itemDrag_ = nullptr;    // map row dragged out of the map
    std::map<int, QTreeWidgetItem*> kindNodes_;
    bool helpShown_ = false;
    std::function<bool(QPrinter&)> printDialog_;
};
