#include "tools/cli/BoardTable.h"

#include <algorithm>
#include <cstdio>

#include "tools/cli/ExitStatus.h"

namespace {

std::string Result(const BoardOutcome& board) {
    const std::string serial =
        board.serial ? ", serial " + std::to_string(*board.serial) : std::string();
    if (board.status == kExitOk) return "ok" + serial;
    const std::string word = board.status > kExitSignalBase ? "stopped" : "failed";
    const std::string why = board.reason.empty() ? "no reason was given" : board.reason;
    return word + " (" + std::to_string(board.status) + serial + "): " + why;
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

std::vector<std::string> FormatBoardTable(const std::vector<BoardOutcome>& boards) {
    std::size_t portWidth = 4;
    std::size_t chipWidth = 4;
    for (const BoardOutcome& board : boards) {
        portWidth = std::max(portWidth, board.port.size());
        chipWidth = std::max(chipWidth, board.chip.size());
    }
    std::vector<std::string> lines = {
        Row(portWidth, chipWidth, "port", "chip", "rows", "seconds", "result")};
    for (const BoardOutcome& board : boards) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f", board.seconds);
        lines.push_back(Row(portWidth, chipWidth, board.port, board.chip.empty() ? "-" : board.chip,
                            std::to_string(board.rowsWritten), seconds, Result(board)));
    }
    return lines;
}

int WorstStatus(const std::vector<BoardOutcome>& boards) {
    int worst = kExitOk;
    for (const BoardOutcome& board : boards) worst = std::max(worst, board.status);
    return worst;
}
