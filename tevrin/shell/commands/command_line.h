#pragma once
// The command queue: one instance of each named command, run one at a time, first in first
// out, on the GUI thread.
//
// Post runs the command before it returns when no command is running. A post made while a
// command runs (from a timer, a click handled while a device exchange pumps messages, or a
// command that posts another) only joins the queue, with its own argument and parameters,
// and runs after the running one, in order. Roads that need a synchronous post ask
// IsRunning() or IsBusy() first and refuse while the queue is in use.
//
// A command that throws ends only its own execution: the queue reports the failure and goes
// on with the next queued post; no exception leaves Post.
#include "tevrin/shell/commands/command.h"

#include <any>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

class ICommandOwner;

class CommandLine {
public:
    // What escaped a command's Execute.
    struct Failure {
        std::string commandName;   // empty when the command was queued without a name
        bool isCode = false;       // a thrown int (a device or message-layer error code)
        int code = 0;
        std::string text;          // the words shown for it
    };
    using FailureHandler = std::function<void(const Failure&)>;
    using ErrorTextFn = std::function<std::string(int code)>;

    // The process-wide queue, created on first use.
    static CommandLine& Instance();
    // The queue if it exists, else nullptr (never creates it).
    static CommandLine* Existing();
    // Stops the queue for good: nothing more is queued or run, every command is deleted and
    // the singleton forgotten. Called when the main window is destroyed. Called while a
    // command runs (from inside it), the deletion happens as soon as that command returns.
    static void Shutdown();

    // Takes ownership. A name already registered keeps its first command (returns false).
    bool Register(const std::string& name, std::unique_ptr<Command> command);
    // Sets the same owner on every registered command.
    void SetOwner(ICommandOwner* owner);
    // The command registered under the name, or nullptr.
    Command* Find(const std::string& name) const;
    template <class T>
    T* FindAs(const std::string& name) const { return dynamic_cast<T*>(Find(name)); }

    // Posts the named command; a name not registered is ignored.
    void Post(const std::string& name, const std::string& argument = std::string());
    // Queues the command with the argument and a copy of its parameters; runs the queue
    // when nothing is running.
    void Enqueue(Command* command, const std::string& argument);

    // Posts waiting in the queue (not counting the one running).
    int PendingCount() const;
    // A command is executing now.
    bool IsRunning() const { return running_; }
    // Running or posts waiting: a road that relies on a synchronous post must not start.
    bool IsBusy() const { return running_ || PendingCount() > 0; }
    bool IsStopping() const { return stopping_; }

    void SetPolling(bool on) { polling_ = on; }
    bool IsPolling() const { return polling_; }

    // Words for a thrown error code (the main window installs the engine's texts).
    void SetErrorText(ErrorTextFn fn) { errorText_ = std::move(fn); }
    // Who is told about a failure that escaped a command (default: an error message box).
    void SetFailureHandler(FailureHandler fn) { failureHandler_ = std::move(fn); }

private:
    struct Entry {
        Command* command;
        std::string argument;
        std::any parameters;
    };

    CommandLine() = default;
    ~CommandLine();
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    void Run();
    void RunOne(Entry& entry);
    void ReportFailure(Failure failure);
    std::string NameOf(const Command* command) const;

    mutable std::mutex lock_;
    std::deque<Entry> queue_;
    std::map<std::string, std::unique_ptr<Command>> commands_;
    bool stopping_ = false;
    bool running_ = false;
    bool polling_ = false;
    bool destroyWhenIdle_ = false;
    ErrorTextFn errorText_;
    FailureHandler failureHandler_;
};
