#pragma once
// The read commands of the page shown and the periodic poll:
//   "ExpressRead"     ExpressReadCommand      every point of the page shown, once
//   "ExpressRead2"    ExpressRead2Command     the poll read (the page's poll list)
//   "ReadSinglePoint" ReadSinglePointCommand  one point by DbId
//   "StopPoll"        StopPollCommand         sets the queue's polling flag
//   "PeriodicPoll"    PeriodicPollCommand     switches the 2000 ms poll timer
// The three reads end at once, silently, while the window is logged off. A failed page read
// ends the connection (cmd::ForcedLogOff).
#include "tevrin/shell/commands/command.h"

#include <cstdint>
#include <memory>

class CommandLine;
class QTimer;

class ExpressReadCommand : public Command {
public:
    void Execute() override;
};

class ExpressRead2Command : public Command {
public:
    void Execute() override;
};

struct ReadSinglePointParams {
    int16_t dbId = 0;
};

class ReadSinglePointCommand : public CommandWithParameters<ReadSinglePointParams> {
public:
    // The point the next post reads.
    void SetPoint(int16_t dbId) { Staged().dbId = dbId; }
    void Execute() override;
};

struct StopPollParams {
    uint8_t pollOff = 0;   // 1: the post turns polling off
};

class StopPollCommand : public CommandWithParameters<StopPollParams> {
public:
    explicit StopPollCommand(CommandLine& line) : line_(line) {}
    // What the next post does: polling on or off. Without a call the post turns it on.
    void SetPolling(bool on) { Staged().pollOff = on ? 0 : 1; }
    void Execute() override;

private:
    CommandLine& line_;
};

// A command that reads the queue's polling flag and queue.
class PollingCommand : public Command {
public:
    explicit PollingCommand(CommandLine& line) : line_(line) {}

protected:
    CommandLine& line_;
};

class PeriodicPollCommand : public PollingCommand {
public:
    static constexpr int kIntervalMs = 2000;

    // Clears the queue's polling flag and makes the poll timer, stopped.
    explicit PeriodicPollCommand(CommandLine& line);
    ~PeriodicPollCommand() override;

    // Runs the timer while polling is on and no exit was asked; stops it otherwise.
    void Execute() override;
    // The tick: stops the timer after an exit request or when polling is off; skips while a
    // post waits in the queue; otherwise posts "ExpressRead2".
    void OnTimer();

    QTimer* Timer() const { return timer_.get(); }

private:
    std::unique_ptr<QTimer> timer_;
};
