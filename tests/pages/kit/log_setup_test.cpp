// The log configuration window's record rules: id codes drawn so that no two logs share one,
// points appended and removed, frequencies checked, changes told apart from no change.
#include "tevrin/pages/analysis/log_setup.h"
#include "tevrin/rtdb/unique_log_id.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

void Codes(LogConfigRecord (&records)[kLogCount], std::initializer_list<int> codes)
{
    std::memset(records, 0, sizeof records);
    int k = 0;
    for (int c : codes) records[k++].LogIdCode = static_cast<uint8_t>(c);
}

class LogSetupRules : public ::testing::Test {
protected:
    void SetUp() override { UniqueLogID::Instance()->Clear(); }
    void TearDown() override { UniqueLogID::DestroyInstance(); }
};

}  // namespace

TEST_F(LogSetupRules, TwoLogsChangedInOneShowingNeverDrawTheSameCode)
{
    LogConfigRecord records[kLogCount];
    // Log 0 has 1 and log 1 has 9: the next free code after 1 skips 9, and after 9 the code
    // log 0 just drew is taken as well.
    Codes(records, {1, 9, 3, 4, 5, 6});
    const int first = logsetup::DrawLogId(records, 0);
    EXPECT_EQ(first, 17);
    records[0].LogIdCode = static_cast<uint8_t>(first);
    const int second = logsetup::DrawLogId(records, 1);
    EXPECT_EQ(second, 25);
    records[1].LogIdCode = static_cast<uint8_t>(second);

    // The set had not heard of the logs' codes (a fresh set): they are learnt first.
    UniqueLogID::Instance()->Clear();
    Codes(records, {1, 2, 3, 4, 5, 9});
    EXPECT_EQ(logsetup::DrawLogId(records, 0), 17);

    // No free code left: the draw says so.
    UniqueLogID::Instance()->Clear();
    for (int id = 1; id <= 255; ++id) UniqueLogID::Instance()->Add(id);
    EXPECT_GE(logsetup::DrawLogId(records, 2), UniqueLogID::kNoFreeId);
}

TEST_F(LogSetupRules, PointsAreAppendedUpToSevenAndRemovedWithTheRestMovingUp)
{
    LogConfigRecord r{};
    ASSERT_TRUE(logsetup::AppendPoint(r, 3, 100, 1, 9));
    EXPECT_EQ(r.LOG_NUMBER, 3);
    EXPECT_EQ(r.Enable, 1);
    EXPECT_EQ(r.Frequency, 1);
    EXPECT_EQ(r.LogIdCode, 9);
    EXPECT_EQ(r.ParametersInLog, 2);
    EXPECT_EQ(r.UniqueId[1], 100);
    for (int p = 101; p <= 106; ++p) ASSERT_TRUE(logsetup::AppendPoint(r, 3, static_cast<TDbId>(p), 60, 9));
    EXPECT_EQ(r.ParametersInLog, 8);
    EXPECT_FALSE(logsetup::AppendPoint(r, 3, 107, 60, 9));   // the eighth point
    EXPECT_EQ(r.ParametersInLog, 8);

    ASSERT_TRUE(logsetup::RemovePoint(r, 3, 2));
    EXPECT_EQ(r.ParametersInLog, 7);
    const uint16_t expected[] = {100, 102, 103, 104, 105, 106};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(r.UniqueId[i + 1], expected[i]);
    EXPECT_EQ(r.UniqueId[7], 0);

    // The only point of a log: removed, one entry (the time stamp) left; nothing more to remove.
    LogConfigRecord one{};
    logsetup::AppendPoint(one, 0, 55, 1, 2);
    ASSERT_TRUE(logsetup::RemovePoint(one, 0, 1));
    EXPECT_EQ(one.ParametersInLog, 1);
    EXPECT_FALSE(logsetup::RemovePoint(one, 0, 1));
    EXPECT_EQ(one.ParametersInLog, 1);

    // A count from the analyzer above eight entries is read as eight.
    LogConfigRecord wild{};
    wild.ParametersInLog = 200;
    for (int i = 1; i < 8; ++i) wild.UniqueId[i] = static_cast<uint16_t>(i);
    EXPECT_EQ(logsetup::PointPositions(wild).size(), 7u);
    EXPECT_FALSE(logsetup::AppendPoint(wild, 1, 9, 1, 1));
}

TEST_F(LogSetupRules, FrequencyChecksFollowTheLogKind)
{
    const struct {
        const char* text;
        bool daily;
        logsetup::FrequencyCheck check;
        const char* message;
    } kCases[] = {
        {"", false, logsetup::FrequencyCheck::Empty, ""},
        {"24", true, logsetup::FrequencyCheck::OutOfRange, "The value is out of range."},
        {"-1", true, logsetup::FrequencyCheck::OutOfRange, "The value is out of range."},
        {"23", true, logsetup::FrequencyCheck::Ok, ""},
        {"-5", false, logsetup::FrequencyCheck::Negative, "The value should be positive."},
        {"65536", false, logsetup::FrequencyCheck::OutOfRange, "The value is out of range."},
        {"65535", false, logsetup::FrequencyCheck::Ok, ""},
        {"1x", false, logsetup::FrequencyCheck::NotNumber, "'1x' is not a valid integer value"},
    };
    for (const auto& c : kCases) {
        int value = -99;
        const auto check = logsetup::CheckFrequency(QString::fromLatin1(c.text), c.daily, value);
        EXPECT_EQ(check, c.check) << c.text;
        EXPECT_EQ(logsetup::FrequencyMessage(check, QString::fromLatin1(c.text)), QString::fromLatin1(c.message)) << c.text;
        if (check == logsetup::FrequencyCheck::Ok) {
            EXPECT_EQ(value, QString::fromLatin1(c.text).toInt());
        }
    }
}
