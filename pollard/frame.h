#pragma once
// The frame around a request or reply message on the wire:
//   [address][function 0x12][message ...][CRC-16 low][CRC-16 high]
// A reply message starts with its count byte c, so a reply frame has c + 4 bytes.
#include <QByteArray>
#include <cstdint>

namespace pollard {

constexpr uint8_t kFunctionCode = 0x12;
constexpr uint8_t kAllStationsAddress = 0xFF;
constexpr uint8_t kRejectType = 0xFF;           // reply type of a request the unit refused
constexpr int kFrameOverhead = 4;               // address, function, two CRC bytes
constexpr int kMaxRequestMessage = 264;         // a request frame is built in 268 bytes
constexpr int kMaxReplyFrame = 255 + kFrameOverhead;

// The request frame for a message, or an empty array when the message is empty or too long.
QByteArray BuildRequestFrame(uint8_t address, const uint8_t* message, int length);

// Length of the whole reply frame announced by its first three bytes; 0 when the header is
// incomplete or does not carry the function code.
int ExpectedReplyLength(const QByteArray& received);

}  // namespace pollard
