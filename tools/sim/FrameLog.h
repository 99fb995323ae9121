#pragma once

#include <string>

#include "tools/sim/VirtualBoard.h"

namespace board {

// One line of the frame log: the seconds since the board started, with microseconds, then
// every byte of the frame in upper-case hexadecimal, separated by single spaces, e.g.
// "1.250041 01 FF 00 00". Row frames are written in full: address, length, data, checksum.
std::string FormatFrameLine(const ReceivedFrame& frame);

}  // namespace board
