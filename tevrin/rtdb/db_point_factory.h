#pragma once
// Makes the typed point for a catalogue row.
#include "tevrin/rtdb/database_point.h"

#include <memory>

class DBPointFactory {
public:
    // By the row's type code: 0 float; 1, 19, 20 U32; 2 U16; 3, 24, 25 U8; 4 S32; 5 S16; 6 S8;
    // 7 Bits8; 8-12 Bool; 13 String; 15 Baud; 21 Bits16; 22 Bits32. Nothing (nullptr) for the
    // codes without a point class (14, 16, 17, 18, 23, above 25, negative) and for a row
    // beyond the catalogue. The caller owns the point.
    static std::unique_ptr<DatabasePoint> Create(uint16_t row);
};
