// The simulated analyzer's memories: archive and event log read in blocks, log status, wipes,
// and the firmware image written and read back.
#include "tests/sim/core/analyzer_core.h"
#include "tests/sim/tests/message_bytes.h"

#include <gtest/gtest.h>

#include <vector>

using namespace simtest;
using sim::AnalyzerCore;

namespace {

QByteArray Pattern(int size)
{
    QByteArray out;
    for (int i = 0; i < size; ++i) out.append(char((i * 13 + i / 256) & 0xFF));
    return out;
}

struct Block {
    uint32_t address;
    int count;
    QByteArray data;
};

// Takes a memory-block reply apart (and checks its frame).
Block ParseBlock(const QByteArray& reply, int requestType)
{
    EXPECT_EQ(reply.size(), 2 + 205);
    EXPECT_EQ(uint8_t(reply[1]), requestType + 1);
    const QByteArray b = reply.mid(2);
    Block out;
    out.address = uint8_t(b[0]) | (uint8_t(b[1]) << 8) | (uint8_t(b[2]) << 16) | (uint32_t(uint8_t(b[3])) << 24);
    out.count = uint8_t(b[4]);
    out.data = b.mid(5, out.count);
    EXPECT_EQ(b.mid(5 + out.count), QByteArray(200 - out.count, '\0')) << "bytes past the count are zero";
    return out;
}

}  // namespace

TEST(AnalyzerMemory, ArchiveAndEventLogAreReadInBlocksUpToTheirSize)
{
    for (const int type : {40, 44}) {
        SCOPED_TRACE(type);
        AnalyzerCore core;
        const QByteArray memory = Pattern(1050);
        if (type == 40)
            core.SetArchiveMemory(memory);
        else
            core.SetEventMemory(memory);

        QByteArray read;
        for (uint32_t address = 0; address < 1000; address += 200) {
            const Block b = ParseBlock(*core.Handle(MemoryRead(type, address, 200)), type);
            EXPECT_EQ(b.address, address);
            EXPECT_EQ(b.count, 200);
            read += b.data;
        }
        read += ParseBlock(*core.Handle(MemoryRead(type, 1000, 50)), type).data;
        EXPECT_EQ(read, memory);

        // Asking past the end gives what is there, never more.
        EXPECT_EQ(ParseBlock(*core.Handle(MemoryRead(type, 1000, 200)), type).count, 50);
        EXPECT_EQ(ParseBlock(*core.Handle(MemoryRead(type, 1050, 200)), type).count, 0);
        EXPECT_EQ(ParseBlock(*core.Handle(MemoryRead(type, 0xFFFFFFFF, 200)), type).count, 0);
        EXPECT_EQ(ParseBlock(*core.Handle(MemoryRead(type, 10, 0)), type).count, 0);
    }
}

TEST(AnalyzerMemory, LogStatusFollowsTheMemoriesUntilSet)
{
    AnalyzerCore core(sim::Contents::Blank);
    EXPECT_EQ(*core.Handle(Msg(42)), Msg(43, U32(0) + U32(0) + U32(0)));
    core.SetArchiveMemory(Pattern(1000));
    core.SetEventMemory(Pattern(30));
    EXPECT_EQ(*core.Handle(Msg(42)), Msg(43, U32(0) + U32(1000) + U32(30)));

    core.SetLogStatus(LogStatus{{7, 400, 1000000}});
    EXPECT_EQ(*core.Handle(Msg(42)), Msg(43, U32(7) + U32(400) + U32(1000000)));
    core.ResetLogStatus();
    EXPECT_EQ(core.CurrentLogStatus().value[1], 1000u);
}

TEST(AnalyzerMemory, WipesEmptyTheirOwnMemory)
{
    AnalyzerCore core;
    core.SetArchiveMemory(Pattern(500));
    core.SetEventMemory(Pattern(300));

    ASSERT_EQ(*core.Handle(Msg(54)), Msg(55));
    EXPECT_EQ(core.ArchiveMemory(), QByteArray());
    EXPECT_EQ(core.EventMemory(), Pattern(300));
    EXPECT_EQ(core.ArchiveWipeCount(), 1);
    EXPECT_EQ(core.EventLogWipeCount(), 0);
    EXPECT_EQ(*core.Handle(Msg(42)), Msg(43, U32(0) + U32(0) + U32(300)));

    ASSERT_EQ(*core.Handle(Msg(52)), Msg(53));
    EXPECT_EQ(core.EventMemory(), QByteArray());
    EXPECT_EQ(core.EventLogWipeCount(), 1);
}

TEST(AnalyzerMemory, ImageBlocksAreStoredAndReadBack)
{
    // An image of 1,001 bytes goes as five full blocks and a final block of count 0.
    AnalyzerCore core;
    const QByteArray image = Pattern(1001);
    for (uint32_t address = 0; address < 1000; address += 200) {
        const QByteArray reply = *core.Handle(Msg(46, MemoryBlockBytes(address, 200, image.mid(int(address), 200))));
        EXPECT_EQ(reply, Msg(47, U32(address) + Bytes({200})));
    }
    EXPECT_EQ(*core.Handle(Msg(46, MemoryBlockBytes(1000, 0, image.mid(1000)))), Msg(47, U32(1000) + Bytes({0})));
    EXPECT_EQ(core.ImageMemory(), image.left(1000));

    QByteArray read;
    for (uint32_t address = 0; address < 1000; address += 200)
        read += ParseBlock(*core.Handle(MemoryRead(58, address, 200)), 58).data;
    EXPECT_EQ(ParseBlock(*core.Handle(MemoryRead(58, 1000, 0)), 58).count, 0);
    EXPECT_EQ(read, image.left(1000));

    // A block written past the end leaves zeros in the gap; a rewrite replaces bytes in place.
    core.Handle(Msg(46, MemoryBlockBytes(1100, 2, "zz")));
    core.Handle(Msg(46, MemoryBlockBytes(0, 3, "abc")));
    const QByteArray now = core.ImageMemory();
    EXPECT_EQ(now.size(), 1102);
    EXPECT_EQ(now.left(4), QByteArray("abc") + image.mid(3, 1));
    EXPECT_EQ(now.mid(1000, 100), QByteArray(100, '\0'));
    EXPECT_EQ(now.right(2), "zz");
}
