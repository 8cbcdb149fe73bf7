// The event log: synthetic event memories (stuffing, 0xDE in the CRC, bad records, a record
// cut short by the end of the memory, a long run of equal time stamps) decoded and sorted;
// the event texts; the memory-usage figure; the event-log window's plain 9-byte records.
#include "tests/pages/kit/event_memory.h"
#include "tevrin/pages/analysis/audit_events.h"
#include "tevrin/pages/analysis/log_entry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

using eventtest::AppendFramed;
using eventtest::Seven;

namespace {

double TokenDays(uint32_t token) { return token / 86400.0; }

uint16_t CrcOf(uint32_t token, uint8_t type, uint8_t detail, uint8_t value)
{
    const std::vector<uint8_t> body = Seven(token, type, detail, value);
    return CalcCRC16(body.data(), body.size());
}

std::vector<AuditEvent> Decode(const std::vector<uint8_t>& memory, uint32_t* escapes = nullptr)
{
    AuditFrameParser parser(TokenDays);
    parser.Parse(memory.data(), memory.size());
    parser.SortByTime();
    if (escapes) *escapes = parser.EscapeCount();
    return parser.TakeEvents();
}

}  // namespace

TEST(AuditTexts, EventDetailAndValueTextsFollowTheTypeTables)
{
    const struct {
        int type, detail, value;
        const char *event, *detailText, *valueText;
    } kCases[] = {
        {0, 5, 0, "Power Up", "", ""},
        {1, 0, 0, "Time Changed", "", ""},
        {2, 0, 1, "Bypass", "", "Condition Off"},
        {3, 0, 0, "Configuration Changed", "", ""},
        {4, 0, 0, "Alarm", "No Alarm", "Condition On"},
        {4, 53, 1, "Alarm", "unknown", "Condition Off"},
        {4, 10, 7, "Alarm", "Battery", "Unknown"},
        {4, 23, 0, "Alarm", "DC Power", "Condition On"},
        {4, 30, 0, "Alarm", "Digital Input 1-(DRY)", "Condition On"},
        {4, 37, 0, "Alarm", "Digital Input 4-(WET)", "Condition On"},
        {4, 38, 0, "Alarm", "Analog Input 1 > limit", "Condition On"},
        {4, 45, 0, "Alarm", "Analog Input 4 < limit", "Condition On"},
        {4, 50, 0, "Alarm", "Stream High High Alarm", "Condition On"},
        {4, 64, 0, "Alarm", "Stream Sample Lock Alarm", "Condition On"},
        {4, 76, 0, "Alarm", "Stream 2 Reference 1 Deviation", "Condition On"},
        {4, 103, 0, "Alarm", "Stream 3 Calibration High Alarm", "Condition On"},
        {4, 113, 0, "Alarm", "Stream 4 Total Sulphur High High Alarm", "Condition On"},
        {4, 124, 0, "Alarm", "Stream 4 Sample Lock Alarm", "Condition On"},
        {4, 114, 0, "Alarm", "unknown", "Condition On"},
        {4, 125, 0, "Alarm", "unknown", "Condition On"},
        {4, 9, 0, "Alarm", "unknown", "Condition On"},
        {5, 3, 0, "Exceeded low temperature limit", "", "Condition On"},
        {6, 0, 0, "Exceeded high temperature limit", "", "Condition On"},
        {7, 0, 0, "Direct Control", "", "Condition On"},
        {8, 0, 0, "Bypass Timeout", "", "Condition On"},
        {9, 0, 1, "Run initiated", "Stream ", "Unknown"},
        {9, 1, 0, "Run initiated", "Stream 2", "Sample"},
        {9, 3, 5, "Run initiated", "Stream 4", "Calibrate"},
        {9, 4, 250, "Run initiated", "", "Unset"},
        {9, 2, 6, "Run initiated", "Stream 3", "Runs"},
        {10, 0, 0, "Latch change", "Latch 1", "Condition On"},
        {10, 15, 1, "Latch change", "Latch 16", "Condition Off"},
        {10, 16, 1, "Latch change", "Unknown", "Condition Off"},
        {11, 0, 0, "Automatic Temperature Calibrate", "", "Condition On"},
        {12, 12, 1, "Unknown", "High Temperature", "Condition Off"},
        {200, 0, 0, "Unknown", "No Alarm", "Condition On"},
    };
    for (const auto& c : kCases) {
        const AuditEvent e = DecodeAuditEvent(1, static_cast<uint8_t>(c.type), static_cast<uint8_t>(c.detail),
                                              static_cast<uint8_t>(c.value), nullptr);
        EXPECT_EQ(e.Event(), QString::fromLatin1(c.event)) << c.type << "/" << c.detail << "/" << c.value;
        EXPECT_EQ(e.Detail(), QString::fromLatin1(c.detailText)) << c.type << "/" << c.detail << "/" << c.value;
        EXPECT_EQ(e.Value(), QString::fromLatin1(c.valueText)) << c.type << "/" << c.detail << "/" << c.value;
    }
}

