#pragma once
// The Analysis page (page 0): the analyzer's clock and site, the state of the analysis now
// running, the last results of every stream with their schedule colours, the system alarm, the
// sequencer state and the active stream. The page writes nothing to the analyzer; it turns some
// arriving texts into other texts, colours and pictures. It also carries the per-run report.
#include "tevrin/pages/analysis/run_report.h"
#include "tevrin/pages/page_frame.h"

#include <QString>

#include <array>
#include <memory>

class QPrinter;
class TQCheckBox;
class TQEdit;
class TQImage;
class TQLabel;
class TQLabeledEdit;
class QLabel;
class QFrame;

namespace Ui {
class TfraWW;
}

class TfraWW : public TPageFrame {
    Q_OBJECT
public:
    explicit TfraWW(QWidget* owner);
    ~TfraWW() override;

    // Page 0, flags 0 and 0: the run-kind names of stream 1, the status and stream-1 points,
    // and the points of streams 2 to 4 that exist; then the display places from "dispPlace.cfg".
    void EnterPage() override;

    // The points the page registers now, in order (they depend on the streams that exist).
    std::vector<int> PagePoints() const;

    // The format the results are shown with: empty until the first entry.
    QString DisplayFormat() const { return displayFormat_; }
    // Number of streams (1..4) from the stream-count point; 0 before the first value.
    int StreamCount() const { return streamCount_; }
    // The stream whose run is active (1..4); 0 before the first value.
    int ActiveStream() const { return activeStream_; }

    // --- the per-run report --------------------------------------------------------------------
    int PrintCount() const { return printCounter_; }
    int SaveCount() const { return saveCounter_; }
    QString ReportBaseName() const { return reportBaseName_; }
    const ReportOptions& Options() const { return options_; }
    // The printer the reports go to; the system's default printer unless set (tests print
    // into a PDF file).
    void SetReportPrinter(std::unique_ptr<QPrinter> printer);
    // The report as it would be made now.
    ReportContent CurrentReport() const;

    // --- controls -------------------------------------------------------------------------------
    TQLabel* streamNo() const;
    TQLabel* lblStream() const;
    TQCheckBox* chkGenReport() const;
    TQCheckBox* chkSaveReport() const;
    TQEdit* edtPrintCount() const;
    TQEdit* edtSaveCount() const;
    // The last-result edit of a stream (1..4) and run kind (0 sample ... see ResultKind).
    TQLabeledEdit* ResultEdit(int stream, int kind) const;

    // Run kinds of the result panels, in the panels' order.
    enum ResultKind { Sample, Calibration, Reference1, Reference2, Zero, Gain, ZeroOffset, TotalSulphur, ResultKinds };

protected:
    // The page registers its points from its own table, in the order the analyzer is read.
    std::vector<int> FixedPointsBefore() const override { return PagePoints(); }
    bool RegistersBoundControls() const override { return false; }

private:
    void BindHandlers();
    void ShowResult(TQLabeledEdit* edit, const QString& value, bool& DoDefault);
    void ScheduleColour(TQLabeledEdit* result, const QString& value, bool& DoDefault);
    void ActiveStreamChanged(const QString& value, bool& DoDefault);
    void StreamCountChanged(int streams);
    void RunKindChanged(const QString& value, bool& DoDefault);
    void ShowRunKindName();
    void AnalysisStateChanged(const QString& value, bool& DoDefault);
    void SequencerStateChanged(const QString& value, bool& DoDefault);
    void RunNumberChanged(const QString& value, bool& DoDefault);
    void DateTimeChanged(const QString& value, bool& DoDefault);
    void SystemAlarmChanged();
    void RegisterStreamPoints();

    // Report.
    void ArmPrint();
    void ArmSave();
    void LoadOptions();
    void RunCounterChanged(const QString& value);
    bool RunTypePasses() const;
    bool PrintOne();
    bool SaveOne();

    std::unique_ptr<Ui::TfraWW> ui;
    QString displayFormat_;
    int activeStream_ = 0;
    int streamCount_ = 0;
    int runType_ = -1;   // last run-kind code shown (0..5); -1 before one arrived

    // Report state.
    int lastRunCount_ = 0;
    int changeCount_ = 0;
    bool printEnabled_ = false;
    bool saveEnabled_ = false;
    int printCounter_ = 0;
    int saveCounter_ = 0;
    ReportOptions options_;
    QString reportBaseName_ = QStringLiteral("Report");
    std::unique_ptr<QPrinter> printer_;
};
