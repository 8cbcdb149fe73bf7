#include "tevrin/shell/commands/cmd_log.h"

#include "platform/prompter.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/analysis/log_db_thread.h"
#include "tevrin/rtdb/analyzer_records.h"
#include "tevrin/rtdb/archive_capacity.h"
#include "tevrin/rtdb/bounded_buffer.h"
#include "tevrin/rtdb/comm_db_point_facade.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/log_record_set.h"
#include "tevrin/rtdb/unique_log_id.h"
#include "tevrin/shell/commands/cmd_common.h"
#include "tevrin/shell/state_mgr.h"

#include <QString>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

using namespace CommandKeys;
using namespace logcmd;

namespace {

constexpr int kUserCancelCode = 6;
// The most a memory size from the log status may claim. A larger figure is a garbled status,
// not a memory to allocate.
constexpr uint32_t kMaxMemoryBytes = archive_capacity::kMaxMemoryBytes;

void ReadMemoryFailed()
{
    platform::MessageDlg(QStringLiteral("read device memory fail."), platform::DlgType::Information, platform::mbOK);
}

using BlockRead = std::function<MemoryBlock(uint32_t address, uint8_t count)>;

// One block, tried up to three times; a try that throws counts as failed, the user's cancel
// ends the tries at once. On success `taken` is the block's count of valid bytes, never more
// than asked for.
bool ReadBlockWithRetries(const BlockRead& read, uint32_t address, uint8_t count, MemoryBlock& block, int& taken)
{
    for (int tryNo = 0; tryNo < kBlockTries; ++tryNo) {
        try {
            block = read(address, count);
        } catch (int code) {
            if (code == kUserCancelCode) return false;
            continue;
        } catch (...) {
            continue;
        }
        taken = std::min<int>(block.count, count);
        return true;
    }
    return false;
}

// Reads a whole memory of `length` bytes block by block, handing each block's bytes to `take`
// in order. False when a block failed all its tries (nothing is asked after it).
bool ReadMemory(ICommandOwner* owner, const BlockRead& read, uint32_t length,
                const std::function<void(const uint8_t*, int)>& take)
{
    const uint32_t blocks = length / kBlockBytes;
    const uint32_t rest = length % kBlockBytes;
    if (owner) owner->SetNumber(localPBarMax, static_cast<int32_t>(blocks));
    MemoryBlock block{};
    int taken = 0;
    for (uint32_t k = 0; k < blocks; ++k) {
        if (!ReadBlockWithRetries(read, k * kBlockBytes, kBlockBytes, block, taken)) return false;
        take(block.data, taken);
    }
    if (rest != 0) {
        if (!ReadBlockWithRetries(read, blocks * kBlockBytes, static_cast<uint8_t>(rest), block, taken)) return false;
        take(block.data, taken);
    }
    return true;
}

// The pages disabled and the application busy without the wait window; undone on every way
// out, an exception on its way to the command queue included.
class PagesBusy {
public:
    explicit PagesBusy(ICommandOwner* owner) : owner_(owner)
    {
        if (owner_) owner_->SetFlag(DisablePages, true);
        StateMgr::Instance().SetBusy();
    }
    ~PagesBusy()
    {
        try {
            StateMgr::Instance().SetIdle();
            if (owner_) owner_->SetFlag(EnablePages, true);
        } catch (...) {
        }
    }
    PagesBusy(const PagesBusy&) = delete;
    PagesBusy& operator=(const PagesBusy&) = delete;

private:
    ICommandOwner* owner_;
};

// Ends the archive worker before the buffer it reads goes: closing the buffer releases a
// worker that still waits for bytes that will not come.
class WorkerStop {
public:
    WorkerStop(LogDBThread& thread, boundedBuffer* buffer) : thread_(thread), buffer_(buffer) {}
    ~WorkerStop() { Stop(); }
    WorkerStop(const WorkerStop&) = delete;
    WorkerStop& operator=(const WorkerStop&) = delete;

    void Stop()
    {
        if (buffer_) buffer_->Close();
        thread_.wait();
    }

private:
    LogDBThread& thread_;
    boundedBuffer* buffer_;
};

}  // namespace

void ReadALog::Execute()
{
    if (GetFlag(LoggingOn)) return;
    SetText(StatusLineSpecialPanel, "Reading Log...");
    SetNumber(localPBarMax, 1);

    DataBase* db = DataBase::Instance();
    db->FreeArchiveData();
    cmd::BusyScope busy(Owner());

    LogStatus status{};
    try {
        status = CommDBPointFacade::Instance()->ReadLogStatus();
    } catch (...) {
        platform::MessageDlg(QStringLiteral("Read memory has exception"), platform::DlgType::Warning, platform::mbCancel);
        busy.Close();
        throw;
    }
    uint32_t length = status.value[1];
    const bool plausible = length <= kMaxMemoryBytes;
    if (!plausible) length = 0;
    db->ArchiveData().assign(length, 0);

    // The buffer lies over the archive image itself and holds all of it, so putting a byte
    // never waits for the worker. An empty archive needs no buffer: the worker takes nothing.
    std::unique_ptr<boundedBuffer> buffer;
    if (length > 0) buffer = std::make_unique<boundedBuffer>(db->ArchiveData().data(), static_cast<int>(length));
    LogDBThread worker(true, LogDBManager::Instance(), buffer.get());
    worker.Resume();
    WorkerStop stop(worker, buffer.get());

    bool ok = plausible;
    if (ok) {
        CommDBPointFacade* facade = CommDBPointFacade::Instance();
        ok = ReadMemory(
            Owner(), [facade](uint32_t a, uint8_t c) { return facade->ReadArchiveBlock(a, c); }, length,
            [&buffer](const uint8_t* data, int count) { buffer->PutMany(data, count); });
    }
    if (ok)
        SetText(StatusLineSpecialPanel, "Read Log Successful");
    else
        ReadMemoryFailed();

    // A short block leaves fewer bytes than the worker expects, a failed one stops the read:
    // either way the closed buffer ends the worker once it has taken what came.
    stop.Stop();
    SetFlag(UpdateLogView, true);
    SetFlag(SaveLogFile, true);
    busy.Close();
    SetText(StatusLineSpecialPanel, "");
}

