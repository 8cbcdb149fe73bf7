// Generated archive memories through the frame reader: every value width, 0xDE in every
// field, equal tokens, a wrapped ring, and every kind of bad frame between the good ones.
#include "tests/pages/kit/log_records.h"
#include "tests/sim/core/archive_frames.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/rtdb/database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using sim::ArchiveFrame;
using sim::ArchiveValue;

// Points by type: 395 float, 500 u32, 10 u16, 410 u8, 392 u8 shown from 1.
struct LogSetup {
    uint8_t id;
    std::vector<uint16_t> points;
};
const LogSetup kLogs[kLogCount] = {
    {1, {410}}, {2, {395, 500, 10, 392}}, {3, {10, 10}}, {4, {500, 500, 500, 500, 500, 500, 500}},
    {5, {}},    {6, {395}},
};

struct Expected {
    uint32_t token;
    int position;
    std::vector<std::string> texts;
};

class ArchiveMemoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DataBase* db = DataBase::Instance();
        kept_.emplace(db);
        for (int i = 0; i < kLogCount; ++i) db->LogRecord(i) = logtest::Log(kLogs[i].id, kLogs[i].points);
        LogDBManager::Instance()->Clear();
    }
    void TearDown() override
    {
        LogDBManager::DestroyInstance();
        kept_.reset();
    }

    // Four bytes of which each is 0xDE now and then.
    uint32_t Bits(int width)
    {
        uint32_t v = 0;
        for (int i = 0; i < width; ++i) {
            const uint32_t byte = (rng() % 3 == 0) ? 0xDE : rng() % 256;
            v |= byte << (8 * i);
        }
        return v;
    }

    // A good frame of a random log and what the reader must make of it.
    ArchiveFrame Good(Expected& e)
    {
        static const struct {
            float value;
            const char* text;
        } kFloats[] = {{1.5f, "1.5"}, {-2.25f, "-2.25"}, {0.0f, "0"}, {1e20f, "1.00000002004088E20"}, {NAN, "NAN"},
                       {-1.0f, "-1"}};
        ArchiveFrame f;
        e.position = static_cast<int>(rng() % kLogCount);
        f.id = kLogs[e.position].id;
        // Few distinct tokens, so that many are equal; 0xDE often among their bytes.
        f.token = 0xDE00DE00u + (rng() % 64) * 0x01000001u;
        e.token = f.token;
        for (uint16_t point : kLogs[e.position].points) {
            ArchiveValue v;
            switch (point) {
            case 395: {
                const auto& fl = kFloats[rng() % (sizeof kFloats / sizeof kFloats[0])];
                v = {sim::FloatBits(fl.value), 4};
                e.texts.push_back(fl.text);
                break;
            }
            case 500:
                v = {Bits(4), 4};
                e.texts.push_back(std::to_string(v.bits));
                break;
            case 10:
                v = {Bits(2), 2};
                e.texts.push_back(std::to_string(v.bits));
                break;
            default:
                v = {Bits(1), 1};
                e.texts.push_back(std::to_string(v.bits + (point == 392 ? 1 : 0)));
                break;
            }
            f.values.push_back(v);
        }
        return f;
    }

    // A frame the reader must drop.
    ArchiveFrame Bad(Expected& ignored)
    {
        ArchiveFrame f = Good(ignored);
        switch (rng() % 5) {
        case 0: f.crcDelta = 1 + static_cast<int>(rng() % 100); break;
        case 1: f.lengthByte = static_cast<int>(rng() % 3); break;          // 0, 1 or 2
        case 2: f.lengthByte = 35 + static_cast<int>(rng() % 221); break;   // over 34
        case 3: f.values.clear(); f.token = 0; f.id = 0x7F; break;          // a log nobody has
        default: {
            const int size = static_cast<int>(sim::ArchiveFrameBytes(f).size());
            f.cutAfter = 1 + static_cast<int>(rng() % static_cast<unsigned>(size - 1));   // cut short
            break;
        }
        }
        return f;
    }

    std::mt19937 rng{20261210};
    std::optional<logtest::KeptLogRecords> kept_;
};

}  // namespace

