#pragma once
// The Sequencer page (page 12): the editor of the analyzer's run sequencer, one 228-byte block
// with an automatic sequence of up to 32 runs and eight manual sequences of up to 8 runs.
//
// The page shows the block as boxes, radio buttons and nine lists in a tree list ("Automatic
// Entries", "Manual Entries #1" .. "#8"); the user fills the lists by dragging run types from
// the tree "Available Run Types", deletes entries with Delete and moves them with Alt+Up and
// Alt+Down. The block comes in through the structure observer whenever the database's
// sequencer publishes it (read from the analyzer, loaded from a configuration file) and goes
// back at the main window's write (QM_BEFOREPOST), at Save, and after every drop made while
// nobody is logged on.
#include "tevrin/pages/page_frame.h"
#include "tevrin/rtdb/analyzer_records.h"
#include "tevrin/rtdb/sequencer.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace Ui {
class TfrSequencer;
}
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;
class TQCheckBox;
class TQImage;
class TQLabeledEdit;
class TQStructOberver;
class TQTreeList;

using SequencerBytes = std::array<uint8_t, kSequencerBlockSize>;

class TfrSequencer : public TPageFrame {
    Q_OBJECT
public:
    static constexpr int kManualSequences = kSequencerManualSequences;
    static constexpr int kLists = 1 + kManualSequences;   // automatic, then manual 1..8
    static constexpr int kAutomaticCapacity = kSequencerAutomaticEntries;
    static constexpr int kManualCapacity = kSequencerManualEntries;
    static constexpr int kDigitalInputs = 8;   // the inputs a manual sequence can start on
    // Item data of the tree nodes.
    static constexpr int kStreamRole = Qt::UserRole + 1;   // stream number 1..4; 0 for no run type
    static constexpr int kRunRole = Qt::UserRole + 2;      // run type 0..5; -1 for no run type
    static constexpr int kImageRole = Qt::UserRole + 3;    // image index of the node
    static constexpr int kListRole = Qt::UserRole + 4;     // a list header: its list 0..8

    explicit TfrSequencer(QWidget* owner);
    ~TfrSequencer() override;

    // Registers the page's points, then rebuilds the run-type tree; the lists stay.
    void EnterPage() override;

    // The lock flag: while set and someone is logged on, every drag, drop, delete and move is
    // refused. Set in read-only mode, cleared in update mode.
    void SetReadOnly(bool readOnly) { locked_ = readOnly; }
    bool IsReadOnly() const { return locked_; }

    // Shows a block. Depths are bounded by the lists' capacities before any slot is read;
    // slots naming a stream above 4 or a run type above 5 are left out. A digital input above
    // 8 checks no radio button and is packed back as it came until the user picks one.
    void LoadFromRecord(const SequencerBytes& block);
    // Builds the block from the page; slots past each list's entries are zero.
    SequencerBytes PackRecord() const;
    // PackRecord into the database's sequencer (no notice, nothing sent).
    void CommitToDatabase();

    // --- drag and drop from the run-type tree onto the lists --------------------------------------
    // Starts dragging a node of the run-type tree; false when refused (locked while logged on,
    // or a node outside the tree's run types).
    bool StartDrag(QTreeWidgetItem* node);
    // Whether the dragged run type may be dropped onto the node of the lists.
    bool CanDrop(const QTreeWidgetItem* target) const;
    // Drops the dragged run type onto a list header; false when refused. While nobody is
    // logged on the block is stored at once.
    bool Drop(QTreeWidgetItem* target);
    void EndDrag();
    bool Dragging() const { return dragging_; }

    // Delete, Alt+Up and Alt+Down on the selected entry; true when the key was taken.
    bool ListKeyDown(int key, Qt::KeyboardModifiers modifiers);

    // --- what the page shows ----------------------------------------------------------------------
    QTreeWidget* treeRunType() const;
    TQTreeList* tlSequencer() const;
    QTreeWidgetItem* ListHeader(int list) const;
    // Entries of a list as (stream number, run type).
    std::vector<std::pair<int, int>> Entries(int list) const;
    QCheckBox* chkEnableSequencer() const;
    QCheckBox* chkManualModeEnable() const;
    QRadioButton* sel(int input) const;                    // input 1..8
    QCheckBox* MSEnable(int sequence) const;              // 1..8
    QCheckBox* MSLoopEnable(int sequence) const;          // 1..8
    QRadioButton* ManualSel(int input, int sequence) const;   // sel<input><sequence>
    TQCheckBox* chkRun(int sequence) const;               // 1..8
    TQLabeledEdit* SequencerState() const;
    TQImage* MSOn() const;
    int RememberedState() const { return state_; }
    int RememberedPointer() const { return pointer_; }

    // Name of a run type on this page ("" for total sulphur and unknown types).
    static QString RunTypeName(int run);

protected:
    std::vector<int> FixedPointsBefore() const override
    {
        return {1431, 1432, 1609, 1610, 1611, 1612, 1613, 1632, 1633, 1634, 1635, 20};
    }
    bool RegistersBoundControls() const override { return false; }
    void OnRegisterDatabase(TMessage& m) override;
    void OnBeforePost(TMessage& m) override;
    void OnFreePageData(TMessage& m) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    struct ManualGroup {
        QGroupBox* box = nullptr;
        QCheckBox* enable = nullptr;
        QCheckBox* loop = nullptr;
        TQCheckBox* run = nullptr;
        QButtonGroup* inputs = nullptr;
        std::array<QRadioButton*, kDigitalInputs> sel{};
    };

    void BuildManualGroups();
    void RebuildRunTypes();
    void FreeTreeData();
    void ClearLists();
    QTreeWidgetItem* AddLoadedEntry(int list, int position, int stream, int run);
    static void SetImage(QTreeWidgetItem* node, int image);
    static int CheckedIndex(const QButtonGroup* group);
    static void CheckIndex(QButtonGroup* group, int index);
    bool LoggedOnAndLocked() const;
    int ListCapacity(int list) const { return list == 0 ? kAutomaticCapacity : kManualCapacity; }
    void LoopClicked(int sequence);
    void ShowState(const QString& value, bool& DoDefault);

    std::unique_ptr<Ui::TfrSequencer> ui;
    std::array<ManualGroup, kManualSequences> manual_{};
    QButtonGroup* inputs_ = nullptr;
    TQStructOberver* observer_ = nullptr;
    bool locked_ = true;
    int state_ = 0;
    int pointer_ = -1;
    // The drag: the dragged value and whether it may be dropped.
    bool dragging_ = false;
    bool droppable_ = false;
    int dragStream_ = 0;
    int dragRun_ = -1;
};
