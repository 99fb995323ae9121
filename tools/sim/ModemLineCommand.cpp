#include "tools/sim/ModemLineCommand.h"

namespace board {

std::optional<ModemLineLevel> ParseModemLineCommand(std::string_view text) {
    if (text.size() != 5 || text[3] != '=' || (text[4] != '0' && text[4] != '1')) {
        return std::nullopt;
    }
    const std::string_view name = text.substr(0, 3);
    if (name != "dtr" && name != "rts") return std::nullopt;
    return ModemLineLevel{name == "dtr" ? SerialModemLine::Dtr : SerialModemLine::Rts,
                          text[4] == '1'};
}

std::string ModemLineCommand(ModemLineLevel level) {
    return std::string(ModemLineName(level.line)) + (level.asserted ? "=1" : "=0");
}

const char* ModemLineName(SerialModemLine line) {
    return line == SerialModemLine::Dtr ? "dtr" : "rts";
}

}  // namespace board
