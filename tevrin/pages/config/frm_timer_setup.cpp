#include "tevrin/pages/config/frm_timer_setup.h"

#include "tevrin/rtdb/timer_x_manager.h"

#include "ui_frm_timer_setup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>

namespace {

// The analysis boxes by bit: six run types per stream.
struct AnalysisBoxInfo {
    const char* name;
    const char* caption;
};
constexpr AnalysisBoxInfo kAnalysis[TfrmTimerSetup::kAnalysisBits] = {
    {"S1H2S", "Sample"},          {"S1TS", "Total Sulpur"},          {"S1R1", "Reference 1"},
    {"S1R2", "Reference 2"},      {"S1Z", "Zero"},                   {"S1C", "Calibration"},
    {"S2H2S", "Stream 2 Sample"}, {"S2TS", "Stream 2 Total Sulpur"}, {"S2R1", "Stream 2 Reference 1"},
    {"S2R2", "Stream 2 Reference 2"}, {"S2Z", "Stream 2 Zero"},      {"S2C", "Stream 2 Calibration"},
    {"S3H2S", "Stream 3 Sample"}, {"S3TS", "Stream 3 Total Sulpur"}, {"S3R1", "Stream 3 Reference 1"},
    {"S3R2", "Stream 3 Reference 2"}, {"S3Z", "Stream 3 Zero"},      {"S3C", "Stream 3 Calibration"},
    {"S4H2S", "Stream 4 Sample"}, {"S4TS", "Stream 4 Total Sulpur"}, {"S4R1", "Stream 4 Reference 1"},
    {"S4R2", "Stream 4 Reference 2"}, {"S4Z", "Stream 4 Zero"},      {"S4C", "Stream 4 Calibration"},
};
constexpr int kTotalSulphur = 1;   // run type without a box on this page

// A whole number from low to high, or -1.
int NumberIn(const QString& text, int low, int high)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok && n >= low && n <= high ? n : -1;
}

}  // namespace

TfrmTimerSetup::TfrmTimerSetup(int number, QWidget* parent)
    : QFrame(parent), ui(std::make_unique<Ui::TfrmTimerSetup>()), number_(number)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("frmTimerSetup%1").arg(number));
    ui->lblTimer->setText(QStringLiteral("Timer #%1").arg(number));

    for (int bit = 0; bit < kAnalysisBits; ++bit) {
        auto* box = new QCheckBox(QString::fromLatin1(kAnalysis[bit].caption), ui->grpAnalysis);
        box->setObjectName(QString::fromLatin1(kAnalysis[bit].name));
        ui->layAnalysis->addWidget(box, bit % 6, bit / 6);
        analysis_[static_cast<size_t>(bit)] = box;
    }
    for (int n = 1; n <= 8; ++n) {
        auto* box = new QCheckBox(QStringLiteral("Manual Sequencer #%1").arg(n), ui->grpSequencer);
        box->setObjectName(QStringLiteral("S1M%1").arg(n));
        ui->layManual->addWidget(box, (n - 1) % 4, (n - 1) / 4);
        box->setVisible(IsStartTimer());
        manual_[static_cast<size_t>(n - 1)] = box;
    }
    const QString kind = IsStartTimer() ? QStringLiteral("(Start)") : QStringLiteral("(Stop)");
    ui->grpSequencer->setTitle((number <= 6 ? QStringLiteral("Sequencers - ") : QStringLiteral("Sequencer - ")) + kind);
    ui->SequencerEnable->setText(IsStartTimer() ? QStringLiteral("Start") : QStringLiteral("Stop"));
    ShowStreams(0);

    connect(ui->AnalysisEnable, &QCheckBox::clicked, this, [this] { AnalysisEnableClick(); });
    connect(ui->SequencerEnable, &QCheckBox::clicked, this, [this] { SequencerEnableClick(); });
}

TfrmTimerSetup::~TfrmTimerSetup() = default;

void TfrmTimerSetup::AnalysisEnableClick()
{
    ui->Enable->setChecked(ui->AnalysisEnable->isChecked() || ui->SequencerEnable->isChecked());
}

void TfrmTimerSetup::SequencerEnableClick()
{
    AnalysisEnableClick();
    // A start timer starts the manual sequencers: its manual enable follows "Start".
    if (IsStartTimer()) ui->ManEnable->setChecked(ui->SequencerEnable->isChecked());
}

