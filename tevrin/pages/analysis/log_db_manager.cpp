#include "tevrin/pages/analysis/log_db_manager.h"

#include "platform/numtext.h"

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cstring>

namespace {
LogDBManager* g_logDb = nullptr;
const std::vector<uint32_t> kNoEntries;
constexpr uint8_t kWidths[4] = {4, 4, 2, 1};
constexpr int kTypeOfWidthCode[4] = {0, 1, 2, 3};
}  // namespace

LogDBManager* LogDBManager::Instance()
{
    if (!g_logDb) g_logDb = new LogDBManager();
    return g_logDb;
}

void LogDBManager::DestroyInstance()
{
    if (!g_logDb) return;
    try {
        g_logDb->Clear();
    } catch (...) {
    }
    delete g_logDb;
    g_logDb = nullptr;
}

bool LogDBManager::Exists() { return g_logDb != nullptr; }

void LogDBManager::Clear()
{
    std::vector<uint8_t>().swap(raw_);
    for (auto& log : logs_) std::vector<uint32_t>().swap(log.Entries);
    std::vector<LogEntry>().swap(entries_);
    std::vector<std::string>().swap(texts_);
    unordered_ = false;
    std::fill(std::begin(frameCount_), std::end(frameCount_), 0);
    parser_.Reset();
}

void LogDBManager::Feed(const uint8_t* bytes, size_t count)
{
    if (keepRaw_) raw_.insert(raw_.end(), bytes, bytes + count);
    parser_.Put(bytes, count);
}

void LogDBManager::FileEntry(const LogEntry& entry)
{
    if (entry.LogPosition < 0 || entry.LogPosition >= kLogs) return;
    ++frameCount_[entry.LogPosition];
    if (!entries_.empty() && entry.Token < entries_.back().Token) unordered_ = true;
    entries_.push_back(entry);
}

void LogDBManager::InsertByTime()
{
    if (entries_.size() < 2) return;
    const auto last = entries_.end() - 1;
    const auto place = std::upper_bound(entries_.begin(), last, *last,
                                        [](const LogEntry& a, const LogEntry& b) { return a.Token < b.Token; });
    std::rotate(place, last, entries_.end());
}

void LogDBManager::EnsureOrder() const
{
    if (!unordered_) return;
    // Sorted by token, then by place: equal tokens keep their arrival order. Sorting small
    // keys and moving each entry once beats moving the entries around while sorting.
    std::vector<uint64_t> keys(entries_.size());
    for (size_t k = 0; k < entries_.size(); ++k) keys[k] = (static_cast<uint64_t>(entries_[k].Token) << 32) | k;
    std::sort(keys.begin(), keys.end());
    std::vector<LogEntry> sorted;
    sorted.reserve(entries_.size());
    for (uint64_t key : keys) sorted.push_back(entries_[static_cast<size_t>(key & 0xFFFFFFFFu)]);
    entries_.swap(sorted);
    unordered_ = false;
}

void LogDBManager::BuildLogLists()
{
    EnsureOrder();
    for (int i = 0; i < kLogs; ++i) {
        logs_[i].Count = frameCount_[i];
        logs_[i].Entries.clear();
        logs_[i].Entries.reserve(static_cast<size_t>(std::max(frameCount_[i], 0)));
    }
    for (size_t k = 0; k < entries_.size(); ++k) {
        const int p = entries_[k].LogPosition;
        if (p >= 0 && p < kLogs) logs_[p].Entries.push_back(static_cast<uint32_t>(k));
    }
}

void LogDBManager::Adopt(std::vector<LogEntry> entries, std::vector<std::string> texts)
{
    Clear();
    entries_ = std::move(entries);
    texts_ = std::move(texts);
    for (const LogEntry& e : entries_)
        if (e.LogPosition >= 0 && e.LogPosition < kLogs) ++frameCount_[e.LogPosition];
    BuildLogLists();
}

