// The sequencer and timer images: observers, the stream filter and clip rules, and the
// block accessors. Transfers to and from the unit are tested against the simulator below.
#include "tests/engine/sim_engine.h"
#include "tests/sim/core/analyzer_core.h"
#include "tevrin/rtdb/comm_db_point_facade.h"
#include "tevrin/rtdb/sequencer.h"
#include "tevrin/rtdb/timer_x_manager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

namespace {

struct Notice {
    int observer;
    int id;
    void* block;
};

class RecordingObserver : public ISObserver {
public:
    RecordingObserver(int name, std::vector<Notice>* log) : name_(name), log_(log) {}
    void Respond(int id, void* block) override { log_->push_back({name_, id, block}); }

private:
    int name_;
    std::vector<Notice>* log_;
};

using Pairs = std::vector<std::pair<int, int>>;

void SetAutomatic(Sequencer& s, const Pairs& entries, int depth)
{
    SequencerBlock b = s.View();
    b.Depth = static_cast<uint8_t>(depth);
    for (size_t i = 0; i < entries.size(); ++i)
        b.Automatic[i] = {static_cast<uint8_t>(entries[i].first), static_cast<uint8_t>(entries[i].second)};
    std::memcpy(s.Block(), &b, sizeof b);
}

void SetManual(Sequencer& s, int m, const Pairs& entries, int depth)
{
    SequencerBlock b = s.View();
    b.Manual[m].Depth = static_cast<uint8_t>(depth);
    for (size_t i = 0; i < entries.size(); ++i)
        b.Manual[m].Entries[i] = {static_cast<uint8_t>(entries[i].first), static_cast<uint8_t>(entries[i].second)};
    std::memcpy(s.Block(), &b, sizeof b);
}

Pairs AutomaticSlots(const Sequencer& s, int slotCount)
{
    const SequencerBlock b = s.View();
    Pairs out;
    for (int i = 0; i < slotCount; ++i)
        out.emplace_back(b.Automatic[i].Stream, b.Automatic[i].Run);
    return out;
}

Pairs ManualSlots(const Sequencer& s, int m)
{
    const SequencerBlock b = s.View();
    Pairs out;
    for (const SequencerEntry& e : b.Manual[m].Entries)
        out.emplace_back(e.Stream, e.Run);
    return out;
}

void SetRecordInPlace(TimerXManager& t, int i, uint8_t sequencerEnable, uint32_t analysis)
{
    TimerRecord r = t.RecordAt(i);
    r.SequencerEnable = sequencerEnable;
    r.Analysis = analysis;
    std::memcpy(t.Block() + i * kTimerRecordSize, &r, sizeof r);
}

}  // namespace

TEST(SPublisher, NotifiesInAttachOrderAndDetachRemovesEveryCopy)
{
    std::vector<Notice> log;
    RecordingObserver a(1, &log), b(2, &log);
    SPublisher p;
    p.Attach(&a);
    p.Attach(&b);
    p.Attach(&a);
    int payload = 0;
    p.Notify(0, &payload);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].observer, 1);
    EXPECT_EQ(log[1].observer, 2);
    EXPECT_EQ(log[2].observer, 1);
    EXPECT_EQ(log[1].block, &payload);

    log.clear();
    p.Detach(&a);   // attached twice: both entries go
    p.Notify(5, nullptr);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].observer, 2);
    EXPECT_EQ(log[0].id, 5);

    log.clear();
    p.Detach(&a);   // not attached: nothing happens
    p.Detach(&b);
    p.Notify(0, nullptr);
    EXPECT_TRUE(log.empty());
}

TEST(Sequencer, StartsZeroedAndNotLoaded)
{
    Sequencer s;
    EXPECT_FALSE(s.IsLoaded());
    uint8_t copy[kSequencerBlockSize];
    std::memset(copy, 0xAA, sizeof copy);
    s.CopyBlock(copy);
    for (uint8_t byte : copy)
        ASSERT_EQ(byte, 0);
}

