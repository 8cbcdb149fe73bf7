// The Modbus list file as it is loaded into the database's Modbus list.
#include "tests/fuzz/fuzz_support.h"

#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/modbus_list.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    DataBase::Instance();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 64 * 1024) return 0;
    const QString path = fuzz::WriteFile(QStringLiteral("list.K41mb"), data, size);
    ModbusList* list = DataBase::Instance()->AsModbusList();
    if (list->LoadFromFile(path) == 0) {
        ModmapImage image{};
        list->CopyImage(image);
        ModbusHeader header{};
        list->CopyHeader(header);
    }
    return 0;
}
