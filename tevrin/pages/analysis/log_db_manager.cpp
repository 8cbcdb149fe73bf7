#include "tevrin/pages/analysis/log_db_manager.h"

#include "platform/numtext.h"

#include <algorithm>
#include <charconv>
#include <limits>
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

void LogDBManager::AddFileValue(LogEntry& e, std::string_view text, std::vector<std::string>& texts)
{
    const int j = e.ValueCount;
    if (j >= kLogValuesPerLog) return;
    uint8_t* at = e.Raw + 4 * j;   // every value read from a file takes four bytes
    uint32_t kind = 1u | LogEntry::kLogKindText;   // a text index, four bytes wide
    // A whole number below 2^32, written without leading zeros: held as a u32.
    const size_t n = text.size();
    bool whole = n > 0 && n <= 10 && (n == 1 || text[0] != '0');
    uint64_t number = 0;
    for (size_t i = 0; whole && i < n; ++i) {
        if (text[i] < '0' || text[i] > '9') whole = false;
        else number = number * 10 + static_cast<uint64_t>(text[i] - '0');
    }
    if (whole && number <= 0xFFFFFFFFull) {
        const uint32_t v = static_cast<uint32_t>(number);
        std::memcpy(at, &v, 4);
        kind = 1;
    } else if (n > 0 && n < static_cast<size_t>(numtext::kFloatTextMax)) {
        // A float whose own text is this text.
        char buffer[numtext::kFloatTextMax + 1];
        std::memcpy(buffer, text.data(), n);
        buffer[n] = 0;
        float f;
        if (text == "NAN") f = std::numeric_limits<float>::quiet_NaN();
        else if (text == "INF") f = std::numeric_limits<float>::infinity();
        else if (text == "-INF") f = -std::numeric_limits<float>::infinity();
        else f = static_cast<float>(numtext::AtoF(buffer));
        char again[numtext::kFloatTextMax];
        const char* end = numtext::FloatToChars(static_cast<double>(f), again);
        if (static_cast<size_t>(end - again) == n && std::memcmp(again, text.data(), n) == 0) {
            std::memcpy(at, &f, 4);
            kind = 0;
        }
    }
    if (kind & LogEntry::kLogKindText) {
        const uint32_t index = static_cast<uint32_t>(texts.size());
        std::memcpy(at, &index, 4);
        texts.emplace_back(text);
    }
    e.Kinds |= kind << (4 * j);
    e.ValueCount = static_cast<uint8_t>(j + 1);
}

const LogEntry* LogDBManager::Entry(int k) const
{
    if (k < 0 || k >= EntryCount()) return nullptr;
    EnsureOrder();
    return &entries_[static_cast<size_t>(k)];
}

namespace {

// The bytes of value j and its kind; nullptr when the entry does not hold it.
const uint8_t* ValueBytes(const LogEntry& e, int j, uint32_t& kind)
{
    if (j < 0 || j >= e.ValueCount) return nullptr;
    int offset = 0;
    for (int i = 0; i < j; ++i) offset += kWidths[e.Kind(i) & 3u];
    kind = e.Kind(j);
    if (offset + kWidths[kind & 3u] > kLogEntryRawBytes) return nullptr;
    return e.Raw + offset;
}

uint32_t U32At(const uint8_t* bytes)
{
    uint32_t v;
    std::memcpy(&v, bytes, 4);
    return v;
}

char* PutUnsigned(char* out, uint64_t v)
{
    return std::to_chars(out, out + 24, v).ptr;
}

}  // namespace

const std::string* LogDBManager::HeldText(const LogEntry& e, int j) const
{
    uint32_t kind = 0;
    const uint8_t* bytes = ValueBytes(e, j, kind);
    if (!bytes || !(kind & LogEntry::kLogKindText)) return nullptr;
    const uint32_t at = U32At(bytes);
    return at < texts_.size() ? &texts_[at] : nullptr;
}

char* LogDBManager::WriteValue(const LogEntry& e, int j, char* out) const
{
    uint32_t kind = 0;
    const uint8_t* bytes = ValueBytes(e, j, kind);
    if (!bytes) return out;
    if (kind & LogEntry::kLogKindText) {
        const uint32_t at = U32At(bytes);
        if (at >= texts_.size()) return out;
        const std::string& text = texts_[at];
        std::memcpy(out, text.data(), text.size());
        return out + text.size();
    }
    const int type = kTypeOfWidthCode[kind & 3u];
    if (kind & LogEntry::kLogKindPlusOne) {
        const double v = LogValueToNumber(type, bytes);
        if (std::isfinite(v) && std::fabs(v) < 9.0e18) return std::to_chars(out, out + 24, static_cast<long long>(v) + 1).ptr;
    }
    switch (type) {
    case 0: {
        float f;
        std::memcpy(&f, bytes, 4);
        return numtext::FloatToChars(static_cast<double>(f), out);
    }
    case 1: return PutUnsigned(out, U32At(bytes));
    case 2: return PutUnsigned(out, static_cast<uint64_t>(bytes[0] | (bytes[1] << 8)));
    default: return PutUnsigned(out, bytes[0]);
    }
}

std::string LogDBManager::ValueText(const LogEntry& e, int j) const
{
    if (const std::string* text = HeldText(e, j)) return *text;
    char buffer[kValueTextMax];
    return std::string(buffer, WriteValue(e, j, buffer));
}

bool LogDBManager::ValueNumber(const LogEntry& e, int j, double& value) const
{
    uint32_t kind = 0;
    const uint8_t* bytes = ValueBytes(e, j, kind);
    if (!bytes) return false;
    if (!(kind & LogEntry::kLogKindText)) {
        value = LogValueToNumber(kTypeOfWidthCode[kind & 3u], bytes);
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