TEST(Sequencer, WriteBeforeAnyLoadSendsNothingAndFails)
{
    // No facade and no engine exist here: a send would fail loudly.
    Sequencer s;
    EXPECT_FALSE(s.WriteToUnit());
    TimerXManager t;
    EXPECT_FALSE(t.WriteToUnit());
}

TEST(Sequencer, PublishMarksLoadedAndNotifiesWithTheImage)
{
    std::vector<Notice> log;
    RecordingObserver a(1, &log);
    Sequencer s;
    s.Attach(&a);
    s.Block()[0] = 1;
    s.Publish();
    EXPECT_TRUE(s.IsLoaded());
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].id, 0);
    EXPECT_EQ(log[0].block, s.Block());
}

TEST(Sequencer, SetBlockStoresWithoutNoticeAndCopyBlockGivesItBack)
{
    std::vector<Notice> log;
    RecordingObserver a(1, &log);
    Sequencer s;
    s.Attach(&a);
    uint8_t in[kSequencerBlockSize];
    for (int i = 0; i < kSequencerBlockSize; ++i)
        in[i] = static_cast<uint8_t>(i * 7 + 3);
    s.SetBlock(in);
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(s.IsLoaded());
    uint8_t out[kSequencerBlockSize];
    s.CopyBlock(out);
    EXPECT_EQ(std::memcmp(in, out, sizeof in), 0);
    // The field layout: offsets 0, 1, 2, 66, 67, 68 and 20 bytes per manual sequence.
    const SequencerBlock v = s.View();
    EXPECT_EQ(v.Enable, in[0]);
    EXPECT_EQ(v.Depth, in[1]);
    EXPECT_EQ(v.Automatic[0].Stream, in[2]);
    EXPECT_EQ(v.ManualEnable, in[66]);
    EXPECT_EQ(v.ManualDigitalInput, in[67]);
    EXPECT_EQ(v.Manual[1].Enable, in[88]);
    EXPECT_EQ(v.Manual[7].Entries[7].Run, in[227]);
}

TEST(Sequencer, FilterDropsEntriesOfMissingStreamsAndPacksTheRest)
{
    struct Case {
        const char* what;
        Pairs entries;
        int depth;
        int streams;
        Pairs expected;   // the first four slots after filtering
        int expectedDepth;
    };
    const Case cases[] = {
        {"single stream keeps stream 0 only", {{1, 0}, {0, 2}, {2, 1}, {0, 1}}, 4, 0,
         {{0, 2}, {0, 1}, {0, 0}, {0, 0}}, 2},
        {"four streams keep everything", {{1, 0}, {0, 2}, {3, 1}, {0, 1}}, 4, 3,
         {{1, 0}, {0, 2}, {3, 1}, {0, 1}}, 4},
        {"entries past the depth are cleared", {{0, 1}, {0, 2}, {0, 3}, {0, 4}}, 2, 3,
         {{0, 1}, {0, 2}, {0, 0}, {0, 0}}, 2},
        {"stream bytes are unsigned", {{0xFF, 1}, {0, 5}}, 2, 3, {{0, 5}, {0, 0}, {0, 0}, {0, 0}}, 1},
        {"two streams", {{2, 1}, {1, 3}, {3, 2}, {0, 4}}, 4, 1, {{1, 3}, {0, 4}, {0, 0}, {0, 0}}, 2},
    };
    for (const Case& c : cases) {
        Sequencer s;
        s.Block()[0] = 1;      // Enable
        s.Block()[66] = 1;     // Manual Enable
        s.Block()[67] = 9;     // Manual Digital Input
        SetAutomatic(s, c.entries, c.depth);
        s.FilterByStreamCount(c.streams);
        EXPECT_EQ(AutomaticSlots(s, 4), c.expected) << c.what;
        EXPECT_EQ(s.View().Depth, c.expectedDepth) << c.what;
        EXPECT_EQ(s.Block()[0], 1) << c.what;
        EXPECT_EQ(s.Block()[66], 1) << c.what;
        EXPECT_EQ(s.Block()[67], 9) << c.what;
    }
}

