#include "tevrin/pages/analysis/fra_ww.h"

#include "ui_fra_ww.h"

#include "brannix/qcheckbox.h"
#include "brannix/qedit.h"
#include "brannix/qimage.h"
#include "brannix/qlabel.h"
#include "brannix/qlabelededit.h"
#include "platform/data_folder.h"
#include "platform/numtext.h"
#include "platform/prompter.h"
#include "tevrin/pages/alarm_icons.h"
#include "tevrin/pages/analysis/display_places.h"
#include "tevrin/pages/page_host.h"
#include "tevrin/pages/widgets/bound_controls.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/sequencer.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QLocale>
#include <QPrinter>

#include <cmath>

namespace {

constexpr int kStreams = 4;
constexpr int kRunKinds = 6;   // run type codes 0 sample .. 5 calibration

// Points of the run-kind names, by run type code and stream.
constexpr int kRunKindNames[kRunKinds][kStreams] = {
    {45, 158, 668, 818},      // 0 sample
    {611, 636, 696, 846},     // 1 total sulphur
    {91, 204, 751, 901},      // 2 reference 1
    {1269, 1295, 1321, 1347}, // 3 reference 2
    {114, 227, 781, 931},     // 4 zero
    {68, 181, 721, 871},      // 5 calibration
};

// Schedule points, six a stream in the order sample, total sulphur, reference 1, reference 2,
// zero, calibration; each colours the result edit of its stream and kind.
constexpr int kSchedulePoints[kStreams][kRunKinds] = {
    {1391, 1392, 1393, 1427, 1394, 1395},
    {1396, 1397, 1398, 1428, 1399, 1400},
    {1401, 1402, 1403, 1429, 1404, 1405},
    {1406, 1407, 1408, 1430, 1409, 1410},
};
const char* const kScheduleNames[kRunKinds] = {"Normal", "TotalSulphur", "Ref", "Ref2", "Zero", "Cal"};
// The result kind each schedule point colours.
constexpr int kScheduleResult[kRunKinds] = {TfraWW::Sample, TfraWW::TotalSulphur, TfraWW::Reference1,
                                            TfraWW::Reference2, TfraWW::Zero, TfraWW::Calibration};

// The result edits' names by kind (the stream number follows).
const char* const kResultNames[TfraWW::ResultKinds] = {"edtLastNormal", "edtLastCal",  "edtLastRef",        "edtLastRef2",
                                                       "edtLastZero",   "edtLastGain", "edtLastZeroOffset", "edtLastTotalSulphur"};
// Their points, by stream (0 where the stream has no such edit).
constexpr int kResultPoints[kStreams][TfraWW::ResultKinds] = {
    {450, 451, 452, 1411, 453, 21, 22, 0},
    {454, 455, 456, 1412, 457, 134, 135, 1084},
    {1085, 1087, 1088, 1413, 1089, 656, 657, 1086},
    {1090, 1092, 1093, 1414, 1094, 806, 807, 1091},
};
constexpr int kUnitPoints[kStreams] = {463, 408, 655, 805};

const char* const kStates[] = {"Calibrate",         "Idle",        "Purging",        "Tape Advance Halt",
                               "Tape Advance Go",   "Tape Advance Search", "Calibrate Sensor", "Auto Zero",
                               "Sample Delay",      "Sample Interval",     "Update Stream",    "No Stream Run",
                               "Manual Tape Advance", "Coloured Card Cal."};

const char* const kStreamActive[kStreams] = {"Stream Active", "Stream 2 Active", "Stream 3 Active", "Stream 4 Active"};

QString ResultEditName(int stream, int kind)
{
    // Reference 2 of stream n is "edtLastRef2n"; the others "<name>n".
    return QString::fromLatin1(kResultNames[kind]) + QString::number(stream);
}

// The analyzer's date and time as the page shows it: "December 10, 2026 4:05:09 PM".
QString FormatAnalyzerDate(double dateTime)
{
    const double days = std::floor(dateTime);
    const qint64 ms = std::llround((dateTime - days) * 86400000.0);
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(days));
    const QDateTime when = QDateTime(date, QTime(0, 0), Qt::UTC).addMSecs(ms);
    return QLocale::c().toString(when, QStringLiteral("MMMM d, yyyy h:mm:ss AP"));
}

