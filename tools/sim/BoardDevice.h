#pragma once

#include <memory>
#include <optional>
#include <string>

#include "tools/sim/BoardBootloader.h"
#include "tools/sim/BoardMemory.h"

namespace board {

// The device a board plays, as the catalogue describes it.
struct BoardDevice {
    std::string id;  // "0x0101"
    std::string name;
    BoardIdentity identity;  // the identifier bytes; the firmware version is left at 0.0
    std::unique_ptr<BoardMemory> memory;
};

// Finds `idOrName` (an id or a name) in the catalogue and builds the board's memory from
// it. Empty with `error` set when the catalogue or the device does not do.
std::optional<BoardDevice> LoadBoardDevice(const std::string& cataloguePath,
                                           const std::string& idOrName, std::string* error);

}  // namespace board
