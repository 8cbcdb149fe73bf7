#pragma once
// The communication engine's exported call interface, shared by the engine (which defines
// the functions) and the program (which loads the library by file name and resolves them by
// their plain names). Everything that crosses the boundary is plain C: no C++ object, no
// standard string, no exception.
//
// The engine defines, with C linkage and default visibility:
//   void Initialize();
//   void Cleanup();
//   int  SendReceive(const unsigned char* request, int requestLength,
//                    unsigned char* reply, int* replyLength, bool notify);
//   void GetCommErrText(int code, char* buffer, int bufferSize);
//   int  CommConnect();
//   void CommDisconnect(bool keepLine);
//   void ShowCommSetup();
//   void SetUserCancel(bool cancel);
//   bool IsOnline();
// An engine source can check its definitions against the types below, e.g.
//   static_assert(std::is_same_v<decltype(&SendReceive), pollard_api::SendReceiveFn>);

namespace pollard_api {

// Result of an exchange (CommResult). crWaiting is the state while an exchange runs and is
// never returned by SendReceive.
enum CommResult : int {
    crSuccess = 0,
    crWaiting = 1,
    crInvalidResponse = 2,
    crUnitError = 3,
    crNoResponse = 4,
    crPortNotOpen = 5,
    crCancelled = 6,
};

// Texts of the result codes, as GetCommErrText gives them; nullptr for any other code
// (GetCommErrText then gives the empty text).
inline const char* CommResultText(int code)
{
    switch (code) {
    case crSuccess: return "Success.";
    case crWaiting: return "Currently waiting for response to communication.";
    case crInvalidResponse: return "Invalid response was received.";
    case crUnitError: return "The unit has reported an error with the request that was sent.";
    case crNoResponse: return "No Response from unit.";
    case crPortNotOpen: return "Com port not open.";
    case crCancelled: return "Cancelled by user.";
    default: return nullptr;
    }
}

// The reply buffer that the program hands to SendReceive holds this many bytes.
// *replyLength is in/out: on entry the buffer's capacity, on success the bytes written
// (never more than the capacity). On failure neither the buffer nor *replyLength is written.
// reply and replyLength may be null: the exchange still runs and returns its result.
constexpr int kReplyBufferSize = 1024;

// GetCommErrText writes the code's text, cut to bufferSize - 1 characters and always
// terminated, into buffer (the empty text for an unknown code).
constexpr int kErrTextBufferSize = 256;

extern "C" {
typedef void (*InitializeFn)();
typedef void (*CleanupFn)();
typedef int (*SendReceiveFn)(const unsigned char* request, int requestLength,
                             unsigned char* reply, int* replyLength, bool notify);
typedef void (*GetCommErrTextFn)(int code, char* buffer, int bufferSize);
typedef int (*CommConnectFn)();
typedef void (*CommDisconnectFn)(bool keepLine);
typedef void (*ShowCommSetupFn)();
typedef void (*SetUserCancelFn)(bool cancel);
typedef bool (*IsOnlineFn)();
}

}  // namespace pollard_api