// Room in an edit for the widest text it can show, so that none is cut at the window's size.
void FitWidestText(QLineEdit* edit, const QStringList& texts)
{
    const QFontMetrics metrics(edit->font());
    int widest = 0;
    for (const QString& text : texts) widest = std::max(widest, metrics.horizontalAdvance(text));
    // The frame, the edit's own margins and the cursor.
    edit->setMinimumWidth(widest + 2 * metrics.averageCharWidth() + 8);
}

}  // namespace

TfraWW::TfraWW(QWidget* owner) : TPageFrame(owner, 0, 0, 0), ui(std::make_unique<Ui::TfraWW>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("fraWW"));
    // The page's edits only show values: they are read-only and carry no number type, so a value
    // that is not a number ("NAN") never stops the window's write of the other pages' edits.
    // The report's counts show only while a limit counts down.
    ui->edtPrintCount->setText(QStringLiteral("0"));
    ui->edtSaveCount->setText(QStringLiteral("0"));
    ui->edtPrintCount->setVisible(false);
    ui->edtSaveCount->setVisible(false);
    FitWidestText(ui->ledUnitDateTime, {QStringLiteral("September 30, 2000 12:00:00 PM")});
    QStringList states;
    for (const char* state : kStates) states << QString::fromLatin1(state);
    FitWidestText(ui->ledCurrAnaState, states);
    FitWidestText(ui->SequencerState, {QStringLiteral("Automatic Sequencer On"), QStringLiteral("Manual Sequencer 8 On")});
    // The value boxes of each group start in one column, whatever their captions' lengths.
    pagecontrols::AlignCaptions(ui->grpStatus->findChildren<TQLabeledEdit*>(QString(), Qt::FindDirectChildrenOnly));
    for (QFrame* results : {ui->LastResultPan1, ui->LastResultPan2, ui->LastResultPan3, ui->LastResultPan4})
        pagecontrols::AlignCaptions(results->findChildren<TQLabeledEdit*>(QString(), Qt::FindDirectChildrenOnly));
    BindHandlers();
}

TfraWW::~TfraWW() = default;

TQLabel* TfraWW::streamNo() const { return ui->streamNo; }
TQLabel* TfraWW::lblStream() const { return ui->lblStream; }
TQCheckBox* TfraWW::chkGenReport() const { return ui->chkGenReport; }
TQCheckBox* TfraWW::chkSaveReport() const { return ui->chkSaveReport; }
TQEdit* TfraWW::edtPrintCount() const { return ui->edtPrintCount; }
TQEdit* TfraWW::edtSaveCount() const { return ui->edtSaveCount; }

TQLabeledEdit* TfraWW::ResultEdit(int stream, int kind) const
{
    if (stream < 1 || stream > kStreams || kind < 0 || kind >= ResultKinds) return nullptr;
    return findChild<TQLabeledEdit*>(ResultEditName(stream, kind));
}

std::vector<int> TfraWW::PagePoints() const
{
    std::vector<int> ids = {45, 611, 68, 91, 1269, 114,
                            // status
                            388, 394, 0, 1, 2, 402, 391, 506, 393, 39, 482, 397, 396, 398, 399, 401, 400, 520, 29};
    for (int id : kSchedulePoints[0]) ids.push_back(id);
    for (int kind = Sample; kind <= ZeroOffset; ++kind) ids.push_back(kResultPoints[0][kind]);
    for (int id : {463, 392, 20, 407, 1556, 1609, 1431}) ids.push_back(id);
    // Streams 2 to 4, as far as they exist: results, unit, schedule and run-kind names.
    for (int stream = 2; stream <= std::min(streamCount_, kStreams); ++stream) {
        for (int id : kResultPoints[stream - 1]) ids.push_back(id);
        ids.push_back(kUnitPoints[stream - 1]);
        for (int id : kSchedulePoints[stream - 1]) ids.push_back(id);
        for (const auto& kind : kRunKindNames) ids.push_back(kind[stream - 1]);
    }
    return ids;
}

void TfraWW::EnterPage()
{
    TPageFrame::EnterPage();
    displayFormat_ = DisplayFormatFor(ReadDisplayPlaces());
}

