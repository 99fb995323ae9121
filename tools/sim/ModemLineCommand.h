#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "serial/CSerialPort.h"

// A modem line's level as the board's control commands give it: "dtr=1" asserts DTR, "rts=0"
// releases RTS. A pseudo-terminal carries no modem lines, so whoever plays the host's side
// tells the board this way.
namespace board {

struct ModemLineLevel {
    SerialModemLine line = SerialModemLine::Dtr;
    bool asserted = false;
};

std::optional<ModemLineLevel> ParseModemLineCommand(std::string_view text);
std::string ModemLineCommand(ModemLineLevel level);
// "dtr" or "rts".
const char* ModemLineName(SerialModemLine line);

}  // namespace board
