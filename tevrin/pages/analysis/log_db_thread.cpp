#include "tevrin/pages/analysis/log_db_thread.h"

#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/rtdb/bounded_buffer.h"
#include "tevrin/rtdb/database.h"

#include <optional>

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
        for (taken_ = 0; taken_ < length && buffer_; ++taken_) {
            const std::optional<unsigned char> byte = buffer_->Get();
            if (!byte) break;   // the read stopped early and closed the buffer
            if (manager_) manager_->FeedByte(*byte);
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