void TfraWW::RegisterStreamPoints()
{
    // A stream count that arrives while the page shows adds the points of the streams that now
    // exist, so that the next read refreshes them.
    if (!IsCurrentPage() || !DataBase::Exists()) return;
    ExpressScan& scan = DataBase::Instance()->AsExpressScan();
    for (int id : PagePoints()) scan.Add(id);
}

void TfraWW::BindHandlers()
{
    // Last results: shown with the display format.
    for (int stream = 1; stream <= kStreams; ++stream)
        for (int kind = 0; kind < ResultKinds; ++kind)
            if (TQLabeledEdit* edit = ResultEdit(stream, kind))
                connect(edit, &TQEdit::OnDBPointValueChanged, this,
                        [this, edit](const QString& value, bool& DoDefault) { ShowResult(edit, value, DoDefault); });

    // Schedule colours of the results (stream 1 has no total-sulphur result to colour).
    for (int stream = 1; stream <= kStreams; ++stream)
        for (int k = 0; k < kRunKinds; ++k) {
            auto* schedule = findChild<TQLabeledEdit*>(
                QStringLiteral("edtStream%1%2SCH").arg(stream).arg(QString::fromLatin1(kScheduleNames[k])));
            TQLabeledEdit* result = ResultEdit(stream, kScheduleResult[k]);
            if (!schedule || !result) continue;
            connect(schedule, &TQEdit::OnDBPointValueChanged, this,
                    [this, result](const QString& value, bool& DoDefault) { ScheduleColour(result, value, DoDefault); });
        }

    connect(ui->streamNo, &TQLabel::OnDBPointValueChanged, this, &TfraWW::ActiveStreamChanged);
    WatchStreamCount(ui->lblStream, StreamCaptionRule::Streams, [this](int n) { StreamCountChanged(n); });
    connect(ui->ledCurrAnaStream, &TQEdit::OnDBPointValueChanged, this, &TfraWW::RunKindChanged);
    connect(ui->ledCurrAnaState, &TQEdit::OnDBPointValueChanged, this, &TfraWW::AnalysisStateChanged);
    connect(ui->SequencerState, &TQEdit::OnDBPointValueChanged, this, &TfraWW::SequencerStateChanged);
    connect(ui->ledCurrAnaRunNumber, &TQEdit::OnDBPointValueChanged, this, &TfraWW::RunNumberChanged);
    connect(ui->ledUnitDateTime, &TQEdit::OnDBPointValueChanged, this, &TfraWW::DateTimeChanged);
    connect(ui->SystemAlarm, &TQImage::OnDBPointValueChanged, this, [this](const QString&) { SystemAlarmChanged(); });
    connect(ui->RunCounter, &TQEdit::OnDBPointValueChanged, this,
            [this](const QString& value, bool&) { RunCounterChanged(value); });

    // The report's boxes: the user's clicks arm them.
    connect(ui->chkGenReport, &QCheckBox::clicked, this, [this] { ArmPrint(); });
    connect(ui->chkSaveReport, &QCheckBox::clicked, this, [this] { ArmSave(); });
}

// --- arriving values -------------------------------------------------------------------------------

void TfraWW::ShowResult(TQLabeledEdit* edit, const QString& value, bool& DoDefault)
{
    edit->setText(FormatResult(value, displayFormat_));
    DoDefault = false;
}

void TfraWW::ScheduleColour(TQLabeledEdit* result, const QString& value, bool& DoDefault)
{
    if (NotShown() || value.isEmpty()) return;
    DoDefault = false;
    int code = 0;
    if (!IntegerValue(value, code)) return;
    switch (code) {
    case 0: result->SetColor(palette().color(QPalette::Button)); break;
    case 1: result->SetColor(QColor(Qt::yellow)); break;
    case 2: result->SetColor(QColor(Qt::cyan)); break;
    default: break;
    }
}

