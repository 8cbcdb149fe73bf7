#include "pollard/exports.h"

#include "pollard/engine.h"
#include "pollard/float_text.h"
#include "pollard/pollard_api.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <type_traits>

namespace {
void CopyText(const std::string& text, char* buffer, int bufferSize)
{
    if (!buffer || bufferSize <= 0) return;
    const size_t n = std::min(text.size(), static_cast<size_t>(bufferSize - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}
}  // namespace

POLLARD_EXPORT void Initialize() { pollard::Engine::Create(); }

POLLARD_EXPORT void Cleanup() { pollard::Engine::Destroy(); }

POLLARD_EXPORT void ShowCommSetup()
{
    if (auto* e = pollard::Engine::Instance()) e->ShowSetup();
}

POLLARD_EXPORT int SendReceive(const unsigned char* request, int requestLength, unsigned char* reply, int* replyLength,
                               bool notify)
{
    auto* e = pollard::Engine::Instance();
    if (!e) return pollard_api::crPortNotOpen;
    pollard::Engine::InUse use(e);
    return e->SendReceive(request, requestLength, reply, replyLength, notify);
}

POLLARD_EXPORT void GetCommErrText(int code, char* buffer, int bufferSize)
{
    const char* text = pollard_api::CommResultText(code);
    CopyText(text ? text : "", buffer, bufferSize);
}

POLLARD_EXPORT void SetUserCancel(bool cancel)
{
    auto* e = pollard::Engine::Instance();
    if (!e) return;
    pollard::Engine::InUse use(e);
    e->SetUserCancel(cancel);
}

POLLARD_EXPORT bool IsOnline()
{
    auto* e = pollard::Engine::Instance();
    return e && e->IsOnline();
}

POLLARD_EXPORT int CommConnect()
{
    auto* e = pollard::Engine::Instance();
    if (!e) return 1;
    pollard::Engine::InUse use(e);
    return e->CommConnect();
}

POLLARD_EXPORT void CommDisconnect(bool keepLine)
{
    auto* e = pollard::Engine::Instance();
    if (!e) return;
    pollard::Engine::InUse use(e);
    e->CommDisconnect(keepLine);
}

POLLARD_EXPORT void WriteToCommLog(const char* text)
{
    if (auto* e = pollard::Engine::Instance()) e->WriteToCommLog(QString::fromUtf8(text ? text : ""));
}

POLLARD_EXPORT void SetGUILogonState(unsigned char state)
{
    if (auto* e = pollard::Engine::Instance()) e->SetLinkState(state);
}

POLLARD_EXPORT bool IsValidFlt(const float* value) { return value && pollard::IsValidFlt(*value); }

POLLARD_EXPORT void FormatFlt(float value, char* buffer, int bufferSize)
{
    CopyText(pollard::FormatFlt(value), buffer, bufferSize);
}

POLLARD_EXPORT bool IsUpdateMode() { return false; }

POLLARD_EXPORT bool IsFactoryMode() { return false; }

static_assert(std::is_same_v<decltype(&Initialize), pollard_api::InitializeFn>);
static_assert(std::is_same_v<decltype(&Cleanup), pollard_api::CleanupFn>);
static_assert(std::is_same_v<decltype(&SendReceive), pollard_api::SendReceiveFn>);
static_assert(std::is_same_v<decltype(&GetCommErrText), pollard_api::GetCommErrTextFn>);
static_assert(std::is_same_v<decltype(&CommConnect), pollard_api::CommConnectFn>);
static_assert(std::is_same_v<decltype(&CommDisconnect), pollard_api::CommDisconnectFn>);
static_assert(std::is_same_v<decltype(&ShowCommSetup), pollard_api::ShowCommSetupFn>);
static_assert(std::is_same_v<decltype(&SetUserCancel), pollard_api::SetUserCancelFn>);
static_assert(std::is_same_v<decltype(&IsOnline), pollard_api::IsOnlineFn>);