TEST(Sequencer, FilterTreatsEachManualSequenceOnItsOwn)
{
    Sequencer s;
    SequencerBlock b = s.View();
    b.Manual[0].Enable = 1;
    b.Manual[0].Loop = 1;
    b.Manual[0].DigitalInput = 4;
    b.Manual[7].Enable = 1;
    std::memcpy(s.Block(), &b, sizeof b);
    SetManual(s, 0, {{0, 1}, {2, 2}, {1, 3}, {0, 4}}, 4);
    SetManual(s, 7, {{3, 1}, {1, 2}, {0, 5}, {0, 6}, {0, 7}, {0, 8}, {0, 9}, {3, 3}}, 8);

    s.FilterByStreamCount(1);

    const SequencerBlock v = s.View();
    EXPECT_EQ(v.Manual[0].Enable, 1);
    EXPECT_EQ(v.Manual[0].Loop, 1);
    EXPECT_EQ(v.Manual[0].DigitalInput, 4);
    EXPECT_EQ(v.Manual[0].Depth, 3);
    EXPECT_EQ(ManualSlots(s, 0), (Pairs{{0, 1}, {1, 3}, {0, 4}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}));
    EXPECT_EQ(v.Manual[7].Depth, 6);
    EXPECT_EQ(ManualSlots(s, 7), (Pairs{{1, 2}, {0, 5}, {0, 6}, {0, 7}, {0, 8}, {0, 9}, {0, 0}, {0, 0}}));
    EXPECT_EQ(v.Manual[3].Depth, 0);
}

TEST(Sequencer, FilterLeavesACleanBlockUnchangedAndSendsNoNotice)
{
    std::vector<Notice> log;
    RecordingObserver a(1, &log);
    Sequencer s;
    s.Attach(&a);
    s.Block()[0] = 1;
    SetAutomatic(s, {{0, 1}, {1, 2}, {2, 3}, {3, 4}}, 4);
    SetManual(s, 2, {{3, 1}, {0, 2}}, 2);
    uint8_t before[kSequencerBlockSize];
    s.CopyBlock(before);
    s.FilterByStreamCount(3);
    uint8_t after[kSequencerBlockSize];
    s.CopyBlock(after);
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);
    EXPECT_TRUE(log.empty());
}

TEST(Sequencer, FilterBoundsDepthsBeyondTheTables)
{
    // Depths from a damaged block: 200 automatic, 50 in a manual sequence. The filter must
    // walk only the table's slots (32 and 8) and must not read into the next sequence.
    Sequencer s;
    SequencerBlock b;
    std::memset(&b, 0, sizeof b);
    b.Depth = 200;
    for (auto& e : b.Automatic)
        e = {0, 1};
    b.Manual[0].Depth = 50;
    for (auto& e : b.Manual[0].Entries)
        e = {0, 2};
    b.Manual[1].Enable = 7;   // the byte right after manual sequence 0
    std::memcpy(s.Block(), &b, sizeof b);

    s.FilterByStreamCount(0);

    const SequencerBlock v = s.View();
    EXPECT_EQ(v.Depth, 32);
    EXPECT_EQ(v.Manual[0].Depth, 8);
    EXPECT_EQ(v.Manual[1].Enable, 7);
    EXPECT_EQ(v.Manual[1].Depth, 0);
    EXPECT_EQ(v.ManualEnable, 0);   // offset 66 was never an automatic entry
}

TEST(TimerXManager, StartsZeroedNotLoadedNotChanged)
{
    TimerXManager t;
    EXPECT_FALSE(t.IsLoaded());
    EXPECT_FALSE(t.IsChanged());
    uint8_t copy[kTimerBlockSize];
    std::memset(copy, 0xAA, sizeof copy);
    t.CopyBlock(copy);
    for (uint8_t byte : copy)
        ASSERT_EQ(byte, 0);
}

