#pragma once
// The analyzer's run sequencer as one 228-byte image: which stream and run type it runs in
// which order, automatically and in eight manual sequences. The image moves to and from the
// unit in one message each way; observers hear when it has been (re)loaded.
#include "tevrin/rtdb/analyzer_records.h"
#include "tevrin/rtdb/spublisher.h"

#include <QString>

#include <cstdint>

class CommDBPointFacade;

constexpr int kSequencerAutomaticEntries = 32;
constexpr int kSequencerManualSequences = 8;
constexpr int kSequencerManualEntries = 8;

#pragma pack(push, 1)
struct SequencerEntry {
    uint8_t Stream;
    uint8_t Run;   // run type
};
struct ManualSequence {
    uint8_t Enable;
    uint8_t Loop;
    uint8_t DigitalInput;
    uint8_t Depth;   // valid entries, 0 to 8
    SequencerEntry Entries[kSequencerManualEntries];
};
// Byte layout of the image (the same bytes travel to and from the unit).
struct SequencerBlock {
    uint8_t Enable;   // automatic sequencer
    uint8_t Depth;    // valid automatic entries, 0 to 32
    SequencerEntry Automatic[kSequencerAutomaticEntries];
    uint8_t ManualEnable;
    uint8_t ManualDigitalInput;
    ManualSequence Manual[kSequencerManualSequences];
};
#pragma pack(pop)
static_assert(sizeof(SequencerBlock) == kSequencerBlockSize, "sequencer block is 228 bytes");

// The image's bytes read as its layout, and the layout stored back as bytes.
SequencerBlock SequencerBlockOf(const uint8_t* bytes);
void StoreSequencerBlock(const SequencerBlock& block, uint8_t* bytes);

class Sequencer : public SPublisher {
public:
    static constexpr int kAutomaticEntries = kSequencerAutomaticEntries;
    static constexpr int kManualSequences = kSequencerManualSequences;
    static constexpr int kManualEntries = kSequencerManualEntries;

    // The facade carries the transfers; nullptr means the process-wide facade.
    explicit Sequencer(CommDBPointFacade* facade = nullptr);

    // Reads the image from the unit, marks it loaded and notifies. A failed exchange or a
    // wrong reply is thrown as int and leaves the image, the loaded flag and the observers
    // untouched.
    void ReadFromUnit();
    // Sends the image to the unit. False when it was never loaded (nothing sent) or when
    // the unit did not acknowledge it; exchange failures are thrown as int.
    bool WriteToUnit();
    // Marks the image loaded and notifies, after a page or the configuration file has
    // filled it in place.
    void Publish();

    // Drops every automatic and manual entry whose stream is above the stream setting
    // (0 to 3 for one to four streams), keeping the order and packing the kept entries.
    // No notice.
    void FilterByStreamCount(int streams);

    void CopyBlock(uint8_t (&destination)[kSequencerBlockSize]) const;
    // Stores the bytes without a notice (the caller publishes).
    void SetBlock(const uint8_t (&block)[kSequencerBlockSize]);
    // The image, read and written in place by its users.
    uint8_t* Block() { return block_; }
    const uint8_t* Block() const { return block_; }
    SequencerBlock View() const;

    bool IsLoaded() const { return loaded_ != 0; }

private:
    CommDBPointFacade& Facade() const;

    CommDBPointFacade* facade_;
    uint8_t block_[kSequencerBlockSize];
    uint8_t loaded_ = 0;
};

// The text of a sequencer state value (0 off, 1 automatic, 2 manual, 3 to 10 manual sequence
// 1 to 8); empty for any other value.
QString SequencerStateText(int state);
