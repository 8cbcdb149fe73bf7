// Log id codes and the archive capacity estimate of the log setup window.
#include "platform/errors.h"
#include "tevrin/rtdb/archive_capacity.h"
#include "tevrin/rtdb/unique_log_id.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <vector>

namespace {

using archive_capacity::LogCapacities;

// Catalogue points of known value width.
constexpr TDbId kTime = 388;      // 4 bytes (time stamp token)
constexpr TDbId kDate = 385;      // 4 bytes
constexpr TDbId kStreams = 20;    // 1 byte
constexpr TDbId kPurge = 10;      // 2 bytes
constexpr TDbId kUnitId = 0;      // text: 0 bytes

class LogIds : public ::testing::Test {
protected:
    void SetUp() override { UniqueLogID::DestroyInstance(); }
    void TearDown() override { UniqueLogID::DestroyInstance(); }
    UniqueLogID& Ids() { return *UniqueLogID::Instance(); }
};

TEST_F(LogIds, FreshSetHoldsZeroAndHandsOutNine)
{
    EXPECT_EQ(Ids().Ids(), std::vector<int>{0});
    EXPECT_EQ(Ids().FirstFree(), 9);
    EXPECT_EQ(Ids().NextFree(1), 9);
}

TEST_F(LogIds, FreeCodesSkipThoseInUse)
{
    Ids().Add(9);
    Ids().Add(17);
    struct Case { int from; int expected; };
    const Case cases[] = {
        {9, 25},
        {1, 25},      // 9 and 17 are taken
        {250, 25},    // 258 is past the last code: the first free one instead
        {3, 11},      // steps of 8 from the given code
        {247, 255},   // the highest code a log can carry
        {255, 25},
    };
    EXPECT_EQ(Ids().FirstFree(), 25);
    for (const Case& c : cases) EXPECT_EQ(Ids().NextFree(c.from), c.expected) << "from " << c.from;
    // Nothing handed out is added.
    EXPECT_EQ(Ids().Ids(), (std::vector<int>{0, 9, 17}));
}

TEST_F(LogIds, AddKeepsOneEntryAndClearRemovesZeroToo)
{
    Ids().Add(5);
    Ids().Add(5);
    EXPECT_EQ(Ids().Ids(), (std::vector<int>{0, 5}));
    Ids().Clear();
    EXPECT_TRUE(Ids().Ids().empty());
    EXPECT_FALSE(Ids().Contains(0));
}

TEST_F(LogIds, NoCodeAbove255IsEverHandedOut)
{
    // 9, 17, ... 249 all taken: the next candidate, 257, does not fit a log's one-byte code.
    for (int id = 9; id <= 249; id += 8) Ids().Add(id);
    EXPECT_EQ(Ids().FirstFree(), UniqueLogID::kNoFreeId);
    EXPECT_EQ(Ids().NextFree(250), UniqueLogID::kNoFreeId);
    EXPECT_EQ(Ids().NextFree(1), UniqueLogID::kNoFreeId);
    EXPECT_EQ(Ids().NextFree(2), 10);   // another residue still has room
}

TEST_F(LogIds, NextFreeGivesAFreeOneByteCodeOrNothingForAnySet)
{
    std::mt19937 random(12345);
    for (int round = 0; round < 200; ++round) {
        Ids().Clear();
        const int used = static_cast<int>(random() % 260);
        for (int i = 0; i < used; ++i) Ids().Add(static_cast<int>(random() % 256));
        for (int from = -20; from < 280; ++from) {
            const int id = Ids().NextFree(from);
            if (id == UniqueLogID::kNoFreeId) continue;
            ASSERT_GE(id, 1);
            ASSERT_LE(id, 255);
            ASSERT_FALSE(Ids().Contains(id)) << "handed out " << id << " from " << from;
        }
    }
}

LogConfigRecord Record(uint8_t idCode, uint16_t frequency = 0, std::vector<TDbId> points = {})
{
    LogConfigRecord r;
    std::memset(&r, 0, sizeof r);
    r.LogIdCode = idCode;
    r.Frequency = frequency;
    r.ParametersInLog = static_cast<uint8_t>(points.size());
    for (size_t i = 0; i < points.size() && i < 8; ++i) r.UniqueId[i] = points[i];
    return r;
}

TEST_F(LogIds, UniqueWhenNoTwoOfTheFirstFiveLogsShareACode)
{
    struct Case { std::vector<int> codes; bool unique; };
    const Case cases[] = {
        {{1, 2, 3, 4, 5, 6}, true},
        {{9, 17, 25, 33, 41, 1}, true},
        {{1, 1, 3, 4, 5, 6}, false},
        {{1, 2, 3, 4, 1, 6}, false},
        // The sixth log (no tab in the log window) is not compared.
        {{1, 2, 3, 4, 5, 5}, true},
        {{6, 2, 3, 4, 5, 6}, true},
    };
    for (const Case& c : cases) {
        LogConfigRecord records[kLogCount];
        for (int k = 0; k < kLogCount; ++k) records[k] = Record(static_cast<uint8_t>(c.codes[k]));
        EXPECT_EQ(archive_capacity::LogIdsAreUnique(records), c.unique) << ::testing::PrintToString(c.codes);
    }
}

TEST_F(LogIds, ResetGivesCodesOneToSixAndRegistersOnlyThem)
{
    LogConfigRecord records[kLogCount];
    for (int k = 0; k < kLogCount; ++k) records[k] = Record(static_cast<uint8_t>(40 + k), 60, {kTime, kStreams});
    Ids().Add(77);
    archive_capacity::ResetLogIds(records);
    for (int k = 0; k < kLogCount; ++k) {
        EXPECT_EQ(records[k].LogIdCode, k + 1);
        EXPECT_EQ(records[k].Frequency, 60);   // nothing else changes
    }
    EXPECT_EQ(Ids().Ids(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(archive_capacity::LogIdsAreUnique(records));
}

// ---------------------------------------------------------------------------------------------
// Average run period of the automatic sequencer

struct SequencerFixture {
    std::vector<uint8_t> block = std::vector<uint8_t>(kSequencerBlockSize, 0);
    std::map<TDbId, std::string> values;

    void AddEntry(uint8_t stream, uint8_t runKind)
    {
        const int depth = block[1];
        block[2 + 2 * depth] = stream;
        block[3 + 2 * depth] = runKind;
        block[1] = static_cast<uint8_t>(depth + 1);
    }
    archive_capacity::PointText Text() const
    {
        return [this](TDbId id) {
            const auto it = values.find(id);
            return it == values.end() ? std::string("0") : it->second;
        };
    }
    float Average() const { return archive_capacity::AverageOnRunPeriod(block.data(), Text()); }
};

TEST(OnRunPeriod, ExamplesFromTheLogSetup)
{
    SequencerFixture f;
    f.values = {{kPurge, "10"}, {25, "30"}, {26, "60"}, {46, "3"},   // stream 1 Sample
                {304, "20"}, {305, "40"}, {69, "1"}};                // stream 1 Calibration
    f.AddEntry(0, 0);
    EXPECT_FLOAT_EQ(f.Average(), 280.0f);   // 10 + 90 + 90 x 2

    f.AddEntry(0, 5);   // the sequencer's code for Calibrate
    EXPECT_FLOAT_EQ(f.Average(), 360.0f);   // 10 + 270 + 60 + 2 x 10, one analysis

    f.AddEntry(4, 0);   // stream 5 does not exist: skipped
    f.AddEntry(0, 6);   // nor does run kind 6
    EXPECT_FLOAT_EQ(f.Average(), 360.0f);
}

TEST(OnRunPeriod, DividesByTheSampleAndTotalSulphurEntries)
{
    SequencerFixture f;
    f.values = {{kPurge, "5"},
                {138, "10"}, {139, "20"}, {159, "1"},      // stream 2 Sample
                {843, "7"}, {844, "8"}, {847, "2"},       // stream 4 Total Sulphur
                {1344, "100"}, {1345, "100"}, {1348, "0"}};  // stream 4 Reference 2
    f.AddEntry(1, 0);
    f.AddEntry(3, 1);
    f.AddEntry(3, 3);   // Reference 2
    // 5 + 30 + (15 + 15) + 200 + 3 x 5 = 280, over two analyses.
    EXPECT_FLOAT_EQ(f.Average(), 140.0f);

    SequencerFixture empty;
    empty.values = {{kPurge, "12"}};
    EXPECT_FLOAT_EQ(empty.Average(), 12.0f);   // no entries: the purge time alone
}

TEST(OnRunPeriod, EachEntryTakesThePointsOfTheRunTypeItsSequencerCodeMeans)
{
    // Codes as the sequencer block holds them; the points of stream 1 for that run type.
    const struct {
        uint8_t code;
        const char* runType;
        TDbId delay, interval, runs;
    } cases[] = {
        {0, "Sample", 25, 26, 46},      {1, "Total Sulphur", 608, 609, 612}, {2, "Reference 1", 404, 405, 92},
        {3, "Reference 2", 1266, 1267, 1270}, {4, "Zero", 510, 521, 115}, {5, "Calibrate", 304, 305, 69},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.runType);
        SequencerFixture f;
        f.values = {{kPurge, "0"}, {c.delay, "7"}, {c.interval, "11"}, {c.runs, "2"}};
        f.AddEntry(0, c.code);
        // Only this run type's points count: (7 + 11) x 2, over one analysis or none.
        EXPECT_FLOAT_EQ(f.Average(), 36.0f);
    }
}

TEST(OnRunPeriod, ReadsNoMoreThanTheThirtyTwoEntriesWhateverTheDepth)
{
    // A Depth of 255 from the unit: the bytes after the 32 entries (the manual sequences
    // and beyond) would read as more Sample entries of stream 1 and change the figure.
    SequencerFixture f;
    f.block.assign(1024, 0);
    f.values = {{kPurge, "10"}, {25, "1"}, {26, "1"}, {46, "1"}};
    f.block[1] = 255;
    // 32 Sample entries: 10 + 32 x 2 + 32 x 10 = 394 over 32 analyses.
    EXPECT_FLOAT_EQ(f.Average(), 394.0f / 32);
}

TEST(OnRunPeriod, ANonNumericValueIsAConversionError)
{
    SequencerFixture f;
    f.values = {{kPurge, "10"}, {25, "abc"}};
    f.AddEntry(0, 0);
    EXPECT_THROW(f.Average(), EConvertError);

    SequencerFixture purge;
    purge.values = {{kPurge, ""}};
    EXPECT_THROW(purge.Average(), EConvertError);
}

TEST(OnRunPeriod, IntegerConversionOfPointTexts)
{
    struct Case { const char* text; bool ok; int32_t value; };
    const Case cases[] = {
        {"0", true, 0},        {"42", true, 42},           {"-7", true, -7},
        {"  15", true, 15},    {"+3", true, 3},            {"$1F", true, 31},
        {"0x10", true, 16},    {"2147483647", true, 2147483647},
        {"", false, 0},        {"abc", false, 0},          {"12abc", false, 0},
        {"1.5", false, 0},     {"15 ", false, 0},          {"2147483648", false, 0},
        {"-", false, 0},
    };
    for (const Case& c : cases) {
        if (c.ok)
            EXPECT_EQ(archive_capacity::StrToInt(c.text), c.value) << c.text;
        else
            EXPECT_THROW(archive_capacity::StrToInt(c.text), EConvertError) << c.text;
    }
}

// ---------------------------------------------------------------------------------------------
// Capacity estimate

struct Logs {
    LogConfigRecord records[kLogCount];
    Logs()
    {
        for (auto& r : records) r = Record(0);
    }
};

TEST(Capacity, RecordSizeCountsTheLoggedPointsWidths)
{
    struct Case { std::vector<TDbId> points; int size; };
    const Case cases[] = {
        {{}, 6},
        {{kTime}, 10},
        {{kTime, kStreams}, 11},
        {{kTime, kPurge, kStreams, kUnitId}, 13},
        {{kTime, 9999}, 10},   // not a catalogue point: no bytes
    };
    for (const Case& c : cases) EXPECT_EQ(archive_capacity::RecordSize(Record(1, 0, c.points)), c.size);

    // A count above the record's eight ids reads only the eight.
    LogConfigRecord wide = Record(1, 0, std::vector<TDbId>(8, kTime));
    wide.ParametersInLog = 255;
    EXPECT_EQ(archive_capacity::RecordSize(wide), 6 + 8 * 4);
}

TEST(Capacity, OnRunLogFillsTheMemoryAtItsAveragePeriod)
{
    // The On-Run log alone, with the 280-second sequencer: 11-byte records, so a memory of
    // 1,100,000 bytes holds exactly 100,000 of them and lasts 28,000,000 s = 324.07 days.
    Logs logs;
    logs.records[0] = Record(1, 0, {kTime, kStreams});
    LogCapacities out;
    const int sum = archive_capacity::ComputeRunTimes(logs.records, 1100000, 280.0f, out);
    EXPECT_EQ(out.records[0], 100000u);
    EXPECT_EQ(out.days[0], "324");
    EXPECT_EQ(sum, 100000);
    for (int k = 1; k < 5; ++k) {
        EXPECT_EQ(out.records[k], 0u);
        EXPECT_EQ(out.days[k], "0");
    }

    // The 360-second sequencer: 1,100,000 / 11 is still 100,000 records, now 416.67 days.
    archive_capacity::ComputeRunTimes(logs.records, 1100000, 360.0f, out);
    EXPECT_EQ(out.records[0], 100000u);
    EXPECT_EQ(out.days[0], "417");
}

TEST(Capacity, LogsShareTheMemoryByTheirByteRates)
{
    Logs logs;
    logs.records[0] = Record(1, 0, {kTime});                  // one entry: the time stamp only
    logs.records[1] = Record(2, 0, {});                       // nothing logged
    logs.records[2] = Record(3, 0, {kTime});                  // time stamp only
    logs.records[3] = Record(4, 14, {kTime, kDate, kUnitId}); // 14 bytes every 14 s: 1 B/s
    logs.records[4] = Record(5, 11, {kTime, kStreams});       // 11 bytes every 11 s: 1 B/s
    logs.records[5] = Record(6, 1, {kTime, kDate, kDate});    // the sixth log has no figures
    LogCapacities out;
    out.records[5] = 77;
    out.days[5] = "x";
    // 1,209,600 bytes at 2 B/s last 7 days.
    const int sum = archive_capacity::ComputeRunTimes(logs.records, 1209600, 280.0f, out);
    const uint32_t expected[5] = {0, 0, 0, 43200, 54981};   // 604,800 s / 14 and / 11
    const char* days[5] = {"0", "0", "0", "7", "7"};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(out.records[k], expected[k]) << "log " << k;
        EXPECT_EQ(out.days[k], days[k]) << "log " << k;
    }
    EXPECT_EQ(sum, 43200 + 54981);
    EXPECT_EQ(out.records[5], 77u);   // left as it was
    EXPECT_EQ(out.days[5], "x");
}

TEST(Capacity, ALogWithoutAPeriodRecordsNothing)
{
    struct Case { float onRunPeriod; uint16_t frequency; };
    for (const Case c : {Case{0.0f, 0}, Case{-5.0f, 0}}) {
        Logs logs;
        logs.records[0] = Record(1, 0, {kTime, kStreams});
        logs.records[3] = Record(4, c.frequency, {kTime, kStreams});
        LogCapacities out;
        EXPECT_EQ(archive_capacity::ComputeRunTimes(logs.records, 100000, c.onRunPeriod, out), 0);
        EXPECT_EQ(out.records[0], 0u);
        EXPECT_EQ(out.days[0], "0");
        EXPECT_EQ(out.records[3], 0u);
        EXPECT_EQ(out.days[3], "0");
    }
}

}  // namespace
