#pragma once
// The analyzer's twelve scheduled timers as one 144-byte image (twelve 12-byte records).
// The image moves to and from the unit in one message each way; observers hear when it has
// been (re)loaded or clipped. A changed flag tells the database whether to write it.
#include "tevrin/rtdb/analyzer_records.h"
#include "tevrin/rtdb/spublisher.h"

#include <cstdint>

class CommDBPointFacade;

#pragma pack(push, 1)
// Byte layout of one timer record (little-endian fields).
struct TimerRecord {
    uint8_t ScheduleEnable;
    uint8_t DayOfWeek;
    uint8_t ScheduleHour;
    uint8_t ScheduleMinute;
    uint8_t AnalysisEnable;
    uint32_t Analysis;   // six run-type bits per stream: bits 0-5 stream 1 ... 18-23 stream 4
    uint8_t SequencerEnable;
    uint16_t Sequencer;  // bit mask of sequences
};
#pragma pack(pop)
static_assert(sizeof(TimerRecord) == kTimerRecordSize, "timer record is 12 bytes");
static_assert(kTimerCount * kTimerRecordSize == kTimerBlockSize, "timer block is twelve records");

// A record's bytes read as its layout, and the layout stored back as bytes.
TimerRecord TimerRecordOf(const uint8_t* bytes);
void StoreTimerRecord(const TimerRecord& record, uint8_t* bytes);

class TimerXManager : public SPublisher {
public:
    // The facade carries the transfers; nullptr means the process-wide facade.
    explicit TimerXManager(CommDBPointFacade* facade = nullptr);

    // Reads the image from the unit; clears changed, marks it loaded and notifies. A failed
    // exchange or a wrong reply is thrown as int and leaves image, flags and observers
    // untouched.
    void ReadFromUnit();
    // Sends the image to the unit when it is loaded and clears changed once the unit has
    // acknowledged it. False when nothing was sent or the unit did not acknowledge (changed
    // then stays as it was); exchange failures are thrown as int.
    bool WriteToUnit();
    // Marks the image loaded and notifies.
    void Publish();

    // Copies the bytes in (no notice); sets changed when they differ from the image.
    void SetBlock(const uint8_t (&block)[kTimerBlockSize]);
    void CopyBlock(uint8_t (&destination)[kTimerBlockSize]) const;

    // For every record that runs a sequence, keeps only the analyses of the streams that
    // the stream setting (0 to 3) allows and sets changed; any other setting leaves the
    // records alone. Notifies in every case.
    void ClipToStreamCount(int streams);

    uint8_t* Block() { return block_; }
    const uint8_t* Block() const { return block_; }
    TimerRecord RecordAt(int i) const;   // i in 0..11

    bool IsChanged() const { return changed_ != 0; }
    bool IsLoaded() const { return loaded_ != 0; }

private:
    CommDBPointFacade& Facade() const;

    CommDBPointFacade* facade_;
    uint8_t changed_ = 0;
    uint8_t block_[kTimerBlockSize];
    uint8_t loaded_ = 0;
};
