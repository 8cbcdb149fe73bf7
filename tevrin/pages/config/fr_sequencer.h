#pragma once
// The Sequencer page (page 12): the automatic and the eight manual run sequences.
#include "tevrin/pages/page_frame.h"

class QTreeWidget;

class TfrSequencer : public TPageFrame {
    Q_OBJECT
public:
    explicit TfrSequencer(QWidget* owner);
    ~TfrSequencer() override;

    // Page 12, flags 0 and 1; then the run-type tree is rebuilt.
    void EnterPage() override;

    // Refuses drag, drop and delete on the lists while set.
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool IsReadOnly() const { return readOnly_; }

    // Stores the page's sequences into the database's sequencer image; sends nothing.
    void CommitToDatabase();

    QTreeWidget* runTypes() const { return runTypes_; }

protected:
    std::vector<int> FixedPointsBefore() const override
    {
        return {1431, 1432, 1609, 1610, 1611, 1612, 1613, 1632, 1633, 1634, 1635, 20};
    }
    bool RegistersBoundControls() const override { return false; }
    void OnFreePageData(TMessage& m) override;

private:
    void RebuildRunTypes();
    void FreeNodeData();

    bool readOnly_ = true;
    QTreeWidget* runTypes_ = nullptr;
};
