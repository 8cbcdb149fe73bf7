#include "tests/sim/core/archive_frames.h"

#include <cstring>

namespace sim {

uint16_t ArchiveCrc(const QByteArray& bytes)
{
    unsigned crc = 0xFFFF;
    for (char c : bytes) {
        crc ^= static_cast<uint8_t>(c);
        for (int i = 0; i < 8; ++i) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return static_cast<uint16_t>(crc);
}

QByteArray ArchiveFrameBytes(const ArchiveFrame& frame)
{
    QByteArray payload;
    for (int i = 0; i < 4; ++i) payload.append(static_cast<char>(frame.token >> (8 * i)));
    for (const ArchiveValue& v : frame.values)
        for (int i = 0; i < v.width; ++i) payload.append(static_cast<char>(v.bits >> (8 * i)));
    QByteArray body;
    body.append(static_cast<char>(frame.id));
    body.append(static_cast<char>(frame.lengthByte < 0 ? payload.size() + 2 : frame.lengthByte));
    body.append(payload);
    const uint16_t crc = static_cast<uint16_t>(ArchiveCrc(body) + frame.crcDelta);
    body.append(static_cast<char>(crc & 0xFF));
    body.append(static_cast<char>(crc >> 8));
    QByteArray out(1, static_cast<char>(0xDE));
    out.reserve(body.size() * 2 + 1);
    for (char c : body) {
        out.append(c);
        if (static_cast<uint8_t>(c) == 0xDE) out.append(static_cast<char>(0xAD));
    }
    if (frame.cutAfter >= 0 && frame.cutAfter < out.size()) out.truncate(frame.cutAfter);
    return out;
}

QByteArray ArchiveMemory(const std::vector<ArchiveFrame>& frames, size_t wrapAt)
{
    QByteArray memory;
    if (wrapAt > frames.size()) wrapAt = 0;
    for (size_t k = wrapAt; k < frames.size(); ++k) memory.append(ArchiveFrameBytes(frames[k]));
    for (size_t k = 0; k < wrapAt; ++k) memory.append(ArchiveFrameBytes(frames[k]));
    return memory;
}

uint32_t FloatBits(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace sim