TEST(TimerXManager, SetBlockMarksChangedOnlyWhenBytesDiffer)
{
    std::vector<Notice> log;
    RecordingObserver a(1, &log);
    TimerXManager t;
    t.Attach(&a);
    uint8_t same[kTimerBlockSize] = {};
    t.SetBlock(same);
    EXPECT_FALSE(t.IsChanged());

    uint8_t other[kTimerBlockSize] = {};
    other[kTimerBlockSize - 1] = 1;   // last byte of the last record
    t.SetBlock(other);
    EXPECT_TRUE(t.IsChanged());
    uint8_t copy[kTimerBlockSize];
    t.CopyBlock(copy);
    EXPECT_EQ(std::memcmp(copy, other, sizeof copy), 0);
    t.SetBlock(other);   // same again: changed stays set until a transfer clears it
    EXPECT_TRUE(t.IsChanged());
    EXPECT_TRUE(log.empty());
}

TEST(TimerXManager, RecordLayoutIsLittleEndianAtDocumentedOffsets)
{
    uint8_t block[kTimerBlockSize] = {};
    uint8_t* r = block + 2 * kTimerRecordSize;   // third record
    r[0] = 1;
    r[1] = 6;
    r[2] = 23;
    r[3] = 59;
    r[4] = 1;
    r[5] = 0x78;
    r[6] = 0x56;
    r[7] = 0x34;
    r[8] = 0x12;
    r[9] = 1;
    r[10] = 0xCD;
    r[11] = 0xAB;
    TimerXManager t;
    t.SetBlock(block);
    const TimerRecord rec = t.RecordAt(2);
    EXPECT_EQ(rec.ScheduleEnable, 1);
    EXPECT_EQ(rec.DayOfWeek, 6);
    EXPECT_EQ(rec.ScheduleHour, 23);
    EXPECT_EQ(rec.ScheduleMinute, 59);
    EXPECT_EQ(rec.AnalysisEnable, 1);
    EXPECT_EQ(uint32_t{rec.Analysis}, 0x12345678u);
    EXPECT_EQ(rec.SequencerEnable, 1);
    EXPECT_EQ(rec.Sequencer, 0xABCD);
    EXPECT_THROW(t.RecordAt(12), std::out_of_range);
}

TEST(TimerXManager, ClipMasksAnalysesOfRecordsThatRunASequence)
{
    struct Case {
        int streams;
        uint32_t expectedEnabled;   // record 0: sequencer enabled, mask 0xFFFFFFFF
        bool changed;
    };
    const Case cases[] = {
        {0, 0x3F, true},
        {1, 0xFFF, true},
        {2, 0x3FFFF, true},
        {3, 0xFFFFFF, true},
        {4, 0xFFFFFFFF, false},
        {7, 0xFFFFFFFF, false},
        {-1, 0xFFFFFFFF, false},
    };
    for (const Case& c : cases) {
        std::vector<Notice> log;
        RecordingObserver a(1, &log);
        // Fill the image in place, as the timer page does, so the changed flag stays clear.
        TimerXManager m;
        m.Attach(&a);
        SetRecordInPlace(m, 0, 1, 0xFFFFFFFF);
        SetRecordInPlace(m, 5, 0, 0xFFFFFF);   // no sequence: keeps its mask
        SetRecordInPlace(m, 11, 2, 0x1000);    // any non-zero enable byte counts
        ASSERT_FALSE(m.IsChanged());

        m.ClipToStreamCount(c.streams);

        EXPECT_EQ(uint32_t{m.RecordAt(0).Analysis}, c.expectedEnabled) << c.streams;
        EXPECT_EQ(uint32_t{m.RecordAt(5).Analysis}, 0xFFFFFFu) << c.streams;
        EXPECT_EQ(uint32_t{m.RecordAt(11).Analysis}, c.changed ? (0x1000u & c.expectedEnabled) : 0x1000u) << c.streams;
        EXPECT_EQ(m.IsChanged(), c.changed) << c.streams;
        ASSERT_EQ(log.size(), 1u) << "one notice whatever the setting, " << c.streams;
        EXPECT_EQ(log[0].block, m.Block());
    }
}

