#pragma once
// How the simulated analyzer stores one point value: little-endian bytes as wide as the row's
// value (text rows hold their characters instead).
#include "tevrin/rtdb/catalogue/catalogue_rows.h"

namespace sim {

inline bool IsTextType(int typeCode) { return typeCode == 13; }
inline bool IsFloatType(int typeCode) { return typeCode == 0; }
inline bool IsBoolType(int typeCode) { return typeCode >= 8 && typeCode <= 12; }
inline bool IsSignedType(int typeCode) { return typeCode >= 4 && typeCode <= 6; }

// Bytes a row's value takes in the unit: its catalogue width; a baud-rate row (15) holds one
// byte although it packs as none in a block read; types without a width hold four.
inline int StorageWidth(int typeCode)
{
    if (IsTextType(typeCode)) return 0;
    if (typeCode == 15) return 1;
    const int width = rosetta::ValueWidthOfType(typeCode);
    return width > 0 ? width : 4;
}

}  // namespace sim