TEST(AuditParser, StuffedBytesInDataAndCrcAreRestoredAndCounted)
{
    // A token with 0xDE in two of its bytes.
    const uint32_t stuffedToken = 0x12DE34DEu;
    // A record whose CRC carries 0xDE (searched, so the test holds whatever the polynomial).
    uint32_t crcToken = 1000;
    while (((CrcOf(crcToken, 4, 12, 0) & 0xFF) != 0xDE) && ((CrcOf(crcToken, 4, 12, 0) >> 8) != 0xDE)) ++crcToken;

    std::vector<uint8_t> memory;
    AppendFramed(memory, stuffedToken, 0, 0, 0);
    AppendFramed(memory, crcToken, 4, 12, 0);
    AppendFramed(memory, 500, 9, 0xDE, 2);   // 0xDE as a detail code
    // Every 0xDE but the three start bytes was stuffed: at least two in the token, one in the
    // CRC, one in the detail code.
    const uint32_t stuffed = static_cast<uint32_t>(std::count(memory.begin(), memory.end(), 0xDE)) - 3;
    ASSERT_GE(stuffed, 4u);
    uint32_t escapes = 0;
    const auto events = Decode(memory, &escapes);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(escapes, stuffed);
    EXPECT_EQ(events[0].Token, 500u);
    EXPECT_EQ(events[0].DetailCode, 0xDE);
    EXPECT_EQ(events[0].Value(), QStringLiteral("Reference 1"));
    EXPECT_EQ(events[1].Token, crcToken);
    EXPECT_EQ(events[1].Detail(), QStringLiteral("High Temperature"));
    EXPECT_EQ(events[2].Token, stuffedToken);
    EXPECT_DOUBLE_EQ(events[2].Time, stuffedToken / 86400.0);
}

TEST(AuditParser, BadRecordsAreDroppedAndReadingGoesOn)
{
    std::vector<uint8_t> memory = {0x00, 0x55};   // noise before the first record
    AppendFramed(memory, 10, 0, 0, 0);
    // A bad CRC.
    std::vector<uint8_t> bad;
    AppendFramed(bad, 20, 1, 0, 0);
    bad.back() ^= 0x01;
    memory.insert(memory.end(), bad.begin(), bad.end());
    AppendFramed(memory, 30, 2, 0, 0);
    // A broken stuffing pair (0xDE followed by 0x11) abandons its record.
    memory.insert(memory.end(), {0xDE, 0x01, 0x02, 0xDE, 0x11, 0x00});
    AppendFramed(memory, 40, 3, 0, 0);
    const auto events = Decode(memory);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].Token, 10u);
    EXPECT_EQ(events[1].Token, 30u);
    EXPECT_EQ(events[2].Token, 40u);
}

TEST(AuditParser, ARecordCutShortByTheEndOfTheMemoryGivesNothing)
{
    std::vector<uint8_t> memory;
    AppendFramed(memory, 7, 0, 0, 0);
    std::vector<uint8_t> last;
    AppendFramed(last, 8, 1, 0, 0);
    for (size_t keep = 0; keep < last.size(); ++keep) {
        std::vector<uint8_t> cut = memory;
        cut.insert(cut.end(), last.begin(), last.begin() + static_cast<long>(keep));
        const auto events = Decode(cut);
        ASSERT_EQ(events.size(), 1u) << keep;
        EXPECT_EQ(events[0].Token, 7u);
    }
    // A memory that ends inside a stuffed pair.
    std::vector<uint8_t> pending = memory;
    pending.insert(pending.end(), {0xDE, 0x01, 0xDE});
    EXPECT_EQ(Decode(pending).size(), 1u);
    EXPECT_TRUE(Decode({}).empty());
}

