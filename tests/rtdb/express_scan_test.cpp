// The page point list: which points a page read asks for, and which edits are accepted.
#include "tevrin/rtdb/express_scan.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> PointList(const ExpressScan& s)
{
    std::vector<int> out;
    for (int i = 0; i < s.Count(); ++i)
        out.push_back(s.At(i));
    return out;
}

std::vector<int> PollList(const ExpressScan& s)
{
    std::vector<int> out;
    for (int i = 0; i < s.PollCount(); ++i)
        out.push_back(s.PollAt(i));
    return out;
}

}  // namespace

TEST(ExpressScan, FreshListIsPageZeroWithConstructionFlags)
{
    ExpressScan s;
    EXPECT_EQ(s.CurrentPage(), 0);
    EXPECT_EQ(s.Count(), 0);
    EXPECT_EQ(s.PollCount(), 0);
    EXPECT_EQ(s.WaitWindowFlag(), 1);
    // Page 10 is never set by any page; it keeps the construction flags (no poll, wait).
    ASSERT_TRUE(s.SetPage(10, 0, 1));
    EXPECT_EQ(s.WaitWindowFlag(), 1);
}

TEST(ExpressScan, PointListKeepsOrderWithoutDuplicatesPollListKeepsDuplicates)
{
    ExpressScan s;
    for (int id : {45, 20, 45, 7, 20})
        s.Add(id);
    for (int id : {45, 45, 3})
        s.AddPoll(id);
    EXPECT_EQ(PointList(s), (std::vector<int>{45, 20, 7}));

    // The poll list only shows through PollCount/PollAt on a page that polls.
    s.SetPage(14, 1, 0);
    EXPECT_EQ(PollList(s), (std::vector<int>{45, 45, 3}));
    s.SetPage(2, 0, 1);
    EXPECT_EQ(PollList(s), (std::vector<int>{45, 20, 7}));
}

TEST(ExpressScan, ContainsFollowsThePollFlagOfTheCurrentPage)
{
    struct Case {
        int page;
        uint8_t poll;
        bool pollOnly;
        int id;
        bool expected;
    };
    // Point list {1, 2}, poll list {2, 9}.
    const Case cases[] = {
        {15, 1, true, 9, true},     // polling page: the poll list answers
        {15, 1, true, 1, false},    // ... and a point only on the point list is not polled
        {15, 1, false, 1, true},    // not poll-only: the point list answers
        {15, 1, false, 9, false},
        {4, 0, true, 1, true},      // non-polling page: the point list answers even when poll-only
        {4, 0, true, 9, false},
        {4, 0, false, 2, true},
    };
    for (const Case& c : cases) {
        ExpressScan s;
        s.Add(1);
        s.Add(2);
        s.AddPoll(2);
        s.AddPoll(9);
        s.SetPage(c.page, c.poll, 1);
        EXPECT_EQ(s.Contains(c.id, c.pollOnly), c.expected)
            << "page " << c.page << " pollOnly " << c.pollOnly << " id " << c.id;
    }
}

TEST(ExpressScan, PollingPageWithEmptyPollListPollsNothing)
{
    // The Modbus page polls but puts nothing on the poll list.
    ExpressScan s;
    s.Add(20);
    s.Add(300);
    s.SetPage(7, 1, 1);
    for (int id : {20, 300, 0, -1})
        EXPECT_FALSE(s.Contains(id, true)) << id;
    EXPECT_TRUE(s.Contains(20, false));
    EXPECT_TRUE(s.Contains(300, false));
    EXPECT_EQ(s.PollCount(), 0);
    EXPECT_EQ(s.Count(), 2);
}

TEST(ExpressScan, ClearEmptiesListsAndReturnsToPageZeroKeepingFlags)
{
    ExpressScan s;
    s.SetPage(0, 0, 0);   // the main status page shows no wait window
    s.SetPage(14, 1, 0);
    s.Add(5);
    s.AddPoll(5);
    s.Clear();
    EXPECT_EQ(s.CurrentPage(), 0);
    EXPECT_EQ(s.Count(), 0);
    EXPECT_EQ(s.PollCount(), 0);
    EXPECT_FALSE(s.Contains(5, false));
    EXPECT_EQ(s.WaitWindowFlag(), 0);   // page 0's own flag, set before

    // Page 14's flags survive other pages being shown.
    s.SetPage(3, 0, 1);
    EXPECT_EQ(s.WaitWindowFlag(), 1);
    s.AddPoll(8);
    s.SetPage(14, 1, 0);
    EXPECT_EQ(s.WaitWindowFlag(), 0);
    EXPECT_TRUE(s.Contains(8, true));
}

TEST(ExpressScan, PageOutsideTheRangeIsRefused)
{
    ExpressScan s;
    s.SetPage(12, 0, 0);
    for (int page : {-1, 17, 100}) {
        EXPECT_FALSE(s.SetPage(page, 1, 1)) << page;
        EXPECT_EQ(s.CurrentPage(), 12);
        EXPECT_EQ(s.WaitWindowFlag(), 0);
    }
    EXPECT_TRUE(s.SetPage(16, 0, 1));
    EXPECT_EQ(s.CurrentPage(), 16);
}

TEST(ExpressScan, IndexOutsideTheListIsAnErrorNotGarbage)
{
    ExpressScan s;
    s.Add(1);
    EXPECT_THROW(s.At(1), std::out_of_range);
    EXPECT_THROW(s.At(-1), std::out_of_range);
    EXPECT_THROW(s.PollAt(1), std::out_of_range);
}
