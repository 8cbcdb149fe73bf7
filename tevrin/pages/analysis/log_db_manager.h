#pragma once
// The process-wide archive database: the decoded archive entries of every log. Created empty
// by the main window's start-up, destroyed by its destruction.
#include <mutex>

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

private:
    LogDBManager() = default;
    ~LogDBManager() = default;
    LogDBManager(const LogDBManager&) = delete;
    LogDBManager& operator=(const LogDBManager&) = delete;

    std::mutex lock_;
};
