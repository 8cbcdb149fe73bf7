#include "tevrin/pages/analysis/log_db_manager.h"

#include <algorithm>

namespace {
LogDBManager* g_logDb = nullptr;
const std::vector<LogEntry*> kNoEntries;
}

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
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<uint8_t>().swap(raw_);
    for (auto& log : logs_) log.Entries.clear();
    entries_.clear();
    std::fill(std::begin(frameCount_), std::end(frameCount_), 0);
    parser_.Reset();
}

void LogDBManager::FeedByte(uint8_t byte)
{
    {
        std::lock_guard<std::mutex> guard(lock_);
        raw_.push_back(byte);
    }
    // Only the archive worker feeds bytes; the reader files through FileEntry.
    parser_.PutByte(byte);
}

std::vector<uint8_t> LogDBManager::RawBytes()
{
    std::lock_guard<std::mutex> guard(lock_);
    return raw_;
}

void LogDBManager::FileEntry(std::unique_ptr<LogEntry> entry)
{
    if (!entry || entry->LogPosition < 0 || entry->LogPosition >= kLogs) return;
    std::lock_guard<std::mutex> guard(lock_);
    ++frameCount_[entry->LogPosition];
    entries_.push_back(std::move(entry));
    InsertByTime();
}

void LogDBManager::InsertByTime()
{
    if (entries_.size() < 2) return;
    const auto last = entries_.end() - 1;
    const auto place = std::upper_bound(entries_.begin(), last, *last,
        [](const std::unique_ptr<LogEntry>& a, const std::unique_ptr<LogEntry>& b) { return a->Token < b->Token; });
    std::rotate(place, last, entries_.end());
}

void LogDBManager::BuildLogLists()
{
    std::lock_guard<std::mutex> guard(lock_);
    for (int i = 0; i < kLogs; ++i) {
        logs_[i].Count = frameCount_[i];
        logs_[i].Entries.clear();
    }
    for (const auto& e : entries_)
        if (e->LogPosition >= 0 && e->LogPosition < kLogs) logs_[e->LogPosition].Entries.push_back(e.get());
}

const LogEntry* LogDBManager::Entry(int k) const
{
    if (k < 0 || k >= EntryCount()) return nullptr;
    return entries_[static_cast<size_t>(k)].get();
}

std::string LogDBManager::CellText(int position, int index, int k) const
{
    const LogEntry* e = Entry(k);
    const int text = position * kLogTextStride + index;
    if (!e || position < 0 || position >= kLogs || index < 0 || index >= kLogTextStride || text >= kLogEntryTexts) return {};
    return e->Values[static_cast<size_t>(text)];
}

int32_t LogDBManager::FrameCount(int position) const
{
    return position >= 0 && position < kLogs ? frameCount_[position] : 0;
}

int32_t LogDBManager::LogCount(int position) const
{
    return position >= 0 && position < kLogs ? logs_[position].Count : 0;
}

const std::vector<LogEntry*>& LogDBManager::LogList(int position) const
{
    return position >= 0 && position < kLogs ? logs_[position].Entries : kNoEntries;
}
