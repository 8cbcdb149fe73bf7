#pragma once
// The process-wide archive database: the decoded archive entries of every log. Created empty
// by the main window's start-up, destroyed by its destruction.
//
// Entries are held compactly (48 bytes each, LogEntry) and their value texts are made when
// asked for. The archive worker fills the database alone; nothing else touches it until the
// worker has ended, so it takes no lock.
#include "tevrin/pages/analysis/archive_parser.h"
#include "tevrin/pages/analysis/log_entry.h"

#include <cstdint>
#include <string>
#include <string_view>
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

    // The archive worker's entry: bytes of the archive memory, in memory order, for the
    // frame reader.
    void FeedByte(uint8_t byte) { Feed(&byte, 1); }
    void Feed(const uint8_t* bytes, size_t count);
    // Whether the bytes fed are also kept as they came (for checking a transfer), and those
    // bytes since the last Clear.
    void KeepRawBytes(bool keep) { keepRaw_ = keep; }
    const std::vector<uint8_t>& RawBytes() const { return raw_; }

    // Files a decoded sample: appends it and counts it for its log; it takes its place in
    // token order (after the entries with an equal token) before anyone reads the entries.
    void FileEntry(const LogEntry& entry);
    // Places the last entry of Entries in token order.
    void InsertByTime();
    // Per log: Count := FrameCount, and the list takes the log's entries in Entries order.
    void BuildLogLists();

    // Replaces the whole archive (an archive file that was read whole): the entries in the
    // given order, texts holding the values held as texts. Counts and per-log lists are made
    // from them.
    void Adopt(std::vector<LogEntry> entries, std::vector<std::string> texts);
    // Appends value e.ValueCount of an entry read from a file, from its text: as a number
    // when the number's text is that text exactly, else as a text that goes to the end of
    // texts. At most seven values are kept.
    static void AddFileValue(LogEntry& e, std::string_view text, std::vector<std::string>& texts);

    int EntryCount() const { return static_cast<int>(entries_.size()); }
    // nullptr for an index out of range.
    const LogEntry* Entry(int k) const;
    // Value j of entry k's own log; "" when out of range or not held.
    std::string ValueText(int k, int j) const;
    std::string ValueText(const LogEntry& e, int j) const;
    // The same text into out (room for kValueTextMax bytes unless the value is a text
    // held as one; then as much as it is). Returns the end; out itself for no value.
    static constexpr int kValueTextMax = 32;
    char* WriteValue(const LogEntry& e, int j, char* out) const;
    // A held text value of entry e, or nullptr when value j is a number or not held.
    const std::string* HeldText(const LogEntry& e, int j) const;
    // The same value as a number, as its text shows it; false when it is not held or its
    // text is not a number.
    bool ValueNumber(const LogEntry& e, int j, double& value) const;
    // Text position*8+index of entry k; "" when any of them is out of range or the entry
    // belongs to another position.
    std::string CellText(int position, int index, int k) const;
    // 0 for a position out of range.
    int32_t FrameCount(int position) const;
    int32_t LogCount(int position) const;
    // The indexes in Entries of a log's entries, in Entries order. Empty for a position out
    // of range.
    const std::vector<uint32_t>& LogList(int position) const;
    uint32_t FramesSeen() const { return parser_.FramesSeen(); }
    // Bytes held by the decoded archive.
    size_t MemoryBytes() const;

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

    // Entries that arrived out of token order are put in order (stably) once, when they are
    // next read, not shifted at every frame.
    void EnsureOrder() const;

    struct LogList_ {
        int32_t Count = 0;
        std::vector<uint32_t> Entries;   // indexes into entries_
    };

    bool keepRaw_ = false;
    std::vector<uint8_t> raw_;
    mutable std::vector<LogEntry> entries_;
    mutable bool unordered_ = false;
    std::vector<std::string> texts_;
    int32_t frameCount_[kLogs] = {};
    LogList_ logs_[kLogs];
    LogFrameParser parser_{this};
    double (*tokenToDate_)(uint32_t) = nullptr;
};
