#pragma once
// The Stream page (page 3): four stream tabs (shown by the stream count), each with its stream
// frame and the stream's correction and timed-analysis switches; the run-request buttons of
// every set tab; and the calibration gain calculator.
//
// The analyzer's configuration holds the settings of stream 1 alone: those of streams 2 to 4
// are never written by a page write. Their tabs show them (the page registers stream 1 and
// every further stream that the stream count configures, so that they are read) but do not let
// them be edited; their run-request buttons work like stream 1's.
#include "tevrin/pages/page_frame.h"

#include <array>
#include <vector>

class QTabWidget;
class TAOSourceCombo;
class TQCheckBox;
class TQLabel;
class TQLabeledEdit;
class TfraAnaSetDefn;
class TfraStream;

class TfraAnalyzerStreams : public TPageFrame {
    Q_OBJECT
public:
    explicit TfraAnalyzerStreams(QWidget* owner);

    // Page 3, flags 0 and 1: stream 1's points and those of every further configured stream.
    void EnterPage() override;

    // Enables or disables the editing of stream 1's settings (its set frames with their
    // request buttons, gain, zero offset and analysis units); the page itself stays enabled.
    void EnableStreamEditing(bool on);
    bool StreamEditingEnabled() const { return editing_; }

    // Refills every analog-output function combo from the analog-output source list.
    void FillAOManagerFunctions();

    QTabWidget* streamTabs() const { return streamTabs_; }
    // The analog-output function combos, stream by stream, set by set (two each).
    const std::vector<TAOSourceCombo*>& aoCombos() const { return aoCombos_; }
    TfraStream* Stream(int stream) const { return streams_[static_cast<size_t>(stream - 1)]; }
    // The streams whose points the page registered when it was last entered (1..4).
    int RegisteredStreams() const { return registeredStreams_; }

    TQCheckBox* chkCalCorrEnable(int stream) const { return calCorr_[static_cast<size_t>(stream - 1)]; }
    TQCheckBox* chkZeroCorrEnable(int stream) const { return zeroCorr_[static_cast<size_t>(stream - 1)]; }
    TQCheckBox* TimedAnalysisEnable(int stream) const { return timed_[static_cast<size_t>(stream - 1)]; }
    TQLabeledEdit* edtCalGas = nullptr;
    TQLabeledEdit* edtAnaReading = nullptr;
    TQLabeledEdit* edtCurrGainFactor = nullptr;
    TQLabeledEdit* edtNewGainFactor = nullptr;

    // Asks the set's question and, on Yes, posts "Calibrate" with the run-request point of
    // the set's stream and kind.
    void RequestRun(const TfraAnaSetDefn* set);

protected:
    void FirstEntry() override { FillAOManagerFunctions(); }
    std::vector<int> FixedPointsBefore() const override;
    bool RegistersBoundControls() const override { return false; }

private:
    void ShowStreams(int streamsLessOne);
    // Streams 2 to 4: shown, not editable (see above).
    void ShowOnly(int stream, QWidget* tab);
    void ManualCalGainCal();
    void btnTestClick(bool down);
    // The number of streams the database holds (1..4); 1 when it holds none.
    static int ConfiguredStreams();

    QTabWidget* streamTabs_ = nullptr;
    std::array<TfraStream*, 4> streams_{};
    std::array<TQCheckBox*, 4> calCorr_{}, zeroCorr_{}, timed_{};
    std::vector<TAOSourceCombo*> aoCombos_;
    TQLabel* lblStream2_ = nullptr;
    bool editing_ = true;
    int registeredStreams_ = 1;
};
