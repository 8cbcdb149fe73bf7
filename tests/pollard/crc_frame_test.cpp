// The CRC and the frame around a request, against values computed outside this code.
#include "pollard/crc16.h"
#include "pollard/frame.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace {

const uint8_t* U(const QByteArray& b) { return reinterpret_cast<const uint8_t*>(b.constData()); }

TEST(Crc16, CheckValueOfTheNineDigits)
{
    EXPECT_EQ(pollard::CalcCRC(reinterpret_cast<const uint8_t*>("123456789"), 9), 0x4B37);
}

TEST(Crc16, KnownFramesEndInTheirCrcLowByteFirst)
{
    // Frames with the CRC bytes as published for this polynomial (low byte first).
    const struct {
        const char* body;
        const char* crc;
    } cases[] = {
        {"01030000000A", "C5CD"},
        {"010400000001", "31CA"},
        {"1103006B0003", "7687"},
        {"FF120102", "1064"},
    };
    for (const auto& c : cases) {
        QByteArray frame = QByteArray::fromHex(c.body);
        const int n = frame.size();
        frame.resize(n + 2);
        EXPECT_EQ(pollard::AppendCRC(reinterpret_cast<uint8_t*>(frame.data()), static_cast<size_t>(n)), static_cast<size_t>(n + 2));
        EXPECT_EQ(frame.mid(n).toHex().toUpper(), QByteArray(c.crc)) << c.body;
        EXPECT_EQ(pollard::CheckCRC(U(frame), frame.size()), n) << c.body;
    }
}

TEST(Crc16, CheckRejectsAnyChangedByteAndPassesShortFramesUnchecked)
{
    const QByteArray good = QByteArray::fromHex("1103006B00037687");
    for (int i = 0; i < good.size(); ++i) {
        QByteArray bad = good;
        bad[i] = static_cast<char>(bad[i] ^ 0x01);
        EXPECT_EQ(pollard::CheckCRC(U(bad), bad.size()), -1) << "byte " << i;
    }
    const QByteArray shortFrame = QByteArray::fromHex("FF1202");
    EXPECT_EQ(pollard::CheckCRC(U(shortFrame), 3), 3);
    EXPECT_EQ(pollard::CheckCRC(U(shortFrame), 0), 0);
}

TEST(RequestFrame, AddressFunctionMessageAndCrc)
{
    const uint8_t message[] = {0x01, 0x02};
    EXPECT_EQ(pollard::BuildRequestFrame(0xFF, message, 2).toHex().toUpper(), QByteArray("FF1201021064"));
    const QByteArray to17 = pollard::BuildRequestFrame(0x11, message, 2);
    ASSERT_EQ(to17.size(), 6);
    EXPECT_EQ(static_cast<uint8_t>(to17[0]), 0x11);
    EXPECT_EQ(pollard::CheckCRC(U(to17), 6), 4);
}

TEST(RequestFrame, MessagesThatDoNotFitGiveNoFrame)
{
    QByteArray longest(pollard::kMaxRequestMessage, '\x01');
    EXPECT_EQ(pollard::BuildRequestFrame(1, U(longest), longest.size()).size(), pollard::kMaxRequestMessage + 4);
    QByteArray tooLong(pollard::kMaxRequestMessage + 1, '\x01');
    EXPECT_TRUE(pollard::BuildRequestFrame(1, U(tooLong), tooLong.size()).isEmpty());
    EXPECT_TRUE(pollard::BuildRequestFrame(1, U(longest), 0).isEmpty());
    EXPECT_TRUE(pollard::BuildRequestFrame(1, nullptr, 3).isEmpty());
}

TEST(ReplyFrame, ExpectedLengthComesFromTheCountByte)
{
    EXPECT_EQ(pollard::ExpectedReplyLength(QByteArray::fromHex("FF12")), 0);
    EXPECT_EQ(pollard::ExpectedReplyLength(QByteArray::fromHex("FF1206")), 10);
    EXPECT_EQ(pollard::ExpectedReplyLength(QByteArray::fromHex("FF12FF")), 259);
    EXPECT_EQ(pollard::ExpectedReplyLength(QByteArray::fromHex("FF1106")), 0);
}

}  // namespace
