#include "pollard/frame.h"

#include "pollard/crc16.h"

namespace pollard {

QByteArray BuildRequestFrame(uint8_t address, const uint8_t* message, int length)
{
    if (!message || length <= 0 || length > kMaxRequestMessage) return {};
    QByteArray frame(length + kFrameOverhead, '\0');
    auto* p = reinterpret_cast<uint8_t*>(frame.data());
    p[0] = address;
    p[1] = kFunctionCode;
    for (int i = 0; i < length; ++i) p[2 + i] = message[i];
    AppendCRC(p, static_cast<size_t>(length + 2));
    return frame;
}

int ExpectedReplyLength(const QByteArray& received)
{
    if (received.size() < 3) return 0;
    if (static_cast<uint8_t>(received[1]) != kFunctionCode) return 0;
    return static_cast<uint8_t>(received[2]) + kFrameOverhead;
}

}  // namespace pollard
