#include "tevrin/rtdb/db_point_factory.h"

#include "tevrin/rtdb/rosetta.h"

std::unique_ptr<DatabasePoint> DBPointFactory::Create(uint16_t row)
{
    RosettaInterface* catalogue = RosettaManager::Instance()->Catalogue();
    if (row >= catalogue->Count()) return nullptr;
    switch (catalogue->TypeCode(row)) {
    case 0: return std::make_unique<FloatDatabasePoint>(row);
    case 1: case 19: case 20: return std::make_unique<U32DatabasePoint>(row);
    case 2: return std::make_unique<U16DatabasePoint>(row);
    case 3: case 24: case 25: return std::make_unique<U8DatabasePoint>(row);
    case 4: return std::make_unique<S32DatabasePoint>(row);
    case 5: return std::make_unique<S16DatabasePoint>(row);
    case 6: return std::make_unique<S8DatabasePoint>(row);
    case 7: return std::make_unique<Bits8DatabasePoint>(row);
    case 8: case 9: case 10: case 11: case 12: return std::make_unique<BoolDatabasePoint>(row);
    case 13: return std::make_unique<StringDatabasePoint>(row);
    case 15: return std::make_unique<BaudDatabasePoint>(row);
    case 21: return std::make_unique<Bits16DatabasePoint>(row);
    case 22: return std::make_unique<Bits32DatabasePoint>(row);
    default: return nullptr;
    }
}
