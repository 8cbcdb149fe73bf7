#pragma once
// The Archive page (page 1): one log of the analyzer's archive as a table of its last N
// samples, read from the analyzer ("ReadLogConfig", "ReadALog") or from an archive XML file;
// filters by date and value, hidden columns, and the exports (grid file, spreadsheet, the
// two CSV shapes, clipboard).
#include "tevrin/pages/page_frame.h"
#include "tevrin/pages/widgets/adv_column_grid.h"
#include "tevrin/rtdb/analyzer_records.h"

#include <QString>

#include <array>
#include <memory>
#include <vector>

namespace Ui {
class TfraArchiveViewer;
}
class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QTabWidget;
class QToolButton;
class TArchiveChart;

class TfraArchiveViewer : public TPageFrame {
    Q_OBJECT
public:
    static constexpr int kFixedColumns = 3;
    static constexpr int kValueColumns = 8;
    static constexpr int kMaxDisplayRange = 500000;

    explicit TfraArchiveViewer(QWidget* owner);
    ~TfraArchiveViewer() override;

    // While read-only the "Log Setup" button is disabled.
    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const { return readOnly_; }

    // The archive list: "On Run", "Hourly", "Daily", "Periodic 1", "Periodic 2".
    void FillArchiveList();
    // Shows the last N samples of a log (N from "Display the last").
    void ShowArchive(int position);
    // Column headers and filter lists: from the log configuration, or from the archive file
    // the archive was read from.
    void LayoutFromLogConfig(int position);
    void LayoutFromFile(int position);

    // Redraws the page from the archive database: "Preparing Display...", display range 50,
    // the log at position 0 and the archive list at its first item.
    void UpdateLogView();
    // Asks for an archive XML file and reads it; true when the archive was taken over.
    bool ReadArchiveFile();
    // Asks for a file name and writes the archive there; a cancelled dialog writes nothing.
    void SaveLogFile();

    // Handlers.
    void btnReadFromUnitClick();
    void btnReadFromFileClick();
    void btnLogSetupClick();
    // Charts the stored selection's rows of the current column with their statistics and
    // shows the Graph tab.
    void btnGraphSelColClick();
    void btnAutoSizeColsClick();
    void pcViewerChange();
    void gridArchiveFilterSelect(int column, int item, const QString& friendlyName, QString& condition);
    void gridArchiveSelectionChanged(int left, int top, int right, int bottom);
    void mnuLoadFileClick();
    void mnuSaveFileClick();
    void SaveAsPacketCSVClick();
    void SaveasCSVClick();
    void mnuSaveasXLSClick();
    void CopySelectiontoClipboard1Click();
    void mnuCopyImagetoClipboardClick();
    void mnuHideSelectedColumnClick();
    void mnuUnhideAllColumnsClick();

    int SelectedPosition() const { return selectedPosition_; }
    bool FromFile() const { return fromFile_; }
    QString ArchiveFileName() const { return fileName_; }
    // The condition for a date filter item of the time-stamp column on a given day (empty
    // for "[All]" and names that are no date range).
    static QString DateRangeCondition(const QString& friendlyName, const QDate& today);

    QAdvColumnGrid* gridArchive() const;
    QComboBox* cbArchive() const;
    QLineEdit* edtDispRange() const;
    QLineEdit* LogRecordNum() const;
    QToolButton* btnLogSetup() const;
    QToolButton* btnReadFromUnit() const;
    QToolButton* btnReadFromFile() const;
    QToolButton* btnGraphSelCol() const;
    QToolButton* btnAutoSizeCols() const;
    QTabWidget* pcViewer() const;
    TArchiveChart* chartArchive() const;
    QMenu* popArchGrid() const { return popArchGrid_; }
    QAction* MenuItem(const char* name) const;

protected:
    bool RegistersBoundControls() const override { return false; }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenu();
    void ResetFilterLists();

    std::unique_ptr<Ui::TfraArchiveViewer> ui;
    QMenu* popArchGrid_ = nullptr;
    bool readOnly_ = false;
    bool fromFile_ = false;
    QString fileName_;
    // The value names of each log as the archive file named them.
    std::array<std::vector<QString>, kLogCount> fileNames_;
    int selectedPosition_ = 0;
    GridRect selection_;
    std::array<QString, 32> customFilters_;
    QString seqFilter_;
    int colSeq_ = 0, colLogID_ = 1, colTS_ = 2;
};
