#include "tests/pages/kit/log_records.h"
#include "tevrin/pages/analysis/archive_parser.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/analysis/log_entry.h"
#include "tevrin/rtdb/database.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// --- a small encoder of our own, written apart from the reader ---------------------------------

uint16_t RefCrc(const Bytes& data)
{
    // Table-free, byte-wise form of the reflected 0xA001 CRC.
    unsigned crc = 0xFFFF;
    for (uint8_t b : data) {
        for (int i = 0; i < 8; ++i) {
            const bool mix = ((crc ^ (b >> i)) & 1u) != 0;
            crc >>= 1;
            if (mix) crc ^= 0xA001;
        }
    }
    return static_cast<uint16_t>(crc);
}

void PutLE(Bytes& out, uint32_t v, int width)
{
    for (int i = 0; i < width; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

Bytes Payload(uint32_t token, std::initializer_list<std::pair<uint32_t, int>> values = {})
{
    Bytes p;
    PutLE(p, token, 4);
    for (const auto& [v, width] : values) PutLE(p, v, width);
    return p;
}

// 0xDE, then id, length, payload and CRC (low first) with every 0xDE sent as 0xDE 0xAD.
Bytes Frame(uint8_t id, const Bytes& payload, int lengthByte = -1, int crcDelta = 0)
{
    Bytes body{id, static_cast<uint8_t>(lengthByte < 0 ? payload.size() + 2 : lengthByte)};
    body.insert(body.end(), payload.begin(), payload.end());
    const uint16_t crc = static_cast<uint16_t>(RefCrc(body) + crcDelta);
    body.push_back(static_cast<uint8_t>(crc & 0xFF));
    body.push_back(static_cast<uint8_t>(crc >> 8));
    Bytes out{0xDE};
    for (uint8_t b : body) {
        out.push_back(b);
        if (b == 0xDE) out.push_back(0xAD);
    }
    return out;
}

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

uint32_t FloatBits(float f)
{
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

// Points by type: 395 float, 500 u32, 10 u16, 410 and 392/393 u8 (shown from 1), 60000 unknown.
using logtest::Log;

class ArchiveParserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DataBase* db = DataBase::Instance();
        kept_.emplace(db);
        db->LogRecord(0) = Log(1, {410});
        db->LogRecord(1) = Log(2, {395, 500, 10, 392});
        db->LogRecord(2) = Log(3, {60000, 393});
        db->LogRecord(3) = Log(4, {500, 500, 500, 500, 500, 500, 500});
        db->LogRecord(4) = Log(5, {});
        db->LogRecord(5) = Log(6, {10});
        m()->Clear();
    }
    void TearDown() override
    {
        LogDBManager::DestroyInstance();
        kept_.reset();
    }
    static LogDBManager* m() { return LogDBManager::Instance(); }
    static void Feed(const Bytes& bytes)
    {
        for (uint8_t b : bytes) m()->FeedByte(b);
    }
    static std::vector<uint32_t> Tokens()
    {
        std::vector<uint32_t> t;
        for (int k = 0; k < m()->EntryCount(); ++k) t.push_back(m()->Entry(k)->Token);
        return t;
    }
    std::optional<logtest::KeptLogRecords> kept_;
};

// --- good frames ---------------------------------------------------------------------------------

TEST(ArchiveCrcTest, MatchesTheCheckValueAndTheEncoder)
{
    const Bytes check{'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(CalcCRC16(check.data(), check.size()), 0x4B37);
    EXPECT_EQ(RefCrc(check), 0x4B37);
    EXPECT_EQ(CalcCRC16(nullptr, 0), 0xFFFF);
}

TEST_F(ArchiveParserTest, GoodFrameOfEveryLogKindIsDecoded)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        uint8_t id;
        Bytes payload;
        int position;
        std::map<int, std::string> texts;   // value index -> text
    };
    const std::vector<Case> cases = {
        {"one byte value", 1, Payload(0x1000, {{77, 1}}), 0, {{0, "77"}}},
        {"float, u32, u16, stream from 1", 2, Payload(0x1001, {{FloatBits(1.5f), 4}, {4000000000u, 4}, {65535, 2}, {0, 1}}), 1,
         {{0, "1.5"}, {1, "4000000000"}, {2, "65535"}, {3, "1"}}},
        {"NaN float", 2, Payload(0x1002, {{FloatBits(nan), 4}, {0, 4}, {7, 2}, {9, 1}}), 1,
         {{0, "NAN"}, {1, "0"}, {2, "7"}, {3, "10"}}},
        {"unknown point read as float, run number from 1", 3, Payload(0x1003, {{FloatBits(-2.25f), 4}, {254, 1}}), 2,
         {{0, "-2.25"}, {1, "255"}}},
        {"seven values fill 32 bytes", 4,
         Payload(0x1004, {{1, 4}, {2, 4}, {3, 4}, {4, 4}, {5, 4}, {6, 4}, {7, 4}}), 3,
         {{0, "1"}, {1, "2"}, {2, "3"}, {3, "4"}, {4, "5"}, {5, "6"}, {6, "7"}}},
        {"time stamp only", 5, Payload(0x1005), 4, {}},
        {"sixth log", 6, Payload(0x1006, {{513, 2}}), 5, {{0, "513"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m()->Clear();
        Feed(Frame(c.id, c.payload));
        ASSERT_EQ(m()->EntryCount(), 1);
        const LogEntry* e = m()->Entry(0);
        EXPECT_EQ(e->LogPosition, c.position);
        EXPECT_EQ(e->Token, ReadToken(c.payload.data()));
        EXPECT_EQ(m()->FrameCount(c.position), 1);
        for (int t = 0; t < kLogEntryTexts; ++t) {
            const bool own = t / kLogTextStride == c.position && c.texts.count(t % kLogTextStride);
            EXPECT_EQ(m()->CellText(t / kLogTextStride, t % kLogTextStride, 0), own ? c.texts.at(t % kLogTextStride) : std::string())
                << "text " << t;
        }
    }
}

TEST_F(ArchiveParserTest, StuffedBytesAnywhereInTheFrameAreRestored)
{
    // 0xDE in the token, the value and (for one of these tokens) the CRC.
    // Tokens 0xDE00nnnn: over all nnnn the CRC takes every value, so some CRCs hold 0xDE too.
    std::vector<uint32_t> fed;
    int crcStuffed = 0;
    for (uint32_t n = 0; n < 0x10000; ++n) {
        const Bytes p = Payload(0xDE000000u | n, {{0xDE, 1}});
        Bytes body{1, 7};
        body.insert(body.end(), p.begin(), p.end());
        const uint16_t crc = RefCrc(body);
        const bool stuffedCrc = (crc & 0xFF) == 0xDE || (crc >> 8) == 0xDE;
        if (!stuffedCrc && n % 97 != 0 && (n & 0xFF) != 0xDE && (n >> 8) != 0xDE) continue;
        crcStuffed += stuffedCrc;
        fed.push_back(0xDE000000u | n);
        Feed(Frame(1, p));
    }
    ASSERT_GT(crcStuffed, 0);
    ASSERT_EQ(m()->EntryCount(), int(fed.size()));
    EXPECT_EQ(m()->FramesSeen(), fed.size());
    EXPECT_EQ(Tokens(), fed);
    for (int k = 0; k < m()->EntryCount(); ++k) EXPECT_EQ(m()->CellText(0, 0, k), "222");
}

// --- bad input -----------------------------------------------------------------------------------

TEST_F(ArchiveParserTest, BadFramesAreDroppedAndTheNextGoodFrameIsRead)
{
    const Bytes good = Frame(1, Payload(42, {{5, 1}}));
    Bytes broken = Frame(2, Payload(1, {{0, 4}, {0, 4}, {0, 2}, {0, 1}}));
    broken.resize(8);   // cut inside the payload
    struct Case {
        const char* what;
        Bytes before;
        uint32_t framesSeen;   // frames that reached their CRC, the good one included
    };
    const std::vector<Case> cases = {
        {"bad CRC", Frame(1, Payload(7, {{1, 1}}), -1, 1), 2},
        {"garbage outside frames", Bytes{0x00, 0xAD, 0xFF, 0x12, 0xAD, 0x01}, 1},
        {"unknown log id", Frame(9, Payload(7, {{1, 1}})), 2},
        {"length over 34", Cat({Bytes{0xDE, 1, 35}, Bytes(40, 0x11)}), 1},
        {"payload shorter than the token", Frame(1, Bytes{1, 2, 3}), 2},
        {"broken stuffing pair", Cat({Bytes{0xDE, 1, 7, 1, 0xDE, 0x55}, Bytes(10, 0x00)}), 1},
        {"frame cut, then a new frame after the escape byte", Cat({broken, Bytes{0xDE}}), 1},
        {"frame cut, then filler up to its length", Cat({broken, Bytes(20, 0x00)}), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m()->Clear();
        Feed(Cat({c.before, good}));
        ASSERT_EQ(m()->EntryCount(), 1);
        EXPECT_EQ(m()->Entry(0)->Token, 42u);
        EXPECT_EQ(m()->CellText(0, 0, 0), "5");
        EXPECT_EQ(m()->FramesSeen(), c.framesSeen);
        for (int p = 0; p < LogDBManager::kLogs; ++p) EXPECT_EQ(m()->FrameCount(p), p == 0 ? 1 : 0);
    }
}

TEST_F(ArchiveParserTest, LengthBelowThreeSwallowsThirtyThreeBytesWithoutOverrun)
{
    for (uint8_t length : {0, 1, 2}) {
        SCOPED_TRACE(int(length));
        m()->Clear();
        Feed(Cat({Bytes{0xDE, 1, length}, Bytes(33, 0x44), Frame(1, Payload(3, {{9, 1}}))}));
        ASSERT_EQ(m()->EntryCount(), 1);
        EXPECT_EQ(m()->CellText(0, 0, 0), "9");
        EXPECT_EQ(m()->FramesSeen(), 1u);
    }
}

TEST_F(ArchiveParserTest, RecordCountsOutOfBoundsReadOnlyWhatTheFrameCarries)
{
    DataBase* db = DataBase::Instance();
    // A record claiming more values than a log holds: at most seven are read.
    LogConfigRecord big = Log(4, {500, 500, 500, 500, 500, 500, 500});
    big.ParametersInLog = 200;
    db->LogRecord(3) = big;
    Feed(Frame(4, Payload(1, {{1, 4}, {2, 4}, {3, 4}, {4, 4}, {5, 4}, {6, 4}, {7, 4}})));
    // A frame shorter than its record: the values it carries whole, the rest stay empty.
    Feed(Frame(2, Payload(2, {{FloatBits(3.0f), 4}, {8, 2}})));
    ASSERT_EQ(m()->EntryCount(), 2);
    EXPECT_EQ(m()->CellText(3, 6, 0), "7");
    EXPECT_EQ(m()->CellText(3, 7, 0), "");
    EXPECT_EQ(m()->CellText(1, 0, 1), "3");
    EXPECT_EQ(m()->CellText(1, 1, 1), "");
    EXPECT_EQ(m()->CellText(1, 2, 1), "");
    // Reads out of range give nothing.
    EXPECT_EQ(m()->Entry(2), nullptr);
    EXPECT_EQ(m()->Entry(-1), nullptr);
    EXPECT_EQ(m()->CellText(6, 0, 0), "");
    EXPECT_EQ(m()->CellText(0, 8, 0), "");
    EXPECT_EQ(m()->FrameCount(6), 0);
    EXPECT_TRUE(m()->LogList(-1).empty());
}

// --- the store -----------------------------------------------------------------------------------

TEST_F(ArchiveParserTest, EntriesAreFiledInTokenOrderEqualTokensInArrivalOrder)
{
    Feed(Frame(1, Payload(30, {{1, 1}})));
    Feed(Frame(6, Payload(10, {{2, 2}})));
    Feed(Frame(1, Payload(0xFFFFFFF0u, {{3, 1}})));   // compared unsigned
    Feed(Frame(1, Payload(20, {{4, 1}})));
    Feed(Frame(1, Payload(10, {{5, 1}})));
    Feed(Frame(1, Payload(10, {{6, 1}})));
    EXPECT_EQ(Tokens(), (std::vector<uint32_t>{10, 10, 10, 20, 30, 0xFFFFFFF0u}));
    EXPECT_EQ(m()->CellText(5, 0, 0), "2");
    EXPECT_EQ(m()->CellText(0, 0, 1), "5");
    EXPECT_EQ(m()->CellText(0, 0, 2), "6");
}

TEST_F(ArchiveParserTest, PerLogListsAreBuiltFromTheFiledEntries)
{
    Feed(Frame(1, Payload(3, {{1, 1}})));
    Feed(Frame(6, Payload(1, {{2, 2}})));
    Feed(Frame(1, Payload(2, {{3, 1}})));
    EXPECT_TRUE(m()->LogList(0).empty());   // not before the lists are built
    m()->BuildLogLists();
    EXPECT_EQ(m()->LogCount(0), 2);
    EXPECT_EQ(m()->LogCount(5), 1);
    EXPECT_EQ(m()->LogCount(1), 0);
    ASSERT_EQ(m()->LogList(0).size(), 2u);
    EXPECT_EQ(m()->Entry(int(m()->LogList(0)[0]))->Token, 2u);
    EXPECT_EQ(m()->Entry(int(m()->LogList(0)[1]))->Token, 3u);
    ASSERT_EQ(m()->LogList(5).size(), 1u);
    EXPECT_EQ(m()->LogList(5)[0], 0u);

    // Clear empties everything but the counts, which wait for the next build.
    m()->Clear();
    EXPECT_EQ(m()->EntryCount(), 0);
    EXPECT_EQ(m()->FrameCount(0), 0);
    EXPECT_TRUE(m()->LogList(0).empty());
    EXPECT_EQ(m()->LogCount(0), 2);
    m()->BuildLogLists();
    EXPECT_EQ(m()->LogCount(0), 0);
}

TEST_F(ArchiveParserTest, ClearDropsAHalfReadFrame)
{
    const Bytes f = Frame(1, Payload(8, {{4, 1}}));
    m()->KeepRawBytes(true);
    Feed(Bytes(f.begin(), f.begin() + 5));
    m()->Clear();
    Feed(Bytes(f.begin() + 5, f.end()));
    Feed(f);
    ASSERT_EQ(m()->EntryCount(), 1);
    EXPECT_EQ(m()->RawBytes().size(), f.size() + f.size() - 5);
    m()->KeepRawBytes(false);
}

TEST_F(ArchiveParserTest, TimeComesFromTheTokenConverter)
{
    m()->SetTokenToDate([](uint32_t token) { return token / 2.0; });
    Feed(Frame(1, Payload(9, {{1, 1}})));
    m()->SetTokenToDate(nullptr);
    Feed(Frame(1, Payload(10, {{1, 1}})));
    ASSERT_EQ(m()->EntryCount(), 2);
    EXPECT_DOUBLE_EQ(m()->Entry(0)->Time, 4.5);
    EXPECT_DOUBLE_EQ(m()->Entry(1)->Time, 0.0);
}

}  // namespace
