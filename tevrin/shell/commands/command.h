#pragma once
// A named device command. The command queue holds one instance per name and runs it on the
// GUI thread. Every post carries its own text argument; commands with typed parameters
// (a point to write, a file name, a clock token ...) derive from CommandWithParameters, so
// that the parameters set for a post travel with that post through the queue.
#include "tevrin/shell/commands/command_owner.h"

#include <any>
#include <functional>
#include <string>
#include <utility>

class Command {
public:
    Command() = default;
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;
    virtual ~Command() = default;

    // The work. Device failures are thrown as int; the queue catches whatever a command
    // lets escape, so nothing ever leaves a run into the event loop.
    virtual void Execute() = 0;
    // Stores the argument of the post that is about to run.
    virtual void SetArgument(const std::string& argument) { argument_ = argument; }

    void SetOwner(ICommandOwner* owner) { owner_ = owner; }

    // Whether the command's last run reached its good end. The queue clears the mark before
    // each run; the commands that roads check step by step (the whole-configuration reads and
    // writes, the page write, the log configuration read and write, the flash store, the image
    // write and read-back, the upgrade connect, the reboot, the single-point write) set it as
    // they finish well, so a run that failed, returned early or threw leaves it clear. Other
    // commands never set it.
    bool Succeeded() const { return succeeded_; }
    void ClearSucceeded() { succeeded_ = false; }
    ICommandOwner* Owner() const { return owner_; }
    const std::string& Argument() const { return argument_; }

    // The queue takes a copy of the parameters when a post is queued and hands that copy back
    // just before the post runs. Commands without parameters keep the defaults.
    virtual std::any SaveParameters() const { return {}; }
    virtual void LoadParameters(const std::any& /*parameters*/) {}

protected:
    // The owner's operations; without an owner they do nothing and give the defaults.
    void SetFlag(const std::string& key, bool value)
    {
        if (owner_) owner_->SetFlag(key, value);
    }
    void SetNumber(const std::string& key, int32_t value)
    {
        if (owner_) owner_->SetNumber(key, value);
    }
    void SetText(const std::string& key, const std::string& text)
    {
        if (owner_) owner_->SetText(key, text);
    }
    bool GetFlag(const std::string& key)
    {
        return owner_ ? owner_->GetFlag(key) : ICommandOwner::kDefaultFlag;
    }
    int32_t Request(const std::string& key, void* argument = nullptr)
    {
        return owner_ ? owner_->Request(key, argument) : ICommandOwner::kDefaultRequest;
    }
    double GetDate(const std::string& key, int32_t value)
    {
        return owner_ ? owner_->GetDate(key, value) : ICommandOwner::kDefaultDate;
    }

    void MarkSucceeded() { succeeded_ = true; }

    // The frame the simple device commands share. While logging on: nothing at all. Otherwise
    // `status` goes to the special panel with a progress of `steps`, then `body` runs; any
    // failure it throws becomes the box `failure`; the panel is cleared at the end either way.
    void RunFramed(const std::string& status, int steps, const char* failure, const std::function<void()>& body);

    ICommandOwner* owner_ = nullptr;
    std::string argument_;
    bool succeeded_ = false;
};

// A command with typed parameters P (a copyable struct). Setters called by the poster
// (between CommandLine::Find and CommandLine::Post) write Staged(); Execute reads Params(),
// the copy taken for the post now running. A caller that prepares the next post while this
// command runs therefore never changes the parameters under the running one.
template <class P>
class CommandWithParameters : public Command {
public:
    std::any SaveParameters() const override { return staged_; }
    void LoadParameters(const std::any& parameters) override
    {
        if (const P* p = std::any_cast<P>(&parameters)) active_ = *p;
    }

    // The parameters of the post now running.
    const P& Params() const { return active_; }
    // The parameters the next post will take.
    const P& NextParams() const { return staged_; }

protected:
    P& Staged() { return staged_; }

private:
    P staged_{};
    P active_{};
};
