#pragma once
// The Modbus map commands of the Modbus page:
//   "NewModbusList"   NewModbusListCommand  an empty map in the chosen layout (nothing is sent)
//   "LoadModbusList"  ReadModbusList        the analyzer's map read into the database's model
#include "tevrin/shell/commands/command.h"

#include <cstdint>

struct NewModbusListParams {
    uint8_t mode = 0;   // 0 ENRON, 1 MODICON16, 2 MODICON32
};

class NewModbusListCommand : public CommandWithParameters<NewModbusListParams> {
public:
    // The layout of the next post's empty map.
    void SetMode(uint8_t mode) { Staged().mode = mode; }
    // Runs with or without a connection and writes no status text. A layout outside 0..2
    // changes nothing (the map in hand is kept).
    void Execute() override;
};

class ReadModbusList : public Command {
public:
    // Logged on only: "Reading Modbus List.", then "Load Modbus Successful" and the empty text,
    // or "Load Modbus fail." (kept) when the exchange fails; a failed read leaves the map as
    // it was.
    void Execute() override;
};
