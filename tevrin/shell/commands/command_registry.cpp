#include "tevrin/shell/commands/command_registry.h"

#include "tevrin/shell/commands/cmd_clock.h"
#include "tevrin/shell/commands/cmd_common.h"
#include "tevrin/shell/commands/cmd_full_read_write.h"
#include "tevrin/shell/commands/cmd_image.h"
#include "tevrin/shell/commands/cmd_log.h"
#include "tevrin/shell/commands/cmd_logon.h"
#include "tevrin/shell/commands/cmd_modbus.h"
#include "tevrin/shell/commands/cmd_read.h"
#include "tevrin/shell/commands/cmd_service.h"
#include "tevrin/shell/commands/cmd_unit.h"
#include "tevrin/shell/commands/command.h"
#include "tevrin/shell/commands/command_line.h"
#include "tevrin/shell/commands/command_owner.h"

#include <functional>
#include <vector>

namespace {

using CommandFactory = std::function<std::unique_ptr<Command>(CommandLine&)>;

template <typename T>
CommandFactory Make()
{
    return [](CommandLine&) { return std::make_unique<T>(); };
}

template <typename T>
CommandFactory MakeWithLine()
{
    return [](CommandLine& line) { return std::make_unique<T>(line); };
}

struct CommandEntry {
    const char* name;
    CommandFactory make;
};

// Every command of the main window, in registration order.
const std::vector<CommandEntry>& CommandTable()
{
    static const std::vector<CommandEntry> table = {
        {"Logoff", Make<LogoffCommand>()},
        {"Logon", Make<LogonCommand>()},
        {"ReadFull", Make<ReadFullCommand>()},
        {"WriteMain", Make<WriteMainCommand>()},
        {"WriteDirect", Make<WriteDirectCommand>()},
        {"SyncClock", Make<SyncClockCommand>()},
        {"Calibrate", Make<CalibrateCommand>()},
        {"Reference", Make<ReferenceCommand>()},
        {"ZeroRef", Make<ZeroRefCommand>()},
        {"ResetLatches", Make<ResetLatchesCommand>()},
        {"SetBypass", Make<SetBypassCommand>()},
        {"TapeAdvance", Make<TapeAdvanceCommand>()},
        {"LoadModbusList", Make<ReadModbusList>()},
        {"WriteSinglePoint", Make<WriteSinglePointCommand>()},
        {"NewModbusList", Make<NewModbusListCommand>()},
        {"ExpressRead", Make<ExpressReadCommand>()},
        {"ExpressRead2", Make<ExpressRead2Command>()},
        {"Reboot", Make<ResetCommand>()},
        {"WriteConfig", Make<WriteConfigCommand>()},
        {"SetDefaultConfig", Make<SetDefaultConfigCommand>()},
        {"ReadLogConfig", Make<ReadLogConfig>()},
        {"WriteLogConfig", Make<WriteLogConfig>()},
        {"ReadALog", Make<ReadALog>()},
        {"ReadALog2", Make<ReadALog2>()},
        {"ReadAudit", Make<ReadAuditCommand>()},
        {"WriteImage", Make<WriteImageCommand>()},
        {"ReadImage", Make<ReadImageCommand>()},
        {"IsDeviceAvaiable", Make<IsDeviceAvaiableCommand>()},
        {"WipeAL", Make<WipeALCommand>()},
        {"WipeLog", Make<WipeLogCommand>()},
        {"ReadSinglePoint", Make<ReadSinglePointCommand>()},
        {"PeriodicPoll", MakeWithLine<PeriodicPollCommand>()},
        {"StopPoll", MakeWithLine<StopPollCommand>()},
        {"DirectControlConfirm", Make<DirectControlConfirmCommand>()},
        {"UpgradeCommand", Make<UpgradeCommand>()},
    };
    return table;
}

}  // namespace

namespace CommandNames {
const std::vector<std::string>& All()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> result;
        for (const CommandEntry& entry : CommandTable()) result.emplace_back(entry.name);
        return result;
    }();
    return names;
}
}  // namespace CommandNames

std::unique_ptr<Command> MakeCommand(const std::string& name, CommandLine& line)
{
    for (const CommandEntry& entry : CommandTable())
        if (name == entry.name) return entry.make(line);
    return nullptr;
}

void RegisterCommands(CommandLine& line, ICommandOwner* owner)
{
    for (const CommandEntry& entry : CommandTable()) line.Register(entry.name, entry.make(line));
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
