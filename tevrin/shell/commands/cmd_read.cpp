#include "tevrin/shell/commands/cmd_read.h"

#include "platform/prompter.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/commands/cmd_common.h"
#include "tevrin/shell/commands/command_line.h"
#include "tevrin/shell/state_mgr.h"

#include <QString>
#include <QTimer>

#include <optional>

using namespace CommandKeys;

namespace {

// The page read shared by ExpressRead (withWait: the page's wait flag is honoured) and the
// poll read (never a wait window).
void PageRead(ICommandOwner* owner, bool pollOnly, bool withWait)
{
    auto setText = [owner](const std::string& text) {
        if (owner) owner->SetText(StatusLineSpecialPanel, text);
    };
    if (owner && owner->GetFlag(LoggingOn)) return;
    setText("Express Reading...");

    DataBase* db = DataBase::Instance();
    // Long reads keep the pages disabled and the wait window up; what was set up here is what
    // is undone at the end, whatever page is current by then.
    std::optional<cmd::BusyScope> busy;
    if (withWait && db->AsExpressScan().WaitWindowFlag()) busy.emplace(owner);

    if (owner)
        owner->SetNumber(localPBarMax, pollOnly ? db->CountPollRequests() : db->CountExpressReadRequests());
    try {
        db->ExpressRead(pollOnly);
    } catch (int code) {
        cmd::ForcedLogOff(owner, code);
        if (busy) busy->CloseWithoutPages();
        return;
    }
    if (busy) busy->Close();
    setText("Read Successful.");
    setText("");
}

}  // namespace

void ExpressReadCommand::Execute() { PageRead(Owner(), false, true); }

void ExpressRead2Command::Execute() { PageRead(Owner(), true, false); }

void ReadSinglePointCommand::Execute()
{
    if (GetFlag(LoggingOn)) return;
    SetText(StatusLineSpecialPanel, "Reading...");
    SetNumber(localPBarMax, 1);
    try {
        // 31 for a DbId the catalogue does not hold: nothing is sent and nothing is said.
        DataBase::Instance()->ReadPoint(static_cast<TDbId>(Params().dbId));
    } catch (int code) {
        // The read failed: its progress text goes and the user is told why. The connection
        // stays (a single read is a service step, not the page's read).
        SetText(StatusLineSpecialPanel, "");
        platform::ShowMessage(QString::fromStdString("Read error: " + cmd::ErrorText(code)));
        return;
    } catch (...) {
        SetText(StatusLineSpecialPanel, "");
        throw;   // the queue reports it
    }
    SetText(StatusLineSpecialPanel, "One Point Read");
    SetText(StatusLineSpecialPanel, "");
}

void StopPollCommand::Execute() { line_.SetPolling(Params().pollOff == 0); }

PeriodicPollCommand::PeriodicPollCommand(CommandLine& line) : PollingCommand(line), timer_(std::make_unique<QTimer>())
{
    line_.SetPolling(false);
    timer_->setInterval(kIntervalMs);
    QObject::connect(timer_.get(), &QTimer::timeout, timer_.get(), [this] { OnTimer(); });
}

PeriodicPollCommand::~PeriodicPollCommand() = default;

void PeriodicPollCommand::Execute()
{
    if (!ExitRequested() && line_.IsPolling()) {
        if (!timer_->isActive()) timer_->start();
    } else {
        timer_->stop();
    }
}

void PeriodicPollCommand::OnTimer()
{
    if (ExitRequested() || !line_.IsPolling()) {
        timer_->stop();
        return;
    }
    if (line_.PendingCount() >= 1) return;   // a post waits: try again at the next tick
    line_.Post("ExpressRead2", "");
}
