#pragma once
// The device commands against the simulated analyzer: an engine whose exchanges go to a
// message handler (the simulator core, sim::AnalyzerCore) and which records what the commands
// do to the link, an owner that plays the main window's part of the keys, the real database,
// the application state, the wait window, a fake prompter and a fake clock.
#include "tests/common/fake_clock.h"
#include "tests/engine/sim_engine.h"
#include "tests/common/fake_prompter.h"
#include "tests/shell/shell_fakes.h"
#include "tests/sim/core/analyzer_core.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/wait_dlg.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cmdtest {

// The engine seam: exchanges go to the handler, the link calls are recorded.
using CmdEngine = rtdbtest::SimEngine;

// Lets every request through to the unit after telling a function about it (to look at the
// window while the command works).
class SpyHandler : public sim::MessageHandler {
public:
    SpyHandler(sim::MessageHandler& inner, std::function<void(const QByteArray&)> spy)
        : inner_(inner), spy_(std::move(spy))
    {
    }
    std::optional<QByteArray> Handle(const QByteArray& request) override
    {
        if (spy_) spy_(request);
        return inner_.Handle(request);
    }

private:
    sim::MessageHandler& inner_;
    std::function<void(const QByteArray&)> spy_;
};

// The main window's side of the keys, as far as the commands can see it: the logon buttons
// (not logged on while the Logon button is usable), the pages, the progress maximum, the
// special panel, and the logged-on state of StateMgr. Every call is recorded (FakeOwner).
class CmdOwner : public FakeOwner {
public:
    void SetFlag(std::string key, bool value) override;
    void SetNumber(std::string key, int32_t value) override;
    void SetText(std::string key, std::string text) override;
    bool GetFlag(std::string key) override;
    int32_t Request(std::string key, void* argument) override;

    // The special panel's texts in order.
    std::vector<std::string> PanelTexts() const;
    // The recorded calls that start with the prefix (e.g. "SetFlag ").
    std::vector<std::string> CallsStarting(const std::string& prefix) const;

    bool logonEnabled = true;
    bool logoffEnabled = false;
    bool pagesEnabled = true;
    int32_t progressMax = -1;
    std::string panel;
    int exitRequests = 0;
    // The controls' answer to "SendToDatabase" (0: every control put its value).
    std::function<int32_t()> sendToDatabase = [] { return 0; };
};

class CommandTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs a Logon that must succeed, then forgets what it did (requests, prompts, keys).
    void LogOn();
    // Logged on, in Update mode and idle: where the unit, log and service commands run.
    void LogOnForUpdate();
    // The request types the unit was sent, in order.
    std::vector<int> RequestTypes() const;

    FakePrompter prompter;
    FakeClock clock;
    sim::AnalyzerCore unit;
    CmdEngine engine{&unit};
    CmdOwner owner;
    FakeStateView view;
    std::unique_ptr<TWait> wait;
    DataBase* db = nullptr;
};

// The rows of a block-read request message [len][50][count][rows...].
std::vector<int> BlockRows(const QByteArray& request);
// The u16 address of a point request message [len][type][address]...
int RequestAddress(const QByteArray& request);

}  // namespace cmdtest
