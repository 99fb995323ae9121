#include "tools/sim/FrameLog.h"

#include <cstdio>

namespace board {

std::string FormatFrameLine(const ReceivedFrame& frame) {
    char field[32];
    std::snprintf(field, sizeof field, "%.6f", frame.seconds);
    std::string line = field;
    for (std::uint8_t byte : frame.bytes) {
        std::snprintf(field, sizeof field, " %02X", byte);
        line += field;
    }
    line += '\n';
    return line;
}

}  // namespace board
