#pragma once
// Little helpers to spell request and reply messages in tests.
#include "tests/sim/core/analyzer_core.h"

#include <QByteArray>

#include <cstdint>
#include <initializer_list>

namespace simtest {

inline QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values) out.append(char(v));
    return out;
}

inline QByteArray U16(int v)
{
    return Bytes({v & 0xFF, (v >> 8) & 0xFF});
}

inline QByteArray U32(uint32_t v)
{
    return Bytes({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24)});
}

inline QByteArray F32(float f)
{
    uint32_t bits;
    static_assert(sizeof bits == sizeof f, "single is 32 bits");
    __builtin_memcpy(&bits, &f, sizeof bits);
    return U32(bits);
}

// [length][type][payload]; the same layout serves for replies.
inline QByteArray Msg(int type, const QByteArray& payload = {})
{
    QByteArray m;
    m.append(char(2 + payload.size()));
    m.append(char(type));
    m.append(payload);
    return m;
}

inline int RowOf(int dbId)
{
    return sim::AnalyzerCore::RowOfDbId(dbId);
}

// A block-read request (type 50) for the given rows.
inline QByteArray BlockRead(std::initializer_list<int> rows)
{
    QByteArray payload(1, char(rows.size()));
    for (int row : rows) payload.append(U16(row));
    payload.append(QByteArray(41 - payload.size(), '\0'));
    return Msg(50, payload);
}

// Address + count requests of the memory reads (40, 44, 58).
inline QByteArray MemoryRead(int type, uint32_t address, int count)
{
    return Msg(type, U32(address) + Bytes({count}));
}

// A 205-byte memory block record.
inline QByteArray MemoryBlockBytes(uint32_t address, int count, const QByteArray& data)
{
    QByteArray block = U32(address) + Bytes({count}) + data.left(200);
    return block.leftJustified(205, '\0');
}

// The block-read reply as the unit sends it: count and packed values in the whole 81 bytes.
inline QByteArray BlockReply(const QByteArray& countAndValues)
{
    return Msg(51, countAndValues.leftJustified(81, '\0'));
}

const QByteArray kReject = Bytes({0x02, 0xFF});

}  // namespace simtest
