#include "tevrin/pages/analysis/log_db_manager.h"

namespace {
LogDBManager* g_logDb = nullptr;
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
}

void LogDBManager::FeedByte(uint8_t byte)
{
    std::lock_guard<std::mutex> guard(lock_);
    raw_.push_back(byte);
}

std::vector<uint8_t> LogDBManager::RawBytes()
{
    std::lock_guard<std::mutex> guard(lock_);
    return raw_;
}
