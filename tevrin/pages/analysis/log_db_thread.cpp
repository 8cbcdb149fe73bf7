#include "tevrin/pages/analysis/log_db_thread.h"

#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/rtdb/bounded_buffer.h"
#include "tevrin/rtdb/database.h"

#include <algorithm>

LogDBThread::LogDBThread(bool createSuspended, LogDBManager* manager, boundedBuffer* buffer, QObject* parent)
    : QThread(parent), manager_(manager), buffer_(buffer)
{
    if (!createSuspended) start();
}

void LogDBThread::run()
{
    DataBase* db = DataBase::Instance();
    try {
        if (manager_) manager_->Clear();
        // The length is fixed by the archive read before the thread starts and stays put
        // until this thread frees the image.
        const uint32_t length = db->ArchiveLength();
        // Bytes are taken as many at a time as have come, not one by one.
        constexpr int kChunk = 4096;
        unsigned char chunk[kChunk];
        for (taken_ = 0; taken_ < length && buffer_;) {
            const int want = static_cast<int>(std::min<uint32_t>(kChunk, length - taken_));
            const int got = buffer_->GetMany(chunk, want);
            if (got <= 0) break;   // the read stopped early and closed the buffer
            if (manager_) manager_->Feed(chunk, static_cast<size_t>(got));
            taken_ += static_cast<uint32_t>(got);
        }
    } catch (...) {
        // Nothing may leave a thread; what was decoded so far stays in the archive database.
    }
    db->FreeArchiveData();
    // The per-log lists are the last step: the viewer reads them once the thread has ended.
    try {
        if (manager_) manager_->BuildLogLists();
    } catch (...) {
    }
}