void TfraWW::ActiveStreamChanged(const QString& value, bool& DoDefault)
{
    if (value.isEmpty()) return;
    DoDefault = false;
    int n = 0;
    if (!IntegerValue(value, n) || n < 0 || n >= kStreams) return;
    QLabel* const labels[kStreams] = {ui->labStream, ui->labStream2, ui->labStream3, ui->labStream4};
    for (int k = 0; k < kStreams; ++k) {
        labels[k]->setVisible(k == n);
        if (k == n) {
            labels[k]->setEnabled(true);
            labels[k]->setText(QString::fromLatin1(kStreamActive[k]));
        }
    }
    const bool changed = activeStream_ != n + 1;
    activeStream_ = n + 1;
    // The run kind may have arrived before the stream in the same read: name it again.
    if (changed) ShowRunKindName();
}

void TfraWW::StreamCountChanged(int streams)
{
    streamCount_ = streams + 1;
    ShowStreamControls(streams, {{ui->LastResultPan2}, {ui->LastResultPan3}, {ui->LastResultPan4}});
    RegisterStreamPoints();
}

void TfraWW::RunKindChanged(const QString& value, bool& DoDefault)
{
    DoDefault = false;
    if (value.isEmpty()) return;
    int code = 0;
    if (!IntegerValue(value, code)) return;
    runType_ = code;
    // The active stream is the one the page read last; no read is started from here.
    ShowRunKindName();
}

void TfraWW::ShowRunKindName()
{
    if (activeStream_ < 1 || activeStream_ > kStreams || runType_ < 0 || runType_ >= kRunKinds) return;
    if (!DataBase::Exists()) return;
    const int id = kRunKindNames[runType_][activeStream_ - 1];
    ui->ledCurrAnaStream->setText(QString::fromLatin1(DataBase::Instance()->GetPointText(static_cast<TDbId>(id)).c_str()));
}

void TfraWW::AnalysisStateChanged(const QString& value, bool& DoDefault)
{
    int state = 0;
    if (value.isEmpty() || !IntegerValue(value, state)) {
        DoDefault = value.isEmpty();
        return;
    }
    if (state < 0 || state >= static_cast<int>(std::size(kStates))) return;   // shown as the number
    ui->ledCurrAnaState->setText(QString::fromLatin1(kStates[state]));
    DoDefault = false;
}

void TfraWW::SequencerStateChanged(const QString& value, bool& DoDefault)
{
    DoDefault = false;
    int state = 0;
    if (value.isEmpty() || !IntegerValue(value, state)) return;
    const QString text = SequencerStateText(state);
    if (!text.isEmpty()) ui->SequencerState->setText(text);   // other values keep the previous text
}

void TfraWW::RunNumberChanged(const QString& value, bool& DoDefault)
{
    if (value.isEmpty()) return;
    DoDefault = false;
    int run = 0;
    if (!IntegerValue(value, run)) return;
    int total = 0;
    const QString totalText = ui->edCurrAnaTotalRuns->text().trimmed();
    if (!totalText.isEmpty() && !IntegerValue(totalText, total)) return;
    ui->ledCurrAnaRunNumber->setText(QString::number(total != 0 && run >= total ? total : run + 1));
}

void TfraWW::DateTimeChanged(const QString& value, bool& DoDefault)
{
    if (value.isEmpty()) return;
    IPageHost* host = PageHost();
    if (!host) return;   // no converter: the token is shown as it came
    const auto token = static_cast<uint32_t>(numtext::AtoL(value.toStdString()));
    double when = 0;
    if (!host->TimestampTokenToDate(token, when)) return;
    ui->ledUnitDateTime->setText(FormatAnalyzerDate(when));
    DoDefault = false;
}

void TfraWW::SystemAlarmChanged()
{
    const bool on = ui->SystemAlarm->State() == TQImageBase::StateOn;
    alarmicons::SetIcon(ui->SystemAlarm, alarmicons::List::SysAlarm, on ? 2 : 3);
}

// --- the per-run report -----------------------------------------------------------------------------

void TfraWW::SetReportPrinter(std::unique_ptr<QPrinter> printer) { printer_ = std::move(printer); }

ReportContent TfraWW::CurrentReport() const
{
    ReportContent c;
    c.labId = options_.labId;
    c.sampleId = options_.sampleId;
    c.sampleName = options_.sampleName;
    c.clientName = options_.clientName;
    c.dateTime = ui->ledUnitDateTime->text();
    c.activeStream = activeStream_;
    if (activeStream_ == 1) {
        c.result = ui->edtLastNormal1->text();
        c.unit = ui->glAnalysisUnit1->text();
    } else if (activeStream_ == 2) {
        c.result = ui->edtLastNormal2->text();
        c.unit = ui->glAnalysisUnit2->text();
    }
    c.alarmOn = ui->SystemAlarm->State() == TQImageBase::StateOn;
    if (c.alarmOn) c.alarmName = ReportAlarmName(ui->SystemAlarm->DbId());
    return c;
}

