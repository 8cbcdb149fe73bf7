#include "tests/engine/sim_engine.h"

#include "tevrin/rtdb/comm_db_point_facade.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace rtdbtest {

namespace {

SimEngine* g_engine = nullptr;

void EngInitialize()
{
    if (g_engine) ++g_engine->initializeCalls;
}

void EngCleanup()
{
    if (g_engine) ++g_engine->cleanupCalls;
}

void EngGetCommErrText(int code, char* buffer, int bufferSize)
{
    const char* text = pollard_api::CommResultText(code);
    if (!text) text = "";
    if (bufferSize <= 0) return;
    std::strncpy(buffer, text, static_cast<size_t>(bufferSize - 1));
    buffer[bufferSize - 1] = '\0';
}

int EngCommConnect()
{
    if (!g_engine) return pollard_api::crPortNotOpen;
    g_engine->linkCalls.push_back("Connect");
    if (g_engine->connectThrows) throw std::runtime_error("port trouble");
    return g_engine->connectResult;
}

void EngCommDisconnect(bool keepLine)
{
    if (g_engine) g_engine->linkCalls.push_back(std::string("Disconnect keep=") + (keepLine ? "1" : "0"));
}

void EngShowCommSetup() {}

void EngSetUserCancel(bool cancel)
{
    if (!g_engine) return;
    g_engine->linkCalls.push_back(std::string("Cancel ") + (cancel ? "1" : "0"));
    g_engine->userCancel = cancel;
}

bool EngIsOnline() { return false; }

int EngSendReceive(const unsigned char* request, int requestLength, unsigned char* reply, int* replyLength,
                   bool notify)
{
    SimEngine* e = g_engine;
    if (!e) return pollard_api::crPortNotOpen;
    ++e->exchanges;
    if (e->userCancel) return pollard_api::crCancelled;
    const QByteArray message(reinterpret_cast<const char*>(request), requestLength);
    e->requests.push_back(message);
    e->notifies.push_back(notify);
    e->replyCapacities.push_back(replyLength ? *replyLength : -1);
    if (!e->failNext.empty()) {
        const int r = e->failNext.front();
        e->failNext.pop_front();
        return r;
    }
    std::optional<QByteArray> answer = e->Handler()->Handle(message);
    if (!answer) return pollard_api::crNoResponse;
    // The unit's "bad request" answer: the engine reports it as a unit error.
    if (answer->size() >= 2 && static_cast<uint8_t>(answer->at(1)) == 0xFF) return pollard_api::crUnitError;
    QByteArray bytes = *answer;
    if (e->replyLimit) bytes.truncate(*e->replyLimit);
    if (reply && replyLength) {
        const int n = std::min<int>(static_cast<int>(bytes.size()), *replyLength);
        std::memcpy(reply, bytes.constData(), static_cast<size_t>(n));
        *replyLength = n;
    }
    return pollard_api::crSuccess;
}
}  // namespace

SimEngine::SimEngine(sim::MessageHandler* handler) : handler_(handler)
{
    g_engine = this;
    CommDBPointFacade::DestroyInstance();
    Communications::DestroyInstance();
    Communications::InstanceWithApi(Api());
}

SimEngine::~SimEngine()
{
    CommDBPointFacade::DestroyInstance();
    Communications::DestroyInstance();
    g_engine = nullptr;
}

PollardApi SimEngine::Api()
{
    PollardApi api;
    api.Initialize = EngInitialize;
    api.Cleanup = EngCleanup;
    api.GetCommErrText = EngGetCommErrText;
    api.CommConnect = EngCommConnect;
    api.CommDisconnect = EngCommDisconnect;
    api.SendReceive = EngSendReceive;
    api.ShowCommSetup = EngShowCommSetup;
    api.SetUserCancel = EngSetUserCancel;
    api.IsOnline = EngIsOnline;
    return api;
}

std::optional<QByteArray> ScriptedAnalyzer::Handle(const QByteArray& request)
{
    requests.push_back(request);
    if (!replies.empty()) {
        QByteArray r = replies.front();
        replies.pop_front();
        if (r.isEmpty()) return std::nullopt;
        return r;
    }
    const int type = request.size() > 1 ? static_cast<uint8_t>(request[1]) : 0;
    return ReplyMessage(type + 1);
}

QByteArray ReplyMessage(int type, const QByteArray& payload)
{
    QByteArray m;
    m.append(static_cast<char>(2 + payload.size()));
    m.append(static_cast<char>(type));
    m.append(payload);
    return m;
}

}  // namespace rtdbtest
