#include "tevrin/pages/config/frm_timer1.h"

#include "brannix/qlabel.h"
#include "platform/messages.h"
#include "platform/prompter.h"
#include "tevrin/pages/config/frm_timer_setup.h"
#include "tevrin/pages/widgets/bound_controls.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/observer_components.h"
#include "tevrin/rtdb/timer_x_manager.h"

#include "ui_frm_timer1.h"

#include <QGridLayout>
#include <QToolButton>

#include <cstring>

TfrmTimer1::TfrmTimer1(QWidget* owner) : TPageFrame(owner, 16, 0, 1), ui(std::make_unique<Ui::TfrmTimer1>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("frmTimer1"));
    for (int number = 1; number <= kTimerCount; ++number) {
        const bool first = number <= 6;
        QWidget* box = first ? ui->boxTimers1 : ui->boxTimers2;
        auto* grid = first ? ui->layTimers1 : ui->layTimers2;
        auto* timer = new TfrmTimerSetup(number, box);
        // Two columns, a start timer beside its stop timer, so that the tab needs no sideways
        // scrolling at the window's designed width.
        const int place = (number - 1) % 6;
        grid->addWidget(timer, place / 2, place % 2);
        timers_[static_cast<size_t>(number - 1)] = timer;
    }

    auto* btnTest = pagecontrols::HiddenTestButton(this);
    connect(btnTest, &QToolButton::clicked, this, &TfrmTimer1::btnTestClick);

    observer_ = new TQStructOberver(this);
    connect(observer_, &TQStructOberver::OnSChanged, this, [this](int, void* block) {
        if (!block) return;
        TimerBytes bytes;
        std::memcpy(bytes.data(), block, bytes.size());
        LoadFromRecords(bytes);
    });
    WatchStreamCount(ui->Streams, StreamCaptionRule::Streams, [this](int streams) {
        for (TfrmTimerSetup* timer : timers_) timer->ShowStreams(streams);
    });
}

TfrmTimer1::~TfrmTimer1()
{
    if (DataBase::Exists())
        if (TimerXManager* t = DataBase::Instance()->AsTimerXManager()) t->Detach(observer_);
}

QTabWidget* TfrmTimer1::PageControl() const { return ui->PageControl; }

void TfrmTimer1::btnTestClick(bool down)
{
    const uint8_t on = down ? 1 : 0;
    TimerRecord test{};
    test.ScheduleEnable = on;
    test.ScheduleHour = 8;
    test.AnalysisEnable = on;
    test.Analysis = down ? 0xFFFFFFu : 0;   // every run type of every stream
    test.SequencerEnable = on;
    test.Sequencer = down ? 0x1FF : 0;       // manual mode and all eight sequences
    uint8_t record[kTimerRecordSize];
    StoreTimerRecord(test, record);
    for (TfrmTimerSetup* timer : timers_) timer->LoadFromRecord(record);
    platform::ShowMessage(down ? QStringLiteral("If Analysis=16777215 and Sequencer=511 in file LogWrite.dbg, the TEST will be passed.")
                               : QStringLiteral("If Analysis=0 and Sequencer=0 in file LogWrite.dbg, the TEST will be passed."));
}

void TfrmTimer1::LoadFromRecords(const TimerBytes& block)
{
    for (int i = 0; i < kTimerCount; ++i) timers_[static_cast<size_t>(i)]->LoadFromRecord(block.data() + kTimerRecordSize * i);
}

bool TfrmTimer1::PackRecords(TimerBytes& block, QString* error) const
{
    TimerBytes packed{};
    for (int i = 0; i < kTimerCount; ++i)
        if (!timers_[static_cast<size_t>(i)]->PackRecord(packed.data() + kTimerRecordSize * i, error)) return false;
    block = packed;
    return true;
}

void TfrmTimer1::OnRegisterDatabase(TMessage& m)
{
    if (TimerXManager* t = DataBase::Instance()->AsTimerXManager()) {
        t->Detach(observer_);
        t->Attach(observer_);
    }
    m.Result = 0;
}

void TfrmTimer1::OnBeforePost(TMessage& m)
{
    m.Result = 0;
    if (!ShownOnce()) return;
    TimerXManager* manager = DataBase::Instance()->AsTimerXManager();
    if (!manager) return;
    TimerBytes packed;
    QString error;
    if (!PackRecords(packed, &error)) {
        // While the page shows, the write would carry the timers: it is refused as a whole.
        // From another page the write goes on without the timers, which keep what they held.
        const bool refuse = IsCurrentPage();
        platform::MessageDlg(error + (refuse ? QStringLiteral("\nNothing was written.")
                                             : QStringLiteral("\nThe timers keep their previous settings.")),
                             platform::DlgType::Error, platform::mbOK);
        if (refuse) m.Result = 1;
        return;
    }
    uint8_t block[kTimerBlockSize];
    std::memcpy(block, packed.data(), sizeof block);
    manager->SetBlock(block);
}
