// The archive memory's frame reader and the archive database it files samples in, fed the way a
// log read feeds them: the archive image's bytes go into the bounded buffer in blocks as the
// unit's replies bring them, and the archive worker thread takes them out in chunks of up to
// 4,096 bytes. The logs name points of every value type.
//
// The first byte of the input steers the read: its low six bits give the block size (1 to 253
// bytes), bit 6 makes the read stop before its last block (the buffer is closed early), bit 7
// puts the whole image in before the worker starts (so the worker's chunks are full ones). The
// rest is the archive image. Whatever the chunks, the archive must come out as when the same
// bytes are fed one at a time.
#include "tests/fuzz/fuzz_support.h"
#include "tests/pages/kit/log_records.h"

#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/analysis/log_db_thread.h"
#include "tevrin/rtdb/bounded_buffer.h"
#include "tevrin/rtdb/database.h"

#include <memory>
#include <string>

using logtest::Log;

namespace {

// What a reader made of the bytes, enough to tell two readings apart.
std::string Summary(const LogDBManager& m)
{
    std::string out = std::to_string(m.EntryCount()) + '/' + std::to_string(m.FramesSeen());
    for (int position = 0; position < LogDBManager::kLogs; ++position)
        out += ' ' + std::to_string(m.FrameCount(position)) + ':' + std::to_string(m.LogList(position).size());
    for (int k = 0; k < m.EntryCount(); ++k) {
        const LogEntry* e = m.Entry(k);
        out += '|' + std::to_string(e->LogPosition) + ',' + std::to_string(e->Token);
        for (int j = 0; j < 8; ++j) out += ',' + m.ValueText(k, j);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    DataBase* db = DataBase::Instance();
    // Points by type: 395 float, 500 u32, 10 u16, 410 and 392/393 u8, 60000 unknown.
    db->LogRecord(0) = Log(1, {410});
    db->LogRecord(1) = Log(2, {395, 500, 10, 392});
    db->LogRecord(2) = Log(3, {60000, 393});
    db->LogRecord(3) = Log(4, {500, 500, 500, 500, 500, 500, 500});
    db->LogRecord(4) = Log(5, {});
    db->LogRecord(5) = Log(222, {10});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 64 * 1024) return 0;
    const int block = 1 + (data[0] & 0x3F) * 4;
    const bool stopsEarly = (data[0] & 0x40) != 0;
    const bool allBeforeStart = (data[0] & 0x80) != 0;
    const uint8_t* image = data + 1;
    const auto length = static_cast<uint32_t>(size - 1);

    // The log read: the image over the archive database's buffer, the worker, the blocks.
    DataBase* db = DataBase::Instance();
    LogDBManager* m = LogDBManager::Instance();
    db->FreeArchiveData();
    db->ArchiveData().assign(length, 0);
    std::unique_ptr<boundedBuffer> buffer;
    if (length > 0) buffer = std::make_unique<boundedBuffer>(db->ArchiveData().data(), static_cast<int>(length));
    LogDBThread worker(true, m, buffer.get());
    if (!allBeforeStart) worker.Resume();
    uint32_t put = 0;
    const uint32_t last = length > 0 ? (length - 1) / block * block : 0;   // where the last block starts
    while (buffer && put < length) {
        if (stopsEarly && put == last) break;
        const int n = static_cast<int>(std::min<uint32_t>(block, length - put));
        fuzz::Require(buffer->PutMany(image + put, n) == n, "a block fits the buffer");
        put += n;
    }
    if (buffer) buffer->Close();
    if (allBeforeStart) worker.Resume();
    worker.wait();
    fuzz::Require(worker.BytesTaken() == put, "the worker takes every byte the read put");
    fuzz::Require(db->ArchiveLength() == 0, "the worker frees the archive image");
    const std::string chunked = Summary(*m);

    int listed = 0;
    for (int position = 0; position < LogDBManager::kLogs; ++position) {
        listed += static_cast<int>(m->LogList(position).size());
        for (int index = 0; index < 8; ++index)
            for (int k = 0; k < m->EntryCount() && k < 4; ++k) m->CellText(position, index, k);
    }
    fuzz::Require(listed <= m->EntryCount(), "log lists hold more than the entries");

    // The same bytes one at a time.
    m->Clear();
    for (uint32_t i = 0; i < put; ++i) m->FeedByte(image[i]);
    m->BuildLogLists();
    fuzz::Require(Summary(*m) == chunked, "the archive depends on how its bytes were chunked");
    return 0;
}
