#pragma once
// The process-wide archive database: the decoded archive entries of every log. Created empty
// by the main window's start-up, destroyed by its destruction.
#include "tevrin/pages/analysis/archive_parser.h"
#include "tevrin/pages/analysis/log_entry.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class LogDBManager {
public:
    static constexpr int kLogs = 6;

    // The singleton, created empty on first use.
    static LogDBManager* Instance();
    // Clears the archive database (a failure while clearing is swallowed), deletes the
    // singleton and forgets it.
    static void DestroyInstance();
    static bool Exists();

    // Deletes every entry, empties the per-log lists, zeroes the frame counts and starts the
    // frame reader afresh. The per-log counts keep their values until BuildLogLists.
    void Clear();

    // The archive worker's entry point: one byte of the archive memory, in memory order. The
    // frame reader decodes it; the byte is also kept as it came.
    void FeedByte(uint8_t byte);
    // The bytes fed since the last Clear.
    std::vector<uint8_t> RawBytes();

    // Files a decoded sample: appends it, counts it for its log and moves it to its place in
    // token order (after the entries with an equal token).
    void FileEntry(std::unique_ptr<LogEntry> entry);
    // Places the last entry of Entries in token order.
    void InsertByTime();
    // Per log: Count := FrameCount, and the list takes the log's entries in Entries order.
    void BuildLogLists();

    int EntryCount() const { return static_cast<int>(entries_.size()); }
    // nullptr for an index out of range.
    const LogEntry* Entry(int k) const;
    // Text position*8+index of entry k; "" when any of them is out of range.
    std::string CellText(int position, int index, int k) const;
    // 0 for a position out of range.
    int32_t FrameCount(int position) const;
    int32_t LogCount(int position) const;
    // Empty for a position out of range.
    const std::vector<LogEntry*>& LogList(int position) const;
    uint32_t FramesSeen() const { return parser_.FramesSeen(); }

    // The CSV column choice, per log position and value index.
    bool CsvChoice[kLogs][8] = {};

    // Time-token to date conversion used for the entries' Time (0 when unset).
    void SetTokenToDate(double (*fn)(uint32_t)) { tokenToDate_ = fn; }
    double (*TokenToDate() const)(uint32_t) { return tokenToDate_; }

private:
    LogDBManager() = default;
    ~LogDBManager() = default;
    LogDBManager(const LogDBManager&) = delete;
    LogDBManager& operator=(const LogDBManager&) = delete;

    struct LogList_ {
        int32_t Count = 0;
        std::vector<LogEntry*> Entries;   // not owning
    };

    mutable std::mutex lock_;
    std::vector<uint8_t> raw_;
    std::vector<std::unique_ptr<LogEntry>> entries_;
    int32_t frameCount_[kLogs] = {};
    LogList_ logs_[kLogs];
    LogFrameParser parser_{this};
    double (*tokenToDate_)(uint32_t) = nullptr;
};
