// The archive read end to end: the simulated analyzer's archive memory travels block by block
// to the archive worker, whose frame reader files the samples in the archive database.
#include "tevrin/shell/commands/cmd_log.h"

#include "tests/pages/kit/log_records.h"
#include "tests/shell/cmd_fixture.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/shell/state_mgr.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using cmdtest::CommandTest;

namespace {

constexpr int kArchiveRead = 40;

uint16_t Crc(const QByteArray& data)
{
    unsigned crc = 0xFFFF;
    for (char c : data) {
        crc ^= uint8_t(c);
        for (int i = 0; i < 8; ++i) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return uint16_t(crc);
}

// One archive frame as the analyzer stores it: token, one u16 value, stuffed after the start.
QByteArray Frame(uint8_t id, uint32_t token, uint16_t value)
{
    QByteArray body;
    body.append(char(id)).append(char(8));
    for (int i = 0; i < 4; ++i) body.append(char(token >> (8 * i)));
    body.append(char(value & 0xFF)).append(char(value >> 8));
    const uint16_t crc = Crc(body);
    body.append(char(crc & 0xFF)).append(char(crc >> 8));
    QByteArray out(1, char(0xDE));
    for (char c : body) {
        out.append(c);
        if (uint8_t(c) == 0xDE) out.append(char(0xAD));
    }
    return out;
}

class ArchiveReadTest : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        LogOnForUpdate();
        kept_.emplace(db);
        for (int i = 0; i < kLogCount; ++i) db->LogRecord(i) = logtest::Log(uint8_t(11 + i), {10});   // a u16 point
        LogDBManager::Instance()->Clear();
    }
    void TearDown() override
    {
        LogDBManager::DestroyInstance();
        kept_.reset();
        CommandTest::TearDown();
    }
    void Read()
    {
        ReadALog command;
        command.SetOwner(&owner);
        command.Execute();
    }
    // 40 samples, newest first, alternating between the first and the last log, 0xDE bytes in
    // tokens and values, a little filler between some of them; frames straddle the 200-byte
    // blocks. ends[k] is the memory size once frame k is complete.
    QByteArray Memory(std::vector<int>& ends) const
    {
        QByteArray memory;
        for (int k = 0; k < 40; ++k) {
            if (k % 7 == 3) memory.append(QByteArray(3, char(0x55)));
            memory.append(Frame(k % 2 ? 16 : 11, 0xDE000000u + uint32_t(1000 - k), uint16_t(0xDE00 + k)));
            ends.push_back(int(memory.size()));
        }
        return memory;
    }
    std::optional<logtest::KeptLogRecords> kept_;
};

TEST_F(ArchiveReadTest, WholeArchiveIsDecodedIntoTimeOrderedPerLogLists)
{
    std::vector<int> ends;
    const QByteArray memory = Memory(ends);
    ASSERT_GT(memory.size(), 400);
    unit.SetArchiveMemory(memory);

    Read();

    LogDBManager* m = LogDBManager::Instance();
    ASSERT_EQ(m->EntryCount(), 40);
    for (int k = 0; k < 40; ++k) {
        const int frame = 39 - k;   // oldest token first
        EXPECT_EQ(m->Entry(k)->Token, 0xDE000000u + uint32_t(1000 - frame));
        const int position = frame % 2 ? 5 : 0;
        EXPECT_EQ(m->Entry(k)->LogPosition, position);
        EXPECT_EQ(m->CellText(position, 0, k), std::to_string(0xDE00 + frame));
    }
    // The lists are there as soon as the read has returned.
    EXPECT_EQ(m->LogCount(0), 20);
    EXPECT_EQ(m->LogCount(5), 20);
    EXPECT_EQ(m->LogList(0).size(), 20u);
    EXPECT_EQ(m->LogList(5).size(), 20u);
    EXPECT_EQ(m->FramesSeen(), 40u);
}

TEST_F(ArchiveReadTest, ReadFailingPartWayKeepsTheFramesCompletedBeforeIt)
{
    std::vector<int> ends;
    unit.SetArchiveMemory(Memory(ends));
    unit.AddFault({sim::Fault::Silence, kArchiveRead, 3, 2, -1});   // the third block never comes

    Read();

    int complete = 0;
    while (complete < int(ends.size()) && ends[size_t(complete)] <= 400) ++complete;
    LogDBManager* m = LogDBManager::Instance();
    EXPECT_EQ(m->EntryCount(), complete);
    EXPECT_EQ(m->LogCount(0) + m->LogCount(5), complete);
    EXPECT_EQ(m->LogList(0).size() + m->LogList(5).size(), size_t(complete));
}

}  // namespace
