#pragma once
// The process-wide archive database: the decoded archive entries of every log. Created empty
// by the main window's start-up, destroyed by its destruction.
#include <cstdint>
#include <mutex>
#include <vector>

class LogDBManager {
public:
    // The singleton, created empty on first use.
    static LogDBManager* Instance();
    // Clears the archive database (a failure while clearing is swallowed), deletes the
    // singleton and forgets it.
    static void DestroyInstance();
    static bool Exists();

    // Empties the archive database.
    void Clear();

    // The archive worker's entry point: one byte of the archive memory, in memory order.
    // Until a frame parser decodes them the bytes are kept as they come.
    void FeedByte(uint8_t byte);
    // The bytes fed since the last Clear.
    std::vector<uint8_t> RawBytes();

private:
    LogDBManager() = default;
    ~LogDBManager() = default;
    LogDBManager(const LogDBManager&) = delete;
    LogDBManager& operator=(const LogDBManager&) = delete;

    std::mutex lock_;
    std::vector<uint8_t> raw_;
};