void TfrmTimerSetup::ShowStreams(int streams)
{
    for (int bit = 0; bit < kAnalysisBits; ++bit) {
        const int stream = bit / 6;   // 0..3
        const bool shown = bit % 6 != kTotalSulphur && stream <= streams;
        analysis_[static_cast<size_t>(bit)]->setVisible(shown);
    }
}

void TfrmTimerSetup::LoadFromRecord(const uint8_t* bytes)
{
    const TimerRecord r = TimerRecordOf(bytes);
    ui->Enable->setChecked(r.ScheduleEnable != 0);
    loadedDay_ = r.DayOfWeek;
    ui->edDays->setCurrentIndex(r.DayOfWeek < ui->edDays->count() ? r.DayOfWeek : -1);
    ui->edHours->setText(QString::number(r.ScheduleHour));
    ui->edMinute->setText(QString::number(r.ScheduleMinute));
    ui->AnalysisEnable->setChecked(r.AnalysisEnable != 0);
    const uint32_t analysis = r.Analysis & 0xFFFFFFu;   // six run types of four streams
    for (int bit = 0; bit < kAnalysisBits; ++bit) analysis_[static_cast<size_t>(bit)]->setChecked(analysis >> bit & 1u);
    ui->SequencerEnable->setChecked(r.SequencerEnable != 0);
    const unsigned sequencer = r.Sequencer;
    ui->ManEnable->setChecked(sequencer & 1u);
    for (int n = 1; n <= 8; ++n) manual_[static_cast<size_t>(n - 1)]->setChecked(sequencer >> n & 1u);
}

bool TfrmTimerSetup::PackRecord(uint8_t* record, QString* error) const
{
    const int hour = NumberIn(ui->edHours->text(), 0, 23);
    const int minute = NumberIn(ui->edMinute->text(), 0, 59);
    if (hour < 0 || minute < 0) {
        if (error)
            *error = hour < 0 ? QStringLiteral("Timer #%1: the hour \"%2\" is not a whole number from 0 to 23.")
                                    .arg(number_)
                                    .arg(ui->edHours->text())
                              : QStringLiteral("Timer #%1: the minute \"%2\" is not a whole number from 0 to 59.")
                                    .arg(number_)
                                    .arg(ui->edMinute->text());
        return false;
    }
    TimerRecord r{};
    r.ScheduleEnable = ui->Enable->isChecked() ? 1 : 0;
    // A day the list could not show goes back as it came.
    r.DayOfWeek = ui->edDays->currentIndex() < 0 ? loadedDay_ : static_cast<uint8_t>(ui->edDays->currentIndex());
    r.ScheduleHour = static_cast<uint8_t>(hour);
    r.ScheduleMinute = static_cast<uint8_t>(minute);
    r.AnalysisEnable = ui->AnalysisEnable->isChecked() ? 1 : 0;
    uint32_t analysis = 0;
    for (int bit = 0; bit < kAnalysisBits; ++bit)
        if (analysis_[static_cast<size_t>(bit)]->isChecked()) analysis |= uint32_t{1} << bit;
    r.Analysis = analysis;
    r.SequencerEnable = ui->SequencerEnable->isChecked() ? 1 : 0;
    unsigned sequencer = ui->ManEnable->isChecked() ? 1u : 0u;
    for (int n = 1; n <= 8; ++n)
        if (manual_[static_cast<size_t>(n - 1)]->isChecked()) sequencer |= 1u << n;
    r.Sequencer = static_cast<uint16_t>(sequencer);
    StoreTimerRecord(r, record);
    return true;
}

QCheckBox* TfrmTimerSetup::Enable() const { return ui->Enable; }
QComboBox* TfrmTimerSetup::edDays() const { return ui->edDays; }
QLineEdit* TfrmTimerSetup::edHours() const { return ui->edHours; }
QLineEdit* TfrmTimerSetup::edMinute() const { return ui->edMinute; }
QCheckBox* TfrmTimerSetup::AnalysisEnable() const { return ui->AnalysisEnable; }
QCheckBox* TfrmTimerSetup::SequencerEnable() const { return ui->SequencerEnable; }
QCheckBox* TfrmTimerSetup::ManEnable() const { return ui->ManEnable; }
