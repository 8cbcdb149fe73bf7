#include "tevrin/rtdb/catalogue/catalogue_rows.h"

namespace rosetta {

int ValueWidthOfType(int typeCode)
{
    switch (typeCode) {
    case 0: case 1: case 4: case 19: case 20: case 22:
        return 4;
    case 2: case 5: case 21:
        return 2;
    case 3: case 6: case 7: case 8: case 9: case 10: case 11: case 12: case 24: case 25:
        return 1;
    default:
        return 0;
    }
}

const char* TypeNameOfType(int typeCode)
{
    switch (typeCode) {
    case 0: return "float";
    case 1: case 19: case 20: case 4: case 15: case 22: return "unsigned long";
    case 2: case 5: case 21: return "unsigned short";
    case 3: case 24: case 25: case 6: case 7: return "unsigned char";
    case 8: case 9: case 10: case 11: case 12: return "boolean";
    case 13: return "text";
    default: return "Acceleration ";
    }
}

}  // namespace rosetta
