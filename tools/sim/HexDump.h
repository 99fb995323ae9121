#pragma once

#include <string>

#include "tools/sim/BoardMemory.h"

namespace board {

// The board's memory as an Intel HEX file the way a dsPIC tool chain writes one: byte
// address = 2 x word address, each word pair as the 4 bytes lo(w) hi(w) lo(w+1) hi(w+1),
// records of up to 16 bytes, an extended linear address record (type 04) before each
// 64 KB segment, and an end record. Pairs whose two words are both erased are left out.
std::string FormatIntelHex(const BoardMemory& memory);

}  // namespace board