void ReadALog2::Execute()
{
    SetText(StatusLineSpecialPanel, "Reading Log from file...");
    SetNumber(localPBarMax, 1);
    cmd::BusyScope busy(Owner());
    SetFlag(CommandKeys::ReadALog2, true);
    busy.Close();
    SetText(StatusLineSpecialPanel, "");
}

void ReadAuditCommand::Execute()
{
    if (GetFlag(LoggingOn)) return;
    SetText(StatusLineSpecialPanel, "Reading Event Log...");
    SetNumber(localPBarMax, 1);

    DataBase* db = DataBase::Instance();
    db->FreeEventData();
    {
        PagesBusy busy(Owner());
        const LogStatus status = CommDBPointFacade::Instance()->ReadLogStatus();   // a failure goes to the queue
        uint32_t length = status.value[2];
        const bool plausible = length <= kMaxMemoryBytes;
        if (!plausible) length = 0;
        std::vector<uint8_t>& data = db->EventData();
        data.assign(length, 0);

        bool ok = plausible;
        if (ok) {
            CommDBPointFacade* facade = CommDBPointFacade::Instance();
            size_t at = 0;
            ok = ReadMemory(
                Owner(), [facade](uint32_t a, uint8_t c) { return facade->ReadEventBlock(a, c); }, length,
                [&data, &at](const uint8_t* bytes, int count) {
                    std::memcpy(data.data() + at, bytes, static_cast<size_t>(count));
                    at += static_cast<size_t>(count);
                });
        }
        if (ok) {
            SetText(StatusLineSpecialPanel, "Processing Event Data...");
            SetFlag(AuditFinish, true);
        } else {
            ReadMemoryFailed();
        }
    }
    SetText(StatusLineSpecialPanel, "");
}

void ReadLogConfig::Execute()
{
    DataBase* db = DataBase::Instance();
    // Until its own read brings it, no record counts as the unit's.
    for (int log = 0; log < kLogCount; ++log) db->SetLogRecordRead(log, false);
    RunFramed("Reading Log Config.", 1, "Read Log Config. error!", [this, db] {
        UniqueLogID* ids = UniqueLogID::Instance();
        ids->Clear();
        CommDBPointFacade* facade = CommDBPointFacade::Instance();
        bool allRead = true;
        for (int log = 0; log < kLogCount; ++log) {
            // A reply of another type reads as zeros, kept like any record but not the unit's.
            bool answered = false;
            db->LogRecord(log) = facade->ReadLogConfig(static_cast<uint8_t>(log), &answered);
            db->SetLogRecordRead(log, answered);
            allRead = allRead && answered;
            ids->Add(db->LogRecord(log).LogIdCode);
            SetText(StatusLineSpecialPanel, "Read Log Config. Successful");
        }
        if (allRead) MarkSucceeded();
    });
}

void WriteLogConfig::Execute()
{
    // The argument may name the records to send (the others are left as the unit holds them);
    // without one, all six go.
    const LogRecordSet chosen = LogRecordSetOf(Argument());
    const int count = static_cast<int>(std::count(chosen.begin(), chosen.end(), true));
    RunFramed("Writing Log Config.", count, "Write Log Config. error!", [this, &chosen] {
        DataBase* db = DataBase::Instance();
        CommDBPointFacade* facade = CommDBPointFacade::Instance();
        bool allAccepted = true;
        for (int log = 0; log < kLogCount; ++log) {
            if (!chosen[static_cast<size_t>(log)]) continue;
            LogConfigRecord& record = db->LogRecord(log);
            record.LOG_NUMBER = static_cast<uint8_t>(log);
            record.UniqueId[0] = kLogClockDbId;
            if (log == kAlwaysDisabledLog) record.Enable = 0;
            const bool accepted = facade->WriteLogConfig(record);
            allAccepted = allAccepted && accepted;
            SetText(StatusLineSpecialPanel, accepted ? "Write Log Config. Successful" : "Write Log Config. Fail");
        }
        db->LogLogConfiguration();
        // A record the unit did not take leaves the run short of its good end.
        if (allAccepted) MarkSucceeded();
    });
}

void WipeALCommand::Execute()
{
    RunFramed("Wipe Archive.", 1, " Wipe Archive fail!", [] { CommDBPointFacade::Instance()->WipeArchive(); });
}

void WipeLogCommand::Execute()
{
    RunFramed("Wipe Event Log.", 1, " Wipe Event Log fail!", [] { CommDBPointFacade::Instance()->WipeEventLog(); });
}