TEST(TimerXManager, ClipSetsChangedEvenWhenNoBitChanges)
{
    TimerXManager t;
    std::memset(t.Block(), 0, kTimerBlockSize);
    t.Block()[9] = 1;   // record 0 runs a sequence, its analyses are already within 0x3F
    t.Block()[5] = 0x01;
    ASSERT_FALSE(t.IsChanged());
    t.ClipToStreamCount(0);
    EXPECT_EQ(uint32_t{t.RecordAt(0).Analysis}, 1u);
    EXPECT_TRUE(t.IsChanged());
}

// --- transfers with the analyzer -------------------------------------------------------------

namespace {

QByteArray Pattern(int n, int seed)
{
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = static_cast<char>(seed + i * 7);
    return b;
}

QByteArray Bytes(const uint8_t* p, int n)
{
    return QByteArray(reinterpret_cast<const char*>(p), n);
}

class BlockTransferTest : public ::testing::Test {
protected:
    sim::AnalyzerCore unit;
    rtdbtest::SimEngine engine{&unit};
    std::vector<Notice> log;
    RecordingObserver observer{1, &log};
};

// A failed read: the engine's result or the facade's 21 for a wrong reply.
struct ReadFailure {
    const char* what;
    sim::Fault fault;
    int code;
};
const ReadFailure kReadFailures[] = {
    {"no reply", sim::Fault::Silence, pollard_api::crNoResponse},
    {"wrong reply type", sim::Fault::WrongType, kErrUnexpectedReplyType},
};

}  // namespace

TEST_F(BlockTransferTest, SequencerReadLoadsNotifiesAndWriteStoresInTheUnit)
{
    const QByteArray inUnit = Pattern(kSequencerBlockSize, 3);
    unit.SetSequencerBlock(inUnit);
    Sequencer s;
    s.Attach(&observer);

    s.ReadFromUnit();

    EXPECT_TRUE(s.IsLoaded());
    EXPECT_EQ(Bytes(s.Block(), kSequencerBlockSize), inUnit);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].block, s.Block());

    s.Block()[1] = 0;   // no automatic entries
    EXPECT_TRUE(s.WriteToUnit());
    QByteArray expected = inUnit;
    expected[1] = 0;
    EXPECT_EQ(unit.SequencerBlock(), expected);
    EXPECT_EQ(log.size(), 1u);   // a write does not notify
}

TEST_F(BlockTransferTest, FailedSequencerReadKeepsTheImageNotLoadedAndSilent)
{
    for (const ReadFailure& f : kReadFailures) {
        SCOPED_TRACE(f.what);
        unit.SetSequencerBlock(Pattern(kSequencerBlockSize, 9));
        unit.FailNext(f.fault, 1, 60);
        log.clear();
        Sequencer s;
        s.Attach(&observer);
        s.Block()[0] = 1;   // a page's edit that must survive
        try {
            s.ReadFromUnit();
            ADD_FAILURE() << "read succeeded";
        } catch (int code) {
            EXPECT_EQ(code, f.code);
        }
        EXPECT_FALSE(s.IsLoaded());
        EXPECT_TRUE(log.empty());
        EXPECT_EQ(s.Block()[0], 1);
        EXPECT_EQ(s.Block()[1], 0);
        // Still not loaded: a write sends nothing.
        unit.ClearLog();
        EXPECT_FALSE(s.WriteToUnit());
        EXPECT_EQ(unit.RequestCount(), 0);
    }
}

