#include "tevrin/rtdb/sequencer.h"

#include "tevrin/rtdb/comm_db_point_facade.h"

#include <algorithm>
#include <cstring>

Sequencer::Sequencer(CommDBPointFacade* facade) : facade_(facade)
{
    std::memset(block_, 0, sizeof block_);
}

CommDBPointFacade& Sequencer::Facade() const
{
    return facade_ ? *facade_ : *CommDBPointFacade::Instance();
}

void Sequencer::ReadFromUnit()
{
    uint8_t incoming[kSequencerBlockSize] = {};
    Facade().ReadSequencer(incoming);   // throws on failure; the image stays as it was
    std::memcpy(block_, incoming, sizeof block_);
    loaded_ = 1;
    Notify(0, block_);
}

bool Sequencer::WriteToUnit()
{
    if (!loaded_)
        return false;
    return Facade().WriteSequencer(block_);
}

void Sequencer::Publish()
{
    loaded_ = 1;
    Notify(0, block_);
}

void Sequencer::FilterByStreamCount(int streams)
{
    const SequencerBlock old = View();
    SequencerBlock kept;
    std::memset(&kept, 0, sizeof kept);
    kept.Enable = old.Enable;
    kept.ManualEnable = old.ManualEnable;
    kept.ManualDigitalInput = old.ManualDigitalInput;

    // A depth read from the unit or a file may be out of range: walk at most the table.
    const int depth = std::min<int>(old.Depth, kAutomaticEntries);
    int n = 0;
    for (int i = 0; i < depth; ++i)
        if (old.Automatic[i].Stream <= streams)
            kept.Automatic[n++] = old.Automatic[i];
    kept.Depth = static_cast<uint8_t>(n);

    for (int m = 0; m < kManualSequences; ++m) {
        const ManualSequence& from = old.Manual[m];
        ManualSequence& to = kept.Manual[m];
        to.Enable = from.Enable;
        to.Loop = from.Loop;
        to.DigitalInput = from.DigitalInput;
        const int manualDepth = std::min<int>(from.Depth, kManualEntries);
        int k = 0;
        for (int i = 0; i < manualDepth; ++i)
            if (from.Entries[i].Stream <= streams)
                to.Entries[k++] = from.Entries[i];
        to.Depth = static_cast<uint8_t>(k);
    }
    std::memcpy(block_, &kept, sizeof block_);
}

void Sequencer::CopyBlock(uint8_t (&destination)[kSequencerBlockSize]) const
{
    std::memcpy(destination, block_, sizeof block_);
}

void Sequencer::SetBlock(const uint8_t (&block)[kSequencerBlockSize])
{
    std::memcpy(block_, block, sizeof block_);
}

SequencerBlock SequencerBlockOf(const uint8_t* bytes)
{
    SequencerBlock block;
    std::memcpy(&block, bytes, sizeof block);
    return block;
}

void StoreSequencerBlock(const SequencerBlock& block, uint8_t* bytes) { std::memcpy(bytes, &block, sizeof block); }

SequencerBlock Sequencer::View() const { return SequencerBlockOf(block_); }

QString SequencerStateText(int state)
{
    if (state == 0) return QStringLiteral("Sequencer Off");
    if (state == 1) return QStringLiteral("Automatic Sequencer On");
    if (state == 2) return QStringLiteral("Manual Sequencer On");
    if (state >= 3 && state <= 10) return QStringLiteral("Manual Sequencer %1 On").arg(state - 2);
    return QString();
}
