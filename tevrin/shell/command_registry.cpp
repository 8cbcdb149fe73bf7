#include "tevrin/shell/command_registry.h"

#include "tevrin/shell/cmd_clock.h"
#include "tevrin/shell/cmd_common.h"
#include "tevrin/shell/cmd_full_read_write.h"
#include "tevrin/shell/cmd_image.h"
#include "tevrin/shell/cmd_log.h"
#include "tevrin/shell/cmd_logon.h"
#include "tevrin/shell/cmd_modbus.h"
#include "tevrin/shell/cmd_read.h"
#include "tevrin/shell/cmd_service.h"
#include "tevrin/shell/cmd_unit.h"
#include "tevrin/shell/command.h"
#include "tevrin/shell/command_line.h"
#include "tevrin/shell/command_owner.h"

#include <functional>
#include <map>

namespace {

// Stand-in for a command that is not built yet: says so in the status line.
class NotAvailableCommand : public Command {
public:
    explicit NotAvailableCommand(std::string name) : name_(std::move(name)) {}
    void Execute() override { SetText(CommandKeys::StatusLineSpecialPanel, NotAvailableText(name_)); }

private:
    std::string name_;
};

}  // namespace

namespace CommandNames {
const std::vector<std::string>& All()
{
    static const std::vector<std::string> names = {
        "Logoff",        "Logon",          "ReadFull",        "WriteMain",      "WriteDirect",
        "SyncClock",     "Calibrate",      "Reference",       "ZeroRef",        "ResetLatches",
        "SetBypass",     "TapeAdvance",    "LoadModbusList",  "WriteSinglePoint", "NewModbusList",
        "ExpressRead",   "ExpressRead2",   "Reboot",          "WriteConfig",    "SetDefaultConfig",
        "ReadLogConfig", "WriteLogConfig", "ReadALog",        "ReadALog2",      "ReadAudit",
        "WriteImage",    "ReadImage",      "IsDeviceAvaiable", "WipeAL",        "WipeLog",
        "ReadSinglePoint", "PeriodicPoll", "StopPoll",        "DirectControlConfirm", "UpgradeCommand",
    };
    return names;
}
}  // namespace CommandNames

std::string NotAvailableText(const std::string& name) { return "\"" + name + "\" is not available yet."; }

std::unique_ptr<Command> MakeCommand(const std::string& name, CommandLine& line)
{
    if (name == "Logoff") return std::make_unique<LogoffCommand>();
    if (name == "Logon") return std::make_unique<LogonCommand>();
    if (name == "ReadFull") return std::make_unique<ReadFullCommand>();
    if (name == "WriteMain") return std::make_unique<WriteMainCommand>();
    if (name == "WriteDirect") return std::make_unique<WriteDirectCommand>();
    if (name == "WriteSinglePoint") return std::make_unique<WriteSinglePointCommand>();
    if (name == "ExpressRead") return std::make_unique<ExpressReadCommand>();
    if (name == "ExpressRead2") return std::make_unique<ExpressRead2Command>();
    if (name == "ReadSinglePoint") return std::make_unique<ReadSinglePointCommand>();
    if (name == "PeriodicPoll") return std::make_unique<PeriodicPollCommand>(line);
    if (name == "StopPoll") return std::make_unique<StopPollCommand>(line);
    if (name == "SyncClock") return std::make_unique<SyncClockCommand>();
    if (name == "Calibrate") return std::make_unique<CalibrateCommand>();
    if (name == "Reference") return std::make_unique<ReferenceCommand>();
    if (name == "ZeroRef") return std::make_unique<ZeroRefCommand>();
    if (name == "ResetLatches") return std::make_unique<ResetLatchesCommand>();
    if (name == "SetBypass") return std::make_unique<SetBypassCommand>();
    if (name == "TapeAdvance") return std::make_unique<TapeAdvanceCommand>();
    if (name == "Reboot") return std::make_unique<ResetCommand>();
    if (name == "WriteConfig") return std::make_unique<WriteConfigCommand>();
    if (name == "SetDefaultConfig") return std::make_unique<SetDefaultConfigCommand>();
    if (name == "IsDeviceAvaiable") return std::make_unique<IsDeviceAvaiableCommand>();
    if (name == "DirectControlConfirm") return std::make_unique<DirectControlConfirmCommand>();
    if (name == "NewModbusList") return std::make_unique<NewModbusListCommand>();
    if (name == "LoadModbusList") return std::make_unique<ReadModbusList>();
    if (name == "WriteImage") return std::make_unique<WriteImageCommand>();
    if (name == "ReadImage") return std::make_unique<ReadImageCommand>();
    if (name == "UpgradeCommand") return std::make_unique<UpgradeCommand>();
    if (name == "ReadLogConfig") return std::make_unique<ReadLogConfig>();
    if (name == "WriteLogConfig") return std::make_unique<WriteLogConfig>();
    if (name == "ReadALog") return std::make_unique<ReadALog>();
    if (name == "ReadALog2") return std::make_unique<ReadALog2>();
    if (name == "ReadAudit") return std::make_unique<ReadAuditCommand>();
    if (name == "WipeAL") return std::make_unique<WipeALCommand>();
    if (name == "WipeLog") return std::make_unique<WipeLogCommand>();
    return std::make_unique<NotAvailableCommand>(name);
}

void RegisterCommands(CommandLine& line, ICommandOwner* owner)
{
    for (const std::string& name : CommandNames::All()) line.Register(name, MakeCommand(name, line));
    line.SetOwner(owner);
}

bool SetStopPollValue(CommandLine& line, bool on)
{
    auto* command = line.FindAs<StopPollCommand>("StopPoll");
    if (command) command->SetPolling(on);
    return command != nullptr;
}

bool SetSinglePointValue(CommandLine& line, TDbId id, const std::string& text)
{
    auto* command = line.FindAs<WriteSinglePointCommand>("WriteSinglePoint");
    if (command) command->SetPoint(id, text);
    return command != nullptr;
}

bool SetNewModbusListMode(CommandLine& line, uint8_t mode)
{
    auto* command = line.FindAs<NewModbusListCommand>("NewModbusList");
    if (command) command->SetMode(mode);
    return command != nullptr;
}

bool SetSyncClockToken(CommandLine& line, uint32_t token)
{
    auto* command = line.FindAs<SyncClockCommand>("SyncClock");
    if (command) command->SetToken(token);
    return command != nullptr;
}

bool LastLogonSucceeded(CommandLine& line)
{
    auto* command = line.FindAs<LogonCommand>("Logon");
    return command && command->Succeeded();
}

bool ExitRequestedFlag() { return ExitRequested(); }
void SetExitRequestedFlag(bool requested) { SetExitRequested(requested); }
