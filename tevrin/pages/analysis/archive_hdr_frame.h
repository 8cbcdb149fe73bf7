#pragma once
// One log's tab of the log configuration window: the points the log records (a grid of "Item"
// and "Data Point"; the enable, frequency and id code repeat in hidden columns), the log's
// enable box and its frequency (seconds; the daily log's hour). Points come from the window's
// tree by drag and drop and go with "Delete Item". Edits change the database's record of the
// log at once; the window writes the records to the analyzer.
#include "brannix/database_glue.h"

#include <QFrame>

#include <functional>
#include <vector>

class QAdvColumnGrid;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
struct LogConfigRecord;

class TfraArchiveHdr : public QFrame {
    Q_OBJECT
public:
    enum Column { colSeq = 0, colPointName, colEnable, colFrequency, colLogID, kColumns };

    TfraArchiveHdr(QWidget* parent, int logIndex);
    ~TfraArchiveHdr() override;

    int LogIndex() const { return log_; }
    bool Daily() const;

    // Fills the grid from the log's record and forgets that an id was drawn.
    void LoadFromRecord();

    // Whether a point may be dropped now (fewer than seven points), and the drop itself: the
    // point of a catalogue row goes below the others. False when nothing changed (no room, no
    // such row, or no free id code).
    bool CanDropPoint() const;
    bool DropPoint(int catalogueRow);
    // "Delete Item" on a grid row: asks first; Yes removes the point. False when nothing changed.
    bool DeleteRow(int row);
    // The enable box clicked, and Enter in the frequency edit.
    void chkEnableClick();
    void edtFrequencyEnter();

    // Called after every change to the record, and after a frequency change that is to go to
    // the analyzer at once.
    std::function<void()> onChanged;
    std::function<void()> onFrequencyChanged;
    // The catalogue row being dragged from the window's tree, -1 for none.
    std::function<int()> draggedRow;

    QAdvColumnGrid* gridArchiveHdr() const { return grid_; }
    QCheckBox* chkEnable() const { return chkEnable_; }
    QLineEdit* edtFrequency() const { return edtFrequency_; }
    QLabel* edtUnit() const { return edtUnit_; }
    QMenu* popArchiveHdr() const { return menu_; }
    // The UniqueId position of each grid row's point.
    const std::vector<int>& RowPositions() const { return positions_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    LogConfigRecord& Record() const;
    void AddRow(TDbId point);
    void SetColumnText(int column, const QString& text);
    void Renumber();
    void DrawNewIdIfNeeded();

    int log_;
    bool idDrawn_ = false;
    std::vector<int> positions_;
    int menuRow_ = -1;
    QAdvColumnGrid* grid_;
    QCheckBox* chkEnable_;
    QLabel* lblFrequency_;
    QLineEdit* edtFrequency_;
    QLabel* edtUnit_;
    QMenu* menu_;
};