TEST_F(ArchiveMemoryTest, OnlyTheGoodFramesAreFiledInStableTokenOrderAlsoFromAWrappedRing)
{
    for (size_t wrapAt : {size_t(0), size_t(1), size_t(1234), size_t(2999)}) {
        SCOPED_TRACE(wrapAt);
        LogDBManager* m = LogDBManager::Instance();
        m->Clear();
        std::vector<ArchiveFrame> frames;
        std::vector<Expected> expected;   // in frame order
        std::vector<bool> good;
        for (int k = 0; k < 3000; ++k) {
            Expected e;
            const bool isGood = rng() % 4 != 0;
            frames.push_back(isGood ? Good(e) : Bad(e));
            good.push_back(isGood);
            expected.push_back(e);
        }
        const QByteArray memory = sim::ArchiveMemory(frames, wrapAt);
        m->Feed(reinterpret_cast<const uint8_t*>(memory.constData()), static_cast<size_t>(memory.size()));
        m->BuildLogLists();

        // Memory order, then stably by token.
        std::vector<Expected> want;
        for (size_t k = wrapAt; k < frames.size(); ++k)
            if (good[k]) want.push_back(expected[k]);
        for (size_t k = 0; k < wrapAt; ++k)
            if (good[k]) want.push_back(expected[k]);
        std::stable_sort(want.begin(), want.end(), [](const Expected& a, const Expected& b) { return a.token < b.token; });

        ASSERT_EQ(m->EntryCount(), static_cast<int>(want.size()));
        int perLog[kLogCount] = {};
        for (int k = 0; k < m->EntryCount(); ++k) {
            const LogEntry* e = m->Entry(k);
            ASSERT_EQ(e->Token, want[size_t(k)].token) << k;
            ASSERT_EQ(e->LogPosition, want[size_t(k)].position) << k;
            const auto& texts = want[size_t(k)].texts;
            for (int j = 0; j < kLogValuesPerLog; ++j)
                ASSERT_EQ(m->CellText(e->LogPosition, j, k), j < int(texts.size()) ? texts[size_t(j)] : "") << k << "/" << j;
            ++perLog[e->LogPosition];
        }
        for (int p = 0; p < kLogCount; ++p) {
            EXPECT_EQ(m->LogCount(p), perLog[p]);
            ASSERT_EQ(m->LogList(p).size(), size_t(perLog[p]));
            for (size_t i = 1; i < m->LogList(p).size(); ++i) EXPECT_LT(m->LogList(p)[i - 1], m->LogList(p)[i]);
        }
    }
}

TEST_F(ArchiveMemoryTest, AFrameCutShortDoesNotCostTheFrameAfterIt)
{
    // Cut at every place of the stuffed frame, 0xDE bytes in every field; the next frame's
    // start byte is found whatever state the cut left the reader in.
    Expected e;
    ArchiveFrame victim = Good(e);
    victim.id = 2;
    victim.token = 0xDEDEDEDEu;
    victim.values = {{0xDEDEDEDEu, 4}, {0xDEDEDEDEu, 4}, {0xDEDE, 2}, {0xDE, 1}};
    const int size = static_cast<int>(sim::ArchiveFrameBytes(victim).size());
    ArchiveFrame next;
    next.id = 1;
    next.token = 77;
    next.values = {{0xDE, 1}};
    for (int cut = 1; cut < size; ++cut) {
        SCOPED_TRACE(cut);
        victim.cutAfter = cut;
        LogDBManager* m = LogDBManager::Instance();
        m->Clear();
        const QByteArray memory = sim::ArchiveMemory({victim, next});
        m->Feed(reinterpret_cast<const uint8_t*>(memory.constData()), static_cast<size_t>(memory.size()));
        ASSERT_EQ(m->EntryCount(), 1);
        EXPECT_EQ(m->Entry(0)->Token, 77u);
        EXPECT_EQ(m->CellText(0, 0, 0), "222");
    }
}