TEST_F(BlockTransferTest, SequencerWriteThatTheUnitDoesNotAcknowledgeFails)
{
    Sequencer s;
    s.Publish();
    unit.FailNext(sim::Fault::WrongType, 1, 62);
    EXPECT_FALSE(s.WriteToUnit());
    unit.FailNext(sim::Fault::Silence, 1, 62);
    EXPECT_THROW(s.WriteToUnit(), int);
    EXPECT_TRUE(s.WriteToUnit());
}

TEST_F(BlockTransferTest, FilteredSequencerReachesTheUnitPacked)
{
    Sequencer s;
    SetAutomatic(s, {{1, 0}, {0, 2}, {2, 1}, {0, 1}}, 4);
    s.Publish();
    s.FilterByStreamCount(0);
    ASSERT_TRUE(s.WriteToUnit());
    const QByteArray b = unit.SequencerBlock();
    EXPECT_EQ(b.mid(1, 9), QByteArray::fromHex("02" "0002" "0001" "0000" "0000"));
}

TEST_F(BlockTransferTest, TimerReadClearsChangedAndWriteClearsItOnlyWhenAcknowledged)
{
    const QByteArray inUnit = Pattern(kTimerBlockSize, 5);
    unit.SetTimerBlock(inUnit);
    TimerXManager t;
    t.Attach(&observer);
    uint8_t edited[kTimerBlockSize] = {};
    edited[0] = 1;
    t.SetBlock(edited);
    ASSERT_TRUE(t.IsChanged());

    t.ReadFromUnit();
    EXPECT_TRUE(t.IsLoaded());
    EXPECT_FALSE(t.IsChanged());
    EXPECT_EQ(Bytes(t.Block(), kTimerBlockSize), inUnit);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].block, t.Block());

    t.SetBlock(edited);
    unit.FailNext(sim::Fault::WrongType, 1, 66);
    EXPECT_FALSE(t.WriteToUnit());
    EXPECT_TRUE(t.IsChanged());   // still to be written

    unit.FailNext(sim::Fault::Silence, 1, 66);
    EXPECT_THROW(t.WriteToUnit(), int);
    EXPECT_TRUE(t.IsChanged());

    EXPECT_TRUE(t.WriteToUnit());
    EXPECT_FALSE(t.IsChanged());
    EXPECT_EQ(unit.TimerBlock(), Bytes(edited, kTimerBlockSize));
}

TEST_F(BlockTransferTest, FailedTimerReadKeepsImageAndFlags)
{
    for (const ReadFailure& f : kReadFailures) {
        SCOPED_TRACE(f.what);
        unit.SetTimerBlock(Pattern(kTimerBlockSize, 1));
        unit.FailNext(f.fault, 1, 64);
        log.clear();
        TimerXManager t;
        t.Attach(&observer);
        uint8_t edited[kTimerBlockSize] = {};
        edited[3] = 30;
        t.SetBlock(edited);
        try {
            t.ReadFromUnit();
            ADD_FAILURE() << "read succeeded";
        } catch (int code) {
            EXPECT_EQ(code, f.code);
        }
        EXPECT_FALSE(t.IsLoaded());
        EXPECT_TRUE(t.IsChanged());
        EXPECT_EQ(t.Block()[3], 30);
        EXPECT_TRUE(log.empty());
        unit.ClearLog();
        EXPECT_FALSE(t.WriteToUnit());
        EXPECT_EQ(unit.RequestCount(), 0);
    }
}

TEST_F(BlockTransferTest, PublishedTimerImageIsWrittenAfterAConfigurationFileFilledIt)
{
    TimerXManager t;
    uint8_t fromFile[kTimerBlockSize];
    for (int i = 0; i < kTimerBlockSize; ++i)
        fromFile[i] = static_cast<uint8_t>(200 - i);
    t.SetBlock(fromFile);
    t.Publish();
    EXPECT_TRUE(t.WriteToUnit());
    EXPECT_EQ(unit.TimerBlock(), Bytes(fromFile, kTimerBlockSize));
    EXPECT_EQ(unit.RequestCount(66), 1);
}
