#include "tevrin/pages/config/fra_analyzer_streams.h"

#include "brannix/qcheckbox.h"
#include "brannix/qlabel.h"
#include "brannix/qlabelededit.h"
#include "platform/prompter.h"
#include "tevrin/pages/config/fra_ana_set_defn.h"
#include "tevrin/pages/config/fra_stream.h"
#include "tevrin/pages/widgets/ao_source_combo.h"
#include "tevrin/pages/widgets/bound_controls.h"
#include "tevrin/pages/widgets/gain_calculator.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace streamsets;

namespace {

// Request buttons: caption and hint of a set's button.
QString RequestCaption(int stream, int kind)
{
    if (stream == 1) return kind == 1 ? QStringLiteral("Sample") : QString::fromLatin1(RequestKindCaption(kind));
    return QStringLiteral("Stream %1 %2").arg(stream).arg(QString::fromLatin1(RequestKindCaption(kind)));
}

QString RequestHint(int stream, int kind)
{
    static const char* const kHints[] = {"", "Normal", "", "Calibration", "Reference", "Reference 2", "Zero"};
    return QStringLiteral("Stream %1 %2 Request").arg(stream).arg(QString::fromLatin1(kHints[kind]));
}

}  // namespace

TfraAnalyzerStreams::TfraAnalyzerStreams(QWidget* owner) : TPageFrame(owner, 3, 0, 1)
{
    setObjectName(QStringLiteral("fraAnalyzerStreams"));
    auto* layout = new QVBoxLayout(this);
    streamTabs_ = new QTabWidget(this);
    streamTabs_->setObjectName(QStringLiteral("PageControlStreams"));
    static const char* const kSheetNames[] = {"TabSheet9", "TabSheet10", "TabSheet3", "TabSheet4"};
    for (int s = 1; s <= kStreams; ++s) {
        const size_t i = static_cast<size_t>(s - 1);
        auto* tab = new QWidget(streamTabs_);
        tab->setObjectName(QString::fromLatin1(kSheetNames[i]));
        auto* tabLayout = new QVBoxLayout(tab);
        auto* switches = new QHBoxLayout;
        const StreamIds& ids = StreamOf(s);
        calCorr_[i] = pagecontrols::CheckBox(tab, QStringLiteral("chkCalCorrEnable%1").arg(s).toLatin1().constData(), QStringLiteral("Cal. Correction Enable"), ids.calCorrEnable);
        zeroCorr_[i] = pagecontrols::CheckBox(tab, QStringLiteral("chkZeroCorrEnable%1").arg(s).toLatin1().constData(), QStringLiteral("Zero Correction Enable"), ids.zeroCorrEnable);
        timed_[i] = pagecontrols::CheckBox(tab, QStringLiteral("TimedAnalysisEnable%1").arg(s).toLatin1().constData(), QStringLiteral("Timed Analysis Enable"), ids.timedAnalysisEnable);
        for (QWidget* w : {static_cast<QWidget*>(calCorr_[i]), static_cast<QWidget*>(zeroCorr_[i]), static_cast<QWidget*>(timed_[i])})
            switches->addWidget(w);
        switches->addStretch(1);
        tabLayout->addLayout(switches);
        streams_[i] = new TfraStream(tab, s);
        tabLayout->addWidget(streams_[i]);
        streamTabs_->addTab(tab, s == 1 ? QStringLiteral("Stream ") : QStringLiteral("Stream %1").arg(s));
        if (s > 1) ShowOnly(s, tab);

        for (TfraAnaSetDefn* set : streams_[i]->Sets()) {
            aoCombos_.push_back(set->cbAOMgr1Function);
            aoCombos_.push_back(set->cbAOMgr2Function);
            set->btnRequest->setText(RequestCaption(s, set->Kind()));
            set->btnRequest->setToolTip(RequestHint(s, set->Kind()));
            set->btnRequest->setEnabled(true);
            connect(set->btnRequest, &QPushButton::clicked, this, [this, set] { RequestRun(set); });
        }
    }
    for (int s = 2; s <= kStreams; ++s) streamTabs_->setTabVisible(s - 1, false);
    HighlightShownTab(streamTabs_);
    layout->addWidget(streamTabs_);

    auto* calculator = new QGroupBox(QStringLiteral("Calibration Gain Calculator"), this);
    calculator->setObjectName(QStringLiteral("grpGainCalculator"));
    auto* calcLayout = new QHBoxLayout(calculator);
    edtCalGas = pagecontrols::LabeledEdit(calculator, calcLayout, "edtCalGas", QStringLiteral("Calibration Gas:"), 0, dtFloat);
    edtAnaReading = pagecontrols::LabeledEdit(calculator, calcLayout, "edtAnaReading", QStringLiteral("Analyzer Reading:"), 0, dtFloat);
    edtCurrGainFactor = pagecontrols::LabeledEdit(calculator, calcLayout, "edtCurrGainFactor", QStringLiteral("Current Gain Factor:"), 0, dtFloat);
    edtNewGainFactor = pagecontrols::LabeledEdit(calculator, calcLayout, "edtNewGainFactor", QStringLiteral("New Gain Factor:"), 0, dtFloat);
    edtNewGainFactor->setReadOnly(true);
    for (TQLabeledEdit* input : {edtCalGas, edtAnaReading, edtCurrGainFactor})
        connect(input, &QLineEdit::textEdited, this, [this] { ManualCalGainCal(); });
    layout->addWidget(calculator);

    auto* btnTest = pagecontrols::HiddenTestButton(this);
    connect(btnTest, &QToolButton::toggled, this, &TfraAnalyzerStreams::btnTestClick);

    lblStream2_ = NewStreamCountLabel();
    WatchStreamCount(lblStream2_, StreamCaptionRule::Streams, [this](int n) { ShowStreams(n); }, true);
}

