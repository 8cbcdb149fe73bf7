#pragma once
// The constant rows of the built-in point catalogue. The catalogue classes (RosettaInterface,
// Rosetta17041417) are the way the program reads them; the analyzer simulator reads the table
// directly to hold one value per row.
#include <cstdint>

namespace rosetta {

struct CatalogueRow {
    int16_t dbId;       // the point id; the last four rows use -5, -4, -2, -1
    const char* name;   // exactly as stored in the analyzer
    int8_t typeCode;    // value type (see point_types.h)
    uint8_t group;      // high nibble section, low nibble sub-group
    uint8_t extra;      // 2 for eight rows, 0 for all others
    uint8_t access;     // 1 writable, 0 read-only
    uint8_t flags;      // 0x01 loggable, 0x02 Modbus, 0x04 configuration file, 0x08 analog output, 0x10 direct control
};

constexpr int kCatalogueRowCount = 1359;
constexpr const char* kCatalogueVersion = "17041417";

extern const CatalogueRow kCatalogueRows[kCatalogueRowCount];

// Value width in bytes of a type code, as packed in a block-read reply and an archive record:
// 4 for 0, 1, 4, 19, 20, 22; 2 for 2, 5, 21; 1 for 3, 6-12, 24, 25; 0 for everything else
// (text 13, baud rate 15, 14, 16-18, 23, 26 and above, negative codes).
int ValueWidthOfType(int typeCode);

// The catalogue's type name of a type code ("float", "unsigned long", ..., "Acceleration ").
const char* TypeNameOfType(int typeCode);

}  // namespace rosetta
