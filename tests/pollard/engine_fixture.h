#pragma once
// An engine talking to the wire simulator, with the main form's notices recorded.
#include "platform/messages.h"
#include "platform/process_wide.h"
#include "pollard/engine.h"
#include "pollard/exports.h"
#include "pollard/pollard_api.h"
#include "pollard/transaction.h"
#include "tests/sim/core/analyzer_core.h"
#include "tests/sim/wire/wire_server.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QObject>
#include <gtest/gtest.h>

#include <utility>
#include <vector>
#include <functional>

namespace pollardtest {

// Stands in for the main form: keeps every notice of the engine in arrival order.
class NoticeRecorder : public QObject {
public:
    struct Notice {
        unsigned msg;
        uintptr_t wParam;
        intptr_t lParam;
    };
    std::vector<Notice> notices;

    bool event(QEvent* e) override
    {
        if (e->type() == static_cast<QEvent::Type>(platform::WM_COMM_STATUS) ||
            e->type() == static_cast<QEvent::Type>(platform::WM_COMM_PROGRESS)) {
            auto* m = static_cast<TMessage*>(e);
            notices.push_back({m->Msg, m->WParam, m->LParam});
            return true;
        }
        return QObject::event(e);
    }
    std::vector<int> Statuses() const
    {
        std::vector<int> out;
        for (const auto& n : notices)
            if (n.msg == platform::WM_COMM_STATUS) out.push_back(static_cast<int>(n.wParam));
        return out;
    }
    std::vector<std::pair<int, int>> Progress() const
    {
        std::vector<std::pair<int, int>> out;
        for (const auto& n : notices)
            if (n.msg == platform::WM_COMM_PROGRESS) out.emplace_back(static_cast<int>(n.wParam), static_cast<int>(n.lParam));
        return out;
    }
    int Count(int status) const
    {
        int c = 0;
        for (int s : Statuses()) c += s == status;
        return c;
    }
};

inline QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values) out.append(static_cast<char>(v));
    return out;
}

// A read of catalogue row `row`: [4][1][row low][row high].
inline QByteArray ReadRow(int row) { return Bytes({4, 1, row & 0xFF, (row >> 8) & 0xFF}); }

// Lets the application run for ms milliseconds (late notices, late bytes).
void Settle(int ms);
// Pumps events until the condition holds or timeoutMs have passed; true when it held.
bool SettleUntil(const std::function<bool()>& condition, int timeoutMs = 2000);

struct Exchange {
    int result = -1;
    QByteArray reply;
    int replyLength = -1;
};

// One SendReceive through the exported function, with a reply buffer of `capacity` bytes.
Exchange Send(const QByteArray& request, bool notify = false, int capacity = pollard_api::kReplyBufferSize);

// The engine is created in SetUp (settings: 2 tries, a time-out of 5 ticks,
// direct serial port on the simulator's pseudo-terminal) and destroyed in TearDown.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the simulator on a pseudo-terminal and points the engine's serial port at it.
    void ServePty();
    // Starts the simulator on TCP and points the engine's Ethernet endpoint at it.
    void ServeTcp();
    pollard::Engine& E() { return *pollard::Engine::Instance(); }
    pollard::CommSettings& S() { return E().Settings(); }
    void TraceOn();
    int TraceCount(const QString& line) const;
    // Frames the simulator took since it had `before`, once it has `expected` of them or a
    // second has passed (the simulator's thread may lag behind a time-out on a busy machine).
    int WireFramesSince(int before, int expected)
    {
        wire.WaitFor([&] { return wire.FramesReceived() - before >= expected; }, 1000);
        return wire.FramesReceived() - before;
    }
    // The reply time-out in force, in milliseconds.
    int BackoffMs() { return S().BackoffTicks() * 55; }

    sim::AnalyzerCore core;
    sim::WireServer wire{core};
    NoticeRecorder form;
};

}  // namespace pollardtest