int TfraAnalyzerStreams::ConfiguredStreams()
{
    if (!DataBase::Exists()) return 1;
    DatabasePoint* count = DataBase::Instance()->PointByDbId(DataBase::kStreamsDbId);
    if (!count || !count->IsValid()) return 1;
    const int n = std::atoi(count->GetText().c_str());
    return n >= 0 && n <= 3 ? n + 1 : 1;
}

std::vector<int> TfraAnalyzerStreams::FixedPointsBefore() const
{
    // Stream 1 as laid out: its frame, its run requests, its corrections, the stream count
    // and the four timed-analysis switches.
    std::vector<int> ids = streams_[0]->RegisteredIds();
    for (int kind = 1; kind <= 6; ++kind) ids.push_back(RunRequestId(1, kind));
    const StreamIds& first = StreamOf(1);
    ids.insert(ids.end(), {first.calCorrEnable, first.zeroCorrEnable, DataBase::kStreamsDbId});
    for (int s = 1; s <= kStreams; ++s) ids.push_back(StreamOf(s).timedAnalysisEnable);
    // Then each further stream that is configured, in the same shape.
    for (int s = 2; s <= registeredStreams_; ++s) {
        const std::vector<int> frame = streams_[static_cast<size_t>(s - 1)]->RegisteredIds();
        ids.insert(ids.end(), frame.begin(), frame.end());
        for (int kind = 1; kind <= 6; ++kind) ids.push_back(RunRequestId(s, kind));
        ids.insert(ids.end(), {StreamOf(s).calCorrEnable, StreamOf(s).zeroCorrEnable});
    }
    return ids;
}

void TfraAnalyzerStreams::EnterPage()
{
    registeredStreams_ = ConfiguredStreams();
    TPageFrame::EnterPage();
}

void TfraAnalyzerStreams::ShowOnly(int stream, QWidget* tab)
{
    const size_t i = static_cast<size_t>(stream - 1);
    for (QWidget* w : {static_cast<QWidget*>(calCorr_[i]), static_cast<QWidget*>(zeroCorr_[i]),
                       static_cast<QWidget*>(timed_[i]), static_cast<QWidget*>(streams_[i]->ledGainFactor),
                       static_cast<QWidget*>(streams_[i]->ledZeroOffset), static_cast<QWidget*>(streams_[i]->glAnalysisUnit)})
        w->setEnabled(false);
    for (TfraAnaSetDefn* set : streams_[i]->Sets()) set->SetSettingsEditable(false);
    auto* note = new QLabel(QStringLiteral("The analyzer's configuration holds stream 1's settings only: those of "
                                           "stream %1 are shown here and cannot be written.").arg(stream), tab);
    note->setObjectName(QStringLiteral("lblShownOnly%1").arg(stream));
    note->setWordWrap(true);
    static_cast<QVBoxLayout*>(tab->layout())->insertWidget(0, note);
}

void TfraAnalyzerStreams::ShowStreams(int streamsLessOne)
{
    for (int s = 2; s <= kStreams; ++s) streamTabs_->setTabVisible(s - 1, s <= streamsLessOne + 1);
}

void TfraAnalyzerStreams::EnableStreamEditing(bool on)
{
    editing_ = on;
    TfraStream* first = streams_[0];
    for (TfraAnaSetDefn* set : first->Sets()) set->setEnabled(on);
    first->ledGainFactor->setEnabled(on);
    first->ledZeroOffset->setEnabled(on);
    first->glAnalysisUnit->setEnabled(on);
}

void TfraAnalyzerStreams::FillAOManagerFunctions()
{
    for (TAOSourceCombo* combo : aoCombos_) combo->Fill();
}

void TfraAnalyzerStreams::RequestRun(const TfraAnaSetDefn* set)
{
    const int answer = platform::MessageDlg(QString::fromLatin1(RunRequestQuestion(set->Kind())),
                                            platform::DlgType::Warning, platform::mbYesNo);
    if (answer != platform::mrYes) return;
    PostCommand("Calibrate", std::to_string(RunRequestId(set->Stream(), set->Kind())));
}

void TfraAnalyzerStreams::ManualCalGainCal()
{
    QString result, bad;
    if (!gaincalc::NewGainFactorText(edtCalGas->text(), edtAnaReading->text(), edtCurrGainFactor->text(), result, bad)) {
        ShowNotAFloat(bad);
        return;
    }
    edtNewGainFactor->setText(result);
}

void TfraAnalyzerStreams::btnTestClick(bool down)
{
    for (TfraStream* stream : streams_)
        for (TfraAnaSetDefn* set : stream->Sets())
            for (TQCheckBox* box : set->CheckBoxes())
                if (box != set->ckAOMgr1Enable && box != set->ckAOMgr2Enable && box != set->chkTime) box->setChecked(down);
}
