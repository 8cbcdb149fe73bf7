#pragma once
// The archive and event-log commands:
//   "ReadALog"       ReadALog                 the archive memory, handed to the archive worker
//   "ReadALog2"      ReadALog2                an archive loaded from a file by the archive page
//   "ReadAudit"      ReadAuditCommand         the event-log memory, decoded by the event page
//   "ReadLogConfig"  ReadLogConfig            the six log configuration records
//   "WriteLogConfig" WriteLogConfig           the six log configuration records, to the unit
//   "WipeAL"         WipeALCommand            erases the archive memory
//   "WipeLog"        WipeLogCommand           erases the event-log memory
// All but ReadALog2 end at once, silently, while the window is logged off.
#include "tevrin/shell/commands/command.h"

#include <cstdint>

namespace logcmd {
// Both memories are read 200 bytes per request, each block tried up to three times.
inline constexpr int kBlockBytes = 200;
inline constexpr int kBlockTries = 3;
// The analyzer's clock point, which every log records first.
inline constexpr uint16_t kLogClockDbId = 388;
// The log that is always written disabled.
inline constexpr int kAlwaysDisabledLog = 5;
}  // namespace logcmd

class ReadALog : public Command {
public:
    void Execute() override;
};

class ReadALog2 : public Command {
public:
    void Execute() override;
};

class ReadAuditCommand : public Command {
public:
    void Execute() override;
};

class ReadLogConfig : public Command {
public:
    void Execute() override;
};

class WriteLogConfig : public Command {
public:
    void Execute() override;
};

class WipeALCommand : public Command {
public:
    void Execute() override;
};

class WipeLogCommand : public Command {
public:
    void Execute() override;
};
