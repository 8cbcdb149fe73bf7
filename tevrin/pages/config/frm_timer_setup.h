#pragma once
// One timer of the timer page, made twelve times: a schedule (day, hour, minute), the analyses
// it runs once and the manual sequencers it starts (odd timers) or stops (even timers). It shows
// and packs one 12-byte record of the timer block:
//   0 schedule enable, 1 day (0 every day, 1 Sunday .. 7 Saturday), 2 hour, 3 minute,
//   4 analysis enable, 5-7 analysis bits (6 x (stream - 1) + run type), 8 zero,
//   9 sequencer enable, 10-11 sequencer bits (bit 0 manual enable, bits 1-8 sequencers 1-8).
#include <QFrame>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

namespace Ui {
class TfrmTimerSetup;
}
class QCheckBox;
class QComboBox;
class QLineEdit;

class TfrmTimerSetup : public QFrame {
    Q_OBJECT
public:
    static constexpr int kAnalysisBits = 24;

    // number: 1..12, the timer's place on the page.
    TfrmTimerSetup(int number, QWidget* parent);
    ~TfrmTimerSetup() override;

    int Number() const { return number_; }
    bool IsStartTimer() const { return number_ % 2 == 1; }

    void LoadFromRecord(const uint8_t* record);
    // Packs the timer into its record. False, with the reason in error and the record left
    // alone, when the hour or minute is not a number in its range.
    bool PackRecord(uint8_t* record, QString* error) const;

    // Shows the analysis boxes of the streams the stream setting (0..3) holds.
    void ShowStreams(int streams);

    QCheckBox* Enable() const;
    QComboBox* edDays() const;
    QLineEdit* edHours() const;
    QLineEdit* edMinute() const;
    QCheckBox* AnalysisEnable() const;
    QCheckBox* AnalysisBox(int bit) const { return analysis_.at(static_cast<size_t>(bit)); }
    QCheckBox* SequencerEnable() const;
    QCheckBox* ManEnable() const;
    QCheckBox* ManualBox(int sequence) const { return manual_.at(static_cast<size_t>(sequence - 1)); }   // 1..8

    // The schedule enable follows the analysis and sequencer enables.
    void AnalysisEnableClick();

private:
    void SequencerEnableClick();

    std::unique_ptr<Ui::TfrmTimerSetup> ui;
    int number_;
    std::array<QCheckBox*, kAnalysisBits> analysis_{};
    std::array<QCheckBox*, 8> manual_{};
    // The day byte as it came, kept while the day list cannot show it.
    uint8_t loadedDay_ = 0;
};
