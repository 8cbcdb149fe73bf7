#include "tevrin/rtdb/communications.h"

#include "platform/data_folder.h"
#include "platform/prompter.h"

#include <QDir>
#include <QLibrary>

#include <algorithm>
#include <cstring>

namespace {

Communications* g_instance = nullptr;

// The loaded engine library. It is never unloaded: it stays mapped until the process ends,
// also after the singleton is gone (the QLibrary object is deliberately never deleted).
QLibrary* g_library = nullptr;

// The one table of the engine's export names: resolved by these plain names, in this order.
void ResolveExports(QLibrary& library, PollardApi& api)
{
    api.Initialize = reinterpret_cast<pollard_api::InitializeFn>(library.resolve("Initialize"));
    api.Cleanup = reinterpret_cast<pollard_api::CleanupFn>(library.resolve("Cleanup"));
    api.GetCommErrText = reinterpret_cast<pollard_api::GetCommErrTextFn>(library.resolve("GetCommErrText"));
    api.CommConnect = reinterpret_cast<pollard_api::CommConnectFn>(library.resolve("CommConnect"));
    api.CommDisconnect = reinterpret_cast<pollard_api::CommDisconnectFn>(library.resolve("CommDisconnect"));
    api.SendReceive = reinterpret_cast<pollard_api::SendReceiveFn>(library.resolve("SendReceive"));
    api.ShowCommSetup = reinterpret_cast<pollard_api::ShowCommSetupFn>(library.resolve("ShowCommSetup"));
    api.SetUserCancel = reinterpret_cast<pollard_api::SetUserCancelFn>(library.resolve("SetUserCancel"));
    api.IsOnline = reinterpret_cast<pollard_api::IsOnlineFn>(library.resolve("IsOnline"));
}

}  // namespace

int PollardApi::ResolvedCount() const
{
    return (Initialize != nullptr) + (Cleanup != nullptr) + (GetCommErrText != nullptr) +
           (CommConnect != nullptr) + (CommDisconnect != nullptr) + (SendReceive != nullptr) +
           (ShowCommSetup != nullptr) + (SetUserCancel != nullptr) + (IsOnline != nullptr);
}

Communications* Communications::Instance() { return InstanceFromFolder(platform::ProgramFolder()); }

Communications* Communications::InstanceFromFolder(const QString& folder)
{
    if (!g_instance)
        g_instance = new Communications(QDir(folder).filePath(QString::fromLatin1(kLibraryFileName)));
    return g_instance;
}

Communications* Communications::InstanceWithApi(const PollardApi& api)
{
    if (!g_instance) g_instance = new Communications(api);
    return g_instance;
}

void Communications::DestroyInstance()
{
    delete g_instance;
    g_instance = nullptr;
}

Communications::Communications(const PollardApi& api) : api_(api) { Start(); }

Communications::Communications(const QString& libraryPath)
{
    auto* library = new QLibrary(libraryPath);
    if (!library->load()) {
        const QString systemText = library->errorString();
        delete library;
        platform::MessageDlg(systemText, platform::DlgType::Error, platform::mbOK);
        platform::MessageDlg(QStringLiteral("Unable to load Pollard.dll."), platform::DlgType::Error,
                             platform::mbOK);
        return;   // no entry points: every operation fails cleanly
    }
    g_library = library;   // kept loaded for the rest of the process
    // A name that does not resolve is left null and never called.
    ResolveExports(*library, api_);
    Start();
}

void Communications::Start()
{
    if (api_.Initialize) api_.Initialize();
}

Communications::~Communications()
{
    if (api_.Cleanup) api_.Cleanup();
}

void Communications::SendReceive(const uint8_t* message, uint8_t* reply, int replySize, bool notifyDone)
{
    if (!api_.SendReceive) throw static_cast<int>(pollard_api::crPortNotOpen);
    const int len = message[2];
    std::memset(request_, 0, sizeof request_);
    std::memset(reply_, 0, sizeof reply_);
    std::memcpy(request_, message + 2, static_cast<size_t>(len));
    int replyLength = kAreaSize;   // in: capacity; out: bytes written
    const int r = api_.SendReceive(request_, len, reply_, &replyLength, notifyDone);
    if (r != 0) throw r;
    // Bounded by what the engine may have written and by the caller's area.
    const int n = std::clamp(std::min(replyLength, replySize), 0, kAreaSize);
    if (reply && n > 0) std::memcpy(reply, reply_, static_cast<size_t>(n));
}

int Communications::CommConnect()
{
    if (!api_.CommConnect) return pollard_api::crPortNotOpen;
    return api_.CommConnect();
}

void Communications::CommDisconnect(bool keepLine)
{
    if (api_.CommDisconnect) api_.CommDisconnect(keepLine);
}

void Communications::ShowCommSetup()
{
    if (api_.ShowCommSetup) api_.ShowCommSetup();
}

void Communications::SetUserCancel(bool cancel)
{
    if (api_.SetUserCancel) api_.SetUserCancel(cancel);
}

bool Communications::IsOnline() { return api_.IsOnline ? api_.IsOnline() : false; }

std::string Communications::ErrorText(int code)
{
    std::string text = "unknown error";
    if (code < 20) {
        if (api_.GetCommErrText) {
            char buffer[pollard_api::kErrTextBufferSize] = {};
            api_.GetCommErrText(code, buffer, static_cast<int>(sizeof buffer));
            buffer[sizeof buffer - 1] = '\0';
            text = buffer;
        } else {
            // No engine bound: the engine's own texts, so a failure still reads sensibly.
            const char* known = pollard_api::CommResultText(code);
            text = known ? known : "";
        }
    } else if (code == 20) {
        text = "Entry index of response doesn't match request.";
    } else if (code == 21) {
        text = "Unexpected response type received.";
    }
    return text;
}