TEST(AuditParser, AHundredThousandEqualTimeStampsSortStablyAmongOthers)
{
    // Equal tokens in a long run, with a few other tokens before, inside and after it; the
    // detail and value codes number the records in memory order.
    constexpr int kEqual = 100000;
    std::vector<uint8_t> memory;
    memory.reserve(kEqual * 11 + 100);
    AppendFramed(memory, 900, 0, 0, 0);
    for (int i = 0; i < kEqual; ++i) {
        if (i == kEqual / 2) AppendFramed(memory, 100, 0, 0, 0);
        AppendFramed(memory, 500, 4, static_cast<uint8_t>(i & 0xFF), static_cast<uint8_t>(i >> 8));
    }
    AppendFramed(memory, 0xFFFFFFF0u, 0, 0, 0);   // above 2^31: compared unsigned
    AppendFramed(memory, 1, 0, 0, 0);

    const auto events = Decode(memory);
    ASSERT_EQ(events.size(), static_cast<size_t>(kEqual + 4));
    EXPECT_EQ(events[0].Token, 1u);
    EXPECT_EQ(events[1].Token, 100u);
    for (int i = 0; i < kEqual; ++i) {
        const AuditEvent& e = events[static_cast<size_t>(i + 2)];
        ASSERT_EQ(e.Token, 500u);
        ASSERT_EQ(e.DetailCode | (e.ValueCode << 8), i & 0xFFFF) << "memory order kept at " << i;
    }
    EXPECT_EQ(events[kEqual + 2].Token, 900u);
    EXPECT_EQ(events[kEqual + 3].Token, 0xFFFFFFF0u);
}

TEST(AuditParser, ProgressStepsOncePerTenBytes)
{
    std::vector<uint8_t> memory;
    AppendFramed(memory, 1, 0, 0, 0);
    AppendFramed(memory, 2, 0, 0, 0);
    memory.push_back(0);   // 21 bytes
    AuditFrameParser parser;
    int steps = 0;
    parser.Parse(memory.data(), memory.size(), [&steps] { ++steps; });
    EXPECT_EQ(steps, 3);
}

TEST(AuditUsage, PercentAndBarFollowTheBytesUsed)
{
    const struct {
        double used, whole;
        int width;
        const char* text;
        int bar;
    } kCases[] = {
        {125, 1000, 237, "12.50%", 30},   // 29.625 rounds to 30
        {0, 1000, 237, "0.00%", 0},
        {1000, 1000, 237, "100.00%", 237},
        {5000, 1000, 237, "100.00%", 237},   // above the memory: full
        {1, 3, 100, "33.33%", 33},
        {2, 3, 100, "66.67%", 67},
    };
    for (const auto& c : kCases) {
        const AuditUsage u = ComputeAuditUsage(c.used, c.whole, c.width);
        EXPECT_EQ(u.text, QString::fromLatin1(c.text)) << c.used << "/" << c.whole;
        EXPECT_EQ(u.barWidth, c.bar) << c.used << "/" << c.whole;
    }
    EXPECT_DOUBLE_EQ(AuditBytesUsed(12, 3), 126.0);
}

TEST(AuditPlainRecords, NineByteRecordsWithTheirCrcAreReadAndBadOnesOnlyCounted)
{
    std::vector<uint8_t> buffer;
    const auto append = [&buffer](uint32_t token, uint8_t type, uint8_t detail, uint8_t value, bool good) {
        eventtest::AppendPlain(buffer, token, type, detail, value, good);
    };
    append(0x00DE00DE, 9, 0, 1, true);   // 0xDE is plain data here
    {
        const PlainAuditRecords one = ReadPlainAuditRecords(buffer.data(), buffer.size(), TokenDays);
        ASSERT_EQ(one.events.size(), 1u);
        EXPECT_EQ(one.walked, 1);
        EXPECT_EQ(one.events[0].Token, 0x00DE00DEu);
        EXPECT_EQ(one.events[0].Detail(), QStringLiteral("Stream "));
        EXPECT_EQ(one.events[0].Value(), QStringLiteral("Unknown"));
    }
    append(300, 4, 11, 0, false);
    append(200, 10, 2, 1, true);   // memory order kept: no sort in this window
    buffer.insert(buffer.end(), {1, 2, 3, 4, 5, 6, 7, 8});   // short of a record
    const PlainAuditRecords all = ReadPlainAuditRecords(buffer.data(), buffer.size(), TokenDays);
    EXPECT_EQ(all.walked, 3);
    ASSERT_EQ(all.events.size(), 2u);
    EXPECT_EQ(all.events[1].Token, 200u);
    EXPECT_EQ(all.events[1].Detail(), QStringLiteral("Latch 3"));
    EXPECT_EQ(ComputeAuditUsage(2, 3, 237).text, QStringLiteral("66.67%"));
    EXPECT_EQ(ReadPlainAuditRecords(buffer.data(), 8, TokenDays).walked, 0);
}
