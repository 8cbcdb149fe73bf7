#include "tevrin/shell/clock_sync_dlg.h"

#include "ui_clock_sync_dlg.h"

#include "platform/prompter.h"
#include "tevrin/pages/widgets/date_text.h"
#include "tevrin/shell/commands/cmd_clock.h"
#include <QSignalBlocker>

namespace {
constexpr double kMsPerDay = 86400000.0;
constexpr uint32_t kInvalidToken = SyncClockCommand::kInvalidToken;
}  // namespace

TTimeSyncDlg::TTimeSyncDlg(TokenFn toToken, QWidget* parent, NowFn now)
    : QDialog(parent), ui(std::make_unique<Ui::TTimeSyncDlg>()), toToken_(std::move(toToken)), now_(std::move(now))
{
    ui->setupUi(this);
    if (!now_) now_ = [] { return QDateTime::currentDateTime(); };
    // Dates and times as every table and file of the program shows them.
    ui->dtDate->setDisplayFormat(datetext::ShortDateFormat());
    ui->dtTime->setDisplayFormat(datetext::LongTimeFormat());
    // The years an analyzer token can carry.
    ui->dtDate->setDateRange(QDate(2000, 1, 1), QDate(2063, 12, 31));
    // Wide enough for the longest date of the desktop's language and font.
    const QString longest = datetext::DateToStr(datetext::FromQDate(QDate(2028, 12, 28)));
    ui->dtDate->setMinimumWidth(ui->dtDate->fontMetrics().horizontalAdvance(longest) + 40);

    connect(ui->rbCurrentPcTime, &QRadioButton::toggled, this, [this] { rgSyncOptionClick(); });
    connect(ui->dtDate, &QDateEdit::dateChanged, this, [this] { PickerChange(); });
    connect(ui->dtTime, &QTimeEdit::timeChanged, this, [this] { PickerChange(); });
    connect(ui->btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(ui->btnCancel, &QPushButton::clicked, this, [this] { done(platform::mrCancel); });
}

TTimeSyncDlg::~TTimeSyncDlg() = default;

int TTimeSyncDlg::SyncOption() const { return ui->rbManualTime->isChecked() ? 1 : 0; }

void TTimeSyncDlg::SetSyncOption(int index) { (index == 0 ? ui->rbCurrentPcTime : ui->rbManualTime)->setChecked(true); }

double TTimeSyncDlg::ToDateTime(const QDateTime& moment)
{
    const qint64 days = QDate(1899, 12, 30).daysTo(moment.date());
    return static_cast<double>(days) + static_cast<double>(moment.time().msecsSinceStartOfDay()) / kMsPerDay;
}

void TTimeSyncDlg::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TTimeSyncDlg::FormShow()
{
    const QDateTime now = now_();
    {
        // The pickers are set together; the token below is computed once, from now.
        const QSignalBlocker blockDate(ui->dtDate);
        const QSignalBlocker blockTime(ui->dtTime);
        ui->dtDate->setDate(now.date());
        ui->dtTime->setTime(now.time());
    }
    syncToken_ = toToken_ ? toToken_(ToDateTime(now)) : kInvalidToken;
    ShowToken();
}

void TTimeSyncDlg::rgSyncOptionClick()
{
    const bool manual = SyncOption() != 0;
    ui->dtDate->setEnabled(manual);
    ui->dtTime->setEnabled(manual);
}

double TTimeSyncDlg::PickedMoment() const
{
    // The time picker holds the time of day only; the date picker the date only.
    return ToDateTime(QDateTime(ui->dtDate->date(), ui->dtTime->time()));
}

void TTimeSyncDlg::PickerChange()
{
    syncToken_ = toToken_ ? toToken_(PickedMoment()) : kInvalidToken;
    ShowToken();
}

void TTimeSyncDlg::btnOkClick()
{
    const double moment = SyncOption() != 0 ? PickedMoment() : ToDateTime(now_());
    syncToken_ = toToken_ ? toToken_(moment) : kInvalidToken;
    done(platform::mrOk);
}

void TTimeSyncDlg::ShowToken()
{
    ui->labToken->setText(syncToken_ == kInvalidToken ? QString::fromLatin1(SyncClockCommand::kDateOutOfRangeText)
                                                      : QString::number(syncToken_));
}

QGroupBox* TTimeSyncDlg::rgSyncOption() const { return ui->rgSyncOption; }
QDateEdit* TTimeSyncDlg::dtDate() const { return ui->dtDate; }
QTimeEdit* TTimeSyncDlg::dtTime() const { return ui->dtTime; }
QLabel* TTimeSyncDlg::labToken() const { return ui->labToken; }
QPushButton* TTimeSyncDlg::btnOk() const { return ui->btnOk; }
QPushButton* TTimeSyncDlg::btnCancel() const { return ui->btnCancel; }
QCheckBox* TTimeSyncDlg::ckDaylightSavings() const { return ui->ckDaylightSavings; }
