#pragma once
// "Log Configuration": which analyzer points each of the five logs records and how often,
// with how many records each log keeps and for how many days the archive memory lasts. The
// points are dragged from the tree of loggable points onto a log's tab. Showing the window
// reads the six log records from the analyzer; closing it always writes them back, changed or
// not; a frequency entered goes to the analyzer at once.
//
// Only what the window read from the unit, or what the user changed in it, is written back: a
// record whose read failed or was answered with another reply type holds nothing of the unit's,
// so it is left as the unit holds it (the window says which logs once after the read).
//
// Id codes: when two logs share one, the operator is asked whether to repair it (codes 1 to
// 6, written and stored in flash). No leaves everything as it is, for this showing and its
// close.
#include "tevrin/rtdb/analyzer_records.h"
#include "tevrin/rtdb/log_record_set.h"

#include <QDialog>

#include <array>
#include <memory>

class QLabel;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class TfraArchiveHdr;
namespace Ui {
class TLogFrm;
}

class TLogFrm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kLogsShown = 5;

    explicit TLogFrm(QWidget* parent = nullptr);
    ~TLogFrm() override;

    // Every showing: the tree filled, the records read, the id codes checked, the tabs loaded.
    void FormActivate();
    // The window closes: the records go to the analyzer (not after a declined repair).
    void FormClose();
    void btnReadClick();
    void btnWriteClick();
    // The record and day figures of the five logs.
    void RefreshLogFigures();

    // True while the operator declined the repair of duplicate id codes in this showing.
    bool RepairDeclined() const { return repairDeclined_; }

    QTreeWidget* OrgPointsTreeView() const { return tree_; }
    QTabWidget* Tabs() const { return tabs_; }
    TfraArchiveHdr* Frame(int log) const { return frames_[static_cast<size_t>(log)]; }
    QPushButton* btnRead() const { return btnRead_; }
    QPushButton* btnWrite() const { return btnWrite_; }
    QLabel* RecordsLabel(int log) const { return records_[static_cast<size_t>(log)]; }
    QLabel* DaysLabel(int log) const { return days_[static_cast<size_t>(log)]; }
    // The catalogue row being dragged from the tree; -1 for none or a group node.
    int DraggedRow() const { return dragRow_; }
    void SetDraggedRow(int row) { dragRow_ = row; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    // The records the window writes back: those its latest read brought from the unit and
    // those the user changed since.
    LogRecordSet RecordsToWrite() const;
    void Post(const char* command);
    // Reads the six records; says once which logs could not be read.
    void ReadRecords();
    // Posts the write of the records the window may write back (none: nothing is posted).
    void WriteRecords();
    void LoadFrames();

    std::unique_ptr<Ui::TLogFrm> ui;
    QTreeWidget* tree_;
    QTabWidget* tabs_;
    std::array<TfraArchiveHdr*, kLogsShown> frames_{};
    std::array<QLabel*, kLogsShown> records_{};
    std::array<QLabel*, kLogsShown> days_{};
    QPushButton* btnRead_;
    QPushButton* btnWrite_;
    int dragRow_ = -1;
    bool repairDeclined_ = false;
    LogRecordSet edited_{};
};
