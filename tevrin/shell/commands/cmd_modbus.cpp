#include "tevrin/shell/commands/cmd_modbus.h"

#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/modbus_list.h"

using namespace CommandKeys;

void NewModbusListCommand::Execute()
{
    ModbusList* list = DataBase::Instance()->AsModbusList();
    if (!list) return;
    if (!list->SetMode(Params().mode)) return;
    list->Clear();
}

void ReadModbusList::Execute()
{
    if (GetFlag(LoggingOn)) return;
    SetText(StatusLineSpecialPanel, "Reading Modbus List.");
    SetNumber(localPBarMax, 1);
    ModbusList* list = DataBase::Instance()->AsModbusList();
    try {
        if (!list) throw 0;   // no model to load into: reported as a failed load
        list->LoadFromUnit();
        SetText(StatusLineSpecialPanel, "Load Modbus Successful");
    } catch (int) {
        SetText(StatusLineSpecialPanel, "Load Modbus fail.");
        return;
    }
    SetText(StatusLineSpecialPanel, "");
}
