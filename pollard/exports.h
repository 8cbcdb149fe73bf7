#pragma once
// The library's exported functions: plain C names, each forwarding to the one engine. The
// program binds them by name (pollard_api.h holds their types); the library's own tests and
// benchmarks call them directly through these declarations.
#define POLLARD_EXPORT extern "C" __attribute__((visibility("default")))

POLLARD_EXPORT void Initialize();
POLLARD_EXPORT void Cleanup();
POLLARD_EXPORT void ShowCommSetup();
POLLARD_EXPORT int SendReceive(const unsigned char* request, int requestLength, unsigned char* reply, int* replyLength,
                               bool notify);
POLLARD_EXPORT void GetCommErrText(int code, char* buffer, int bufferSize);
POLLARD_EXPORT void SetUserCancel(bool cancel);
POLLARD_EXPORT bool IsOnline();
POLLARD_EXPORT int CommConnect();
POLLARD_EXPORT void CommDisconnect(bool keepLine);
POLLARD_EXPORT void WriteToCommLog(const char* text);
POLLARD_EXPORT void SetGUILogonState(unsigned char state);
POLLARD_EXPORT bool IsValidFlt(const float* value);
POLLARD_EXPORT void FormatFlt(float value, char* buffer, int bufferSize);
POLLARD_EXPORT bool IsUpdateMode();
POLLARD_EXPORT bool IsFactoryMode();
