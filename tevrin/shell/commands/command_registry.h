#pragma once
// The 35 named device commands of the main window, registered in one place.
//
// RegisterCommands creates one command per name, in the fixed order of the table in
// command_registry.cpp, registers it in the queue and sets the owner on all of them.
//
// The main window reaches the commands that carry parameters, and the state the commands
// share with it, only through the few functions below, so that it does not depend on the
// command classes themselves.
#include "brannix/database_glue.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Command;
class CommandLine;
class ICommandOwner;

namespace CommandNames {
// The names in registration order.
const std::vector<std::string>& All();
}  // namespace CommandNames

// The command built for a name; null for a name that is not a command of the table.
std::unique_ptr<Command> MakeCommand(const std::string& name, CommandLine& line);

// Registers every name of CommandNames::All in order, then sets the owner on all of them.
void RegisterCommands(CommandLine& line, ICommandOwner* owner);

// Sets the polling value the next "StopPoll" post carries (true = polling on); false when the
// command does not take one.
bool SetStopPollValue(CommandLine& line, bool on);
// Sets the point and value text the next "WriteSinglePoint" post writes; false when the
// command does not take them.
bool SetSinglePointValue(CommandLine& line, TDbId id, const std::string& text);
// Sets the layout (0..2) of the next "NewModbusList" post; false when the command does not
// take one.
bool SetNewModbusListMode(CommandLine& line, uint8_t mode);
// Sets the clock token the next "SyncClock" post writes; false when the command does not take
// one.
bool SetSyncClockToken(CommandLine& line, uint32_t token);
// Whether the last run of "Logon" opened the connection and read the analyzer.
bool LastLogonSucceeded(CommandLine& line);

// The exit request shared by the Exit road, the Logon command and the poll timer.
bool ExitRequestedFlag();
void SetExitRequestedFlag(bool requested);
