#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// How one board of a write to several boards came out.
struct BoardOutcome {
    std::string port;
    std::string chip;  // empty when the board was not identified
    std::size_t rowsWritten = 0;
    double seconds = 0;
    int status = 0;                       // the board's exit status
    std::string reason;                   // why it failed, when it did
    std::optional<std::uint64_t> serial;  // the number the board was given
};

// The closing table: a header, then per board its port, chip, rows written, seconds and
// result ("ok", or "failed (status): why"), with the board's serial number when it had one.
std::vector<std::string> FormatBoardTable(const std::vector<BoardOutcome>& boards);

// 0 when every board succeeded, else the highest board status.
int WorstStatus(const std::vector<BoardOutcome>& boards);
