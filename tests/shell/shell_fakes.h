#pragma once
// Fakes for the command layer: an owner that records every key it is given, small commands
// built from a function, and a view that records what the application state switches.
#include "tevrin/shell/commands/command.h"
#include "tevrin/shell/commands/command_owner.h"
#include "tevrin/shell/state_mgr.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <functional>
#include <map>
#include <string>
#include <vector>

// Records "Operation key value" lines; answers flags from a table.
class FakeOwner : public ICommandOwner {
public:
    void SetFlag(std::string key, bool value) override { calls.push_back("SetFlag " + key + " " + (value ? "1" : "0")); }
    void SetNumber(std::string key, int32_t value) override
    {
        calls.push_back("SetNumber " + key + " " + std::to_string(value));
    }
    void SetText(std::string key, std::string text) override { calls.push_back("SetText " + key + " " + text); }
    bool GetFlag(std::string key) override
    {
        calls.push_back("GetFlag " + key);
        auto it = flags.find(key);
        return it == flags.end() ? kDefaultFlag : it->second;
    }
    int32_t Request(std::string key, void*) override
    {
        calls.push_back("Request " + key);
        return kDefaultRequest;
    }
    double GetDate(std::string key, int32_t) override
    {
        calls.push_back("GetDate " + key);
        return kDefaultDate;
    }

    std::map<std::string, bool> flags;
    std::vector<std::string> calls;
};

// A command whose Execute runs a function.
class FnCommand : public Command {
public:
    explicit FnCommand(std::function<void(FnCommand&)> body, bool* destroyed = nullptr)
        : body_(std::move(body)), destroyed_(destroyed)
    {
    }
    ~FnCommand() override
    {
        if (destroyed_) *destroyed_ = true;
    }
    void Execute() override { body_(*this); }

private:
    std::function<void(FnCommand&)> body_;
    bool* destroyed_;
};

// Records its posts ("name" or "name:argument") and may run a body; a run whose body returns
// counts as one that reached its good end.
class RecordingCommand : public Command {
public:
    RecordingCommand(std::string name, std::vector<std::string>& log, std::function<void()> body = {})
        : name_(std::move(name)), log_(log), body_(std::move(body))
    {
    }
    void Execute() override
    {
        log_.push_back(Argument().empty() ? name_ : name_ + ":" + Argument());
        if (body_) body_();
        MarkSucceeded();
    }

private:
    std::string name_;
    std::vector<std::string>& log_;
    std::function<void()> body_;
};

// A command with parameters in the shape of the single-point write.
struct PointParams {
    uint16_t dbId = 0;
    std::string text;
};

class PointCommand : public CommandWithParameters<PointParams> {
public:
    explicit PointCommand(std::vector<std::string>& log, std::function<void(PointCommand&)> during = {})
        : log_(log), during_(std::move(during))
    {
    }
    void SetPoint(uint16_t dbId, const std::string& text)
    {
        Staged().dbId = dbId;
        Staged().text = text;
    }
    void Execute() override
    {
        const PointParams before = Params();
        if (during_) during_(*this);
        // What the running post sees must not move while it runs.
        log_.push_back("point " + std::to_string(before.dbId) + "=" + before.text + " arg=" + Argument() +
                       (Params().dbId == before.dbId && Params().text == before.text ? "" : " CHANGED"));
    }

private:
    std::vector<std::string>& log_;
    std::function<void(PointCommand&)> during_;
};

// Lets window messages through, like a device exchange waiting for its reply, until done()
// or the time limit (a safety net only; the tests end by done()).
inline void PumpUntil(const std::function<bool()>& done, int limitMs = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

class FakeStateView : public IStateView {
public:
    void EnableButton(StateButton button, bool on) override
    {
        buttons[button] = on;
        ++calls;
    }
    void EnablePage(MainPage page, bool on) override
    {
        pages[page] = on;
        ++calls;
    }
    void SetArchiveReadOnly(bool v) override { flag("archiveReadOnly", v); }
    void EnableStreamEditing(bool v) override { flag("streamEditing", v); }
    void SetModbusReadOnly(bool v) override { flag("modbusReadOnly", v); }
    void SetSequencerReadOnly(bool v) override { flag("sequencerReadOnly", v); }

    std::map<StateButton, bool> buttons;
    std::map<MainPage, bool> pages;
    std::map<std::string, bool> flags;
    int calls = 0;

private:
    void flag(const std::string& name, bool v)
    {
        flags[name] = v;
        ++calls;
    }
};

class FakeModeView : public IModeView {
public:
    void SetUpdateModeChecked(bool checked) override { updateChecked = checked; }
    void EnableReboot(bool on) override { rebootEnabled = on; }
    void SetModeDisp(const QString& text) override { modeDisp = text; }

    bool updateChecked = true;
    bool rebootEnabled = false;
    QString modeDisp = QStringLiteral("OFF LINE");
};