LogEntry LogDBManager::MakeTextEntry(double time, int position, const std::vector<std::string>& values,
                                     std::vector<std::string>& texts)
{
    LogEntry e;
    e.Time = time;
    e.LogPosition = static_cast<int8_t>(position);
    e.Source = LogEntry::FromTexts;
    const size_t n = std::min(values.size(), static_cast<size_t>(kLogValuesPerLog));
    e.ValueCount = static_cast<uint8_t>(n);
    for (size_t j = 0; j < n; ++j) {
        const uint32_t at = static_cast<uint32_t>(texts.size());
        std::memcpy(e.Raw + 4 * j, &at, 4);
        texts.push_back(values[j]);
    }
    return e;
}

const LogEntry* LogDBManager::Entry(int k) const
{
    if (k < 0 || k >= EntryCount()) return nullptr;
    EnsureOrder();
    return &entries_[static_cast<size_t>(k)];
}

std::string LogDBManager::ValueText(const LogEntry& e, int j) const
{
    if (j < 0 || j >= e.ValueCount) return {};
    if (e.Source == LogEntry::FromTexts) {
        uint32_t at;
        std::memcpy(&at, e.Raw + 4 * j, 4);
        return at < texts_.size() ? texts_[at] : std::string();
    }
    int offset = 0;
    for (int i = 0; i < j; ++i) offset += kWidths[e.Kind(i) & 3u];
    const uint32_t kind = e.Kind(j);
    const int type = kTypeOfWidthCode[kind & 3u];
    if (offset + kWidths[kind & 3u] > kLogEntryRawBytes) return {};
    const uint8_t* bytes = e.Raw + offset;
    if (kind & LogEntry::kLogKindPlusOne) {
        const double v = LogValueToNumber(type, bytes);
        if (std::isfinite(v) && std::fabs(v) < 9.0e18) return std::to_string(static_cast<long long>(v) + 1);
    }
    return LogValueToText(type, bytes);
}

bool LogDBManager::ValueNumber(const LogEntry& e, int j, double& value) const
{
    if (j < 0 || j >= e.ValueCount) return false;
    if (e.Source == LogEntry::FromFrame) {
        int offset = 0;
        for (int i = 0; i < j; ++i) offset += kWidths[e.Kind(i) & 3u];
        const uint32_t kind = e.Kind(j);
        if (offset + kWidths[kind & 3u] > kLogEntryRawBytes) return false;
        value = LogValueToNumber(kTypeOfWidthCode[kind & 3u], e.Raw + offset);
        if (std::isnan(value)) return false;
        if (kind & LogEntry::kLogKindPlusOne) value = std::trunc(value) + 1;
        return true;
    }
    const std::string text = ValueText(e, j);
    if (text.empty()) return false;
    value = numtext::AtoF(text);
    // Only a text that is a number through and through.
    const char* c = text.c_str();
    for (; *c; ++c)
        if (!(std::isdigit(static_cast<unsigned char>(*c)) || *c == '.' || *c == '-' || *c == '+' || *c == 'E' || *c == 'e'))
            return false;
    return true;
}

std::string LogDBManager::ValueText(int k, int j) const
{
    const LogEntry* e = Entry(k);
    return e ? ValueText(*e, j) : std::string();
}

std::string LogDBManager::CellText(int position, int index, int k) const
{
    const LogEntry* e = Entry(k);
    if (!e || position < 0 || position >= kLogs || index < 0 || index >= kLogTextStride ||
        position * kLogTextStride + index >= kLogEntryTexts || e->LogPosition != position)
        return {};
    return ValueText(*e, index);
}

int32_t LogDBManager::FrameCount(int position) const
{
    return position >= 0 && position < kLogs ? frameCount_[position] : 0;
}

int32_t LogDBManager::LogCount(int position) const
{
    return position >= 0 && position < kLogs ? logs_[position].Count : 0;
}

const std::vector<uint32_t>& LogDBManager::LogList(int position) const
{
    return position >= 0 && position < kLogs ? logs_[position].Entries : kNoEntries;
}

size_t LogDBManager::MemoryBytes() const
{
    size_t bytes = entries_.capacity() * sizeof(LogEntry) + raw_.capacity();
    for (const auto& log : logs_) bytes += log.Entries.capacity() * sizeof(uint32_t);
    for (const auto& t : texts_) bytes += sizeof(std::string) + t.capacity();
    return bytes;
}
