#pragma once
// The commands that act on the analyzer as a whole or wait for it:
//   "WriteConfig"          WriteConfigCommand          store the working configuration in flash
//   "SetDefaultConfig"     SetDefaultConfigCommand     load the factory defaults
//   "Reboot"               ResetCommand                restart the analyzer (does not wait)
//   "IsDeviceAvaiable"     IsDeviceAvaiableCommand     wait until a point read answers again
//   "DirectControlConfirm" DirectControlConfirmCommand wait until the unit confirms a direct control
// Every one ends at once, silently, while the window is logged off. The waiting loops are
// bounded, and a read cancelled by the user (code 6) ends them at once without a word.
#include "tevrin/shell/commands/command.h"

namespace unitcmd {
// Flash store: busy polls and the pause after each.
inline constexpr int kStorePolls = 70;
inline constexpr int kStorePollMs = 1000;
// Availability: reads of the version point and the pause after a failed one.
inline constexpr int kAvailableTries = 100;
inline constexpr int kAvailablePauseMs = 1000;
// Direct-control confirmation: reads and the pause after each unconfirmed one.
inline constexpr int kConfirmTries = 3;
inline constexpr int kConfirmPauseMs = 300;
// The points read.
inline constexpr int kVersionDbId = 500;
inline constexpr int kDirectControlConfirmDbId = 333;
// The engine's "cancelled by the user".
inline constexpr int kUserCancelCode = 6;
}  // namespace unitcmd

class WriteConfigCommand : public Command {
public:
    void Execute() override;
};

class SetDefaultConfigCommand : public Command {
public:
    void Execute() override;
};

class ResetCommand : public Command {
public:
    void Execute() override;
};

class IsDeviceAvaiableCommand : public Command {
public:
    void Execute() override;
};

class DirectControlConfirmCommand : public Command {
public:
    void Execute() override;
};