void TfraWW::LoadOptions()
{
    LoadReportOptions(platform::UserDataFile(QStringLiteral("ReportConfig.xml")), options_);
}

void TfraWW::ArmPrint()
{
    if (!ui->chkGenReport->isChecked()) {
        printEnabled_ = false;
        return;
    }
    LoadOptions();
    ui->edtPrintCount->setVisible(options_.runLimit != 0);
    if (options_.runLimit != 0) ui->edtPrintCount->setText(QString::number(options_.runLimit));
    printCounter_ = 0;
    printEnabled_ = true;
}

void TfraWW::ArmSave()
{
    if (!ui->chkSaveReport->isChecked()) {
        saveEnabled_ = false;
        return;
    }
    LoadOptions();
    ui->edtSaveCount->setVisible(options_.saveLimit != 0);
    if (options_.saveLimit != 0) ui->edtSaveCount->setText(QString::number(options_.saveLimit));
    platform::FileRequest request;
    request.save = true;
    request.caption = QStringLiteral("Save Sentrel Report");
    request.filter = QStringLiteral("RPT File (*.rpt)");
    request.directory = platform::UserDataFolder();
    const QString chosen = platform::Prompter().ChooseFile(request);
    if (!chosen.isEmpty()) reportBaseName_ = chosen;
    saveCounter_ = 0;
    saveEnabled_ = true;
}

bool TfraWW::RunTypePasses() const
{
    // RunType 0 passes every run kind; otherwise the bit of the run kind just completed.
    const uint32_t wanted = static_cast<uint32_t>(numtext::AtoL(options_.runType.toStdString()));
    if (wanted == 0) return true;
    if (runType_ < 0 || runType_ >= 32) return false;
    return (wanted & (uint32_t{1} << runType_)) != 0;
}

bool TfraWW::PrintOne()
{
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QString error;
    if (PrintReport(*printer_, CurrentReport(), error)) return true;
    if (IPageHost* host = PageHost()) host->SetStatusText(QStringLiteral("Report not printed: ") + error);
    return false;
}

bool TfraWW::SaveOne()
{
    const QString path = NextFreeReportPath(reportBaseName_, saveCounter_);
    QString error;
    if (SaveReportFile(path, CurrentReport(), error)) return true;
    if (IPageHost* host = PageHost())
        host->SetStatusText(QStringLiteral("Report file %1 could not be written: %2").arg(path, error));
    return false;
}

void TfraWW::RunCounterChanged(const QString& value)
{
    const double number = numtext::AtoF(value.toStdString());
    const int runCount = static_cast<int>(number);
    if (changeCount_ > 10) changeCount_ = 1;
    const bool report = runCount != lastRunCount_ && changeCount_ > 0 && RunTypePasses();

    if (options_.runLimit == 0) printEnabled_ = true;
    if (report && printEnabled_ && ui->chkGenReport->isChecked() && PrintOne()) {
        ++printCounter_;
        ui->edtPrintCount->setText(QString::number(options_.runLimit - printCounter_));
        if (printCounter_ >= options_.runLimit) {
            printEnabled_ = false;
            printCounter_ = 0;
            ui->chkGenReport->setChecked(false);
            ui->edtPrintCount->setVisible(false);
        }
    }

    if (options_.saveLimit == 0) saveEnabled_ = true;
    if (report && saveEnabled_ && ui->chkSaveReport->isChecked() && SaveOne()) {
        ++saveCounter_;
        ui->edtSaveCount->setText(QString::number(options_.saveLimit - saveCounter_));
        if (saveCounter_ >= options_.saveLimit) {
            saveEnabled_ = false;
            saveCounter_ = 0;
            ui->chkSaveReport->setChecked(false);
            ui->edtSaveCount->setVisible(false);
        }
    }

    lastRunCount_ = runCount;
    ++changeCount_;
}
