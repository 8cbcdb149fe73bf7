#include "tevrin/rtdb/timer_x_manager.h"

#include "tevrin/rtdb/comm_db_point_facade.h"

#include <cstddef>
#include <cstring>
#include <stdexcept>

TimerXManager::TimerXManager(CommDBPointFacade* facade) : facade_(facade)
{
    std::memset(block_, 0, sizeof block_);
}

CommDBPointFacade& TimerXManager::Facade() const
{
    return facade_ ? *facade_ : *CommDBPointFacade::Instance();
}

void TimerXManager::ReadFromUnit()
{
    uint8_t incoming[kTimerBlockSize] = {};
    Facade().ReadTimers(incoming);   // throws on failure; the image stays as it was
    std::memcpy(block_, incoming, sizeof block_);
    changed_ = 0;
    loaded_ = 1;
    Notify(0, block_);
}

bool TimerXManager::WriteToUnit()
{
    if (!loaded_)
        return false;
    if (!Facade().WriteTimers(block_))
        return false;
    changed_ = 0;
    return true;
}

void TimerXManager::Publish()
{
    loaded_ = 1;
    Notify(0, block_);
}

void TimerXManager::SetBlock(const uint8_t (&block)[kTimerBlockSize])
{
    if (std::memcmp(block_, block, sizeof block_) != 0)
        changed_ = 1;
    std::memcpy(block_, block, sizeof block_);
}

void TimerXManager::CopyBlock(uint8_t (&destination)[kTimerBlockSize]) const
{
    std::memcpy(destination, block_, sizeof block_);
}

void TimerXManager::ClipToStreamCount(int streams)
{
    static const uint32_t kMasks[] = {0x3F, 0xFFF, 0x3FFFF, 0xFFFFFF};
    if (streams >= 0 && streams <= 3) {
        for (int i = 0; i < kTimerCount; ++i) {
            TimerRecord r = RecordAt(i);
            if (!r.SequencerEnable)
                continue;
            r.Analysis &= kMasks[streams];
            StoreTimerRecord(r, block_ + i * kTimerRecordSize);
            changed_ = 1;
        }
    }
    Notify(0, block_);
}

TimerRecord TimerXManager::RecordAt(int i) const
{
    if (i < 0 || i >= kTimerCount)
        throw std::out_of_range("timer record index");
    return TimerRecordOf(block_ + static_cast<size_t>(i) * kTimerRecordSize);
}

TimerRecord TimerRecordOf(const uint8_t* bytes)
{
    TimerRecord record;
    std::memcpy(&record, bytes, sizeof record);
    return record;
}

void StoreTimerRecord(const TimerRecord& record, uint8_t* bytes) { std::memcpy(bytes, &record, sizeof record); }
