#include "tests/sim/core/archive_frames.h"

#include <cstring>

namespace sim {

namespace {

// 0xDE, then the body with every 0xDE in it sent as 0xDE 0xAD.
QByteArray Stuffed(const QByteArray& body)
{
    QByteArray out(1, static_cast<char>(0xDE));
    out.reserve(body.size() * 2 + 1);
    for (char c : body) {
        out.append(c);
        if (static_cast<uint8_t>(c) == 0xDE) out.append(static_cast<char>(0xAD));
    }
    return out;
}

}  // namespace

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
    QByteArray out = Stuffed(body);
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

QByteArray EventRecordBytes(const EventRecord& record)
{
    QByteArray body;
    for (int i = 0; i < 4; ++i) body.append(static_cast<char>(record.token >> (8 * i)));
    body.append(static_cast<char>(record.type));
    body.append(static_cast<char>(record.detail));
    body.append(static_cast<char>(record.value));
    const uint16_t crc = ArchiveCrc(body);
    body.append(static_cast<char>(crc & 0xFF));
    body.append(static_cast<char>(crc >> 8));
    return Stuffed(body);
}

uint32_t TimeToken(const QDateTime& time)
{
    const QDate d = time.date();
    const QTime t = time.time();
    if (!d.isValid() || !t.isValid() || d.year() < 2000 || d.year() > 2063) return 0;
    return (uint32_t(d.year() - 2000) << 26) | (uint32_t(d.month()) << 22) | (uint32_t(d.day()) << 17) |
           (uint32_t(t.hour()) << 12) | (uint32_t(t.minute()) << 6) | uint32_t(t.second());
}

QDateTime TokenTime(uint32_t token)
{
    const QDate d(2000 + int(token >> 26), int((token >> 22) & 0x0F), int((token >> 17) & 0x1F));
    const QTime t(int((token >> 12) & 0x1F), int((token >> 6) & 0x3F), int(token & 0x3F));
    if (!d.isValid() || !t.isValid()) return {};
    return QDateTime(d, t, Qt::UTC);
}

uint32_t FloatBits(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace sim
