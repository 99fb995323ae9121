#include "tools/cli/BoardTable.h"

#include <algorithm>
#include <cstdio>

#include "control/ExitStatus.h"

namespace {

std::string Result(const BoardRecord& board) {
    const std::string serial =
        board.serial ? ", serial " + std::to_string(*board.serial) : std::string();
    if (board.status == kExitOk) return "ok" + serial;
    const std::string why = board.cause.empty() ? "no reason was given" : board.cause;
    return ResultWord(board.status) + (" (" + std::to_string(board.status) + serial + "): " + why);
}

std::string PadRight(const std::string& text, std::size_t width) {
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text;
}

std::string PadLeft(const std::string& text, std::size_t width) {
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

std::string Row(std::size_t portWidth, std::size_t chipWidth, const std::string& port,
                const std::string& chip, const std::string& rows, const std::string& seconds,
                const std::string& result) {
    return PadRight(port, portWidth) + "  " + PadRight(chip, chipWidth) + "  " + PadLeft(rows, 6) +
           "  " + PadLeft(seconds, 7) + "  " + result;
}

}  // namespace

std::vector<std::string> FormatBoardTable(const std::vector<BoardRecord>& boards) {
    std::size_t portWidth = 4;
    std::size_t chipWidth = 4;
    for (const BoardRecord& board : boards) {
        portWidth = std::max(portWidth, board.port.size());
        chipWidth = std::max(chipWidth, board.deviceName.value_or("").size());
    }
    std::vector<std::string> lines = {
        Row(portWidth, chipWidth, "port", "chip", "rows", "seconds", "result")};
    for (const BoardRecord& board : boards) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f", board.seconds);
        lines.push_back(Row(portWidth, chipWidth, board.port, board.deviceName.value_or("-"),
                            std::to_string(board.RowsWritten()), seconds, Result(board)));
    }
    return lines;
}

int WorstStatus(const std::vector<BoardRecord>& boards) {
    int worst = kExitOk;
    for (const BoardRecord& board : boards) worst = std::max(worst, board.status);
    return worst;
}
