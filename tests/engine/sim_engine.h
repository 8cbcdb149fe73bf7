#pragma once
// An engine for the tests: binds Communications to entry points that hand every request message
// to a message handler (the simulated analyzer, sim::AnalyzerCore) instead of a serial line,
// and makes the message layer over it. Silence comes back as "no response" (4), the unit's
// reject reply [2][0xFF] as a unit error (3) and a set cancel flag as "cancelled" (6), as the
// engine reports them; the link calls are recorded. One SimEngine at a time; it tears both
// singletons down again.
#include "tests/sim/message_handler.h"
#include "tevrin/rtdb/communications.h"

#include <QByteArray>

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace rtdbtest {

class SimEngine {
public:
    explicit SimEngine(sim::MessageHandler* handler);
    ~SimEngine();
    SimEngine(const SimEngine&) = delete;
    SimEngine& operator=(const SimEngine&) = delete;

    sim::MessageHandler* Handler() const { return handler_; }
    void SetHandler(sim::MessageHandler* handler) { handler_ = handler; }

    // The entry points, for tests that bind Communications themselves.
    static PollardApi Api();

    // The next exchanges end with these engine results (no handler call, reply untouched).
    std::deque<int> failNext;

    // What the engine was asked.
    int initializeCalls = 0;
    int cleanupCalls = 0;
    std::vector<QByteArray> requests;   // as handed to the engine: [len][type][payload]
    std::vector<bool> notifies;         // the notify flag of each exchange
    std::vector<int> replyCapacities;   // *replyLength on entry

    // The handler's reply is cut to this many bytes when set (an engine that returns less).
    std::optional<int> replyLimit;

    // The link.
    int connectResult = 0;        // what CommConnect answers
    bool connectThrows = false;   // CommConnect raises instead
    bool userCancel = false;      // the engine's cancel flag
    int exchanges = 0;            // SendReceive calls, also refused ones
    // "Cancel 0/1", "Connect", "Disconnect keep=0/1" in call order.
    std::vector<std::string> linkCalls;

private:
    sim::MessageHandler* handler_;
};

// A scripted analyzer: answers with the queued replies in order; with none queued it answers
// [2][type + 1]. Silence when a queued reply is empty.
class ScriptedAnalyzer : public sim::MessageHandler {
public:
    std::optional<QByteArray> Handle(const QByteArray& request) override;

    std::deque<QByteArray> replies;
    std::vector<QByteArray> requests;
};

// A reply message [length][type][payload] with length = 2 + payload bytes.
QByteArray ReplyMessage(int type, const QByteArray& payload = QByteArray());

}  // namespace rtdbtest
