#include "tevrin/shell/commands/command_line.h"

#include "platform/prompter.h"

#include <QCoreApplication>
#include <QString>

#include <exception>

namespace {
CommandLine* g_commandLine = nullptr;
}  // namespace

CommandLine& CommandLine::Instance()
{
    if (!g_commandLine) g_commandLine = new CommandLine();
    return *g_commandLine;
}

CommandLine* CommandLine::Existing() { return g_commandLine; }

void CommandLine::Shutdown()
{
    CommandLine* line = g_commandLine;
    if (!line) return;
    line->stopping_ = true;
    if (line->running_) {
        // We are inside a command (the GUI thread cannot wait for itself): the run deletes
        // the queue as soon as the command returns.
        line->destroyWhenIdle_ = true;
        return;
    }
    {
        std::lock_guard<std::mutex> guard(line->lock_);
        line->queue_.clear();
    }
    line->commands_.clear();
    g_commandLine = nullptr;
    delete line;
}

CommandLine::~CommandLine() = default;

bool CommandLine::Register(const std::string& name, std::unique_ptr<Command> command)
{
    if (!command) return false;
    return commands_.emplace(name, std::move(command)).second;
}

void CommandLine::SetOwner(ICommandOwner* owner)
{
    for (auto& entry : commands_) entry.second->SetOwner(owner);
}

Command* CommandLine::Find(const std::string& name) const
{
    auto it = commands_.find(name);
    return it == commands_.end() ? nullptr : it->second.get();
}

void CommandLine::Post(const std::string& name, const std::string& argument)
{
    if (Command* command = Find(name)) Enqueue(command, argument);
}

void CommandLine::Enqueue(Command* command, const std::string& argument)
{
    if (stopping_ || !command) return;
    {
        std::lock_guard<std::mutex> guard(lock_);
        queue_.push_back(Entry{command, argument, command->SaveParameters()});
    }
    if (!running_) Run();
}

int CommandLine::PendingCount() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return static_cast<int>(queue_.size());
}

void CommandLine::Run()
{
    // Marked running before the window messages are let through, so that a post made by
    // one of them joins the queue behind this run instead of starting a second one.
    running_ = true;
    if (QCoreApplication::instance()) QCoreApplication::processEvents();

    while (!stopping_) {
        Entry entry;
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (queue_.empty()) break;
            entry = std::move(queue_.front());
            queue_.pop_front();
        }
        RunOne(entry);
    }
    running_ = false;

    if (destroyWhenIdle_) {
        // Shutdown was asked from inside a command: finish it now. Nothing touches this
        // object after the run returns (Enqueue and Post end with the run).
        destroyWhenIdle_ = false;
        Shutdown();
    }
}

void CommandLine::RunOne(Entry& entry)
{
    Command* command = entry.command;
    command->ClearSucceeded();
    try {
        command->SetArgument(entry.argument);
        command->LoadParameters(entry.parameters);
        command->Execute();
        return;
    } catch (int code) {
        Failure failure;
        failure.isCode = true;
        failure.code = code;
        try {
            failure.text = errorText_ ? errorText_(code) : std::string();
        } catch (...) {
        }
        if (failure.text.empty()) failure.text = "Error code " + std::to_string(code) + ".";
        failure.commandName = NameOf(command);
        ReportFailure(std::move(failure));
    } catch (const std::exception& e) {
        Failure failure;
        failure.text = e.what();
        failure.commandName = NameOf(command);
        ReportFailure(std::move(failure));
    } catch (...) {
        Failure failure;
        failure.text = "Unknown error.";
        failure.commandName = NameOf(command);
        ReportFailure(std::move(failure));
    }
}

void CommandLine::ReportFailure(Failure failure)
{
    try {
        if (failureHandler_) {
            failureHandler_(failure);
        } else {
            platform::MessageDlg(QString::fromStdString(failure.text), platform::DlgType::Error, platform::mbOK);
        }
    } catch (...) {
        // The report itself failed; the queue goes on regardless.
    }
}

std::string CommandLine::NameOf(const Command* command) const
{
    for (const auto& entry : commands_)
        if (entry.second.get() == command) return entry.first;
    return std::string();
}
