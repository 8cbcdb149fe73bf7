#pragma once
// The program's binding to the communication engine: loads "libpollard.so" from the
// program's folder, resolves its nine exports by name, calls its Initialize, and wraps the
// exports for the rest of the program. Every request message passes through SendReceive.
// The library is never unloaded.
#include "pollard/pollard_api.h"

#include <QString>

#include <cstdint>
#include <string>

// The engine's entry points. A null entry is never called. Tests fill one of these with an
// engine of their own (the analyzer simulator) in place of the library.
struct PollardApi {
    pollard_api::InitializeFn Initialize = nullptr;
    pollard_api::CleanupFn Cleanup = nullptr;
    pollard_api::GetCommErrTextFn GetCommErrText = nullptr;
    pollard_api::CommConnectFn CommConnect = nullptr;
    pollard_api::CommDisconnectFn CommDisconnect = nullptr;
    pollard_api::SendReceiveFn SendReceive = nullptr;
    pollard_api::ShowCommSetupFn ShowCommSetup = nullptr;
    pollard_api::SetUserCancelFn SetUserCancel = nullptr;
    pollard_api::IsOnlineFn IsOnline = nullptr;

    int ResolvedCount() const;   // how many of the nine are present
};

class Communications {
public:
    static constexpr int kAreaSize = 1024;
    static constexpr const char* kLibraryFileName = "libpollard.so";

    // The singleton; the first call loads the engine from the program's folder.
    static Communications* Instance();
    // As Instance, but the first call loads the engine from the given folder.
    static Communications* InstanceFromFolder(const QString& folder);
    // As Instance, but the first call binds the given entry points instead of loading.
    static Communications* InstanceWithApi(const PollardApi& api);
    // Destroys the singleton (the engine's Cleanup runs); the library stays loaded.
    static void DestroyInstance();

    virtual ~Communications();

    // Sends the request message whose length byte stands at message[2] (it counts itself,
    // the type byte and the payload) and copies the reply message ([length][type][payload])
    // into reply, at most replySize bytes. A non-zero engine result is thrown as int and
    // leaves reply untouched. Without a bound engine it throws 5 ("Com port not open.").
    void SendReceive(const uint8_t* message, uint8_t* reply, int replySize, bool notifyDone);

    // 0 connected, non-zero failure; 5 when no engine is bound.
    int CommConnect();
    void CommDisconnect(bool keepLine);
    void ShowCommSetup();
    void SetUserCancel(bool cancel);
    bool IsOnline();

    // Words for a failure code: the engine's text below 20, the program's own for 20 and 21,
    // "unknown error" above.
    std::string ErrorText(int code);

    // What was bound (for diagnostics and tests).
    const PollardApi& Api() const { return api_; }

private:
    explicit Communications(const PollardApi& api);
    explicit Communications(const QString& libraryPath);
    void Start();

    PollardApi api_;
    uint8_t request_[kAreaSize] = {};
    uint8_t reply_[kAreaSize] = {};
};
